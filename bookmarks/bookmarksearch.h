#pragma once
// Finding bookmarks by typed text. A bookmark matches when its name or one of its notes lines
// contains the text, without regard to letter case or accents ("cafe" finds "Café", "strasse" finds
// "Straße"). The index folds every bookmark's text once, when it is built, so that each keystroke
// costs one pass over the folded bytes of all bookmarks.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/geometry.h"

namespace orv {

// One bookmark as the search sees it. Texts are stored bytes (Windows-1252).
struct SearchableBookmark {
  std::string name;
  std::string notes;  // the notes field of the record: comma text, empty when there are none
  Point world;        // world point
};

// bytes in the form the search compares: letters in lower case without accents (é -> e, Ä -> a,
// ß -> ss, Æ -> ae, Œ -> oe, Þ -> th), control characters and the no-break space as blanks, every
// other byte unchanged. The folded text may be longer than bytes.
std::string FoldForSearch(std::string_view bytes);
// The text typed into a search box in the same form, converted to Windows-1252 as the program
// stores text. A character Windows-1252 cannot hold is replaced by its base letter when it has one
// (ő -> o); otherwise nothing: no bookmark can contain it.
std::optional<std::string> FoldTypedText(const QString& typed);

enum class SearchOrder {
  ByName,      // the bookmark lists' order: names ignoring case, in the user's locale order
  ByDistance,  // nearest to a world point first, equal distances by name
};

class BookmarkSearchIndex {
 public:
  BookmarkSearchIndex() = default;
  // Folds the texts and orders the bookmarks by name: one pass of comparisons when they stand in
  // name order already, as the bookmark lists do (also one list after the other).
  explicit BookmarkSearchIndex(const std::vector<SearchableBookmark>& bookmarks);

  // Positions (in the list the index was built from) of the bookmarks whose name or notes contain
  // typed, in the given order; empty text matches every bookmark. crossWorld, a world point, is the
  // point distances are measured from; ByName ignores it.
  std::vector<std::size_t> Find(const QString& typed, SearchOrder order, Point crossWorld = {}) const;

  std::size_t size() const { return points_.size(); }

 private:
  // The folded name and notes lines of every bookmark, each text preceded by a zero byte, which no
  // folded text holds, so a match never runs from one text into the next. Bookmark i's texts start
  // at starts_[i]; starts_ has one more entry, the end.
  std::string folded_;
  std::vector<std::size_t> starts_;
  std::vector<Point> points_;               // world points
  std::vector<std::uint32_t> inNameOrder_;  // the bookmarks in name order
};

}  // namespace orv
