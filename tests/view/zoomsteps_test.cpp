// Zoom steps, wheel and pinch gathering, zooming about the pointer and fitting the picture.
#include "view/zoomsteps.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "view/render.h"

namespace orv {
namespace {

TEST(ZoomSteps, StepUpAndDownFromAnyZoom) {
  struct Case {
    int32_t zoom, up, down;
  };
  const Case cases[] = {
      {100, 150, 67}, {10, 15, 10},    {15, 20, 10},      {800, 800, 600}, {600, 800, 400},
      {34, 50, 33},   {33, 50, 25},    {66, 67, 50},      {120, 150, 100}, {5, 10, 5},
      {1, 10, 1},     {801, 801, 800}, {6400, 6400, 800}, {9, 10, 9},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextZoomStepUp(c.zoom), c.up) << c.zoom;
    EXPECT_EQ(NextZoomStepDown(c.zoom), c.down) << c.zoom;
  }
  // Whole ladder walked up from below and down from above.
  EXPECT_EQ(StepZoom(1, 14), 800);
  EXPECT_EQ(StepZoom(6400, -14), 10);
  EXPECT_EQ(StepZoom(100, 3), 300);
  EXPECT_EQ(StepZoom(100, -2), 50);
}

TEST(ZoomSteps, WheelGathersFractionsOfANotch) {
  struct Event {
    int angle, pixels, notches;
  };
  struct Case {
    const char* name;
    std::vector<Event> events;
  };
  const Case cases[] = {
      {"ordinary notches", {{120, 0, 1}, {-120, 0, -1}, {240, 0, 2}}},
      {"fine wheel", {{40, 0, 0}, {40, 0, 0}, {40, 0, 1}, {100, 0, 0}, {20, 0, 1}}},
      {"rest kept past a notch", {{100, 0, 0}, {100, 0, 1}, {40, 0, 1}}},
      {"reversal drops the rest", {{100, 0, 0}, {-30, 0, 0}, {-90, 0, -1}}},
      {"pixels only", {{0, 25, 0}, {0, 25, 0}, {0, 25, 1}, {0, -130, -2}}},
      {"angle wins over pixels", {{120, 3, 1}, {0, 0, 0}}},
      {"switching device drops the other rest", {{0, 50, 0}, {60, 0, 0}, {0, 15, 0}}},
      {"huge deltas keep their direction",
       {{INT_MAX, 0, INT_MAX / 120}, {INT_MAX, 0, INT_MAX / 120}, {INT_MIN, 0, INT_MIN / 120}}},
  };
  for (const Case& c : cases) {
    WheelNotches wheel;
    for (std::size_t i = 0; i < c.events.size(); ++i)
      EXPECT_EQ(wheel.Add(c.events[i].angle, c.events[i].pixels), c.events[i].notches) << c.name << " #" << i;
  }
}

TEST(ZoomSteps, PinchTakesAStepPerQuarter) {
  struct Case {
    const char* name;
    std::vector<double> factors;
    std::vector<int> steps;
  };
  const Case cases[] = {
      {"spread slowly", {1.1, 1.1, 1.1, 1.1}, {0, 0, 1, 0}},
      {"spread fast", {1.6}, {2}},
      {"pinch", {0.9, 0.9, 0.9}, {0, 0, -1}},
      {"reversal starts again", {1.2, 0.95, 1.2}, {0, 0, 0}},
      {"nonsense ignored", {0.0, -2.0, NAN, 1.3}, {0, 0, 0, 1}},
  };
  for (const Case& c : cases) {
    PinchSteps pinch;
    for (std::size_t i = 0; i < c.factors.size(); ++i)
      EXPECT_EQ(pinch.Add(c.factors[i]), c.steps[i]) << c.name << " #" << i;
  }
}

// The picture point (picture pixels, not rounded) shown at a view position.
double PictureAt(int32_t origin, int32_t view, int32_t zoom) {
  return (origin + view) / (zoom * 0.01);
}

TEST(ZoomSteps, PointUnderThePointerStaysWithinOneViewPixel) {
  std::vector<std::pair<int32_t, int32_t>> zooms;
  for (std::size_t i = 0; i + 1 < ZoomLadder.size(); ++i) {
    zooms.push_back({ZoomLadder[i], ZoomLadder[i + 1]});
    zooms.push_back({ZoomLadder[i + 1], ZoomLadder[i]});
  }
  zooms.insert(zooms.end(), {{1, 6400}, {6400, 1}, {37, 1234}, {100, 100}});
  const Point origins[] = {{0, 0}, {431, 77}, {12345, 9876}, {-40, -3}};
  const Point pointers[] = {{0, 0}, {1, 1}, {284, 83}, {1919, 1079}, {568, 166}};
  for (auto [from, to] : zooms)
    for (Point origin : origins)
      for (Point pointer : pointers) {
        const Point next = OriginKeepingViewPosition(origin, pointer, from, to);
        // Where the point that was under the pointer is shown now.
        const double viewX = PictureAt(origin.x, pointer.x, from) * to * 0.01 - next.x;
        const double viewY = PictureAt(origin.y, pointer.y, from) * to * 0.01 - next.y;
        EXPECT_LE(std::abs(viewX - pointer.x), 1.0)
            << from << "->" << to << " x " << origin.x << "+" << pointer.x;
        EXPECT_LE(std::abs(viewY - pointer.y), 1.0)
            << from << "->" << to << " y " << origin.y << "+" << pointer.y;
      }
}

TEST(ZoomSteps, ZoomingInAndOutAgainReturnsToTheSameView) {
  const Point origin{3000, 2000}, pointer{700, 300};
  Point view = origin;
  int32_t zoom = 100;
  for (int i = 0; i < 5; ++i) {
    const int32_t next = NextZoomStepUp(zoom);
    view = OriginKeepingViewPosition(view, pointer, zoom, next);
    zoom = next;
  }
  for (int i = 0; i < 5; ++i) {
    const int32_t next = NextZoomStepDown(zoom);
    view = OriginKeepingViewPosition(view, pointer, zoom, next);
    zoom = next;
  }
  EXPECT_EQ(zoom, 100);
  EXPECT_NEAR(view.x, origin.x, 1);
  EXPECT_NEAR(view.y, origin.y, 1);
}

TEST(ZoomSteps, FitIsTheLargestZoomAtWhichThePictureFits) {
  struct Case {
    int32_t pw, ph, aw, ah, zoom;
  };
  const Case cases[] = {
      {8192, 6554, 1920, 1080, 16}, {400, 300, 569, 167, 55},    {1000, 1000, 290, 5000, 29},
      {10, 10, 1920, 1080, 6400},   {65535, 65535, 100, 100, 1}, {569, 167, 569, 167, 100},
      {0, 0, 569, 167, 100},        {1000, 1000, 0, 0, 1},
  };
  for (const Case& c : cases) {
    const int32_t zoom = FitZoomPercent(c.pw, c.ph, c.aw, c.ah);
    EXPECT_EQ(zoom, c.zoom) << c.pw << "x" << c.ph << " in " << c.aw << "x" << c.ah;
    if (c.pw > 0 && zoom > MinZoomPercent && zoom < MaxZoomPercent) {
      // By the program's own rule for scaled lengths: fits at the zoom, not at one more.
      EXPECT_TRUE(ScaledLength(c.pw, zoom) <= c.aw && ScaledLength(c.ph, zoom) <= c.ah);
      EXPECT_FALSE(ScaledLength(c.pw, zoom + 1) <= c.aw && ScaledLength(c.ph, zoom + 1) <= c.ah);
    }
  }
}

}  // namespace
}  // namespace orv
