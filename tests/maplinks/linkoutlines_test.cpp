// Link area outlines: where they lie at each zoom, which areas a view or pointer finds, the pixels
// drawn, and the scroll that shows an area beside a window covering part of the view.
#include "maplinks/linkoutlines.h"
#include "view/mapviewport.h"

#include <gtest/gtest.h>

#include <random>

namespace orv {
namespace {

TEST(LinkOutlines, InsideOfTheOutlineIsWhereThePointerFindsTheArea) {
  const LinkRect areas[] = {{10, 20, 30, 45}, {30, 45, 10, 20}, {7, 7, 8, 8}, {5, 5, 5, 5}, {13, 3, 16, 40}};
  // Zooms whose factors are exact in binary, as the pointer's arithmetic then is.
  for (const int32_t zoom : {25, 50, 100, 200, 400}) {
    for (const LinkRect& area : areas) {
      const PixelBox box = OutlineBox(area, zoom);
      EXPECT_LE(box.left, box.right);
      EXPECT_LE(box.top, box.bottom);
      for (int32_t z = 0; z < 50 * zoom / 100 + 8; ++z) {
        const Point picture = MapViewport::ZoomedToPicture({z, z}, zoom);
        const bool across = std::min(area.x1, area.x2) < picture.x && picture.x < std::max(area.x1, area.x2);
        const bool down = std::min(area.y1, area.y2) < picture.y && picture.y < std::max(area.y1, area.y2);
        ASSERT_EQ(box.left < z && z < box.right, across) << zoom << " " << z;
        ASSERT_EQ(box.top < z && z < box.bottom, down) << zoom << " " << z;
      }
    }
  }
  // At 100 percent the outline lies on the lines through the corners.
  EXPECT_EQ(OutlineBox({30, 45, 10, 20}, 100), (PixelBox{10, 20, 30, 45}));
}

TEST(LinkOutlines, IndexFindsTheSameAreasAsLookingAtEvery) {
  std::mt19937 random(3);
  std::uniform_int_distribution<int32_t> at(-200, 5000), size(0, 300), huge(0, 400000);
  std::vector<LinkRect> areas;
  for (int i = 0; i < 3000; ++i) {
    const int32_t x = at(random), y = at(random);
    const int32_t w = i % 50 == 0 ? huge(random) : size(random),
                  h = i % 70 == 0 ? huge(random) : size(random);
    areas.push_back(i % 2 ? LinkRect{x, y, x + w, y + h} : LinkRect{x + w, y + h, x, y});
  }
  const LinkAreaIndex index(areas);
  std::vector<uint32_t> found;
  for (int q = 0; q < 400; ++q) {
    const int64_t x = at(random), y = at(random);
    const PixelBox request{x, y, x + size(random) * 4, y + size(random) * 3};
    std::vector<uint32_t> expected;
    for (uint32_t i = 0; i < areas.size(); ++i) {
      const LinkRect& a = areas[i];
      const PixelBox corners{std::min(a.x1, a.x2), std::min(a.y1, a.y2), std::max(a.x1, a.x2),
                             std::max(a.y1, a.y2)};
      if (corners.Meets(request)) expected.push_back(i);
    }
    index.Meeting(request, found);
    ASSERT_EQ(found, expected) << q;
  }
}

TEST(LinkOutlines, PointerFindsTheFirstAreaInListOrderAsTheHoverDoes) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int32_t> at(0, 600), size(0, 120);
  std::vector<std::string> records;
  for (int i = 0; i < 400; ++i) {
    const int32_t x = at(random), y = at(random);
    records.push_back(i % 37 == 0
                          ? "x\xb3y\xb3z\xb3w\xb3t.dem\xb3hand-edited"
                          : MakeMapLinkRecord({x + size(random), y, x, y + size(random)}, "t.dem", "t"));
  }
  const LinkAreaIndex index = LinkAreaIndex::OfRecords(records);
  for (int32_t y = 0; y < 700; y += 11)
    for (int32_t x = 0; x < 700; x += 5) {
      const auto expected = FindLinkAt(records, {x, y});
      const auto found = index.FirstHolding({x, y});
      ASSERT_EQ(found.has_value(), expected.has_value()) << x << "," << y;
      if (found) ASSERT_EQ(*found, *expected) << x << "," << y;
    }
  EXPECT_EQ(index.Area(0), (LinkRect{-1, -1, -1, -1}));  // a record without integer corners
}

TEST(LinkOutlines, OutlineAndFillArePaintedOnceAndOnlyInView) {
  QImage view(200, 150, QImage::Format_RGB32);
  const QRgb white = qRgb(255, 255, 255);
  view.fill(white);
  const LinkOutlineStyle style;
  // At 200 percent from (10, 10): the outline runs on zoomed pixels 21..60 across and 21..40 down.
  const LinkAreaIndex index({{30, 20, 10, 10}, {900, 900, 950, 950}});
  DrawLinkOutlines(view, index, 200, {10, 5}, style);
  const auto at = [&](int zx, int zy) { return view.pixel(zx - 10, zy - 5); };
  const QRgb line = at(21, 30), fill = at(40, 30);
  EXPECT_NE(line, white);
  EXPECT_NE(fill, white);
  EXPECT_LT(qRed(line), qRed(fill));  // the line shows more than the fill
  for (const auto& [x, y] : {std::pair{21, 21}, {60, 21}, {21, 40}, {60, 40}, {40, 21}, {40, 40}, {60, 30}})
    EXPECT_EQ(at(x, y), line) << x << "," << y;
  for (const auto& [x, y] : {std::pair{20, 30}, {61, 30}, {40, 20}, {40, 41}}) EXPECT_EQ(at(x, y), white);
  int changed = 0;
  for (int y = 0; y < view.height(); ++y)
    for (int x = 0; x < view.width(); ++x) changed += view.pixel(x, y) != white;
  EXPECT_EQ(changed, 40 * 20);  // nothing of the area far outside the view
}

TEST(LinkOutlines, ScrollShowsTheAreaBesideTheWindow) {
  const QRect rightSide(250, 0, 150, 300), rightTop(250, 0, 150, 150);
  const struct {
    const char* what;
    LinkRect area;
    int32_t zoom;
    Point origin;
    QRect covered;
    Point expected;
  } cases[] = {
      {"already clear of the window", {100, 100, 150, 140}, 100, {0, 0}, rightSide, {0, 0}},
      {"under the window: centred across in the free part",
       {300, 100, 340, 140},
       100,
       {0, 0},
       rightSide,
       {195, 0}},
      {"corners reversed", {340, 140, 300, 100}, 100, {0, 0}, rightSide, {195, 0}},
      {"far away: centred both ways", {1500, 1200, 1600, 1250}, 100, {0, 0}, rightSide, {1425, 1075}},
      {"at the map's right end: shown below the window",
       {2300, 400, 2350, 440},
       100,
       {0, 300},
       rightTop,
       {2000, 195}},
      {"no window", {300, 50, 320, 60}, 200, {0, 0}, QRect(), {421, 0}},
      {"window beside the view", {300, 50, 320, 60}, 200, {0, 0}, QRect(500, 0, 100, 100), {421, 0}},
      {"zoomed and already in view", {100, 100, 120, 110}, 200, {0, 0}, QRect(), {0, 0}},
  };
  for (const auto& c : cases) {
    const Point got =
        ScrollAreaIntoView(c.area, {c.zoom, c.origin, 400, 300}, c.covered, {0, 0}, {2000, 2000});
    EXPECT_EQ(got, c.expected) << c.what << ": " << got.x << "," << got.y;
  }
}

}  // namespace
}  // namespace orv
