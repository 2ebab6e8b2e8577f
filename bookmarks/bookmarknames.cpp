#include "bookmarks/bookmarknames.h"

#include <QPainter>
#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "bookmarks/bookmarkdraw.h"
#include "core/numbers.h"
#include "storage/fields.h"
#include "view/keptframe.h"
#include "view/render.h"
#include "view/text.h"

namespace orv {
namespace {

// The rectangle r of view (within it) as an image of its own over the view's pixels.
QImage PartOf(QImage& view, const QRect& r) {
  const qsizetype stride = view.bytesPerLine();
  return QImage(view.bits() + r.y() * stride + r.x() * qsizetype{4}, r.width(), r.height(), stride,
                view.format());
}

// What ComposeZoomedView(view, picture, origin, zoomPercent, dw, dh) writes into the rectangle part of
// view (view positions), written there alone. origin plus the view's size must fit in 32 bits.
void ComposeZoomedPart(QImage& view, const QImage& picture, Point origin, int32_t zoomPercent, int32_t dw,
                       int32_t dh, const QRect& part) {
  const QRect r = part & view.rect();
  if (r.isEmpty()) return;
  // Its pixel (0, 0) is the view position r.topLeft(), which shows the zoomed map pixel
  // origin + r.topLeft().
  QImage sub = PartOf(view, r);
  ComposeZoomedView(sub, picture, {origin.x + r.x(), origin.y + r.y()}, zoomPercent,
                    std::clamp(dw - r.x(), 0, r.width()), std::clamp(dh - r.y(), 0, r.height()));
}

// Tiles of the names layer and cells of the index of name points, both in zoomed map pixels.
constexpr int64_t kTile = 256;
constexpr int64_t kCell = 256;
// A name's picture reaches at most this far right of and below its point, and this far left of and
// above it, unless it is one of the few long or large names that are looked at for every request.
constexpr int64_t kReachRight = 1024;
constexpr int64_t kReachDown = 256;
constexpr int64_t kReachBack = 80;
// Room for the halo, the marker and smoothed edges around the letters' box.
constexpr int64_t kLabelMargin = 8;
// From this zoom up every picture pixel fills at least 2 x 2 view pixels: composing the picture reads
// at most a quarter of what copying a kept tile reads, so frames compose it and blend the names.
constexpr int32_t kComposeFromZoom = 200;

uint64_t KeyOf(int64_t x, int64_t y) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(x)) << 32) | static_cast<uint32_t>(y);
}

// A rectangle of zoomed map pixels, both ends included.
struct Box {
  int64_t left, top, right, bottom;
  bool Meets(const Box& o) const {
    return left <= o.right && o.left <= right && top <= o.bottom && o.top <= bottom;
  }
};

// What an entry is at one zoom.
struct Placed {
  bool shown = false;       // its point has a zoomed map pixel
  Point at;                 // zoomed map pixel of its point
  Box bound{0, 0, -1, -1};  // zoomed map pixels its picture cannot leave
};

}  // namespace

struct BookmarkNames::Layer {
  bool listsChanged = true;
  NameLabelOptions options;

  DrawnNames drawnNames;  // what the lists say about drawing, taken at their last change

  // At the zoom and corners below.
  bool placedValid = false;
  MapCorners corners;
  int32_t zoom = -1;
  std::vector<std::optional<BookmarkDrawFont>> fonts;  // of each font record at this zoom
  std::vector<Placed> placed;
  std::unordered_map<uint64_t, std::vector<uint32_t>> cells;  // near entries by the cell of their point
  std::vector<uint32_t> wide;                                 // the others

  struct Tile {
    QImage picture;  // the names' pixels of the tile, cut to where they reach; null when none
    QPoint at;       // zoomed map pixel of the picture's top-left corner
    uint64_t used = 0;
    QImage composed;  // the whole tile as the view shows it (RGB32), once a frame has taken it
  };
  std::unordered_map<uint64_t, Tile> tiles;
  uint64_t frame = 0;
  qint64 pictureKey = 0;  // of the picture the composed tiles were made from
  uint64_t drawn = 0;     // counts the changes of what the names look like: each drops the tiles
  KeptFrame kept;         // the last frame composed, while it stays in the view

