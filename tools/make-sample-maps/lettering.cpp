#include "lettering.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace samplemaps {

QFont MapFont(double pixelSize, bool bold, bool italic, const char* family) {
  QFont f(QString::fromLatin1(family));
  f.setPixelSize(std::max(1, int(std::lround(pixelSize))));
  f.setBold(bold);
  f.setItalic(italic);
  f.setHintingPreference(QFont::PreferNoHinting);
  f.setStyleStrategy(QFont::PreferAntialias);
  return f;
}

// Text with a pale halo, so that it stays legible on any ground. at is the baseline start.
void HaloText(QPainter& p, QPointF at, const QString& text, const QFont& font, QColor colour, QColor halo,
              double haloWidth, double letterSpacing) {
  QFont f = font;
  if (letterSpacing != 0) f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
  QPainterPath path;
  path.addText(at, f, text);
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  if (haloWidth > 0) {
    p.setPen(QPen(halo, haloWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPath(path);
  p.restore();
}

QRectF TextBox(QPointF at, const QString& text, const QFont& font, double letterSpacing) {
  QFont f = font;
  if (letterSpacing != 0) f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
  QFontMetricsF m(f);
  return QRectF(at.x(), at.y() - m.ascent(), m.horizontalAdvance(text), m.ascent() + m.descent());
}

// Writes the place names beside their markers, on the first free side.
void LabelPlaces(QPainter& p, Occupancy& used, const Corners& corners, const std::vector<Place>& places,
                 const std::array<double, 3>& sizes, double markerSize) {
  for (const Place& place : places) {
    const QPointF at = corners.ToPicture(place.world);
    const double markerR = markerSize * (place.rank == 0 ? 1.5 : 1.0);
    used.boxes.push_back(QRectF(at - QPointF(markerR, markerR), QSizeF(2 * markerR, 2 * markerR)));
  }
  for (const Place& place : places) {
    const QPointF at = corners.ToPicture(place.world);
    const QFont font = MapFont(sizes[std::size_t(place.rank)], place.rank < 2);
    const QString name = QString::fromLatin1(place.name);
    const QRectF box = TextBox({0, 0}, name, font);
    const double gap = markerSize * 1.6 + 2;
    const std::array<QPointF, 6> offsets{{{gap, box.height() * 0.33},
                                          {-gap - box.width(), box.height() * 0.33},
                                          {-box.width() / 2, -gap},
                                          {-box.width() / 2, gap + box.height() * 0.75},
                                          {gap, -gap * 0.6},
                                          {-gap - box.width(), gap + box.height() * 0.6}}};
    for (const QPointF& off : offsets) {
      const QPointF base = at + off;
      const QRectF r = TextBox(base, name, font).adjusted(-2, -2, 2, 2);
      if (!used.Free(r) || r.left() < 4 || r.top() < 4 || r.right() > p.device()->width() - 4 ||
          r.bottom() > p.device()->height() - 4)
        continue;
      HaloText(p, base, name, font, QColor(28, 22, 18));
      used.boxes.push_back(r);
      break;
    }
  }
}

// A spaced-out italic name for a sea, a lake or a range, centred on a world point: pale on the deep
// sea, dark blue on lakes, dark brown with a halo on land.
void AreaLabel(QPainter& p, Occupancy& used, const Corners& corners, QPointF world, const QString& text,
               double size, AreaKind kind, double spacing) {
  const QFont font = MapFont(size, false, true);
  const QRectF box = TextBox({0, 0}, text, font, spacing);
  const QPointF at = corners.ToPicture(world) - QPointF(box.width() / 2, -box.height() * 0.3);
  switch (kind) {
    case AreaKind::Sea:
      HaloText(p, at, text, font, QColor(222, 236, 248), QColor(), 0, spacing);
      break;
    case AreaKind::Lake:
      HaloText(p, at, text, font, QColor(24, 58, 108), QColor(), 0, spacing);
      break;
    case AreaKind::Land:
      HaloText(p, at, text, font, QColor(62, 42, 26), QColor(250, 246, 232, 190), 3.0, spacing);
      break;
  }
  used.boxes.push_back(TextBox(at, text, font, spacing));
}

void CentredText(QPainter& p, const QRectF& r, double baseline, const QString& text, const QFont& font,
                 QColor colour, double spacing) {
  const QRectF box = TextBox({0, 0}, text, font, spacing);
  HaloText(p, {r.center().x() - box.width() / 2, baseline}, text, font, colour, QColor(), 0, spacing);
}

void LabelAreas(QPainter& p, Occupancy& used, const Corners& corners, const std::vector<AreaName>& names) {
  for (const AreaName& a : names)
    AreaLabel(p, used, corners, a.world, QString::fromLatin1(a.name), a.size, a.kind, a.spacing);
}

}  // namespace samplemaps
