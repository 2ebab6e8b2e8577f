// The viewport's arithmetic: scroll ranges, clamping, centring, zoom changes and the conversions
// between view positions, zoomed map pixels, picture pixels and world points.
#include "view/mapviewport.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

MapViewport Viewport(int32_t areaW, int32_t areaH, int32_t pictureW, int32_t pictureH, int32_t zoom) {
  MapViewport v;
  v.SetAreaSize(areaW, areaH);
  v.SetPictureSize(pictureW, pictureH);
  v.SetZoom(zoom);
  return v;
}

TEST(MapViewport, BarsAndClampingFollowPictureZoomAndArea) {
  const struct {
    int32_t area, picture, zoom;
    ScrollBarRange bar;
    int32_t offered, clamped;  // a position offered by the bar and the one the view takes
  } cases[] = {
      {569, 1000, 100, {597, 166, false}, 500, 431},  // positions beyond S - V are cut back
      {569, 1000, 100, {597, 166, false}, -3, 0},
      {569, 1000, 50, {0, 83, true}, 9, 0},    // scaled 500 < 569: one position only
      {569, 569, 100, {94, 94, false}, 1, 0},  // S = V: the useful range is 0 alone
      {100, 1200, 200, {2700, 400, false}, 3000, 2300},
      {100, 1000, 2147483647, {2147483647, 357913941, false}, 2147483647, 2147483547},  // clamped sizes
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.picture << " at " << c.zoom << " in " << c.area);
    const MapViewport x = Viewport(c.area, 10, c.picture, 10, c.zoom);
    EXPECT_EQ(c.bar, x.HorizontalBar());
    EXPECT_EQ(c.clamped, x.ClampX(c.offered));
    const MapViewport y = Viewport(10, c.area, 10, c.picture, c.zoom);
    EXPECT_EQ(c.bar, y.VerticalBar());
    EXPECT_EQ(c.clamped, y.ClampY(c.offered));
  }
}

TEST(MapViewport, ScrollingAndCentringStayInTheUsefulRange) {
  const struct {
    Point target;  // zoomed map pixel to scroll to, or to centre on
    bool centre;
    Point origin;
  } cases[] = {
      {{5000, 5000}, false, {431, 233}},
      {{-7, 12}, false, {0, 12}},
      {{10, 10}, true, {0, 0}},
      {{990, 395}, true, {431, 233}},                   // near the lower right: S - V
      {{500, 200}, true, {500 - 284, 200 - 83}},        // area 569 x 167: halves 284 and 83
      {{-2147483647 - 1, 2147483647}, true, {0, 233}},  // far points clamp without overflow
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.target.x << "," << c.target.y);
    MapViewport v = Viewport(569, 167, 1000, 400, 100);
    if (c.centre) {
      v.SetCross(c.target);
      v.CenterOnCross();
    } else {
      v.ScrollTo(c.target);
    }
    EXPECT_EQ(c.origin, v.Origin());
  }

  // A larger area, or a smaller zoom, brings an origin beyond the new range back.
  MapViewport v = Viewport(569, 167, 1000, 400, 100);
  v.ScrollTo({400, 200});
  v.SetAreaSize(800, 300);
  v.KeepOriginInRange();
  EXPECT_EQ((Point{200, 100}), v.Origin());
  v.SetZoom(50);
  v.KeepOriginInRange();
  EXPECT_EQ((Point{0, 0}), v.Origin());
}

TEST(MapViewport, KeepInViewMovesOnlyWhenThePointLeavesTheMiddleTwoThirds) {
  // Area 600 x 300 at origin (1000, 1000): the middle two thirds span 1100..1500 and 1050..1250.
  const struct {
    Point point;  // zoomed map pixel
    Point origin;
  } cases[] = {
      {{1300, 1150}, {1000, 1000}}, {{1100, 1050}, {1000, 1000}},  // on the edges: still in the middle
      {{1500, 1250}, {1000, 1000}}, {{1099, 1150}, {799, 1000}},   // just outside: centred on the point
      {{1501, 1150}, {1201, 1000}}, {{1300, 1251}, {1000, 1101}},
      {{1300, 1049}, {1000, 899}},  {{2990, 2990}, {2400, 2700}},  // as far as the useful range allows
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y);
    MapViewport v = Viewport(600, 300, 3000, 3000, 100);
    v.ScrollTo({1000, 1000});
    v.KeepInView(c.point);
    EXPECT_EQ(c.origin, v.Origin());
  }
}

