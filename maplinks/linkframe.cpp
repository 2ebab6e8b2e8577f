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
  // Square caps and mitred joins make the frame a closed band with square corners, 4 pixels wide and
  // centred on the lines between the corners: the open polyline's two ends meet at (x1, y1) and
  // together cover that corner, as the joins cover the other three. The stroke is filled as one
  // shape, so pixels where the band overlaps itself (a narrow frame) are still inverted once.
  painter.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  painter.setBrush(Qt::NoBrush);
  if (x1 == x2 || y1 == y2) {
    // A frame without width or height is a single line; drawn as the full path it would turn back on
    // itself, and a mitre at such a turn reaches far beyond the corner.
    const QPoint line[] = {{x1, y1}, {x2, y2}};
    painter.drawPolyline(line, 2);
    return;
  }
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
