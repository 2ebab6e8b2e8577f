#include "bookmarks/bookmarkdraw.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstring>
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
// A name's picture is never wider than this, more than any screen shows, and no more letters are
// laid out than could reach into it (a letter is at least a pixel wide). Hand-edited files can hold
// names of megabytes, or long names at the largest size: laid out whole, their pictures took
// gigabytes and a minute to make, and then could not be drawn at all.
constexpr int kWidestNamePicture = 8192;

int32_t PixelsOfPoints(int32_t points) {
  return (points * kPixelsPerInch + 36) / 72;
}

bool Contains(const std::string& s, char letter) {
  return s.find(letter) != std::string::npos;
}

// The key of a drawing font without its colour: names in one face, size and style share a font
// whatever their colours.
std::string FontKey(const QFont& font) {
  return font.family().toStdString() + '\x01' + std::to_string(font.pixelSize()) + '\x01' +
         char('0' + font.bold()) + char('0' + font.italic()) + char('0' + font.underline()) +
         char('0' + font.strikeOut());
}

// What every frame looks at for one bookmark, kept small and side by side: where the copies of its
// record and font record stand in the list's text store, and a bound its letters cannot leave
// (zoomed map pixels; generous until the name is first drawn, then the drawn picture's rectangle).
struct Seen {
  uint32_t recordAt = 0, recordSize = 0;
  uint32_t fontAt = 0, fontSize = 0;
  bool drawable = false;
  bool painted = false;
  int64_t left = 0, top = 0, right = 0, bottom = 0;
};

// The rest of what was worked out for a drawable bookmark.
struct Details {
  int64_t x = 0, y = 0;  // zoomed map pixel of the text box's top-left corner
  int slot = -1;         // index of the drawing font
  QColor color;
  std::string name;
  // The name's letters on a transparent picture, made when the name first reaches the view and let
  // go when it leaves, so that only the names in view hold one.
  QImage picture;
  QPoint offset;  // of the picture from the text box's top-left corner
};

// One list as last drawn. Copies of the records live one after another in `text`, so that the
// comparison at every frame reads them in order.
struct ListCache {
  std::vector<Seen> seen;
  std::vector<Details> details;
  std::string text;
  std::size_t liveBytes = 0;
  void Clear() { *this = ListCache(); }
};

// Field numbers of one record layout.
struct Layout {
  int visibility, x, y, name;
};
constexpr Layout kGlobalLayout{2, 3, 4, 5};
constexpr Layout kMapLayout{1, 2, 3, 4};

bool SameText(const std::string& s, const std::string& store, uint32_t at, uint32_t size) {
  return s.size() == size && (size == 0 || std::memcmp(s.data(), store.data() + at, size) == 0);
}

}  // namespace

struct BookmarkNames::Layer {
  void Draw(QImage& view, const BookmarkLists& lists, const MapCorners& corners, int32_t zoomPercent,
            int32_t scrollX, int32_t scrollY) {
    if (!(corners == corners_) || zoomPercent != zoom_) {
      corners_ = corners;
      zoom_ = zoomPercent;
      global_.Clear();
      current_.Clear();
      fonts_.clear();
      fontIndex_.clear();
    }
    const Span span{scrollX, scrollY, static_cast<int64_t>(scrollX) + view.width(),
                    static_cast<int64_t>(scrollY) + view.height()};
    std::optional<QPainter> painter;
    DrawList(view, painter, span, lists.GlobalBookmarks, lists.GlobalBookmarkFonts, kGlobalLayout, global_);
    DrawList(view, painter, span, lists.CurrentMapBookmarks, lists.CurrentMapBookmarkFonts, kMapLayout,
             current_);
  }

  struct Span {
    int64_t left, top, right, bottom;
    bool Misses(const Seen& e) const {
      return e.right <= left || e.left >= right || e.bottom <= top || e.top >= bottom;
    }
  };

  void DrawList(QImage& view, std::optional<QPainter>& painter, const Span& span,
                const std::vector<std::string>& records, const std::vector<std::string>& fonts,
                const Layout& layout, ListCache& cache) {
    const std::size_t n = records.size();
    cache.seen.resize(n);
    cache.details.resize(n);
    static const std::string kNoFont;
    constexpr std::size_t kAhead = 8;
    for (std::size_t i = 0; i < n; ++i) {
      // Every record is compared with its copy at every frame; fetching the records a few entries
      // ahead keeps the comparisons from waiting on memory.
      if (i + kAhead < n) {
        __builtin_prefetch(records[i + kAhead].data());
        if (i + kAhead < fonts.size()) __builtin_prefetch(fonts[i + kAhead].data());
      }
      Seen& e = cache.seen[i];
      const std::string& fontRecord = i < fonts.size() ? fonts[i] : kNoFont;
      if (!SameText(records[i], cache.text, e.recordAt, e.recordSize) ||
          !SameText(fontRecord, cache.text, e.fontAt, e.fontSize)) {
        Rebuild(cache, i, records[i], fontRecord, layout);
      }
      if (!e.drawable) continue;
      Details& d = cache.details[i];
      if (span.Misses(e)) {
        if (e.painted) {
          d.picture = QImage();
          e.painted = false;
        }
        continue;
      }
      if (!e.painted) {
        Paint(e, d);
        if (span.Misses(e)) continue;
      }
      if (!painter) painter.emplace(&view);
      // Only the letters are painted; the box around them stays as it was.
      painter->drawImage(QPoint(static_cast<int>(e.left - span.left), static_cast<int>(e.top - span.top)),
                         d.picture);
    }
    // The store keeps old copies until they outweigh the live ones.
    if (cache.text.size() > 2 * cache.liveBytes + 65536) Compact(cache, records, fonts);
  }

