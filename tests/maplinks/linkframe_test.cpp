// Link frames inverted into a picture: their exact pixels, and that any mix of frames and the corner
// outline comes off again in any order.
#include "maplinks/linkframe.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <random>

#include "storage/fields.h"

namespace orv {
namespace {

QImage NoisePicture(int w, int h, unsigned seed) {
  QImage image(w, h, QImage::Format_RGB32);
  std::mt19937 random(seed);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) image.setPixel(x, y, 0xff000000u | (random() & 0xffffffu));
  }
  return image;
}

// The pixels a frame through (x1, y1) and (x2, y2) must cover: a band 4 pixels wide centred on the
// lines, with square corners. Pixel (x, y) spans x..x+1, so a line at x covers pixels x-2 .. x+1.
bool InFrame(int x, int y, int x1, int y1, int x2, int y2) {
  const int lx = std::min(x1, x2), hx = std::max(x1, x2), ly = std::min(y1, y2), hy = std::max(y1, y2);
  const bool outer = lx - 2 <= x && x < hx + 2 && ly - 2 <= y && y < hy + 2;
  const bool inner = lx + 2 <= x && x < hx - 2 && ly + 2 <= y && y < hy - 2;
  return outer && !inner;
}

struct FrameCase {
  const char* name;
  int x1, y1, x2, y2;
};

TEST(InvertFrame, InvertsExactlyTheBandAroundTheCornersAndRestoresWhenDrawnAgain) {
  const FrameCase cases[] = {
      {"upper left to lower right", 10, 8, 40, 30},
      {"lower right to upper left", 40, 30, 10, 8},
      {"upper right to lower left", 40, 8, 10, 30},
      {"narrower than the band", 20, 10, 23, 30},
      {"no width", 20, 10, 20, 30},
      {"no height", 5, 12, 50, 12},
      {"crossing the picture's edges", -6, -3, 70, 51},
      {"at the picture's corner", 0, 0, 1, 1},
  };
  const QImage original = NoisePicture(64, 48, 7);
  for (const FrameCase& c : cases) {
    SCOPED_TRACE(c.name);
    QImage image = original;
    InvertFrame(image, c.x1, c.y1, c.x2, c.y2);
    int wrong = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QRgb expected = InFrame(x, y, c.x1, c.y1, c.x2, c.y2) ? (original.pixel(x, y) ^ 0x00ffffffu)
                                                                    : original.pixel(x, y);
        if (image.pixel(x, y) != expected) ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0);
    InvertFrame(image, c.x1, c.y1, c.x2, c.y2);
    EXPECT_EQ(image, original);
  }
}

TEST(InvertFrame, CornersGivenInEitherOrderDrawTheSameFrame) {
  const QImage original = NoisePicture(40, 40, 3);
  QImage forward = original, backward = original, crosswise = original;
  InvertFrame(forward, 5, 6, 30, 33);
  InvertFrame(backward, 30, 33, 5, 6);
  InvertFrame(crosswise, 5, 33, 30, 6);
  EXPECT_EQ(forward, backward);
  EXPECT_EQ(forward, crosswise);
}

// The corner outline is drawn with the same inverting pen, 3 pixels wide, through five points.
void InvertOutline(QImage& image) {
  QPainter painter(&image);
  painter.setCompositionMode(QPainter::RasterOp_NotDestination);
  painter.setPen(QPen(Qt::black, 3));
  const QPoint outline[] = {{3, 4}, {90, 10}, {80, 70}, {6, 60}, {3, 4}};
  painter.drawPolyline(outline, 5);
}

TEST(InvertFrame, CrossingFramesAndTheOutlineComeOffInAnyOrder) {
  const QImage original = NoisePicture(100, 80, 11);
  enum Mark { Drawing, Highlight, Outline };
  auto apply = [](QImage& image, Mark mark) {
    switch (mark) {
      case Drawing:
        InvertFrame(image, 10, 10, 60, 50);
        break;
      case Highlight:
        InvertFrame(image, 70, 5, 30, 40);
        break;
      case Outline:
        InvertOutline(image);
        break;
    }
  };
  std::vector<Mark> on = {Drawing, Highlight, Outline};
  std::vector<Mark> off = on;
  do {
    do {
      QImage image = original;
      for (Mark m : on) apply(image, m);
      EXPECT_NE(image, original);
      for (Mark m : off) apply(image, m);
      EXPECT_EQ(image, original);
    } while (std::next_permutation(off.begin(), off.end()));
  } while (std::next_permutation(on.begin(), on.end()));
}

TEST(InvertFrame, FarAwayCornersFromAHandEditedFileLeaveThePictureWhole) {
  const QImage original = NoisePicture(32, 32, 5);
  QImage image = original;
  InvertFrame(image, -2000000000, -2000000000, 2000000000, 2000000000);
  InvertFrame(image, -2000000000, -2000000000, 2000000000, 2000000000);
  EXPECT_EQ(image, original);
  QImage none;
  InvertFrame(none, 1, 2, 3, 4);  // no picture loaded: nothing to draw on
  EXPECT_TRUE(none.isNull());
}

std::string Record(const std::string& x1, const std::string& y1, const std::string& x2,
                   const std::string& y2) {
  const std::string s(1, FieldSeparator);
  return x1 + s + y1 + s + x2 + s + y2 + s + "b.dem" + s + "text";
}

TEST(Highlight, OneHighlightAtATimeAndNoneForCornersThatAreNotNumbers) {
  const QImage original = NoisePicture(80, 60, 9);
  QImage image = original;
  LinkRect highlight;

  auto middle = HighlightLink(image, highlight, Record("50", "40", "10", "10"));
  ASSERT_TRUE(middle);
  EXPECT_EQ(*middle, (Point{30, 25}));
  EXPECT_EQ(highlight, (LinkRect{50, 40, 10, 10}));

  middle = HighlightLink(image, highlight, Record("20", "5", "70", "30"));
  ASSERT_TRUE(middle);
  QImage onlySecond = original;
  InvertFrame(onlySecond, 20, 5, 70, 30);
  EXPECT_EQ(image, onlySecond);

  // A record with a corner that is not a number removes the old highlight and draws none.
  EXPECT_FALSE(HighlightLink(image, highlight, Record("20", "5", "7O", "30")));
  EXPECT_EQ(image, original);
  EXPECT_EQ(highlight, LinkRect{});
  EXPECT_FALSE(ClearHighlight(image, highlight));

  // A first corner at -1 still counts as drawn, so clearing it leaves no frame behind.
  ASSERT_TRUE(HighlightLink(image, highlight, Record("-1", "3", "40", "30")));
  EXPECT_NE(image, original);
  EXPECT_TRUE(ClearHighlight(image, highlight));
  EXPECT_EQ(image, original);
}

}  // namespace
}  // namespace orv
