#pragma once
// "Show Link Areas": every link area of the map outlined faintly in the view, and the scroll that
// brings an area into view beside a window that covers part of it.
//
// An area's outline runs on the view pixels just outside those the pointer finds the area at: its
// inside is the area's open rectangle as the hover finds it.
#include <QColor>
#include <QImage>
#include <QRect>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "maplinks/maplinkstore.h"

namespace orv {

// A closed rectangle of zoomed map pixels (or picture pixels where said): left <= right, top <= bottom.
struct PixelBox {
  int64_t left = 0, top = 0, right = -1, bottom = -1;
  bool Meets(const PixelBox& o) const {
    return left <= o.right && o.left <= right && top <= o.bottom && o.top <= bottom;
  }
  friend bool operator==(const PixelBox&, const PixelBox&) = default;
};

// The zoomed map pixels an area's outline runs on, for corners in picture pixels in any order.
// Nothing meaningful when zoomPercent < 1.
PixelBox OutlineBox(const LinkRect& area, int32_t zoomPercent);

// The link areas of a map, indexed by where they lie, so that a view or a pointer position finds
// the areas it meets without looking at the others. Build it again when the links change.
class LinkAreaIndex {
 public:
  LinkAreaIndex() = default;
  // Corners in picture pixels, as clicked. Each area keeps its position in `areas`.
  explicit LinkAreaIndex(const std::vector<LinkRect>& areas);
  // From map link records; records whose corners are not integers are left out, the others keep
  // their position in `records`.
  static LinkAreaIndex OfRecords(const std::vector<std::string>& records);

  // Positions of the areas whose corners' rectangle (closed, picture pixels) meets `box`, ascending.
  void Meeting(const PixelBox& box, std::vector<uint32_t>& positions) const;
  // Position of the first area, in list order, whose open rectangle holds the picture pixel.
  std::optional<uint32_t> FirstHolding(Point picturePixel) const;

  // The corners of the area at a position the index gave; (-1, -1, -1, -1) for any other.
  const LinkRect& Area(uint32_t position) const;
  bool empty() const { return entries_.empty(); }

 private:
  struct Entry {
    LinkRect area;
    PixelBox box;  // picture pixels, corners ordered
    uint32_t position;
    int64_t cellLeft = 0, cellTop = 0;  // the grid cell of the top-left corner
  };
  int64_t CellX(int64_t x) const;
  int64_t CellY(int64_t y) const;

  std::vector<Entry> entries_;
  std::vector<uint32_t> byPosition_;  // entry of each position, or kNone
  // A uniform grid over the areas' extent: cell c holds cellItems_[cellStart_[c] .. cellStart_[c+1]).
  int64_t originX_ = 0, originY_ = 0, cellSize_ = 1;
  int64_t columns_ = 0, rows_ = 0;
  std::vector<uint32_t> cellStart_;
  std::vector<uint32_t> cellItems_;
  std::vector<uint32_t> wide_;  // entries too large for the grid, looked at every time
};

// Colours laid over the picture; a fill with alpha 0 leaves the insides as they are.
struct LinkOutlineStyle {
  QColor line{40, 110, 255, 150};
  QColor fill{40, 110, 255, 28};
};

// Outlines the areas of index that reach the view (the picture scaled by zoomPercent, whose top-left
// corner is the zoomed map pixel viewOrigin) into view: a 1-pixel line and a light fill inside, each
// pixel tinted once however many areas overlap there (a line over a fill). Costs the areas in view
// and the view rows they cover; areas elsewhere cost next to nothing.
void DrawLinkOutlines(QImage& view, const LinkAreaIndex& index, int32_t zoomPercent, Point viewOrigin,
                      const LinkOutlineStyle& style = {});

// The view the map is shown in: the zoom, the zoomed map pixel at its top-left corner and its size.
struct ViewPlacement {
  int32_t zoomPercent = 100;
  Point origin;
  int32_t width = 0, height = 0;
};

// The view origin (zoomed map pixel) that shows area in the part of the view that `covered` (a
// window over the view, in view positions) leaves free. The origin stays when the area already shows
// there whole; otherwise the view moves to the free strip beside, above or below the window that
// shows most of it, centring the area in the strip along each direction in which it lies outside,
// the origin kept within lowest..highest (zoomed map pixels: the scroll ranges). Corners in picture
// pixels, any order.
Point ScrollAreaIntoView(const LinkRect& area, const ViewPlacement& view, const QRect& covered, Point lowest,
                         Point highest);

}  // namespace orv
