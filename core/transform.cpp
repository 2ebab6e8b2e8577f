// Stand-in for the coordinate transform until its own code lands; replaced wholesale by it. The
// inverse here only undoes the interpolation along the upper left and lower right corners.
#include "core/transform.h"

#include <cmath>
#include <limits>

#include "core/numbers.h"

namespace orv {

MapOutline OutlineOf(const MapCorners& c) {
  return {c.upperLeft, c.upperRight, c.lowerRight, c.lowerLeft, c.upperLeft};
}

std::optional<Point> WorldToMapPixel(const MapCorners& c, int32_t zoomPercent, Point world) {
  if (zoomPercent < 1) return std::nullopt;
  const long double fx = world.x * (1.0L / 5120), fy = world.y * (1.0L / 4096);
  const long double tx = RoundToInt((c.upperRight.x - c.upperLeft.x) * fx + c.upperLeft.x);
  const long double ty = RoundToInt((c.upperRight.y - c.upperLeft.y) * fx + c.upperLeft.y);
  const long double bx = RoundToInt((c.lowerRight.x - c.lowerLeft.x) * fx + c.lowerLeft.x);
  const long double by = RoundToInt((c.lowerRight.y - c.lowerLeft.y) * fx + c.lowerLeft.y);
  const long double z = zoomPercent * 0.01L;
  const long double x = ((bx - tx) * fy + tx) * z, y = ((by - ty) * fy + ty) * z;
  if (std::fabs(x) > 2e9L || std::fabs(y) > 2e9L) return std::nullopt;
  return Point{RoundToInt(x), RoundToInt(y)};
}

std::optional<Point> MapPixelToWorld(const MapCorners& c, int32_t zoomPercent, Point pixel) {
  if (zoomPercent < 1) return std::nullopt;
  const long double s = 100.0L / zoomPercent;
  const long double w = c.lowerRight.x - c.upperLeft.x, h = c.lowerRight.y - c.upperLeft.y;
  if (w == 0 || h == 0) return std::nullopt;
  return Point{RoundEven((pixel.x * s - c.upperLeft.x) / w * 5120),
               RoundEven((pixel.y * s - c.upperLeft.y) / h * 4096)};
}

std::optional<Point> IntersectLines(Point, Point, Point, Point) {
  return std::nullopt;
}
bool CornersAreDegenerate(const MapCorners& c) {
  return c.lowerRight.x == c.upperLeft.x || c.lowerRight.y == c.upperLeft.y;
}

}  // namespace orv
