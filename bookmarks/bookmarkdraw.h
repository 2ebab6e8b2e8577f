#pragma once
// Bookmark names on the map: each visible bookmark's name in its own font, with the top-left corner
// of its text box at the bookmark's world position. There is no other mark.
#include <QColor>
#include <QFont>
#include <QImage>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "bookmarks/bookmarkstore.h"
#include "core/transform.h"

namespace orv {

// Points taken off every font size at zooms below 100 percent: 10 - zoomPercent / 10 there (95 gives
// 1, 50 gives 5, 25 gives 8), 0 from 100 percent up.
int32_t SizeReduction(int32_t zoomPercent);

// Sizes are drawn at 96 pixels per inch and never below this many points.
inline constexpr int32_t SmallestBookmarkPoints = 5;

// Colour values of font records (red in the lowest byte, then green, then blue) and Qt colours. A
// value whose high byte is 0xFF names a system colour; it shows as the usual text colour, black.
QColor ColorOfFontValue(int32_t value);
int32_t FontValueOfColor(const QColor& color);

struct BookmarkDrawFont {
  QFont font;  // pixel size set from the reduced point size
  QColor color;
  int32_t points;  // the size drawn, in points
};

// The drawing font of a font record (face, size, colour, style letters) with the size reduced by
// `reduction` but not below SmallestBookmarkPoints. An empty record gives Arial, 10 points, black,
// bold. Nothing when the size or colour is not an integer: such a bookmark cannot be drawn.
std::optional<BookmarkDrawFont> DrawFontOf(const std::string& fontRecord, int32_t reduction);

// The names of the bookmarks on the view. Draw writes the names of the bookmarks whose visibility is
// "V" into view (the visible part of the map, whose top-left corner is the zoomed map pixel
// (scrollX, scrollY)): the global bookmarks first, in list order, then the current map's over them.
// Bookmarks whose coordinates, size or colour are not integers are left out.
//
// Positions, fonts and pictures of the names are kept between frames and worked out again only for
// records that changed (every record is compared with its copy at every frame), so a frame costs
// little more than the names that reach it. One object per view.
class BookmarkNames {
 public:
  BookmarkNames();
  ~BookmarkNames();
  BookmarkNames(const BookmarkNames&) = delete;
  BookmarkNames& operator=(const BookmarkNames&) = delete;

  void Draw(QImage& view, const BookmarkLists& lists, const MapCorners& corners, int32_t zoomPercent,
            int32_t scrollX, int32_t scrollY);

 private:
  struct Layer;
  std::unique_ptr<Layer> layer_;
};

}  // namespace orv