  static uint32_t Keep(ListCache& cache, const std::string& s) {
    const auto at = static_cast<uint32_t>(cache.text.size());
    cache.text += s;
    return at;
  }

  static void Compact(ListCache& cache, const std::vector<std::string>& records,
                      const std::vector<std::string>& fonts) {
    std::string text;
    text.reserve(cache.liveBytes);
    cache.text.swap(text);
    for (std::size_t i = 0; i < records.size(); ++i) {
      Seen& e = cache.seen[i];
      e.recordAt = Keep(cache, records[i]);
      e.fontAt = Keep(cache, i < fonts.size() ? fonts[i] : std::string());
    }
  }

  // Draws the name's letters onto a transparent picture just big enough for every part of them
  // (italic overhang, underline, strikeout), and takes the picture's rectangle as the bound.
  void Paint(Seen& e, Details& d) {
    const QFont& font = fonts_[d.slot];
    const QFontMetrics metrics(font);
    const QString text = FromBytes(d.name.substr(0, kWidestNamePicture));
    // Relative to the start of the baseline: the letters' ink, and the lines of underline and
    // strikeout, which run the whole advance.
    QRect ink = metrics.boundingRect(text);
    const int advance = metrics.horizontalAdvance(text);
    const int lineWidth = std::max(1, metrics.lineWidth());
    if (font.underline()) ink |= QRect(0, metrics.underlinePos() - lineWidth, advance, 3 * lineWidth);
    if (font.strikeOut()) ink |= QRect(0, -metrics.strikeOutPos() - lineWidth, advance, 3 * lineWidth);
    if (ink.isEmpty()) ink = QRect(0, 0, 1, 1);  // a name of blanks: nothing to see
    QRect area = ink.adjusted(-1, -1, 1, 1);     // room for the edges of smoothed letters
    if (area.width() > kWidestNamePicture) area.setWidth(kWidestNamePicture);
    d.picture = QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
    d.picture.fill(Qt::transparent);
    {
      QPainter p(&d.picture);
      p.setFont(font);
      p.setPen(d.color);
      p.drawText(-area.left(), -area.top(), text);  // the baseline's start
    }
    d.offset = QPoint(area.left(), area.top() + metrics.ascent());
    e.left = d.x + d.offset.x();
    e.top = d.y + d.offset.y();
    e.right = e.left + area.width();
    e.bottom = e.top + area.height();
    e.painted = true;
  }

  void Rebuild(ListCache& cache, std::size_t i, const std::string& record, const std::string& fontRecord,
               const Layout& layout) {
    Seen& e = cache.seen[i];
    Details& d = cache.details[i];
    cache.liveBytes += record.size() + fontRecord.size();
    cache.liveBytes -= std::min<std::size_t>(cache.liveBytes, std::size_t{e.recordSize} + e.fontSize);
    e = Seen();
    e.recordAt = Keep(cache, record);
    e.recordSize = static_cast<uint32_t>(record.size());
    e.fontAt = Keep(cache, fontRecord);
    e.fontSize = static_cast<uint32_t>(fontRecord.size());
    d = Details();
    if (GetField(layout.visibility, record, FieldSeparator) != "V") return;
    const auto x = ParseInt(GetField(layout.x, record, FieldSeparator));
    const auto y = ParseInt(GetField(layout.y, record, FieldSeparator));
    if (!x || !y) return;
    const auto pixel = WorldToMapPixel(corners_, zoom_, Point{*x, *y});
    if (!pixel) return;
    std::string name = GetField(layout.name, record, FieldSeparator);
    auto font = DrawFontOf(fontRecord, SizeReduction(zoom_));
    if (!font) return;
    d.slot = SlotOf(font->font);
    d.color = font->color;
    d.x = pixel->x;
    d.y = pixel->y;
    d.name = std::move(name);
    // Until the name is drawn: no glyph is wider than two ems, and italics and accents stay within
    // one em of the box.
    const int64_t em = font->font.pixelSize();
    e.left = d.x - em;
    e.top = d.y - em;
    e.right = d.x + (static_cast<int64_t>(d.name.size()) + 1) * 2 * em;
    e.bottom = d.y + 3 * em;
    e.drawable = true;
  }

  int SlotOf(const QFont& font) {
    std::string key = FontKey(font);
    const auto found = fontIndex_.find(key);
    if (found != fontIndex_.end()) return found->second;
    fonts_.push_back(font);
    const int index = static_cast<int>(fonts_.size()) - 1;
    fontIndex_.emplace(std::move(key), index);
    return index;
  }

  MapCorners corners_;
  int32_t zoom_ = -1;
  ListCache global_;
  ListCache current_;
  std::vector<QFont> fonts_;  // the distinct drawing fonts at this zoom
  std::unordered_map<std::string, int> fontIndex_;
};

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

BookmarkNames::BookmarkNames() : layer_(std::make_unique<Layer>()) {}
BookmarkNames::~BookmarkNames() = default;

void BookmarkNames::Draw(QImage& view, const BookmarkLists& lists, const MapCorners& corners,
                         int32_t zoomPercent, int32_t scrollX, int32_t scrollY) {
  layer_->Draw(view, lists, corners, zoomPercent, scrollX, scrollY);
}

}  // namespace orv
