#pragma once
// The drawing font of a bookmark: its own font record, smaller at zooms below 100 percent. The names
// themselves are drawn by BookmarkNames.
#include <QColor>
#include <QFont>
#include <QImage>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "bookmarks/bookmarknames.h"
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

}  // namespace orv
