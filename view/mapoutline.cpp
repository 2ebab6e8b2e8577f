#include "view/mapoutline.h"

#include <QPainter>
#include <array>

#include "core/mapinfo.h"
#include "core/numbers.h"
#include "storage/settings.h"

namespace orv {

void InvertMapOutline(QImage& picture, const MapOutline& outline) {
  if (picture.isNull()) return;
  std::array<QPoint, 5> points;
  for (std::size_t i = 0; i < points.size(); ++i) points[i] = QPoint(outline[i].x, outline[i].y);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing, false);
  // One polyline is stroked as one filled shape, so corners and the closing point, where segments
  // overlap, are still inverted once. The pen colour plays no part in this mode.
  painter.setCompositionMode(QPainter::RasterOp_NotDestination);
  QPen pen(Qt::black);
  pen.setWidth(3);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  painter.setPen(pen);
  painter.drawPolyline(points.data(), static_cast<int>(points.size()));
}

std::optional<std::string> ReloadCornersFrom(const std::string& mapFile, MapCorners& corners) {
  MapCorners read;
  for (const CornerKey& k : CornerKeys) {
    const std::string text = ReadSetting(MapDimensionsSection, k.key, mapFile);
    const std::optional<int32_t> number = ParseInt(text);
    if (!number) return text;
    CornerValue(read, k) = *number;
  }
  corners = read;
  return std::nullopt;
}

}  // namespace orv
