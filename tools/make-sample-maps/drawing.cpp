#include "drawing.h"

#include <algorithm>
#include <cmath>

#include "lettering.h"
#include "maths.h"

namespace samplemaps {

QPainterPath WorldPath(const Corners& corners, const std::vector<QPointF>& world) {
  QPainterPath path;
  for (std::size_t i = 0; i < world.size(); ++i) {
    const QPointF p = corners.ToPicture(world[i]);
    if (i == 0)
      path.moveTo(p);
    else
      path.lineTo(p);
  }
  return path;
}

void DrawRivers(QPainter& p, const Corners& corners, const std::vector<River>& rivers, double widthScale) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QColor water(78, 134, 190);
  for (const River& r : rivers) {
    for (std::size_t i = 0; i + 1 < r.points.size(); ++i) {
      const double width = widthScale * (0.5 + 0.055 * std::sqrt(double(r.flow[i])));
      p.setPen(QPen(water, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawLine(corners.ToPicture(r.points[i]), corners.ToPicture(r.points[i + 1]));
    }
  }
  p.restore();
}

void DrawRoads(QPainter& p, const Corners& corners, const std::vector<std::vector<QPointF>>& roads,
               double width, bool casing) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  for (const auto& road : roads) {
    const QPainterPath path = WorldPath(corners, road);
    if (casing) {
      p.setPen(QPen(QColor(250, 240, 214, 200), width + 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPath(path);
    }
    p.setPen(
        QPen(QColor(150, 62, 40), width, casing ? Qt::SolidLine : Qt::DashLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
  }
  p.restore();
}

void DrawPlaceMarker(QPainter& p, QPointF at, int rank, double size) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(30, 24, 20), std::max(1.0, size * 0.3)));
  if (rank == 0) {
    p.setBrush(QColor(250, 246, 232));
    p.drawEllipse(at, size * 1.5, size * 1.5);
    p.setBrush(QColor(160, 30, 30));
    p.drawEllipse(at, size * 0.8, size * 0.8);
  } else if (rank == 1) {
    p.setBrush(QColor(160, 30, 30));
    p.drawEllipse(at, size, size);
  } else {
    p.setBrush(QColor(250, 246, 232));
    p.drawEllipse(at, size * 0.75, size * 0.75);
  }
  p.restore();
}

// Thin lines of equal world coordinate every step units, numbered along the top and left edges.
void DrawGrid(QPainter& p, const Corners& corners, QRectF world, double step, double fontSize, int alpha) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 60, alpha), 1.0));
  const double x0 = std::ceil(world.left() / step) * step, y0 = std::ceil(world.top() / step) * step;
  for (double x = x0; x <= world.right() + 1e-9; x += step)
    p.drawLine(corners.ToPicture({x, world.top()}), corners.ToPicture({x, world.bottom()}));
  for (double y = y0; y <= world.bottom() + 1e-9; y += step)
    p.drawLine(corners.ToPicture({world.left(), y}), corners.ToPicture({world.right(), y}));
  p.restore();
  const QFont font = MapFont(fontSize, false, false, "DejaVu Sans");
  const QColor ink(40, 40, 60);
  for (double x = x0; x <= world.right() + 1e-9; x += step) {
    const QPointF top = corners.ToPicture({x, world.top()});
    const QString t = QString::number(int(x));
    if (top.x() < 4 || top.x() > p.device()->width() - 30) continue;
    HaloText(p, top + QPointF(3, fontSize + 3), t, font, ink, QColor(250, 246, 232, 200), 2.5);
  }
  for (double y = y0; y <= world.bottom() + 1e-9; y += step) {
    const QPointF left = corners.ToPicture({world.left(), y});
    if (left.y() < fontSize + 14 || left.y() > p.device()->height() - 4) continue;
    HaloText(p, left + QPointF(3, -3), QString::number(int(y)), font, ink, QColor(250, 246, 232, 200), 2.5);
  }
}

// A framed box on parchment, with a double border.
void Cartouche(QPainter& p, const QRectF& r) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 60));
  p.drawRoundedRect(r.translated(3, 3), 6, 6);
  p.setBrush(QColor(244, 234, 204));
  p.setPen(QPen(QColor(92, 64, 36), 2.0));
  p.drawRoundedRect(r, 6, 6);
  p.setPen(QPen(QColor(92, 64, 36), 0.8));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(r.adjusted(4, 4, -4, -4), 4, 4);
  p.restore();
}

void TitleBox(QPainter& p, Occupancy& used, const QRectF& box, const TitleLine& name, double nameSpacing,
              const TitleLine& subtitle, std::initializer_list<TitleLine> smallPrint) {
  Cartouche(p, box);
  used.boxes.push_back(box);
  CentredText(p, box, box.top() + name.baseline, name.text, MapFont(name.size, true), QColor(92, 40, 24),
              nameSpacing);
  CentredText(p, box, box.top() + subtitle.baseline, subtitle.text, MapFont(subtitle.size, false, true),
              QColor(60, 44, 30));
  for (const TitleLine& line : smallPrint)
    CentredText(p, box, box.top() + line.baseline, line.text, MapFont(line.size, false, false, "DejaVu Sans"),
                QColor(60, 44, 30));
}

void CompassRose(QPainter& p, QPointF c, double r) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(60, 44, 30), 1.0));
  p.setBrush(QColor(244, 234, 204, 220));
  p.drawEllipse(c, r * 0.62, r * 0.62);
  for (int k = 0; k < 8; ++k) {
    const double a = k * Pi / 4 - Pi / 2;
    const double len = (k % 2 == 0) ? r : r * 0.55;
    const QPointF tip = c + QPointF(std::cos(a), std::sin(a)) * len;
    const QPointF left = c + QPointF(std::cos(a - Pi / 2), std::sin(a - Pi / 2)) * (r * 0.12);
    const QPointF right = c + QPointF(std::cos(a + Pi / 2), std::sin(a + Pi / 2)) * (r * 0.12);
    QPolygonF half1{c, left, tip}, half2{c, right, tip};
    p.setBrush(QColor(60, 44, 30));
    p.drawPolygon(half1);
    p.setBrush(QColor(244, 234, 204));
    p.drawPolygon(half2);
  }
  p.restore();
  HaloText(p, c + QPointF(-r * 0.16, -r - 4), QStringLiteral("N"), MapFont(r * 0.4, true), QColor(60, 44, 30),
           QColor(250, 246, 232, 200), 2.5);
}

// Marks a point of interest with a small symbol; its name comes from the bookmark drawn there.
void PointOfInterest(QPainter& p, QPointF at, double size) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(30, 24, 20), 1.0));
  p.setBrush(QColor(230, 190, 40));
  QPolygonF star;
  for (int k = 0; k < 10; ++k) {
    const double a = k * Pi / 5 - Pi / 2, r = (k % 2 == 0) ? size : size * 0.45;
    star << at + QPointF(std::cos(a) * r, std::sin(a) * r);
  }
  p.drawPolygon(star);
  p.restore();
}

}  // namespace samplemaps
