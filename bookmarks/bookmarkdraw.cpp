#include "bookmarks/bookmarkdraw.h"

#include <algorithm>

#include "core/numbers.h"
#include "storage/fields.h"
#include "view/text.h"

namespace orv {
namespace {

// Names are laid out at the resolution the map pictures are made for.
constexpr int32_t kPixelsPerInch = 96;
// Hand-edited sizes beyond this are drawn at this size, which already fills any view.
constexpr int32_t kLargestBookmarkPoints = 1000;

int32_t PixelsOfPoints(int32_t points) {
  return (points * kPixelsPerInch + 36) / 72;
}

bool Contains(const std::string& s, char letter) {
  return s.find(letter) != std::string::npos;
}

}  // namespace

QColor ColorOfFontValue(int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  if ((v >> 24) == 0xFF) return QColor(Qt::black);
  return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                static_cast<int>((v >> 16) & 0xFF));
}

int32_t FontValueOfColor(const QColor& color) {
  const QColor rgb = color.toRgb();
  return static_cast<int32_t>(static_cast<uint32_t>(rgb.red()) | static_cast<uint32_t>(rgb.green()) << 8 |
                              static_cast<uint32_t>(rgb.blue()) << 16);
}

int32_t SizeReduction(int32_t zoomPercent) {
  return zoomPercent < 100 ? 10 - zoomPercent / 10 : 0;
}

std::optional<BookmarkDrawFont> DrawFontOf(const std::string& fontRecord, int32_t reduction) {
  std::string face = "Arial";
  int32_t size = 10;
  int32_t color = 0;
  std::string style = "b";
  if (!fontRecord.empty()) {
    face = GetField(1, fontRecord, FieldSeparator);
    const auto storedSize = ParseInt(GetField(2, fontRecord, FieldSeparator));
    const auto storedColor = ParseInt(GetField(3, fontRecord, FieldSeparator));
    style = GetField(4, fontRecord, FieldSeparator);
    if (!storedSize || !storedColor) return std::nullopt;
    size = *storedSize;
    color = *storedColor;
  }
  const int64_t reduced = static_cast<int64_t>(size) - reduction;
  const auto points =
      static_cast<int32_t>(std::clamp<int64_t>(reduced, SmallestBookmarkPoints, kLargestBookmarkPoints));
  BookmarkDrawFont out;
  out.font.setFamily(FromBytes(face));
  out.font.setPixelSize(PixelsOfPoints(points));
  out.font.setBold(Contains(style, 'b'));
  out.font.setItalic(Contains(style, 'i'));
  out.font.setUnderline(Contains(style, 'u'));
  out.font.setStrikeOut(Contains(style, 's'));
  out.color = ColorOfFontValue(color);
  out.points = points;
  return out;
}

}  // namespace orv
