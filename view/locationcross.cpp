#include "view/locationcross.h"

#include <algorithm>

namespace orv {
namespace {

constexpr QRgb kCrossColour = 0xFFFFFFFFu;

// Nothing of the glass reaches the view from further away than its own size.
bool Reaches(long long x, long long y, QSize glassSize, QSize viewSize) {
  const long long reach = std::max(glassSize.width(), glassSize.height()) + CrossReach;
  return x >= -reach && y >= -reach && x <= viewSize.width() + reach && y <= viewSize.height() + reach;
}

}  // namespace

QRect LocationCrossArea(long long x, long long y, QSize glassSize, QSize viewSize) {
  if (!Reaches(x, y, glassSize, viewSize)) return {};
  const int cx = static_cast<int>(x), cy = static_cast<int>(y);
  const QRect glass(cx - GlassCrossX, cy - GlassCrossY, glassSize.width(), glassSize.height());
  const QRect cross(cx - CrossReach, cy - CrossReach, 2 * CrossReach + 1, 2 * CrossReach + 1);
  return (glass | cross) & QRect(QPoint(0, 0), viewSize);
}

void DrawLocationCross(QImage& view, long long x, long long y, const QImage& glass, const QImage& mask) {
  if (view.isNull() || !Reaches(x, y, glass.size(), view.size())) return;
  const int cx = static_cast<int>(x), cy = static_cast<int>(y);
  BlitMasked(view, cx - GlassCrossX, cy - GlassCrossY, glass, mask);

  auto plot = [&view](int px, int py) {
    if (px < 0 || py < 0 || px >= view.width() || py >= view.height()) return;
    reinterpret_cast<QRgb*>(view.scanLine(py))[px] = kCrossColour;
  };
  for (int i = -CrossReach; i <= CrossReach; ++i) {
    plot(cx + i, cy + i);
    plot(cx + i, cy - i);
  }
}

void BlitMasked(QImage& target, int left, int top, const QImage& picture, const QImage& mask) {
  if (target.isNull() || picture.isNull() || mask.size() != picture.size() || target.depth() != 32) return;
  const QImage pic =
      picture.format() == QImage::Format_RGB32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
  const QImage msk =
      mask.format() == QImage::Format_RGB32 ? mask : mask.convertToFormat(QImage::Format_RGB32);
  const long long w = pic.width(), h = pic.height();
  const long long x0 = std::max(0LL, -static_cast<long long>(left));
  const long long y0 = std::max(0LL, -static_cast<long long>(top));
  const long long x1 = std::min(w, static_cast<long long>(target.width()) - left);
  const long long y1 = std::min(h, static_cast<long long>(target.height()) - top);
  for (long long r = y0; r < y1; ++r) {
    const QRgb* p = reinterpret_cast<const QRgb*>(pic.constScanLine(static_cast<int>(r)));
    const QRgb* m = reinterpret_cast<const QRgb*>(msk.constScanLine(static_cast<int>(r)));
    QRgb* t = reinterpret_cast<QRgb*>(target.scanLine(static_cast<int>(top + r))) + left;
    for (long long c = x0; c < x1; ++c) {
      // White in the mask lets the view show through; any other colour lays the picture's pixel.
      if ((m[c] & 0x00FFFFFFu) != 0x00FFFFFFu) t[c] = p[c] | 0xFF000000u;
    }
  }
}

}  // namespace orv