  void DropTiles() {
    tiles.clear();
    ++drawn;
  }

  void Update(const BookmarkLists& lists, const MapCorners& c, int32_t z) {
    if (listsChanged) {
      listsChanged = false;
      if (drawnNames.Take(lists)) {
        placedValid = false;
        DropTiles();
      }
    }
    if (!placedValid || !(c == corners) || z != zoom) {
      corners = c;
      zoom = z;
      Place();
      placedValid = true;
      DropTiles();
    }
  }

  // Positions, bounds and the index of the entries at the zoom.
  void Place() {
    fonts.clear();
    for (const std::string& shape : drawnNames.FontShapes())
      fonts.push_back(DrawFontOf(shape, SizeReduction(zoom)));
    const std::vector<DrawnName>& entries = drawnNames.Entries();
    placed.assign(entries.size(), Placed{});
    cells.clear();
    wide.clear();
    for (uint32_t i = 0; i < entries.size(); ++i) {
      const DrawnName& e = entries[i];
      const auto pixel = WorldToMapPixel(corners, zoom, e.world);
      const auto& font = fonts[e.font];
      if (!pixel || !font) continue;
      Placed& p = placed[i];
      p.shown = true;
      p.at = *pixel;
      // No glyph is wider than two ems, and italics and accents stay within one em of the box.
      const int64_t em = font->font.pixelSize();
      const int64_t back = em + kLabelMargin;
      const int64_t right = static_cast<int64_t>(e.nameSize + 1) * 2 * em + kLabelMargin;
      const int64_t down = 3 * em + kLabelMargin;
      p.bound = {p.at.x - back, p.at.y - back, p.at.x + right, p.at.y + down};
      if (back <= kReachBack && right <= kReachRight && down <= kReachDown)
        cells[KeyOf(FloorDiv(p.at.x, kCell), FloorDiv(p.at.y, kCell))].push_back(i);
      else
        wide.push_back(i);
    }
  }

  // The entries whose bound meets box, in drawing order.
  std::vector<uint32_t> Meeting(const Box& box) const {
    std::vector<uint32_t> found;
    const int64_t cx0 = FloorDiv(box.left - kReachRight, kCell),
                  cx1 = FloorDiv(box.right + kReachBack, kCell);
    const int64_t cy0 = FloorDiv(box.top - kReachDown, kCell), cy1 = FloorDiv(box.bottom + kReachBack, kCell);
    for (int64_t cy = cy0; cy <= cy1; ++cy)
      for (int64_t cx = cx0; cx <= cx1; ++cx) {
        const auto cell = cells.find(KeyOf(cx, cy));
        if (cell == cells.end()) continue;
        for (uint32_t i : cell->second)
          if (placed[i].bound.Meets(box)) found.push_back(i);
      }
    for (uint32_t i : wide)
      if (placed[i].bound.Meets(box)) found.push_back(i);
    std::sort(found.begin(), found.end());
    return found;
  }

  using Labels = std::unordered_map<uint32_t, NameLabel>;
  const NameLabel& LabelOf(uint32_t i, Labels& labels) const {
    auto [label, isNew] = labels.try_emplace(i);
    if (isNew) {
      const DrawnName& e = drawnNames.Entries()[i];
      label->second = MakeNameLabel(FromBytes(drawnNames.NameOf(e)), fonts[e.font]->font,
                                    QColor::fromRgb(e.color), options);
    }
    return label->second;
  }

  QRect AreaOf(uint32_t i, Labels& labels) const {
    return LabelOf(i, labels).AreaAt(QPoint(placed[i].at.x, placed[i].at.y));
  }

