#include "core/transform.h"

#include <cmath>
#include <limits>

#include "core/numbers.h"

namespace orv {
namespace {

// Scale factors of the forward conversion, as the extended-precision reals nearest to 1/5120 and
// 0.01 (1/4096 is exact).
constexpr long double kPerWorldX = 1.0L / WorldWidth;
constexpr long double kPerWorldY = 1.0L / WorldHeight;
constexpr long double kPerPercent = 0.01L;

std::optional<Point> MakePoint(std::optional<int32_t> x, std::optional<int32_t> y) {
  if (!x || !y) return std::nullopt;
  return Point{*x, *y};
}

std::optional<int32_t> Fit32(int64_t v) {
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) return std::nullopt;
  return static_cast<int32_t>(v);
}

// a + (b - a) * f, the difference taken without overflow.
long double Lerp(int32_t a, int32_t b, long double f) {
  return static_cast<long double>(static_cast<int64_t>(b) - a) * f + a;
}

// A line through two integer points, classified by its direction second - first: horizontal when
// the direction has no vertical part (two equal points included), vertical when it has no horizontal
// part, sloped otherwise. A sloped line carries its slope and its whole-number intercept.
enum class LineKind { Horizontal, Vertical, Sloped };
struct Line {
  LineKind kind = LineKind::Horizontal;
  long double slope = 0;
  long double intercept = 0;
  Point first;
};

Line LineThrough(Point first, Point second) {
  const int64_t dx = static_cast<int64_t>(second.x) - first.x;
  const int64_t dy = static_cast<int64_t>(second.y) - first.y;
  Line line;
  line.first = first;
  line.kind = dy == 0 ? LineKind::Horizontal : dx == 0 ? LineKind::Vertical : LineKind::Sloped;
  if (line.kind == LineKind::Sloped) {
    line.slope = static_cast<long double>(dy) / static_cast<long double>(dx);
    line.intercept = std::nearbyint(-(first.x * line.slope)) + first.y;
  }
  return line;
}

// Whether two lines meet in one point. This depends only on the lines' directions, never on where
// they lie: two horizontal, two vertical or two sloped lines of equal slope never meet.
bool Meet(const Line& p, const Line& q) {
  if (p.kind != q.kind) return true;
  return p.kind == LineKind::Sloped && p.slope - q.slope != 0;
}

std::optional<Point> Intersection(const Line& p, const Line& q) {
  if (!Meet(p, q)) return std::nullopt;
  using K = LineKind;
  const long double p1x = p.first.x, p1y = p.first.y, q1x = q.first.x, q1y = q.first.y;
  long double x = 0, y = 0;
  if (p.kind == K::Sloped && q.kind == K::Sloped) {
    x = (q.intercept - p.intercept) / (p.slope - q.slope);
    y = p.slope * x + p.intercept;
  } else if (p.kind == K::Horizontal && q.kind == K::Sloped) {
    x = (p1y - q.intercept) / q.slope;
    y = p1y;
  } else if (p.kind == K::Sloped && q.kind == K::Horizontal) {
    x = (q1y - p.intercept) / p.slope;
    y = q1y;
  } else if (p.kind == K::Vertical && q.kind == K::Sloped) {
    x = p1x;
    y = p1x * q.slope + q.intercept;
  } else if (p.kind == K::Sloped && q.kind == K::Vertical) {
    x = q1x;
    y = q1x * p.slope + p.intercept;
  } else if (p.kind == K::Horizontal) {  // and q vertical
    x = q1x;
    y = p1y;
  } else {  // p vertical, q horizontal
    x = p1x;
    y = q1y;
  }
  return MakePoint(TryRoundEven(x), TryRoundEven(y));
}

// What the inverse conversion needs from the corners alone: the mean direction of the left and right
// edges (along which a pixel is carried to the bottom edge to measure world x), the mean direction of
// the top and bottom edges (along which it is carried to the right edge to measure world y), and the
// edge component each measurement divides by. The component is chosen by a signed comparison of the
// edge's two components, so an edge that runs up or to the left may be measured on its shorter one.
struct InverseFrame {
  Point acrossX;  // mean of the left and right edges, upper to lower
  Point acrossY;  // mean of the top and bottom edges, left to right
  bool xAlongX = true;
  bool yAlongX = true;
  int64_t xDivisor = 0;
  int64_t yDivisor = 0;
};

std::optional<Point> HalfSum(int64_t ax, int64_t bx, int64_t ay, int64_t by) {
  return MakePoint(TryRoundEven((ax + bx) * 0.5L), TryRoundEven((ay + by) * 0.5L));
}

// No frame when the corners are degenerate: a mean direction that does not fit in 32 bits, a carrying
// direction that never meets its measuring edge, or a zero divisor. Every one of these depends on the
// corners only, so degenerate corners have no world point for any pixel.
std::optional<InverseFrame> FrameOf(const MapCorners& c) {
  using I = int64_t;
  const Point ul = c.upperLeft, ur = c.upperRight, ll = c.lowerLeft, lr = c.lowerRight;
  const auto v = HalfSum(I{ll.x} - ul.x, I{lr.x} - ur.x, I{ll.y} - ul.y, I{lr.y} - ur.y);
  const auto h = HalfSum(I{lr.x} - ll.x, I{ur.x} - ul.x, I{lr.y} - ll.y, I{ur.y} - ul.y);
  if (!v || !h) return std::nullopt;
  if (!Meet(LineThrough({0, 0}, *v), LineThrough(ll, lr))) return std::nullopt;
  if (!Meet(LineThrough({0, 0}, *h), LineThrough(lr, ur))) return std::nullopt;

  InverseFrame f{*v, *h};
  f.xAlongX = I{lr.x} - ll.x > I{lr.y} - ll.y;
  f.xDivisor = f.xAlongX ? I{lr.x} - ll.x : I{lr.y} - ll.y;
  f.yAlongX = I{lr.x} - ur.x > I{lr.y} - ur.y;
  f.yDivisor = f.yAlongX ? I{lr.x} - ur.x : I{lr.y} - ur.y;
  if (f.xDivisor == 0 || f.yDivisor == 0) return std::nullopt;
  return f;
}

// World coordinate of an edge point: its distance from the edge's start along the chosen component,
// as a share of the edge, times the world length.
std::optional<int32_t> MeasureOnEdge(Point onEdge, Point edgeStart, bool alongX, int64_t divisor,
                                     int32_t worldLength) {
  const int64_t offset = alongX ? int64_t{onEdge.x} - edgeStart.x : int64_t{onEdge.y} - edgeStart.y;
  return TryRoundEven(static_cast<long double>(offset) / static_cast<long double>(divisor) * worldLength);
}

}  // namespace

