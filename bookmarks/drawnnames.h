#pragma once
// What the bookmark lists say about drawing names on the map: which bookmarks are drawn, at which
// world point, in which font and colour, in drawing order (the global bookmarks first, then the
// current map's over them). Taken again at every change of the lists, in one pass over the records
// that allocates nothing once its room has grown.
#include <QRgb>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "bookmarks/bookmarkstore.h"
#include "storage/point.h"

namespace orv {

// Where a bookmark's record stands in the lists.
struct BookmarkPlace {
  bool global = false;  // GlobalBookmarks, else CurrentMapBookmarks
  std::size_t index = 0;
  friend bool operator==(const BookmarkPlace&, const BookmarkPlace&) = default;
};

// A bookmark whose name is drawn: its visibility is "V", and its coordinates and its font's size and
// colour are integers.
struct DrawnName {
  Point world;
  uint32_t font;  // index into FontShapes()
  QRgb color;
  BookmarkPlace place;
  std::size_t nameAt;  // the name, cut to the letters a label shows, within the names kept together
  uint32_t nameSize;
};

class DrawnNames {
 public:
  // Takes the lists; true when what they draw differs from what was taken before (their places in the
  // lists are taken either way).
  bool Take(const BookmarkLists& lists);
  const std::vector<DrawnName>& Entries() const { return entries_; }
  std::string_view NameOf(const DrawnName& e) const { return {names_.data() + e.nameAt, e.nameSize}; }
  // The drawing fonts met so far, as font records without colour: names in one face, size and style
  // share a font whatever their colours.
  const std::vector<std::string>& FontShapes() const { return fontShapes_; }

 private:
  using Font = std::optional<std::pair<uint32_t, QRgb>>;  // index into fontShapes_, colour
  const Font& FontOf(const std::string& fontRecord);

  std::vector<DrawnName> entries_;
  std::string names_;  // the entries' names back to back
  // Every font record met, taken apart once; nothing when its size or colour is not an integer.
  // Bookmarks seldom change their fonts, so these are kept from one change of the lists to the next.
  std::unordered_map<std::string, Font> fontRecords_;
  std::vector<std::string> fontShapes_;
  std::unordered_map<std::string, uint32_t> shapeIndex_;
  // The entries and names being taken, kept so that their room is reused.
  std::vector<DrawnName> taken_;
  std::string takenNames_;
};

}  // namespace orv