  Tile MakeTile(int64_t tx, int64_t ty, Labels& labels) const {
    const Box box{tx * kTile, ty * kTile, tx * kTile + kTile - 1, ty * kTile + kTile - 1};
    const QPoint corner(static_cast<int>(box.left), static_cast<int>(box.top));
    Tile tile;
    const std::vector<uint32_t> near = Meeting(box);
    if (near.empty()) return tile;
    QImage whole(kTile, kTile, QImage::Format_ARGB32_Premultiplied);
    whole.fill(Qt::transparent);
    QRect ink;
    {
      QPainter painter(&whole);
      const QRect tileArea(corner, QSize(kTile, kTile));
      for (uint32_t i : near) {
        const QRect area = AreaOf(i, labels);
        if (!area.intersects(tileArea)) continue;
        painter.drawImage(area.topLeft() - corner, LabelOf(i, labels).picture);
        ink |= area.intersected(tileArea).translated(-corner);
      }
    }
    if (ink.isEmpty()) return tile;
    tile.picture = whole.copy(ink);
    tile.at = corner + ink.topLeft();
    return tile;
  }

  // The tiles a view of size at the scroll position shows, as a range of tile numbers.
  struct TileRange {
    int64_t x0, x1, y0, y1;
    std::size_t Count() const { return static_cast<std::size_t>((x1 - x0 + 1) * (y1 - y0 + 1)); }
  };
  static TileRange TilesOf(QSize size, int32_t scrollX, int32_t scrollY) {
    return {FloorDiv(scrollX, kTile), FloorDiv(int64_t{scrollX} + size.width() - 1, kTile),
            FloorDiv(scrollY, kTile), FloorDiv(int64_t{scrollY} + size.height() - 1, kTile)};
  }

  Tile& TileAt(int64_t tx, int64_t ty, Labels& labels) {
    auto [tile, isNew] = tiles.try_emplace(KeyOf(tx, ty));
    if (isNew) tile->second = MakeTile(tx, ty, labels);
    tile->second.used = frame;
    return tile->second;
  }

  void Draw(QImage& view, int32_t scrollX, int32_t scrollY, const QRegion& within) {
    ++frame;
    if (drawnNames.Entries().empty() || view.isNull() || within.isEmpty()) return;
    const TileRange range = TilesOf(view.size(), scrollX, scrollY);
    const bool everywhere = within.rectCount() == 1 && within.boundingRect().contains(view.rect());
    Labels labels;  // names that reach several of the tiles made for this frame are drawn once
    std::optional<QPainter> painter;
    for (int64_t ty = range.y0; ty <= range.y1; ++ty)
      for (int64_t tx = range.x0; tx <= range.x1; ++tx) {
        const Tile& tile = TileAt(tx, ty, labels);
        if (tile.picture.isNull()) continue;
        const QPoint at = tile.at - QPoint(scrollX, scrollY);
        if (!everywhere && !within.intersects(QRect(at, tile.picture.size()))) continue;
        if (!painter) {
          painter.emplace(&view);
          if (!everywhere) painter->setClipRegion(within);
        }
        painter->drawImage(at, tile.picture);
      }
    ForgetFarTiles(range.Count());
  }

  // The tile's zoomed map pixels as a view shows them: the picture at the zoom with the names over it.
  QImage ComposedTile(const Tile& tile, const QImage& picture, int64_t tx, int64_t ty) const {
    QImage composed(kTile, kTile, QImage::Format_RGB32);
    const QPoint corner(static_cast<int>(tx * kTile), static_cast<int>(ty * kTile));
    ComposeZoomedView(composed, picture, {corner.x(), corner.y()}, zoom, kTile, kTile);
    QPainter(&composed).drawImage(tile.at - corner, tile.picture);
    return composed;
  }

