#include "core/transform.h"

#include <gtest/gtest.h>

#include <limits>

namespace orv {
namespace {

const MapCorners kDefault{};
const MapCorners kOffset{{-100, -50}, {1900, -50}, {-100, 1550}, {1900, 1550}};
const MapCorners kSkewed{{10, 20}, {1010, 70}, {-30, 820}, {990, 860}};
const MapCorners kLifeSize{{0, 0}, {5120, 0}, {0, 4096}, {5120, 4096}};

struct ConversionCase {
  const char* name;
  MapCorners corners;
  int32_t zoom;
  Point world;
  Point pixel;     // the world point's zoomed map pixel
  Point backward;  // the world point under that pixel
};

TEST(Transform, ConvertsBothWays) {
  const ConversionCase cases[] = {
      {"default far corner", kDefault, 100, {5120, 4096}, {50, 50}, {5120, 4096}},
      {"default far corner zoomed in", kDefault, 200, {5120, 4096}, {100, 100}, {5120, 4096}},
      {"default middle", kDefault, 100, {2560, 2048}, {25, 25}, {2560, 2048}},
      // One picture pixel spans about 102 world units here, so the way back lands elsewhere.
      {"default coarse pixel", kDefault, 100, {100, 0}, {1, 0}, {102, 0}},
      // 50 * 0.37 is 18.5 in the decimal text: a half, away from zero.
      {"default at 37 percent", kDefault, 37, {5120, 4096}, {19, 19}, {5222, 4178}},
      {"default at 1 percent", kDefault, 1, {5120, 4096}, {1, 1}, {10240, 8192}},
      {"offset middle", kOffset, 100, {2560, 2048}, {900, 750}, {2560, 2048}},
      {"offset", kOffset, 100, {1000, 1000}, {291, 341}, {1001, 1001}},
      // The unrounded x is exactly 145.5 before rounding.
      {"offset at 50 percent", kOffset, 50, {1000, 1000}, {146, 170}, {1004, 998}},
      {"skewed origin", kSkewed, 100, {0, 0}, {10, 20}, {50, -26}},
      {"skewed far corner", kSkewed, 100, {5120, 4096}, {990, 860}, {5120, 4096}},
      {"outside the world extrapolates", kLifeSize, 100, {-300, 5000}, {-300, 5000}, {-300, 5000}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WorldToMapPixel(c.corners, c.zoom, c.world), c.pixel);
    EXPECT_EQ(MapPixelToWorld(c.corners, c.zoom, c.pixel), c.backward);
  }
}

TEST(Transform, ParallelogramAtOneUnitPerPixelIsExactBothWays) {
  // A picture with one pixel per world unit: every world point is its own pixel at 100 percent and
  // twice itself at 200 percent, and converts back to itself.
  for (int32_t zoom : {100, 200}) {
    for (int32_t x = 0; x <= WorldWidth; x += 37) {
      for (int32_t y = 0; y <= WorldHeight; y += 41) {
        const Point world{x, y};
        const auto pixel = WorldToMapPixel(kLifeSize, zoom, world);
        ASSERT_EQ(pixel, (Point{x * zoom / 100, y * zoom / 100}));
        ASSERT_EQ(MapPixelToWorld(kLifeSize, zoom, *pixel), world);
      }
    }
  }
}

TEST(Transform, ZoomBelowOneHasNoResult) {
  for (int32_t zoom : {0, -1, -100, std::numeric_limits<int32_t>::min()}) {
    SCOPED_TRACE(zoom);
    EXPECT_FALSE(WorldToMapPixel(kOffset, zoom, {1000, 1000}));
    EXPECT_FALSE(MapPixelToWorld(kOffset, zoom, {291, 341}));
  }
}

TEST(Transform, ResultsOutside32BitsHaveNoResult) {
  const MapCorners wide{{0, 0}, {2000000000, 0}, {0, 50}, {2000000000, 50}};
  EXPECT_EQ(WorldToMapPixel(wide, 100, {2560, 0}), (Point{1000000000, 0}));
  EXPECT_FALSE(WorldToMapPixel(wide, 200, {5120, 0}));
  EXPECT_FALSE(WorldToMapPixel(wide, 100, {6000, 0}));
  // A far pixel at a small zoom is a picture pixel beyond 32 bits.
  EXPECT_FALSE(MapPixelToWorld(kDefault, 10, {std::numeric_limits<int32_t>::max(), 0}));
  // A pixel near the 32-bit edge whose carried point would overflow.
  EXPECT_FALSE(MapPixelToWorld(kDefault, 100, {0, std::numeric_limits<int32_t>::max()}));
  // Corner extremes: the differences do not overflow, the extrapolated pixel does not fit.
  const MapCorners extreme{{std::numeric_limits<int32_t>::min(), 0},
                           {std::numeric_limits<int32_t>::max(), 0},
                           {std::numeric_limits<int32_t>::min(), 50},
                           {std::numeric_limits<int32_t>::max(), 50}};
  EXPECT_EQ(WorldToMapPixel(extreme, 100, {0, 0}), (Point{std::numeric_limits<int32_t>::min(), 0}));
  EXPECT_FALSE(WorldToMapPixel(extreme, 100, {5121, 0}));
}

TEST(Transform, OutlineRunsRoundTheCorners) {
  const MapOutline expected{Point{10, 20}, Point{1010, 70}, Point{990, 860}, Point{-30, 820}, Point{10, 20}};
  EXPECT_EQ(OutlineOf(kSkewed), expected);
}

struct IntersectCase {
  const char* name;
  Point p1, p2, q1, q2;
  std::optional<Point> expected;
};

TEST(IntersectLines, FollowsTheLineKinds) {
  const IntersectCase cases[] = {
      {"sloped, sloped", {0, 0}, {2, 1}, {0, 4}, {4, 0}, Point{3, 1}},
      // The intercept is rounded first: -(1 * 0.5) gives 0, so the line is taken through (0, 0).
      {"sloped, horizontal", {1, 0}, {3, 1}, {0, 2}, {9, 2}, Point{4, 2}},
      {"horizontal, sloped (tie to even)", {0, 5}, {10, 5}, {0, 0}, {2, 4}, Point{2, 5}},
      {"vertical, sloped (tie to even)", {3, 0}, {3, 10}, {0, 1}, {2, 2}, Point{3, 2}},
      {"sloped, vertical (tie to even)", {0, 1}, {2, 2}, {5, 0}, {5, 9}, Point{5, 4}},
      {"horizontal, vertical", {0, 7}, {1, 7}, {4, 0}, {4, 1}, Point{4, 7}},
      {"vertical, horizontal", {4, 0}, {4, 1}, {0, 7}, {1, 7}, Point{4, 7}},
      {"two equal points count as horizontal", {3, 3}, {3, 3}, {0, 0}, {0, 9}, Point{0, 3}},
      {"horizontal, horizontal", {0, 0}, {5, 0}, {0, 3}, {5, 3}, std::nullopt},
      {"equal points, horizontal", {3, 3}, {3, 3}, {0, 1}, {5, 1}, std::nullopt},
      {"vertical, vertical", {0, 0}, {0, 5}, {3, 0}, {3, 5}, std::nullopt},
      {"parallel sloped", {0, 0}, {1, 1}, {0, 5}, {2, 7}, std::nullopt},
      {"the same sloped line", {0, 0}, {1, 1}, {2, 2}, {3, 3}, std::nullopt},
      {"crossing beyond 32 bits", {0, 0}, {1000000000, 1}, {0, 1}, {1000000001, 2}, std::nullopt},
      {"extreme points",
       {std::numeric_limits<int32_t>::min(), 0},
       {std::numeric_limits<int32_t>::max(), 0},
       {0, std::numeric_limits<int32_t>::min()},
       {0, std::numeric_limits<int32_t>::max()},
       Point{0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IntersectLines(c.p1, c.p2, c.q1, c.q2), c.expected);
  }
}

struct CornerSet {
  const char* name;
  MapCorners corners;
  bool degenerate;
};

// The real-valued mapping used for drawing between pixels: it is the bilinear mapping that
// WorldToMapPixel rounds, and its inverse undoes it even where the corners are no parallelogram.
TEST(Transform, RealPositionsFollowTheRoundedMappingAndInvertExactly) {
  for (const MapCorners& corners : {kDefault, kOffset, kSkewed, kLifeSize}) {
    for (const Point world :
         {Point{0, 0}, Point{5120, 4096}, Point{1000, 1000}, Point{4095, 17}, Point{-300, 4500}}) {
      const RealPoint picture = WorldToPicturePosition(corners, {double(world.x), double(world.y)});
      const auto rounded = WorldToMapPixel(corners, 100, world);
      ASSERT_TRUE(rounded);
      // WorldToMapPixel rounds twice (the top and bottom points, then the result).
      EXPECT_NEAR(picture.x, rounded->x, 1.0) << world.x << "," << world.y;
      EXPECT_NEAR(picture.y, rounded->y, 1.0) << world.x << "," << world.y;
      const RealPoint back = PictureToWorldPosition(corners, picture);
      EXPECT_NEAR(back.x, world.x, 1e-6);
      EXPECT_NEAR(back.y, world.y, 1e-6);
    }
  }
  const RealPoint middle = WorldToPicturePosition(kSkewed, {2560, 2048});
  EXPECT_DOUBLE_EQ(middle.x, (10 + 1010 - 30 + 990) / 4.0);
  EXPECT_DOUBLE_EQ(middle.y, (20 + 70 + 820 + 860) / 4.0);
}

TEST(Transform, DegenerateCornersHaveNoWorldPointForAnyPixel) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  const CornerSet sets[] = {
      {"default", kDefault, false},
      {"offset", kOffset, false},
      {"skewed", kSkewed, false},
      {"life size", kLifeSize, false},
      {"all corners on one pixel", {{5, 5}, {5, 5}, {5, 5}, {5, 5}}, true},
      {"all corners on one line", {{0, 0}, {10, 10}, {20, 20}, {30, 30}}, true},
      {"upper right on lower right", {{0, 0}, {50, 50}, {0, 50}, {50, 50}}, true},
      // The edge is measured on its signed-larger component, which is 0 for these.
      {"turned a quarter", {{0, 50}, {0, 0}, {50, 50}, {50, 0}}, true},
      {"mirrored left to right", {{50, 0}, {0, 0}, {50, 50}, {0, 50}}, true},
      {"mirrored top to bottom", {{0, 50}, {50, 50}, {0, 0}, {50, 0}}, true},
      {"mean direction beyond 32 bits", {{-kMax, 0}, {0, 0}, {kMax, 50}, {kMax, 50}}, true},
  };
  const Point pixels[] = {{0, 0}, {25, 25}, {-40, 70}, {1000, 3}, {7, 900}};
  for (const auto& s : sets) {
    SCOPED_TRACE(s.name);
    EXPECT_EQ(CornersAreDegenerate(s.corners), s.degenerate);
    for (int32_t zoom : {100, 37}) {
      for (Point p : pixels) EXPECT_EQ(MapPixelToWorld(s.corners, zoom, p).has_value(), !s.degenerate);
    }
  }
}

}  // namespace
}  // namespace orv
