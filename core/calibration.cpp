#include "core/calibration.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>

#include "core/numbers.h"

namespace orv {
namespace {

// Shares of the world's width and height at which a world point lies (0 to 1 inside the world).
struct WorldShare {
  double fx = 0;
  double fy = 0;
};
WorldShare ShareOf(double worldX, double worldY) {
  return {worldX / WorldWidth, worldY / WorldHeight};
}

PicturePoint Lerp(PicturePoint a, PicturePoint b, double f) {
  return {a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f};
}

// Picture position of a world point given as reals (world units), by bilinear interpolation.
PicturePoint Bilinear(const CornerValues& c, double worldX, double worldY) {
  const WorldShare s = ShareOf(worldX, worldY);
  return Lerp(Lerp(c.upperLeft, c.upperRight, s.fx), Lerp(c.lowerLeft, c.lowerRight, s.fx), s.fy);
}

// The world point (in world units, with fractions) that the corners put at a picture position, found
// by Newton's method from a nearby world point. The bilinear map is smooth and, for usable corners,
// one to one near the points, so a few steps reach it.
std::pair<double, double> WorldAt(const CornerValues& c, PicturePoint picture, Point start) {
  double wx = start.x, wy = start.y;
  for (int step = 0; step < 30; ++step) {
    const PicturePoint p = Bilinear(c, wx, wy);
    const WorldShare s = ShareOf(wx, wy);
    // Derivatives of the picture position by world x and by world y.
    const PicturePoint byX = Lerp({c.upperRight.x - c.upperLeft.x, c.upperRight.y - c.upperLeft.y},
                                  {c.lowerRight.x - c.lowerLeft.x, c.lowerRight.y - c.lowerLeft.y}, s.fy);
    const PicturePoint byY = Lerp({c.lowerLeft.x - c.upperLeft.x, c.lowerLeft.y - c.upperLeft.y},
                                  {c.lowerRight.x - c.upperRight.x, c.lowerRight.y - c.upperRight.y}, s.fx);
    const double ax = byX.x / WorldWidth, ay = byX.y / WorldWidth;
    const double bx = byY.x / WorldHeight, by = byY.y / WorldHeight;
    const double det = ax * by - bx * ay;
    if (det == 0 || !std::isfinite(det)) break;
    const double ex = p.x - picture.x, ey = p.y - picture.y;
    const double dx = (by * ex - bx * ey) / det;
    const double dy = (ax * ey - ay * ex) / det;
    wx -= dx;
    wy -= dy;
    if (std::abs(dx) + std::abs(dy) < 1e-9) break;
  }
  return {wx, wy};
}

// Largest distance of any point from the line that best fits them all (their principal axis). Less
// than a unit means the points cannot tell the two directions apart.
double SpreadAcrossLine(const std::vector<Eigen::Vector2d>& points) {
  Eigen::Vector2d mean = Eigen::Vector2d::Zero();
  for (const auto& p : points) mean += p;
  mean /= static_cast<double>(points.size());
  Eigen::Matrix2d scatter = Eigen::Matrix2d::Zero();
  for (const auto& p : points) scatter += (p - mean) * (p - mean).transpose();
  // Eigenvalues come in increasing order: the first eigenvector is the normal of the best line.
  const Eigen::Vector2d normal =
      Eigen::SelfAdjointEigenSolver<Eigen::Matrix2d>(scatter).eigenvectors().col(0);
  double widest = 0;
  for (const auto& p : points) widest = std::max(widest, std::abs((p - mean).dot(normal)));
  return widest;
}

std::string Numbered(std::size_t a, std::size_t b) {
  return "Points " + std::to_string(a + 1) + " and " + std::to_string(b + 1);
}

// Why the points cannot give a map, or Ok. Fills status, message and culprits.
bool Refuse(const std::vector<ControlPoint>& points, Calibration& out) {
  auto refuse = [&](CalibrationStatus status, std::string message, std::vector<std::size_t> culprits) {
    out.status = status;
    out.message = std::move(message);
    out.culprits = std::move(culprits);
    return true;
  };
  if (points.size() < 3) {
    return refuse(CalibrationStatus::TooFewPoints, "At least three points are needed to calibrate the map.",
                  {});
  }
  for (std::size_t i = 0; i < points.size(); ++i) {
    for (std::size_t j = i + 1; j < points.size(); ++j) {
      const ControlPoint &a = points[i], &b = points[j];
      if (a.world == b.world) {
        return refuse(CalibrationStatus::SameWorldPoint,
                      Numbered(i, j) + " have the same world position (" + std::to_string(a.world.x) + ", " +
                          std::to_string(a.world.y) + "). Correct one of them or remove it.",
                      {i, j});
      }
      if (std::abs(a.picture.x - b.picture.x) < 1 && std::abs(a.picture.y - b.picture.y) < 1) {
        return refuse(
            CalibrationStatus::SamePixel,
            Numbered(i, j) + " are on the same pixel of the picture. Move one of them or remove it.", {i, j});
      }
    }
  }
  std::vector<Eigen::Vector2d> world, picture;
  for (const ControlPoint& p : points) {
    world.emplace_back(p.world.x, p.world.y);
    picture.emplace_back(p.picture.x, p.picture.y);
  }
  if (SpreadAcrossLine(world) < 1) {
    return refuse(CalibrationStatus::WorldPointsOnOneLine,
                  "The world positions of all points lie on one line, so they cannot fix the map in both "
                  "directions. Add a point away from that line.",
                  {});
  }
  if (SpreadAcrossLine(picture) < 1) {
    return refuse(CalibrationStatus::PixelsOnOneLine,
                  "The points lie on one line on the picture, so they cannot fix the map in both "
                  "directions. Add a point away from that line.",
                  {});
  }
  return false;
}

// The least-squares corners and the design they were solved from.
struct Fit {
  CornerValues corners;
  CalibrationModel model = CalibrationModel::Parallelogram;
  Eigen::MatrixXd design;
};

// Least-squares corners. Each row of the design holds the weights with which the corners enter the
// picture position of one world point; both picture axes share the design and are solved together.
Fit SolveCorners(const std::vector<ControlPoint>& points) {
  const auto n = static_cast<Eigen::Index>(points.size());
  Eigen::MatrixXd bilinear(n, 4), parallelogram(n, 3), picture(n, 2);
  for (Eigen::Index i = 0; i < n; ++i) {
    const ControlPoint& p = points[static_cast<std::size_t>(i)];
    const WorldShare s = ShareOf(p.world.x, p.world.y);
    bilinear.row(i) << (1 - s.fx) * (1 - s.fy), s.fx * (1 - s.fy), (1 - s.fx) * s.fy, s.fx * s.fy;
    // With lower right = upper right + lower left - upper left the weights fold into three.
    parallelogram.row(i) << 1 - s.fx - s.fy, s.fx, s.fy;
    picture.row(i) << p.picture.x, p.picture.y;
  }
  auto at = [](const Eigen::MatrixXd& x, Eigen::Index row) { return PicturePoint{x(row, 0), x(row, 1)}; };

  // Four or more points fix the bend of the quadrilateral unless they all lie on a curve the bend
  // cannot see (for example three on one line of constant world y and one more): then the points
  // leave it open, and the map is taken to be the best parallelogram.
  if (n >= 4) {
    Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(bilinear);
    qr.setThreshold(1e-9);
    if (qr.rank() == 4) {
      const Eigen::MatrixXd x = qr.solve(picture);
      return {{at(x, 0), at(x, 1), at(x, 2), at(x, 3)}, CalibrationModel::Bilinear, bilinear};
    }
  }
  const Eigen::MatrixXd x = parallelogram.colPivHouseholderQr().solve(picture);
  const PicturePoint ul = at(x, 0), ur = at(x, 1), ll = at(x, 2);
  return {
      {ul, ur, ll, {ur.x + ll.x - ul.x, ur.y + ll.y - ul.y}}, CalibrationModel::Parallelogram, parallelogram};
}

// How far the fit bends towards each point (the diagonal of the hat matrix, 0 to 1): a point the
// fit follows closely shows a small residual even when it is the one that is wrong.
Eigen::VectorXd Leverages(const Eigen::MatrixXd& design) {
  const Eigen::MatrixXd inverse =
      (design.transpose() * design).ldlt().solve(Eigen::MatrixXd::Identity(design.cols(), design.cols()));
  return (design * inverse * design.transpose()).diagonal();
}

}  // namespace

PicturePoint PictureOfWorld(const CornerValues& corners, Point world) {
  return Bilinear(corners, world.x, world.y);
}

std::optional<MapCorners> RoundedCorners(const CornerValues& c) {
  const auto round = [](PicturePoint p) -> std::optional<Point> {
    const auto x = TryRoundToInt(p.x), y = TryRoundToInt(p.y);
    if (!x || !y) return std::nullopt;
    return Point{*x, *y};
  };
  const auto ul = round(c.upperLeft), ur = round(c.upperRight), ll = round(c.lowerLeft),
             lr = round(c.lowerRight);
  if (!ul || !ur || !ll || !lr) return std::nullopt;
  return MapCorners{*ul, *ur, *ll, *lr};
}

Calibration SolveCalibration(const std::vector<ControlPoint>& points) {
  Calibration out;
  if (Refuse(points, out)) return out;

  const Fit fit = SolveCorners(points);
  out.exact = fit.corners;
  out.model = fit.model;
  const Eigen::VectorXd leverage = Leverages(fit.design);
  double sumPixels = 0, sumWorld = 0, worst = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const ControlPoint& p = points[i];
    const PicturePoint fitted = PictureOfWorld(out.exact, p.world);
    PointResidual r;
    r.offset = {fitted.x - p.picture.x, fitted.y - p.picture.y};
    r.pixels = std::hypot(r.offset.x, r.offset.y);
    const auto [wx, wy] = WorldAt(out.exact, p.picture, p.world);
    r.worldUnits = std::hypot(wx - p.world.x, wy - p.world.y);
    sumPixels += r.pixels * r.pixels;
    sumWorld += r.worldUnits * r.worldUnits;
    // A residual below a millionth of a pixel is rounding noise of an exact fit, not a point to mark.
    const double freedom = 1 - leverage(static_cast<Eigen::Index>(i));
    if (r.pixels > 1e-6 && freedom > 1e-9) r.weighedPixels = r.pixels / std::sqrt(freedom);
    if (r.weighedPixels > worst) {
      worst = r.weighedPixels;
      out.largest = i;
    }
    out.residuals.push_back(r);
  }
  // With a single point to spare the weighed residuals are all the same length, so they cannot tell
  // the points apart: mark the plainly largest residual instead, which is what the user sees.
  const std::size_t perAxis = fit.model == CalibrationModel::Parallelogram ? 3 : 4;
  if (out.largest && points.size() < perAxis + 2) {
    std::size_t plain = 0;
    for (std::size_t i = 1; i < out.residuals.size(); ++i)
      if (out.residuals[i].pixels > out.residuals[plain].pixels) plain = i;
    out.largest = plain;
  }
  out.rmsPixels = std::sqrt(sumPixels / static_cast<double>(points.size()));
  out.rmsWorldUnits = std::sqrt(sumWorld / static_cast<double>(points.size()));

  const auto rounded = RoundedCorners(out.exact);
  if (!rounded || CornersAreDegenerate(*rounded)) {
    out.status = CalibrationStatus::UnusableCorners;
    out.message =
        "These points put the corners of the map where it cannot be used. Check the world positions "
        "typed, or add points spread over the whole picture.";
    return out;
  }
  out.corners = *rounded;
  out.status = CalibrationStatus::Ok;
  return out;
}

}  // namespace orv