  QRegion Compose(QImage& view, const QImage& picture, int32_t scrollX, int32_t scrollY, int32_t dw,
                  int32_t dh, const QRect& drawnUnderNames) {
    ++frame;
    if (view.isNull()) return {};
    const QRect viewRect = view.rect();
    // From 200 percent up, composing a frame reads less than moving the last one's pixels.
    const KeptFrame::Frame shown{
        zoom, scrollX, scrollY, dw, dh, picture.cacheKey(), drawn, drawnUnderNames & viewRect};
    QRegion stale(viewRect);
    if (zoom < kComposeFromZoom)
      stale = kept.Begin(view, shown);
    else
      kept.Forget();
    // Only the stale parts are composed: the rest of the view shows this frame already.
    QRegion owed;
    for (const QRect& r : stale) {
      QImage part = PartOf(view, r);
      owed +=
          ComposeWithin(part, picture, scrollX + r.x(), scrollY + r.y(), std::clamp(dw - r.x(), 0, r.width()),
                        std::clamp(dh - r.y(), 0, r.height()), drawnUnderNames.translated(-r.topLeft()))
              .translated(r.topLeft());
    }
    // The tiles in view stay the newest, also those this frame did not need to copy.
    const TileRange range = TilesOf(view.size(), scrollX, scrollY);
    for (int64_t ty = range.y0; ty <= range.y1; ++ty)
      for (int64_t tx = range.x0; tx <= range.x1; ++tx)
        if (const auto tile = tiles.find(KeyOf(tx, ty)); tile != tiles.end()) tile->second.used = frame;
    ForgetFarTiles(range.Count());
    return owed;
  }

  // Compose for a view that may be a part of the map area's view.
  QRegion ComposeWithin(QImage& view, const QImage& picture, int32_t scrollX, int32_t scrollY, int32_t dw,
                        int32_t dh, const QRect& drawnUnderNames) {
    const QRect viewRect = view.rect();
    const TileRange range = TilesOf(view.size(), scrollX, scrollY);
    // Tile corners are zoomed map pixels and must fit in 32 bits; beyond, the frame is composed whole,
    // as it is when everything is drawn under the names anyway (link outlines shown).
    const bool cornersFit = range.x0 * kTile >= INT32_MIN && (range.x1 + 1) * kTile <= INT32_MAX &&
                            range.y0 * kTile >= INT32_MIN && (range.y1 + 1) * kTile <= INT32_MAX;
    const bool none = drawnNames.Entries().empty();
    if (none || !cornersFit || zoom >= kComposeFromZoom || drawnUnderNames.contains(viewRect)) {
      ComposeZoomedView(view, picture, {scrollX, scrollY}, zoom, dw, dh);
      return none ? QRegion() : QRegion(viewRect);
    }
    if (picture.cacheKey() != pictureKey) {
      pictureKey = picture.cacheKey();
      for (auto& [key, tile] : tiles) tile.composed = QImage();
    }
    // Only where the view shows the picture at all do its pixels depend on the zoomed map pixel alone.
    const QRect showsPicture(0, 0, std::clamp(dw, 0, view.width()), std::clamp(dh, 0, view.height()));
    const auto composePart = [&](const QRect& part) {
      ComposeZoomedPart(view, picture, {scrollX, scrollY}, zoom, dw, dh, part);
    };
    QRegion owed(drawnUnderNames & viewRect);
    Labels labels;
    // Tile row by tile row: runs of tiles that show the picture alone are composed as one strip, and
    // the kept tiles are copied view row by view row, so that the view is written in order.
    struct Copy {
      const QRgb* from;  // the tile's pixel shown at the part's left end of its first row
      int x, width;      // view columns
    };
    std::vector<Copy> copies;
    for (int64_t ty = range.y0; ty <= range.y1; ++ty) {
      copies.clear();
      QRect strip, rows;
      for (int64_t tx = range.x0; tx <= range.x1; ++tx) {
        Tile& tile = TileAt(tx, ty, labels);
        const QPoint corner(static_cast<int>(tx * kTile - scrollX), static_cast<int>(ty * kTile - scrollY));
        const QRect part = QRect(corner, QSize(kTile, kTile)) & viewRect;
        rows = part;
        if (tile.picture.isNull() || !showsPicture.contains(part)) {
          if (!tile.picture.isNull()) owed += part;
          strip |= part;
          continue;
        }
        composePart(strip);
        strip = QRect();
        if (tile.composed.isNull()) tile.composed = ComposedTile(tile, picture, tx, ty);
        const QPoint source = part.topLeft() - corner;
        copies.push_back({reinterpret_cast<const QRgb*>(tile.composed.constScanLine(source.y())) + source.x(),
                          part.x(), part.width()});
      }
      composePart(strip);
      for (int row = 0; row < rows.height() && !copies.empty(); ++row) {
        QRgb* line = reinterpret_cast<QRgb*>(view.scanLine(rows.y() + row));
        for (const Copy& copy : copies)
          std::memcpy(line + copy.x, copy.from + row * kTile,
                      static_cast<std::size_t>(copy.width) * sizeof(QRgb));
      }
    }
    composePart(drawnUnderNames);
    return owed;
  }

