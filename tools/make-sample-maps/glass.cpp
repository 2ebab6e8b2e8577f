#include "glass.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <optional>

#include "maths.h"

namespace samplemaps {
namespace {

// The magnifying glass: an 80 x 82 picture on white and its two-colour mask. The ring is centred on
// (26, 26) with its outer edge on columns and rows 0..52; the handle runs down to the lower right corner.

constexpr int GlassW = 80, GlassH = 82;
constexpr double RingCx = 26, RingCy = 26, RingInner = 21.5, RingOuter = 26.5;

// Colour of the glass at a sub-pixel position, if the glass is there.
std::optional<Rgb> GlassAt(double x, double y) {
  const double dx = x - RingCx, dy = y - RingCy;
  const double r = std::hypot(dx, dy);
  // Light from the upper left, slightly in front.
  const double lx = -0.55, ly = -0.6, lz = 0.58;
  if (r >= RingInner && r <= RingOuter) {
    const double mid = (RingInner + RingOuter) / 2, half = (RingOuter - RingInner) / 2;
    const double t = std::clamp((r - mid) / half, -1.0, 1.0);
    const double nx = t * dx / r, ny = t * dy / r, nz = std::sqrt(1 - t * t);
    const double lit = Clamp01(nx * lx + ny * ly + nz * lz);
    return Mix({104, 78, 0}, {225, 202, 0}, std::pow(lit, 0.8));
  }
  // Axis of the handle from the ring's centre towards the lower right corner.
  const double ax = 52.0, ay = 55.0, al = std::hypot(ax, ay);
  const double ux = ax / al, uy = ay / al, px = uy, py = -ux;
  const double s = dx * ux + dy * uy, q = dx * px + dy * py;
  if (s >= 24.0 && s <= 33.5 && std::fabs(q) <= 6.5) {
    // The collar: an orange cylinder across the axis, with darker rims at both ends.
    const double tq = q / 6.5;
    const double nz = std::sqrt(std::max(0.0, 1 - tq * tq));
    const double lit = Clamp01(tq * (px * lx + py * ly) + nz * lz + 0.15);
    Rgb c = Mix({150, 62, 0}, {255, 152, 32}, lit);
    if (s < 25.5 || s > 32.0) c = Scale(c, 0.72);
    return c;
  }
  const double handleEnd = 71.5, handleR = 4.2;
  const bool inShaft = s > 33.5 && s <= handleEnd && std::fabs(q) <= handleR;
  const bool inCap = std::hypot(s - handleEnd, q) <= handleR;
  if (inShaft || inCap) {
    // Black with a thin grey highlight along its upper side.
    if (q > 1.2 && q < 2.4 && s > 35.5 && s < handleEnd) return Rgb{150, 150, 150};
    return Mix({12, 12, 12}, {44, 44, 44}, Clamp01(0.5 + q / (2 * handleR)));
  }
  return std::nullopt;
}

// The thin white crescent of light inside the upper left of the lens.
bool InGlint(int x, int y) {
  return std::hypot(x - RingCx, y - RingCy) <= 16.0 && std::hypot(x - RingCx - 3.5, y - RingCy - 3.7) > 17.7;
}

}  // namespace

void MakeGlass(QImage& picture, QImage& mask) {
  picture = QImage(GlassW, GlassH, QImage::Format_RGB888);
  mask = QImage(GlassW, GlassH, QImage::Format_Mono);
  mask.setColorCount(2);
  mask.setColor(0, qRgb(255, 255, 255));
  mask.setColor(1, qRgb(0, 0, 0));
  constexpr int Sub = 4;
  for (int y = 0; y < GlassH; ++y) {
    for (int x = 0; x < GlassW; ++x) {
      Rgb sum{0, 0, 0};
      int covered = 0;
      for (int sy = 0; sy < Sub; ++sy) {
        for (int sx = 0; sx < Sub; ++sx) {
          const auto c = GlassAt(x - 0.5 + (sx + 0.5) / Sub, y - 0.5 + (sy + 0.5) / Sub);
          if (!c) continue;
          sum = {sum.r + c->r, sum.g + c->g, sum.b + c->b};
          ++covered;
        }
      }
      const double coverage = double(covered) / (Sub * Sub);
      const bool drawn = coverage >= 0.5 || InGlint(x, y);
      Rgb colour{255, 255, 255};
      if (covered > 0) {
        const Rgb mean = Scale(sum, 1.0 / covered);
        // Pixels the mask draws get the glass's own colour; the soft fringe outside the mask fades
        // to the white background and is never drawn.
        colour = coverage >= 0.5 ? mean : Mix({255, 255, 255}, mean, coverage);
      }
      picture.setPixel(x, y, ToQRgb(colour));
      mask.setPixel(x, y, drawn ? 1 : 0);
    }
  }
}

// The icon: a corner of the world map on a folded sheet, with the glass over it.
QImage MakeIcon(const QImage& worldMap, const QImage& glass, const QImage& glassMask, int size) {
  QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
  icon.fill(Qt::transparent);
  QPainter p(&icon);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  const double s = size / 64.0;
  const QRectF sheet(4 * s, 6 * s, 54 * s, 50 * s);
  QPainterPath clip;
  clip.addRoundedRect(sheet, 4 * s, 4 * s);
  p.save();
  p.setClipPath(clip);
  // The continent with its coasts, shrunk onto the sheet.
  const QRect source(worldMap.width() / 12, worldMap.height() / 14, worldMap.width() * 5 / 6,
                     worldMap.height() * 6 / 7);
  p.drawImage(sheet, worldMap.copy(source).scaled(sheet.size().toSize() * 2, Qt::IgnoreAspectRatio,
                                                  Qt::SmoothTransformation));
  // Folds of the sheet.
  for (int k = 1; k < 3; ++k) {
    const double x = sheet.left() + sheet.width() * k / 3;
    p.fillRect(QRectF(x - 0.6 * s, sheet.top(), 1.2 * s, sheet.height()), QColor(0, 0, 0, 40));
  }
  p.restore();
  p.setPen(QPen(QColor(70, 50, 30), 1.2 * s));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(sheet, 4 * s, 4 * s);
  // The glass, its mask turned into transparency.
  QImage marker = glass.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < marker.height(); ++y)
    for (int x = 0; x < marker.width(); ++x)
      if (glassMask.pixelIndex(x, y) == 0) marker.setPixel(x, y, qRgba(0, 0, 0, 0));
  const double gs = 44 * s / GlassW;
  p.drawImage(QRectF(18 * s, 12 * s, GlassW * gs, GlassH * gs),
              marker.scaled(int(GlassW * gs * 2), int(GlassH * gs * 2), Qt::KeepAspectRatio,
                            Qt::SmoothTransformation));
  p.end();
  return icon;
}

}  // namespace samplemaps
