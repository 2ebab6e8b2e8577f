#include "bookmarks/bookmarkdraw.h"

#include <QPainter>
#include <QStaticText>
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "core/numbers.h"
#include "storage/fields.h"
#include "view/text.h"

namespace orv {
namespace {

// Names are laid out at the resolution the map pictures are made for.
constexpr int32_t kPixelsPerInch = 96;
// Hand-edited sizes beyond this are drawn at this size, which already fills any view.
constexpr int32_t kLargestBookmarkPoints = 1000;
// Distinct fonts kept between frames; past this the cache starts again (only hand-edited files come
// near it).
constexpr std::size_t kMaxCachedFonts = 512;

int32_t PixelsOfPoints(int32_t points) {
  return (points * kPixelsPerInch + 36) / 72;
}

bool Contains(const std::string& s, char letter) {
  return s.find(letter) != std::string::npos;
}

struct FontSlot {
  std::optional<BookmarkDrawFont> font;
  int32_t em = 0;  // pixel size
};

// One bookmark as last drawn: its record and font record, and what was worked out from them.
struct Entry {
  std::string record;
  std::string fontRecord;
  bool drawable = false;
  int64_t x = 0, y = 0;                              // zoomed map pixel of the text box's top-left corner
  int64_t left = 0, top = 0, right = 0, bottom = 0;  // a bound the text cannot leave, zoomed map pixels
  int slot = -1;
  std::string name;
  std::optional<QStaticText> text;  // laid out when first drawn
};

// Field numbers of one record layout.
struct Layout {
  int visibility, x, y, name;
};
constexpr Layout kGlobalLayout{2, 3, 4, 5};
constexpr Layout kMapLayout{1, 2, 3, 4};

class BookmarkLayer {
 public:
  void Draw(QImage& view, const BookmarkLists& lists, const MapCorners& corners, int32_t zoomPercent,
            int32_t scrollX, int32_t scrollY) {
    if (!(corners == corners_) || zoomPercent != zoom_ || fonts_.size() > kMaxCachedFonts) {
      corners_ = corners;
      zoom_ = zoomPercent;
      global_.clear();
      current_.clear();
      fonts_.clear();
      fontIndex_.clear();
    }
    const Span span{scrollX, scrollY, static_cast<int64_t>(scrollX) + view.width(),
                    static_cast<int64_t>(scrollY) + view.height()};
    std::optional<QPainter> painter;
    int lastSlot = -1;
    DrawList(view, painter, lastSlot, span, lists.GlobalBookmarks, lists.GlobalBookmarkFonts, kGlobalLayout,
             global_);
    DrawList(view, painter, lastSlot, span, lists.CurrentMapBookmarks, lists.CurrentMapBookmarkFonts,
             kMapLayout, current_);
  }

 private:
  struct Span {
    int64_t left, top, right, bottom;
  };

  void DrawList(QImage& view, std::optional<QPainter>& painter, int& lastSlot, const Span& span,
                const std::vector<std::string>& records, const std::vector<std::string>& fonts,
                const Layout& layout, std::vector<Entry>& entries) {
    entries.resize(records.size());
    static const std::string kNoFont;
    for (std::size_t i = 0; i < records.size(); ++i) {
      Entry& e = entries[i];
      const std::string& fontRecord = i < fonts.size() ? fonts[i] : kNoFont;
      if (e.record != records[i] || e.fontRecord != fontRecord) Rebuild(e, records[i], fontRecord, layout);
      if (!e.drawable || e.right <= span.left || e.left >= span.right || e.bottom <= span.top ||
          e.top >= span.bottom) {
        continue;
      }
      const BookmarkDrawFont& font = *fonts_[e.slot].font;
      if (!painter) painter.emplace(&view);
      if (e.slot != lastSlot) {
        painter->setFont(font.font);
        painter->setPen(font.color);
        lastSlot = e.slot;
      }
      if (!e.text) {
        QStaticText text(FromBytes(e.name));
        text.setTextFormat(Qt::PlainText);
        text.setPerformanceHint(QStaticText::AggressiveCaching);
        text.prepare(QTransform(), font.font);
        e.text = std::move(text);
      }
      // Only the letters are painted; the box around them stays as it was.
      painter->drawStaticText(
          QPointF(static_cast<double>(e.x - span.left), static_cast<double>(e.y - span.top)), *e.text);
    }
  }

  void Rebuild(Entry& e, const std::string& record, const std::string& fontRecord, const Layout& layout) {
    e.record = record;
    e.fontRecord = fontRecord;
    e.drawable = false;
    e.text.reset();
    e.name.clear();
    if (GetField(layout.visibility, record, FieldSeparator) != "V") return;
    const auto x = ParseInt(GetField(layout.x, record, FieldSeparator));
    const auto y = ParseInt(GetField(layout.y, record, FieldSeparator));
    if (!x || !y) return;
    const auto pixel = WorldToMapPixel(corners_, zoom_, Point{*x, *y});
    if (!pixel) return;
    std::string name = GetField(layout.name, record, FieldSeparator);
    e.slot = SlotOf(fontRecord);
    if (!fonts_[e.slot].font) return;
    // A generous bound: no glyph is wider than two ems, and italics and accents stay within one em
    // of the box.
    const int64_t em = fonts_[e.slot].em;
    e.x = pixel->x;
    e.y = pixel->y;
    e.left = e.x - em;
    e.top = e.y - em;
    e.right = e.x + (static_cast<int64_t>(name.size()) + 1) * 2 * em;
    e.bottom = e.y + 3 * em;
    e.name = std::move(name);
    e.drawable = true;
  }

  int SlotOf(const std::string& fontRecord) {
    const auto found = fontIndex_.find(fontRecord);
    if (found != fontIndex_.end()) return found->second;
    FontSlot slot;
    slot.font = DrawFontOf(fontRecord, SizeReduction(zoom_));
    if (slot.font) slot.em = slot.font->font.pixelSize();
    fonts_.push_back(std::move(slot));
    const int index = static_cast<int>(fonts_.size()) - 1;
    fontIndex_.emplace(fontRecord, index);
    return index;
  }

  MapCorners corners_;
  int32_t zoom_ = -1;
  std::vector<Entry> global_;
  std::vector<Entry> current_;
  std::vector<FontSlot> fonts_;
  std::unordered_map<std::string, int> fontIndex_;
};

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

void DrawBookmarks(QImage& view, const BookmarkLists& lists, const MapCorners& corners, int32_t zoomPercent,
                   int32_t scrollX, int32_t scrollY) {
  // One layer for the program: it holds only what it can check against the lists at every frame.
  static BookmarkLayer layer;
  layer.Draw(view, lists, corners, zoomPercent, scrollX, scrollY);
}

}  // namespace orv
