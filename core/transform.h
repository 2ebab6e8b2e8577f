#pragma once
// Conversions between world points and zoomed map pixels for a map's four corner points.
#include <optional>

#include "core/geometry.h"

namespace orv {

// The picture pixels (at 100 percent) at which the four corners of the world lie, in the order of
// the map info file keys. Defaults are the corners used while no map is loaded.
struct MapCorners {
  Point upperLeft{0, 0};     // world (0, 0)
  Point upperRight{50, 0};   // world (5120, 0)
  Point lowerLeft{0, 50};    // world (0, 4096)
  Point lowerRight{50, 50};  // world (5120, 4096)
  friend bool operator==(const MapCorners&, const MapCorners&) = default;
};

// Closed outline through the corners: upper left, upper right, lower right, lower left, upper left.
// Picture pixels.
using MapOutline = std::array<Point, 5>;
MapOutline OutlineOf(const MapCorners& corners);

// Zoomed map pixel of a world point (the world point may lie outside the world: it extrapolates).
// No result when zoomPercent < 1 or the pixel does not fit in 32 bits.
std::optional<Point> WorldToMapPixel(const MapCorners& corners, int32_t zoomPercent, Point world);

// World point under a zoomed map pixel. No result when zoomPercent < 1 or the corners are degenerate
// (a needed intersection does not exist or a divisor is 0).
std::optional<Point> MapPixelToWorld(const MapCorners& corners, int32_t zoomPercent, Point zoomedPixel);

// Crossing point of the line through p1, p2 with the line through q1, q2, rounded to integers;
// no result for two horizontal, two vertical or two parallel sloped lines.
std::optional<Point> IntersectLines(Point p1, Point p2, Point q1, Point q2);

// True when MapPixelToWorld has no result for these corners whatever the pixel.
bool CornersAreDegenerate(const MapCorners& corners);

// A position with fractions, for drawing between whole pixels: a real world position or a real
// picture position (picture pixels at 100 percent, whole numbers at pixel centres).
struct RealPoint {
  double x = 0;
  double y = 0;
};

// Real picture position of a real world position: the same bilinear interpolation of the corners as
// WorldToMapPixel, without its rounding steps.
RealPoint WorldToPicturePosition(const MapCorners& corners, RealPoint world);
// Real world position shown at a real picture position: the exact inverse of WorldToPicturePosition
// (Newton's method on the bilinear mapping), where MapPixelToWorld measures along the edges.
RealPoint PictureToWorldPosition(const MapCorners& corners, RealPoint picture);

}  // namespace orv