MapOutline OutlineOf(const MapCorners& corners) {
  return {corners.upperLeft, corners.upperRight, corners.lowerRight, corners.lowerLeft, corners.upperLeft};
}

std::optional<Point> WorldToMapPixel(const MapCorners& c, int32_t zoomPercent, Point world) {
  if (zoomPercent < 1) return std::nullopt;
  const long double fx = world.x * kPerWorldX;
  const long double fy = world.y * kPerWorldY;
  // The top and bottom points are whole picture pixels before the vertical interpolation.
  const auto top = MakePoint(TryRoundToInt(Lerp(c.upperLeft.x, c.upperRight.x, fx)),
                             TryRoundToInt(Lerp(c.upperLeft.y, c.upperRight.y, fx)));
  const auto bottom = MakePoint(TryRoundToInt(Lerp(c.lowerLeft.x, c.lowerRight.x, fx)),
                                TryRoundToInt(Lerp(c.lowerLeft.y, c.lowerRight.y, fx)));
  if (!top || !bottom) return std::nullopt;
  // The zoom applies last, to the unrounded interpolated value.
  const long double z = zoomPercent * kPerPercent;
  return MakePoint(TryRoundToInt(Lerp(top->x, bottom->x, fy) * z),
                   TryRoundToInt(Lerp(top->y, bottom->y, fy) * z));
}

