// The overview thumbnail: its size and block averages, the view's rectangle on it, and clicks on it.
#include "view/overview.h"

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <vector>

namespace orv {
namespace {

// Pixels that differ in every channel from their neighbours, so a wrong block or lane shows.
QImage Speckled(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  uint32_t noise = 7;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      noise = noise * 1664525u + 1013904223u;
      image.setPixel(x, y, qRgb(int(noise >> 24), (x * 3 + y) & 255, int((noise >> 8) & 255)));
    }
  return image;
}

TEST(Overview, SizeAndBlockFollowTheLongerSide) {
  struct Case {
    int w, h, block, tw, th;
  };
  const Case cases[] = {
      {8192, 6554, 16, 512, 410}, {600, 100, 2, 300, 50}, {512, 512, 1, 512, 512},
      {513, 10, 2, 257, 5},       {10, 1537, 4, 3, 385},  {1, 1, 1, 1, 1},
  };
  for (const Case& c : cases) {
    QImage picture(c.w, c.h, QImage::Format_RGB32);
    picture.fill(Qt::black);
    const Overview o = MakeOverview(picture);
    EXPECT_EQ(o.block, c.block) << c.w << "x" << c.h;
    EXPECT_EQ(o.thumbnail.size(), QSize(c.tw, c.th)) << c.w << "x" << c.h;
    EXPECT_EQ(o.pictureSize, QSize(c.w, c.h));
  }
  EXPECT_TRUE(MakeOverview(QImage()).isNull());
}

TEST(Overview, EachPixelIsTheRoundedAverageOfItsBlock) {
  for (QSize size : {QSize(1030, 20), QSize(1600, 1555)}) {
    const QImage picture = Speckled(size.width(), size.height());
    const Overview o = MakeOverview(picture);
    ASSERT_FALSE(o.isNull());
    const int k = o.block;
    for (int ty = 0; ty < o.thumbnail.height(); ++ty)
      for (int tx = 0; tx < o.thumbnail.width(); ++tx) {
        long r = 0, g = 0, b = 0, n = 0;
        for (int y = ty * k; y < std::min(picture.height(), ty * k + k); ++y)
          for (int x = tx * k; x < std::min(picture.width(), tx * k + k); ++x, ++n) {
            const QRgb p = picture.pixel(x, y);
            r += qRed(p), g += qGreen(p), b += qBlue(p);
          }
        const QRgb got = o.thumbnail.pixel(tx, ty);
        ASSERT_EQ(qRed(got), (r + n / 2) / n) << tx << "," << ty;
        ASSERT_EQ(qGreen(got), (g + n / 2) / n) << tx << "," << ty;
        ASSERT_EQ(qBlue(got), (b + n / 2) / n) << tx << "," << ty;
      }
  }
}

TEST(Overview, MadeAsTheRowsComeItIsTheSameAsMadeAfter) {
  struct Case {
    QSize size;
    std::vector<int> rowsReady;  // rows final at each step, as a decoder reports them
  };
  const Case cases[] = {
      {{1030, 20}, {}},                          // nothing before the end
      {{1030, 20}, {1, 2, 3, 5, 8, 16, 20}},     // one block row cut short at the bottom
      {{1600, 1555}, {16, 17, 300, 301, 1552}},  // blocks of 4: steps inside and at block edges
      {{700, 1025}, {3, 1024, 1025}},            // blocks of 3, the last row of one pixel
      {{300, 200}, {16, 200}},                   // small enough to be kept as it is
  };
  for (const Case& c : cases) {
    const QImage picture = Speckled(c.size.width(), c.size.height());
    OverviewMaker maker(c.size);
    for (int rows : c.rowsReady) {
      // The rows not yet final hold other pixels, which a block row made too early would show.
      QImage partial = picture.copy();
      for (int y = rows; y < partial.height(); ++y)
        std::fill_n(reinterpret_cast<QRgb*>(partial.scanLine(y)), partial.width(), 0xFF123456u);
      maker.RowsReady(partial, rows);
    }
    const Overview made = maker.Finish(picture), after = MakeOverview(picture);
    EXPECT_EQ(made.block, after.block) << c.size.width() << "x" << c.size.height();
    EXPECT_EQ(made.pictureSize, after.pictureSize);
    EXPECT_EQ(made.thumbnail, after.thumbnail) << c.size.width() << "x" << c.size.height();
  }
  EXPECT_TRUE(OverviewMaker(QSize(40, 40)).Finish(Speckled(40, 41)).isNull()) << "another picture";
}

TEST(Overview, WhiteStaysWhiteWithTheLargestBlocks) {
  // 65535 pixels wide: blocks of 128, the most that a channel sum must hold.
  QImage picture(65535, 2, QImage::Format_RGB32);
  picture.fill(0xFFFFFFFFu);
  const Overview o = MakeOverview(picture);
  ASSERT_EQ(o.block, 128);
  EXPECT_EQ(o.thumbnail.pixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(o.thumbnail.pixel(o.thumbnail.width() - 1, 0), 0xFFFFFFFFu);
}

TEST(Overview, ViewRectangleAndClicksOnTheThumbnail) {
  QImage picture(8192, 6554, QImage::Format_RGB32);
  picture.fill(Qt::black);
  const Overview o = MakeOverview(picture);  // blocks of 16
  struct Case {
    Point origin;  // zoomed map pixels
    QSize view;
    int32_t zoom;
    QRect expected;  // thumbnail pixels
  };
  const Case cases[] = {
      {{0, 0}, {569, 167}, 100, QRect(0, 0, 36, 11)},
      {{1000, 500}, {569, 167}, 50, QRect(125, 62, 72, 22)},
      {{0, 0}, {1920, 1080}, 10, QRect(0, 0, 512, 410)},         // the whole picture fits the view
      {{65520, 52400}, {100, 100}, 800, QRect(511, 409, 1, 1)},  // a view smaller than one block
  };
  for (const Case& c : cases)
    EXPECT_EQ(ViewOnOverview(o, c.origin, c.view, c.zoom), c.expected) << c.origin.x << "," << c.origin.y;
  EXPECT_TRUE(ViewOnOverview(o, {0, 0}, {569, 167}, 0).isEmpty());

  EXPECT_EQ(OverviewToPicture(o, QPoint(256, 205)), (Point{4104, 3288}));
  EXPECT_EQ(OverviewToPicture(o, QPoint(-5, 1000)), (Point{0, 6553}));  // a drag beyond the edges
  EXPECT_EQ(OverviewToPicture(o, QPoint(511, 409)), (Point{8184, 6552}));
}

}  // namespace
}  // namespace orv