  // Tiles out of view are kept for a while, so that scrolling back finds them; the oldest go once
  // they outnumber those of a few views.
  void ForgetFarTiles(std::size_t shown) {
    const std::size_t most = 4 * shown + 16;
    if (tiles.size() <= most) return;
    std::vector<std::pair<uint64_t, uint64_t>> byAge;  // last frame used, key
    for (const auto& [key, tile] : tiles)
      if (tile.used != frame) byAge.emplace_back(tile.used, key);
    std::sort(byAge.begin(), byAge.end());
    for (std::size_t k = 0; k < byAge.size() && tiles.size() > 2 * shown + 16; ++k)
      tiles.erase(byAge[k].second);
  }

  std::optional<BookmarkPlace> NameAt(Point pixel) const {
    const std::vector<uint32_t> near = Meeting({pixel.x, pixel.y, pixel.x, pixel.y});
    Labels labels;
    for (auto i = near.rbegin(); i != near.rend(); ++i)
      if (AreaOf(*i, labels).contains(pixel.x, pixel.y)) return drawnNames.Entries()[*i].place;
    return std::nullopt;
  }
};

BookmarkNames::BookmarkNames() : layer_(std::make_unique<Layer>()) {}
BookmarkNames::~BookmarkNames() = default;

void BookmarkNames::ListsChanged() {
  layer_->listsChanged = true;
}

void BookmarkNames::SetOptions(const NameLabelOptions& options) {
  if (options.halo == layer_->options.halo && options.marker == layer_->options.marker) return;
  layer_->options = options;
  layer_->DropTiles();
}

void BookmarkNames::Draw(QImage& view, const BookmarkLists& lists, const MapCorners& corners,
                         int32_t zoomPercent, int32_t scrollX, int32_t scrollY) {
  Draw(view, lists, corners, zoomPercent, scrollX, scrollY, QRegion(view.rect()));
}

void BookmarkNames::Draw(QImage& view, const BookmarkLists& lists, const MapCorners& corners,
                         int32_t zoomPercent, int32_t scrollX, int32_t scrollY, const QRegion& within) {
  layer_->Update(lists, corners, zoomPercent);
  layer_->Draw(view, scrollX, scrollY, within);
}

QRegion BookmarkNames::Compose(QImage& view, const QImage& picture, const BookmarkLists& lists,
                               const MapCorners& corners, int32_t zoomPercent, int32_t scrollX,
                               int32_t scrollY, int32_t dw, int32_t dh, const QRect& drawnUnderNames) {
  layer_->Update(lists, corners, zoomPercent);
  return layer_->Compose(view, picture, scrollX, scrollY, dw, dh, drawnUnderNames);
}

void BookmarkNames::FrameShown(const QImage& view) {
  layer_->kept.Finished(view);
}

std::optional<BookmarkPlace> BookmarkNames::NameAt(const BookmarkLists& lists, const MapCorners& corners,
                                                   int32_t zoomPercent, Point zoomedPixel) {
  layer_->Update(lists, corners, zoomPercent);
  return layer_->NameAt(zoomedPixel);
}

}  // namespace orv
