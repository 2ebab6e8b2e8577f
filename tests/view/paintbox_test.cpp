// The map area copying the composed view to screens of whole and fractional scales.
#include "view/paintbox.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

namespace {

// The view copied onto a device of the given scale: how many of its pixels are neither of the two
// colours the view is made of.
int MixedPixels(TPaintBox& box, qreal scale) {
  const int side = static_cast<int>(std::ceil(box.width() * scale));
  QImage device(side, side, QImage::Format_RGB32);
  device.setDevicePixelRatio(scale);
  device.fill(Qt::black);
  box.render(&device);
  int mixed = 0;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const QRgb pixel = device.pixel(x, y);
      mixed += pixel != qRgb(0, 0, 0) && pixel != qRgb(255, 255, 255);
    }
  return mixed;
}

TEST(PaintBoxTest, AFractionalScaleSmoothsTheViewAndAWholeOneKeepsItSharp) {
  // Stripes one pixel wide: enlarged by 1.5 without smoothing, some would come out one screen pixel
  // wide and others two, and the names drawn in the view would lose their shapes.
  QImage view(16, 16, QImage::Format_RGB32);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) view.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
  TPaintBox box;
  box.resize(16, 16);
  box.SetBuffer(&view);
  EXPECT_EQ(MixedPixels(box, 1), 0);
  EXPECT_EQ(MixedPixels(box, 2), 0);
  EXPECT_GT(MixedPixels(box, 1.5), 16 * 24 / 4);
}

}  // namespace
