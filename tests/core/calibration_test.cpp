// Solving map corners from control points: known corners come back, noisy points give the
// least-squares fit, the worst point is found, and sets that cannot fix a map are refused.
#include "core/calibration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace orv {
namespace {

// Picture position of a world point under integer corners, written out term by term.
PicturePoint Expected(const MapCorners& c, Point w) {
  const double fx = w.x / 5120.0, fy = w.y / 4096.0;
  const double a = (1 - fx) * (1 - fy), b = fx * (1 - fy), d = (1 - fx) * fy, e = fx * fy;
  return {a * c.upperLeft.x + b * c.upperRight.x + d * c.lowerLeft.x + e * c.lowerRight.x,
          a * c.upperLeft.y + b * c.upperRight.y + d * c.lowerLeft.y + e * c.lowerRight.y};
}

std::vector<ControlPoint> PointsOn(const MapCorners& c, const std::vector<Point>& world) {
  std::vector<ControlPoint> points;
  for (Point w : world) points.push_back({Expected(c, w), w});
  return points;
}

void ExpectNear(PicturePoint got, Point want) {
  EXPECT_NEAR(got.x, want.x, 0.01);
  EXPECT_NEAR(got.y, want.y, 0.01);
}

const MapCorners kSkewed{{10, 20}, {1010, 70}, {-30, 820}, {990, 860}};
const std::vector<Point> kEight{{300, 200},   {4800, 350},  {2500, 2100}, {700, 3900},
                                {4400, 3700}, {1500, 1200}, {3600, 900},  {2900, 3300}};

TEST(Calibration, KnownCornersComeBack) {
  struct Case {
    const char* name;
    MapCorners corners;
    std::vector<Point> world;
    CalibrationModel model;
  };
  const Case cases[] = {
      {"three points, parallelogram",
       {{-100, -50}, {1900, 10}, {-160, 1550}, {1840, 1610}},
       {{1000, 1000}, {4000, 1200}, {2000, 3500}},
       CalibrationModel::Parallelogram},
      {"four points, skewed",
       kSkewed,
       {{0, 0}, {5120, 300}, {200, 4096}, {4000, 3000}},
       CalibrationModel::Bilinear},
      {"eight points, skewed", kSkewed, kEight, CalibrationModel::Bilinear},
      // A map of a small part of the world: its corners lie far outside the picture.
      {"inset map",
       {{-9000, -4000}, {21000, -3800}, {-9300, 20100}, {20800, 20500}},
       {{2000, 1000}, {2600, 1100}, {2100, 1500}, {2500, 1450}, {2300, 1250}},
       CalibrationModel::Bilinear},
      // Three of four on a line of constant world y: the bend is left open.
      {"bend left open",
       {{0, 0}, {1000, 0}, {0, 800}, {1000, 800}},
       {{100, 500}, {2000, 500}, {4000, 500}, {1000, 3000}},
       CalibrationModel::Parallelogram},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto points = PointsOn(c.corners, c.world);
    const Calibration got = SolveCalibration(points);
    ASSERT_TRUE(got.ok()) << got.message;
    EXPECT_EQ(got.model, c.model);
    ExpectNear(got.exact.upperLeft, c.corners.upperLeft);
    ExpectNear(got.exact.upperRight, c.corners.upperRight);
    ExpectNear(got.exact.lowerLeft, c.corners.lowerLeft);
    ExpectNear(got.exact.lowerRight, c.corners.lowerRight);
    EXPECT_EQ(got.corners, c.corners);
    EXPECT_LT(got.rmsPixels, 1e-6);
    EXPECT_FALSE(got.largest.has_value());
    // The saved corners put each point where it was picked under the program's own conversion.
    for (const ControlPoint& p : points) {
      const auto pixel = WorldToMapPixel(got.corners, 100, p.world);
      EXPECT_LE(std::abs(pixel->x - p.picture.x), 1.0);
      EXPECT_LE(std::abs(pixel->y - p.picture.y), 1.0);
    }
  }
}

// Root mean square residual of the least-squares fit, from the normal equations solved by
// elimination: an independent route to the same figure.
double RmsByNormalEquations(const std::vector<ControlPoint>& points) {
  double sum = 0;
  for (int axis = 0; axis < 2; ++axis) {
    double m[4][5] = {};
    for (const ControlPoint& p : points) {
      const double fx = p.world.x / 5120.0, fy = p.world.y / 4096.0;
      const double row[5] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy,
                             axis == 0 ? p.picture.x : p.picture.y};
      for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 5; ++j) m[i][j] += row[i] * row[j];
    }
    for (int i = 0; i < 4; ++i)
      for (int k = i + 1; k < 4; ++k)
        for (int j = 4; j >= i; --j) m[k][j] -= m[i][j] * m[k][i] / m[i][i];
    double x[4];
    for (int i = 3; i >= 0; --i) {
      x[i] = m[i][4];
      for (int j = i + 1; j < 4; ++j) x[i] -= m[i][j] * x[j];
      x[i] /= m[i][i];
    }
    for (const ControlPoint& p : points) {
      const double fx = p.world.x / 5120.0, fy = p.world.y / 4096.0;
      const double fit =
          x[0] * (1 - fx) * (1 - fy) + x[1] * fx * (1 - fy) + x[2] * (1 - fx) * fy + x[3] * fx * fy;
      const double r = fit - (axis == 0 ? p.picture.x : p.picture.y);
      sum += r * r;
    }
  }
  return std::sqrt(sum / static_cast<double>(points.size()));
}

