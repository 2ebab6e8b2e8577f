#include "maplinks/linkframe.h"

#include <QPainter>
#include <QPen>
#include <QPoint>

namespace orv {

void InvertFrame(QImage& image, int x1, int y1, int x2, int y2) {
  if (image.isNull()) return;
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setCompositionMode(QPainter::RasterOp_NotDestination);
  // Square caps and mitred joins make the frame a closed square-cornered band: the open polyline's
  // two ends meet at (x1, y1) and together cover that corner, as the joins cover the other three.
  // The stroke is filled as one shape, so pixels where the band overlaps itself (a frame of zero
  // width or height) are still inverted once.
  QPen pen(Qt::black, 4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  const QPoint points[] = {{x1, y1}, {x1, y2}, {x2, y2}, {x2, y1}, {x1, y1}};
  painter.drawPolyline(points, 5);
}

bool ClearHighlight(QImage& image, LinkRect& highlight) {
  const bool drawn = highlight.x1 != -1;
  if (drawn) InvertFrame(image, highlight);
  highlight = LinkRect{};
  return drawn;
}

std::optional<Point> HighlightLink(QImage& image, LinkRect& highlight, const std::string& record) {
  ClearHighlight(image, highlight);
  auto area = LinkArea(record);
  if (!area) return std::nullopt;
  // x1 == -1 means "no highlight"; a corner at -1 (a hand-edited record) is named second instead,
  // which frames the same rectangle.
  if (area->x1 == -1) *area = LinkRect{area->x2, area->y2, area->x1, area->y1};
  if (area->x1 == -1) return std::nullopt;
  highlight = *area;
  InvertFrame(image, highlight);
  return AreaMiddle(highlight);
}

}  // namespace orv