TEST(MapViewport, ConvertsBetweenTheFourSpaces) {
  // Corners on which a picture pixel at 100 percent is the world point of the same numbers.
  const MapCorners corners{{0, 0}, {5120, 0}, {0, 4096}, {5120, 4096}};
  const struct {
    int32_t zoom;
    Point origin, view, zoomed, picture;
  } cases[] = {
      {100, {0, 0}, {7, 9}, {7, 9}, {7, 9}},
      {200, {100, 50}, {0, 0}, {100, 50}, {50, 25}},
      {200, {100, 50}, {1, 1}, {101, 51}, {50, 25}},  // halves are cut off
      {50, {10, 20}, {50, 40}, {60, 60}, {120, 120}},
      {33, {0, 0}, {10, 10}, {10, 10}, {30, 30}},   // 10 * 100 / 33 = 30.3
      {300, {0, 0}, {33, 66}, {33, 66}, {11, 22}},  // exact thirds land on whole pixels
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "zoom " << c.zoom << " view " << c.view.x << "," << c.view.y);
    MapViewport v = Viewport(100, 100, 100000, 100000, c.zoom);
    v.ScrollTo(c.origin);
    ASSERT_EQ(c.origin, v.Origin());
    EXPECT_EQ(c.zoomed, v.ViewToZoomed(c.view));
    EXPECT_EQ(c.picture, v.ViewToPicture(c.view));
    EXPECT_EQ(c.picture, MapViewport::ZoomedToPicture(c.zoomed, c.zoom));
    EXPECT_EQ(v.ZoomedToWorld(c.zoomed, corners), v.ViewToWorld(c.view, corners));
    EXPECT_EQ(MapPixelToWorld(corners, c.zoom, c.zoomed), v.ZoomedToWorld(c.zoomed, corners));
  }
  EXPECT_EQ((Point{100, 60}), MapViewport::PictureToZoomed({200, 121}, 50));
  MapViewport v = Viewport(100, 100, 1000, 1000, 200);
  EXPECT_EQ(WorldToMapPixel(corners, 200, {1000, 1000}), v.WorldToZoomed({1000, 1000}, corners));
}

TEST(MapViewport, AZoomChangeKeepsThePointOnItsWorldPoint) {
  const MapCorners corners{{-100, -50}, {1900, -50}, {-100, 1550}, {1900, 1550}};
  MapViewport v = Viewport(569, 167, 1200, 900, 100);
  const Point before = *v.WorldToZoomed({1000, 1000}, corners);
  const Point world = *v.ZoomedToWorld(before, corners);
  const Point after = v.ChangeZoomKeeping(200, before, corners);
  EXPECT_EQ(200, v.ZoomPercent());
  EXPECT_EQ(WorldToMapPixel(corners, 200, world), after);

  // Corners without a world conversion: the point keeps its picture pixel.
  const MapCorners flat{{0, 0}, {0, 0}, {0, 0}, {0, 0}};
  MapViewport w = Viewport(569, 167, 1200, 900, 100);
  EXPECT_EQ((Point{200, 120}), w.ChangeZoomKeeping(200, {100, 60}, flat));
  EXPECT_EQ((Point{50, 30}), w.ChangeZoomKeeping(50, {200, 120}, flat));
}

TEST(MapViewport, TheCrossKeepsItsWorldPointThroughZoomChanges) {
  // The whole world on 1280 x 1024 picture pixels: four world units a pixel at 100 percent.
  const MapCorners world{{0, 0}, {1280, 0}, {0, 1024}, {1280, 1024}};
  const struct {
    const char* name;
    std::optional<Point> typed;  // put on this world point, or clicked on the pixel below
    Point clicked;
    Point kept;  // the world point through every zoom
  } cases[] = {
      {"typed", Point{1001, 1001}, {}, {1001, 1001}},
      {"typed near an edge", Point{5119, 3}, {}, {5119, 3}},
      {"clicked", std::nullopt, {300, 180}, {1200, 720}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MapViewport v = Viewport(569, 167, 1280, 1024, 100);
    if (c.typed) {
      ASSERT_TRUE(v.SetCrossWorld(*c.typed, world));
    } else {
      v.SetCross(c.clicked);
    }
    for (const int32_t zoom : {10, 37, 250, 100, 10, 100}) {
      v.ChangeZoomKeepingCross(zoom, world);
      EXPECT_EQ(c.kept, v.CrossWorld(world)) << zoom;
      EXPECT_EQ(WorldToMapPixel(world, zoom, c.kept), v.Cross()) << zoom;
    }
    // A click forgets the point it was given.
    v.SetCross({3, 4});
    EXPECT_EQ(v.ZoomedToWorld({3, 4}, world), v.CrossWorld(world));
  }

  // A point whose pixel does not fit in 32 bits leaves the cross where it was, and the point it was
  // put on before under other corners (the map left) is no longer its world point.
  MapViewport far = Viewport(569, 167, 1280, 1024, 6400);
  const MapCorners left{{100, 50}, {1380, 50}, {100, 1074}, {1380, 1074}};
  ASSERT_TRUE(far.SetCrossWorld({1500, 1200}, left));
  const Point pixel = far.Cross();
  EXPECT_FALSE(far.SetCrossWorld({2147483647, 0}, world));
  EXPECT_EQ(pixel, far.Cross());
  EXPECT_EQ(far.ZoomedToWorld(pixel, world), far.CrossWorld(world));

  // Corners that give no world point: a zoom keeps the cross's picture pixel.
  const MapCorners flat{{0, 0}, {0, 0}, {0, 0}, {0, 0}};
  MapViewport v = Viewport(569, 167, 1200, 900, 100);
  v.SetCross({100, 60});
  v.ChangeZoomKeepingCross(200, flat);
  EXPECT_EQ((Point{200, 120}), v.Cross());
  EXPECT_EQ(std::nullopt, v.CrossWorld(flat));
}

}  // namespace
}  // namespace orv