// The points moved by up to half a pixel in each direction, the same way in every run.
std::vector<ControlPoint> WithNoise(std::vector<ControlPoint> points) {
  std::mt19937 noise(20261207);
  auto halfPixel = [&] { return static_cast<double>(noise()) / 4294967296.0 - 0.5; };
  for (ControlPoint& p : points) p.picture = {p.picture.x + halfPixel(), p.picture.y + halfPixel()};
  return points;
}

TEST(Calibration, NoisyPointsGiveTheLeastSquaresFit) {
  // Same scale in both directions (0.1953 pixels per world unit), so world residuals are pixel
  // residuals divided by it.
  const MapCorners square{{0, 0}, {1000, 0}, {0, 800}, {1000, 800}};
  const auto points = WithNoise(PointsOn(square, kEight));

  const Calibration got = SolveCalibration(points);
  ASSERT_TRUE(got.ok());
  const double independent = RmsByNormalEquations(points);
  EXPECT_GT(independent, 0.05);
  EXPECT_NEAR(got.rmsPixels, independent, 0.01 * independent);
  EXPECT_NEAR(got.rmsWorldUnits, got.rmsPixels * 5120 / 1000, 0.01 * got.rmsWorldUnits);
}

TEST(Calibration, PointMovedBy20PixelsHasTheLargestResidual) {
  for (std::size_t moved = 0; moved < kEight.size(); ++moved) {
    SCOPED_TRACE(moved);
    auto points = WithNoise(PointsOn(kSkewed, kEight));
    points[moved].picture.x += 12;
    points[moved].picture.y -= 16;
    const Calibration got = SolveCalibration(points);
    ASSERT_TRUE(got.ok());
    EXPECT_EQ(got.largest, moved);
    for (const PointResidual& r : got.residuals)
      EXPECT_LE(r.weighedPixels, got.residuals[moved].weighedPixels);
  }
}

TEST(Calibration, FivePointsMarkThePlainlyLargestResidual) {
  // One point to spare: every weighed residual has the same length, so only the plain one can say
  // which point the fit agrees with least.
  for (std::size_t moved = 0; moved < 5; ++moved) {
    SCOPED_TRACE(moved);
    std::vector<ControlPoint> points = WithNoise(PointsOn(kSkewed, kEight));
    points.resize(5);
    points[moved].picture.x += 12;
    points[moved].picture.y -= 16;
    const Calibration got = SolveCalibration(points);
    ASSERT_TRUE(got.ok());
    ASSERT_TRUE(got.largest.has_value());
    for (const PointResidual& r : got.residuals) EXPECT_LE(r.pixels, got.residuals[*got.largest].pixels);
  }
}

TEST(Calibration, RefusesSetsThatCannotFixAMap) {
  const std::vector<Point> three{{0, 0}, {5120, 0}, {0, 4096}};
  struct Case {
    const char* name;
    std::vector<ControlPoint> points;
    CalibrationStatus status;
    std::vector<std::size_t> culprits;
    const char* says;
  };
  const Case cases[] = {
      {"two points",
       {{{1, 1}, {0, 0}}, {{50, 60}, {500, 600}}},
       CalibrationStatus::TooFewPoints,
       {},
       "three"},
      {"same world point",
       {{{1, 1}, {10, 10}}, {{50, 60}, {500, 600}}, {{90, 30}, {10, 10}}},
       CalibrationStatus::SameWorldPoint,
       {0, 2},
       "Points 1 and 3 have the same world position (10, 10)"},
      {"same pixel",
       {{{1, 1}, {10, 10}}, {{50.2, 60.9}, {500, 600}}, {{50.9, 60.1}, {900, 10}}},
       CalibrationStatus::SamePixel,
       {1, 2},
       "Points 2 and 3 are on the same pixel"},
      {"world points on one line",
       {{{1, 1}, {0, 0}}, {{50, 60}, {2560, 2048}}, {{90, 10}, {5120, 4096}}, {{7, 70}, {1280, 1024}}},
       CalibrationStatus::WorldPointsOnOneLine,
       {},
       "world positions of all points lie on one line"},
      {"pixels on one line",
       PointsOn({{0, 0}, {100, 100}, {50, 50}, {150, 150}}, three),
       CalibrationStatus::PixelsOnOneLine,
       {},
       "lie on one line on the picture"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Calibration got = SolveCalibration(c.points);
    EXPECT_EQ(got.status, c.status);
    EXPECT_EQ(got.culprits, c.culprits);
    EXPECT_NE(got.message.find(c.says), std::string::npos) << got.message;
  }
}

}  // namespace
}  // namespace orv
