#include "maplinks/linkoutlines.h"

#include <QPainter>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "core/numbers.h"

namespace orv {
namespace {

constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();
// Grid cells are at least this many picture pixels across, and a grid has at most this many cells
// along either side, however far apart hand-edited corners lie.
constexpr int64_t kSmallestCell = 64;
constexpr int64_t kMostCellsAcross = 256;
// An area over more cells than this is kept apart and looked at for every request, rather than
// being listed in each of its cells.
constexpr int64_t kMostCellsPerArea = 64;

PixelBox OrderedCorners(const LinkRect& area) {
  return {std::min<int64_t>(area.x1, area.x2), std::min<int64_t>(area.y1, area.y2),
          std::max<int64_t>(area.x1, area.x2), std::max<int64_t>(area.y1, area.y2)};
}

// A colour ready to be laid over pixels: premultiplied, with the share of the pixel that stays.
class Tint {
 public:
  explicit Tint(const QColor& color) : source_(qPremultiply(color.rgba())), keep_(255 - color.alpha()) {}
  // The colour over an opaque or premultiplied pixel, rounded as the raster painter rounds.
  QRgb Over(QRgb pixel) const {
    uint32_t redBlue = (pixel & 0xff00ff) * keep_;
    redBlue = ((redBlue + ((redBlue >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    uint32_t alphaGreen = ((pixel >> 8) & 0xff00ff) * keep_;
    alphaGreen = (alphaGreen + ((alphaGreen >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return source_ + (alphaGreen | redBlue);
  }
  // The colour over a run of pixels; four at a time where the processor can, with the same rounding.
  void Over(QRgb* begin, QRgb* end) const {
    QRgb* p = begin;
#ifdef __SSE2__
    const __m128i keep = _mm_set1_epi16(static_cast<short>(keep_));
    const __m128i half = _mm_set1_epi16(0x80);
    const __m128i zero = _mm_setzero_si128();
    const __m128i source = _mm_set1_epi32(static_cast<int>(source_));
    const auto times = [&](__m128i channels) {  // channels * keep / 255, rounded
      const __m128i t = _mm_mullo_epi16(channels, keep);
      return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), half), 8);
    };
    for (; end - p >= 4; p += 4) {
      const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      const __m128i kept =
          _mm_packus_epi16(times(_mm_unpacklo_epi8(pixels, zero)), times(_mm_unpackhi_epi8(pixels, zero)));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_add_epi8(kept, source));
    }
#endif
    for (; p != end; ++p) *p = Over(*p);
  }

 private:
  QRgb source_;
  uint32_t keep_;
};

// The pixels of a 32-bit image, reached without a check per row.
struct Pixels {
  explicit Pixels(QImage& image)
      : bits(image.bits()), stride(image.bytesPerLine()), width(image.width()), height(image.height()) {}
  QRgb* Row(int64_t y) const { return reinterpret_cast<QRgb*>(bits + y * stride); }
  uchar* bits;
  int64_t stride;
  int width, height;
};

// The first column from `from` on (before w) at which edges is not 0, or w: four columns at a time.
int NextEdge(const uint16_t* edges, int from, int w) {
  int x = from;
  for (; x < w && (x & 3) != 0; ++x)
    if (edges[x] != 0) return x;
  for (uint64_t four = 0; x + 4 <= w; x += 4) {
    std::memcpy(&four, edges + x, sizeof four);
    if (four != 0) break;
  }
  while (x < w && edges[x] == 0) ++x;
  return x;
}

// Paints outlines (view positions) into a 32-bit opaque or premultiplied image, each pixel at most
// once: the line where it runs on any outline, else the fill where it lies inside any area. Counts
// of outlines and insides over each pixel are kept row by row, so a frame costs the rows the areas
// cover and not the areas' total size, and the image is walked in memory order.
void PaintOutlines(QImage& target, const std::vector<PixelBox>& outlines, const LinkOutlineStyle& style) {
  const Pixels image(target);
  const int w = image.width, h = image.height;
  // An outline's whole box adds one to the line count; its inside takes that one back and adds one
  // to the inside count. Each rectangle, cut to the image, changes its columns' counts from its top
  // row on and changes them back below its bottom row.
  struct Part {
    PixelBox box;
    int32_t line, inside;
  };
  std::vector<Part> parts;
  const auto add = [&](int64_t left, int64_t top, int64_t right, int64_t bottom, int32_t line,
                       int32_t inside) {
    const PixelBox cut{std::max<int64_t>(left, 0), std::max<int64_t>(top, 0), std::min<int64_t>(right, w - 1),
                       std::min<int64_t>(bottom, h - 1)};
    if (cut.left <= cut.right && cut.top <= cut.bottom) parts.push_back({cut, line, inside});
  };
  for (const PixelBox& b : outlines) {
    add(b.left, b.top, b.right, b.bottom, 1, 0);
    add(b.left + 1, b.top + 1, b.right - 1, b.bottom - 1, -1, 1);
  }
  struct Change {
    int32_t left, right, line, inside, opened;  // opened: +1 at the top row, -1 below the bottom
  };
  std::vector<uint32_t> rowStart(static_cast<std::size_t>(h) + 2, 0);
  for (const Part& p : parts) {
    ++rowStart[p.box.top + 1];
    ++rowStart[p.box.bottom + 2];
  }
  for (std::size_t r = 1; r < rowStart.size(); ++r) rowStart[r] += rowStart[r - 1];
  std::vector<Change> changes(rowStart.back());
  std::vector<uint32_t> next(rowStart.begin(), rowStart.end() - 1);
  for (const Part& p : parts) {
    const auto l = static_cast<int32_t>(p.box.left), r = static_cast<int32_t>(p.box.right);
    changes[next[p.box.top]++] = {l, r, p.line, p.inside, 1};
    changes[next[p.box.bottom + 1]++] = {l, r, -p.line, -p.inside, -1};
  }

  const Tint fill(style.fill), line(style.line);
  const bool filled = style.fill.alpha() > 0;
  std::vector<int32_t> lineChange(static_cast<std::size_t>(w) + 1, 0), insideChange(lineChange);
  // Columns at which the rectangles on the row begin or end: the only places the counts can change.
  std::vector<uint16_t> edges(static_cast<std::size_t>(w) + 1, 0);
  int64_t partsOnRow = 0;
  for (int y = 0; y < h; ++y) {
    for (uint32_t k = rowStart[y]; k < rowStart[y + 1]; ++k) {
      const Change& c = changes[k];
      lineChange[c.left] += c.line;
      lineChange[c.right + 1] -= c.line;
      insideChange[c.left] += c.inside;
      insideChange[c.right + 1] -= c.inside;
      edges[c.left] += c.opened;
      edges[c.right + 1] += c.opened;
      partsOnRow += c.opened;
    }
    if (partsOnRow == 0) continue;
    QRgb* row = image.Row(y);
    // The counts hold between the columns where they change: each run is tinted in one tight loop.
    int32_t lines = 0, insides = 0;
    for (int x = 0; x < w;) {
      lines += lineChange[x];
      insides += insideChange[x];
      const int end = NextEdge(edges.data(), x + 1, w);
      if (lines > 0)
        line.Over(row + x, row + end);
      else if (insides > 0 && filled)
        fill.Over(row + x, row + end);
      x = end;
    }
  }
}

int64_t Clamp(int64_t v, int64_t lowest, int64_t highest) {
  return std::clamp(v, lowest, std::max(lowest, highest));
}

int64_t Overlap(const PixelBox& a, const QRect& r) {
  const int64_t w = std::min<int64_t>(a.right, r.right()) - std::max<int64_t>(a.left, r.left()) + 1;
  const int64_t h = std::min<int64_t>(a.bottom, r.bottom()) - std::max<int64_t>(a.top, r.top()) + 1;
  return w > 0 && h > 0 ? w * h : 0;
}

PixelBox Shifted(const PixelBox& b, int64_t dx, int64_t dy) {
  return {b.left + dx, b.top + dy, b.right + dx, b.bottom + dy};
}

}  // namespace

PixelBox OutlineBox(const LinkRect& area, int32_t zoomPercent) {
  // The pointer finds the area at zoomed pixel x when left < x * 100 / zoom < right (truncated):
  // from ceil((left + 1) * zoom / 100) to ceil(right * zoom / 100) - 1. The outline is one pixel
  // further out on each side.
  const PixelBox c = OrderedCorners(area);
  const int64_t z = zoomPercent;
  PixelBox b{CeilDiv((c.left + 1) * z, 100) - 1, CeilDiv((c.top + 1) * z, 100) - 1, CeilDiv(c.right * z, 100),
             CeilDiv(c.bottom * z, 100)};
  // Corners equal or side by side have no inside; their outline is a single line.
  b.right = std::max(b.right, b.left);
  b.bottom = std::max(b.bottom, b.top);
  return b;
}

LinkAreaIndex::LinkAreaIndex(const std::vector<LinkRect>& areas) {
  entries_.reserve(areas.size());
  byPosition_.assign(areas.size(), kNone);
  for (std::size_t i = 0; i < areas.size(); ++i) {
    byPosition_[i] = static_cast<uint32_t>(entries_.size());
    entries_.push_back({areas[i], OrderedCorners(areas[i]), static_cast<uint32_t>(i)});
  }
  if (entries_.empty()) return;
  PixelBox extent = entries_[0].box;
  for (const Entry& e : entries_) {
    extent.left = std::min(extent.left, e.box.left);
    extent.top = std::min(extent.top, e.box.top);
    extent.right = std::max(extent.right, e.box.right);
    extent.bottom = std::max(extent.bottom, e.box.bottom);
  }
  originX_ = extent.left;
  originY_ = extent.top;
  const int64_t across = std::max(extent.right - extent.left, extent.bottom - extent.top) + 1;
  cellSize_ = std::max(kSmallestCell, CeilDiv(across, kMostCellsAcross));
  columns_ = CellX(extent.right) + 1;
  rows_ = CellY(extent.bottom) + 1;
  for (Entry& e : entries_) {
    e.cellLeft = CellX(e.box.left);
    e.cellTop = CellY(e.box.top);
  }

  // Two passes: count the entries of each cell, then place them, in list order.
  const auto cells = [&](const Entry& e) {
    return (CellX(e.box.right) - CellX(e.box.left) + 1) * (CellY(e.box.bottom) - CellY(e.box.top) + 1);
  };
  const auto forEachCell = [&](const Entry& e, auto&& visit) {
    for (int64_t cy = CellY(e.box.top); cy <= CellY(e.box.bottom); ++cy)
      for (int64_t cx = CellX(e.box.left); cx <= CellX(e.box.right); ++cx) visit(cy * columns_ + cx);
  };
  cellStart_.assign(static_cast<std::size_t>(columns_ * rows_ + 1), 0);
  for (const Entry& e : entries_)
    if (cells(e) <= kMostCellsPerArea) forEachCell(e, [&](int64_t c) { ++cellStart_[c + 1]; });
  for (std::size_t c = 1; c < cellStart_.size(); ++c) cellStart_[c] += cellStart_[c - 1];
  cellItems_.resize(cellStart_.back());
  std::vector<uint32_t> next(cellStart_.begin(), cellStart_.end() - 1);
  for (uint32_t i = 0; i < entries_.size(); ++i) {
    if (cells(entries_[i]) > kMostCellsPerArea)
      wide_.push_back(i);
    else
      forEachCell(entries_[i], [&](int64_t c) { cellItems_[next[c]++] = i; });
  }
}

LinkAreaIndex LinkAreaIndex::OfRecords(const std::vector<std::string>& records) {
  LinkAreaIndex index;
  std::vector<LinkRect> areas;
  std::vector<uint32_t> positions;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (const auto area = LinkArea(records[i])) {
      areas.push_back(*area);
      positions.push_back(static_cast<uint32_t>(i));
    }
  }
  index = LinkAreaIndex(areas);
  index.byPosition_.assign(records.size(), kNone);
  for (std::size_t e = 0; e < index.entries_.size(); ++e) {
    index.entries_[e].position = positions[e];
    index.byPosition_[positions[e]] = static_cast<uint32_t>(e);
  }
  return index;
}

int64_t LinkAreaIndex::CellX(int64_t x) const {
  return FloorDiv(x - originX_, cellSize_);
}
int64_t LinkAreaIndex::CellY(int64_t y) const {
  return FloorDiv(y - originY_, cellSize_);
}

void LinkAreaIndex::Meeting(const PixelBox& box, std::vector<uint32_t>& positions) const {
  positions.clear();
  if (entries_.empty()) return;
  const int64_t requestCellX = CellX(box.left), requestCellY = CellY(box.top);
  const int64_t cx0 = std::max<int64_t>(requestCellX, 0), cx1 = std::min(CellX(box.right), columns_ - 1);
  const int64_t cy0 = std::max<int64_t>(requestCellY, 0), cy1 = std::min(CellY(box.bottom), rows_ - 1);
  for (int64_t cy = cy0; cy <= cy1; ++cy)
    for (int64_t cx = cx0; cx <= cx1; ++cx) {
      const int64_t c = cy * columns_ + cx;
      for (uint32_t k = cellStart_[c]; k < cellStart_[c + 1]; ++k) {
        const Entry& e = entries_[cellItems_[k]];
        if (!e.box.Meets(box)) continue;
        // An area listed in several cells of the request is taken in the first of them only: the
        // cell of the top-left corner of its overlap with the request.
        if (std::max(e.cellLeft, requestCellX) != cx || std::max(e.cellTop, requestCellY) != cy) continue;
        positions.push_back(e.position);
      }
    }
  for (uint32_t i : wide_)
    if (entries_[i].box.Meets(box)) positions.push_back(entries_[i].position);
  std::sort(positions.begin(), positions.end());
}

std::optional<uint32_t> LinkAreaIndex::FirstHolding(Point picturePixel) const {
  std::vector<uint32_t> near;
  Meeting({picturePixel.x, picturePixel.y, picturePixel.x, picturePixel.y}, near);
  for (uint32_t position : near)
    if (AreaHolds(Area(position), picturePixel)) return position;
  return std::nullopt;
}

const LinkRect& LinkAreaIndex::Area(uint32_t position) const {
  static const LinkRect kNoArea;
  if (position >= byPosition_.size() || byPosition_[position] == kNone) return kNoArea;
  return entries_[byPosition_[position]].area;
}

void DrawLinkOutlines(QImage& view, const LinkAreaIndex& index, int32_t zoomPercent, Point viewOrigin,
                      const LinkOutlineStyle& style) {
  if (zoomPercent < 1 || view.isNull() || index.empty()) return;
  const int64_t z = zoomPercent;
  const PixelBox shown{viewOrigin.x, viewOrigin.y, int64_t{viewOrigin.x} + view.width() - 1,
                       int64_t{viewOrigin.y} + view.height() - 1};
  // The picture pixels whose outlines can reach the view, with a zoomed pixel to spare on each side.
  const PixelBox request{FloorDiv((shown.left - 2) * 100, z), FloorDiv((shown.top - 2) * 100, z),
                         CeilDiv((shown.right + 3) * 100, z), CeilDiv((shown.bottom + 3) * 100, z)};
  std::vector<uint32_t> positions;
  index.Meeting(request, positions);
  std::vector<PixelBox> outlines;  // view positions
  for (uint32_t position : positions) {
    const PixelBox box = OutlineBox(index.Area(position), zoomPercent);
    if (box.Meets(shown)) outlines.push_back(Shifted(box, -shown.left, -shown.top));
  }
  if (outlines.empty()) return;
  if (view.format() == QImage::Format_RGB32 || view.format() == QImage::Format_ARGB32_Premultiplied) {
    PaintOutlines(view, outlines, style);
    return;
  }
  // Other pixel formats take the outlines through a premultiplied layer.
  QImage layer(view.size(), QImage::Format_ARGB32_Premultiplied);
  layer.fill(Qt::transparent);
  PaintOutlines(layer, outlines, style);
  QPainter(&view).drawImage(0, 0, layer);
}

Point ScrollAreaIntoView(const LinkRect& area, const ViewPlacement& view, const QRect& covered, Point lowest,
                         Point highest) {
  if (view.zoomPercent < 1 || view.width <= 0 || view.height <= 0) return view.origin;
  const PixelBox box = OutlineBox(area, view.zoomPercent);  // zoomed map pixels
  const QRect whole(0, 0, view.width, view.height);
  const QRect c = covered & whole;
  std::vector<QRect> free;
  if (c.isEmpty()) {
    free.push_back(whole);
  } else {
    for (const QRect& strip :
         {QRect(0, 0, c.left(), view.height),
          QRect(c.right() + 1, 0, view.width - c.right() - 1, view.height), QRect(0, 0, view.width, c.top()),
          QRect(0, c.bottom() + 1, view.width, view.height - c.bottom() - 1)})
      if (!strip.isEmpty()) free.push_back(strip);
    if (free.empty()) free.push_back(whole);  // the window hides the whole view
  }
  const PixelBox now = Shifted(box, -view.origin.x, -view.origin.y);
  const int64_t size = (box.right - box.left + 1) * (box.bottom - box.top + 1);
  for (const QRect& strip : free)
    if (Overlap(now, strip) == size) return view.origin;

  Point best = view.origin;
  int64_t bestShown = -1, bestMoved = 0;
  for (const QRect& strip : free) {
    // Along each direction in which the area does not lie within the strip, the area's middle goes
    // on the strip's middle (both doubled, to stay in integers); the other direction stays.
    const bool fitsAcross = now.left >= strip.left() && now.right <= strip.right();
    const bool fitsDown = now.top >= strip.top() && now.bottom <= strip.bottom();
    const int64_t x =
        fitsAcross
            ? view.origin.x
            : Clamp(FloorDiv(box.left + box.right - (2 * int64_t{strip.left()} + strip.width() - 1), 2),
                    lowest.x, highest.x);
    const int64_t y =
        fitsDown ? view.origin.y
                 : Clamp(FloorDiv(box.top + box.bottom - (2 * int64_t{strip.top()} + strip.height() - 1), 2),
                         lowest.y, highest.y);
    const int64_t shownPart = Overlap(Shifted(box, -x, -y), strip);
    const int64_t moved = std::abs(x - view.origin.x) + std::abs(y - view.origin.y);
    if (shownPart > bestShown || (shownPart == bestShown && moved < bestMoved)) {
      best = {static_cast<int32_t>(x), static_cast<int32_t>(y)};
      bestShown = shownPart;
      bestMoved = moved;
    }
  }
  return best;
}

}  // namespace orv