// Not the inverse of the bilinear formula: each world coordinate is measured on one edge of the
// corner quadrilateral, after carrying the picture pixel to that edge along the mean direction of the
// two edges that cross it. Exact up to rounding for parallelograms, an approximation otherwise.
// Besides degenerate corners and a zoom below 1, only 32-bit overflow gives no result for a
// particular pixel: a huge pixel, or a crossing point or world value out of range (possible when a
// carrying direction is nearly parallel to its edge).
std::optional<Point> MapPixelToWorld(const MapCorners& c, int32_t zoomPercent, Point zoomedPixel) {
  if (zoomPercent < 1) return std::nullopt;
  const auto frame = FrameOf(c);
  if (!frame) return std::nullopt;
  const long double s = 100.0L / zoomPercent;
  const auto q = MakePoint(TryRoundToInt(zoomedPixel.x * s), TryRoundToInt(zoomedPixel.y * s));
  if (!q) return std::nullopt;
  const auto alongV =
      MakePoint(Fit32(int64_t{q->x} + frame->acrossX.x), Fit32(int64_t{q->y} + frame->acrossX.y));
  const auto alongH =
      MakePoint(Fit32(int64_t{q->x} + frame->acrossY.x), Fit32(int64_t{q->y} + frame->acrossY.y));
  if (!alongV || !alongH) return std::nullopt;

  const auto onBottom = IntersectLines(*q, *alongV, c.lowerLeft, c.lowerRight);
  const auto onRight = IntersectLines(*q, *alongH, c.lowerRight, c.upperRight);
  if (!onBottom || !onRight) return std::nullopt;
  return MakePoint(MeasureOnEdge(*onBottom, c.lowerLeft, frame->xAlongX, frame->xDivisor, WorldWidth),
                   MeasureOnEdge(*onRight, c.upperRight, frame->yAlongX, frame->yDivisor, WorldHeight));
}

std::optional<Point> IntersectLines(Point p1, Point p2, Point q1, Point q2) {
  return Intersection(LineThrough(p1, p2), LineThrough(q1, q2));
}

bool CornersAreDegenerate(const MapCorners& corners) {
  return !FrameOf(corners).has_value();
}

namespace {

RealPoint Real(Point p) {
  return {double(p.x), double(p.y)};
}
RealPoint Plus(RealPoint a, RealPoint b) {
  return {a.x + b.x, a.y + b.y};
}
RealPoint Minus(RealPoint a, RealPoint b) {
  return {a.x - b.x, a.y - b.y};
}
RealPoint Times(RealPoint a, double f) {
  return {a.x * f, a.y * f};
}

}  // namespace

RealPoint WorldToPicturePosition(const MapCorners& c, RealPoint world) {
  const RealPoint ul = Real(c.upperLeft), ur = Real(c.upperRight);
  const RealPoint ll = Real(c.lowerLeft), lr = Real(c.lowerRight);
  const double u = world.x / double(WorldWidth), v = world.y / double(WorldHeight);
  const RealPoint top = Plus(ul, Times(Minus(ur, ul), u));
  const RealPoint bottom = Plus(ll, Times(Minus(lr, ll), u));
  return Plus(top, Times(Minus(bottom, top), v));
}

RealPoint PictureToWorldPosition(const MapCorners& c, RealPoint picture) {
  const RealPoint ul = Real(c.upperLeft), ur = Real(c.upperRight);
  const RealPoint ll = Real(c.lowerLeft), lr = Real(c.lowerRight);
  // Start from the parallelogram through the upper corners and the left edge.
  double u = (picture.x - ul.x) / (ur.x - ul.x), v = (picture.y - ul.y) / (ll.y - ul.y);
  for (int i = 0; i < 8; ++i) {
    const RealPoint top = Plus(ul, Times(Minus(ur, ul), u)), bottom = Plus(ll, Times(Minus(lr, ll), u));
    const RealPoint at = Plus(top, Times(Minus(bottom, top), v));
    const RealPoint du = Plus(Times(Minus(ur, ul), 1 - v), Times(Minus(lr, ll), v));  // along u
    const RealPoint dv = Minus(bottom, top);                                          // along v
    const RealPoint r = Minus(picture, at);
    const double det = du.x * dv.y - du.y * dv.x;
    if (std::fabs(det) < 1e-12) break;
    const double su = (r.x * dv.y - r.y * dv.x) / det;
    const double sv = (du.x * r.y - du.y * r.x) / det;
    u += su;
    v += sv;
    if (std::fabs(su) + std::fabs(sv) < 1e-12) break;
  }
  return {u * double(WorldWidth), v * double(WorldHeight)};
}

}  // namespace orv
