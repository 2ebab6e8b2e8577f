// The corner outline drawn into the map picture, and the reload of the corner values.
#include "view/mapoutline.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

namespace orv {
namespace {

QImage Gradient() {
  QImage picture(200, 150, QImage::Format_RGB32);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, qRgb(x, y, (x * y) & 255));
  return picture;
}

TEST(InvertMapOutlineTest, InvertsTheLineOnceAndADoubleDrawRestoresEveryBit) {
  const MapOutline outlines[] = {
      OutlineOf({{10, 20}, {180, 25}, {5, 130}, {170, 140}}),  // a skewed map
      OutlineOf({{10, 20}, {180, 25}, {170, 140}, {5, 130}}),  // corners swapped: the outline crosses itself
      OutlineOf({{-100, -50}, {1900, -50}, {-100, 1550}, {1900, 1550}}),  // corners beyond the picture
  };
  for (const MapOutline& outline : outlines) {
    const QImage original = Gradient();
    QImage picture = original;
    InvertMapOutline(picture, outline);
    int changed = 0;
    for (int y = 0; y < picture.height(); ++y) {
      for (int x = 0; x < picture.width(); ++x) {
        const QRgb before = original.pixel(x, y), after = picture.pixel(x, y);
        if (before == after) continue;
        ++changed;
        ASSERT_EQ(after, qRgb(255 - qRed(before), 255 - qGreen(before), 255 - qBlue(before)))
            << x << "," << y;
      }
    }
    const QRect inside = picture.rect();
    if (inside.contains(outline[0].x, outline[0].y)) {
      EXPECT_GT(changed, 0);
      // The corner point and its neighbours within the pen's width are inverted; the closing point
      // where the line meets itself is not inverted back.
      for (const QPoint p : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(-1, 0)}) {
        const QPoint at = QPoint(outline[0].x, outline[0].y) + p;
        EXPECT_NE(picture.pixel(at), original.pixel(at)) << at.x() << "," << at.y();
      }
      EXPECT_EQ(picture.pixel(100, 80), original.pixel(100, 80));
    } else {
      EXPECT_EQ(changed, 0);
    }
    InvertMapOutline(picture, outline);
    EXPECT_EQ(picture, original);
  }
}

TEST(InvertMapOutlineTest, ANullPictureIsLeftAlone) {
  QImage none;
  InvertMapOutline(none, OutlineOf(MapCorners{}));
  EXPECT_TRUE(none.isNull());
}

class ReloadCornersTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& body) {
    const std::string path = dir_.filePath("map.dem").toStdString();
    std::ofstream(path, std::ios::binary) << "[Map Dimensions]\r\n" << body;
    return path;
  }
  QTemporaryDir dir_;
};

TEST_F(ReloadCornersTest, ReadsAllEightInFileKeyOrder) {
  const std::string file = Write(
      "UpperLeft_X=1\r\nUpperLeft_Y=2\r\nUpperRight_X=3\r\nUpperRight_Y=4\r\nLowerLeft_X=5\r\n"
      "LowerLeft_Y=6\r\nLowerRight_X=7\r\nLowerRight_Y=-8\r\n");
  MapCorners corners;
  EXPECT_EQ(ReloadCornersFrom(file, corners), std::nullopt);
  EXPECT_EQ(corners, (MapCorners{{1, 2}, {3, 4}, {5, 6}, {7, -8}}));
}

TEST_F(ReloadCornersTest, StopsAtTheFirstBadValueLeavingTheCornersAsTheyWere) {
  const std::string file = Write(
      "UpperLeft_X=1\r\nUpperLeft_Y=2\r\nUpperRight_X=3\r\nUpperRight_Y=4x\r\nLowerLeft_X=5\r\n"
      "LowerLeft_Y=6\r\nLowerRight_X=7\r\nLowerRight_Y=8\r\n");
  MapCorners corners;
  EXPECT_EQ(ReloadCornersFrom(file, corners), "4x");
  EXPECT_EQ(corners, MapCorners{});

  const std::string missing = Write("UpperLeft_X=9\r\n");
  EXPECT_EQ(ReloadCornersFrom(missing, corners), "");
  EXPECT_EQ(corners, MapCorners{});

  MapCorners untouched;
  EXPECT_EQ(ReloadCornersFrom("", untouched), "");
  EXPECT_EQ(untouched, MapCorners{});
}

}  // namespace
}  // namespace orv
