#include "view/mapoutline.h"

#include <QPainter>
#include <array>

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
  const std::array<std::pair<const char*, int32_t*>, 8> keys = {{
      {"UpperLeft_X", &corners.upperLeft.x},
      {"UpperLeft_Y", &corners.upperLeft.y},
      {"UpperRight_X", &corners.upperRight.x},
      {"UpperRight_Y", &corners.upperRight.y},
      {"LowerLeft_X", &corners.lowerLeft.x},
      {"LowerLeft_Y", &corners.lowerLeft.y},
      {"LowerRight_X", &corners.lowerRight.x},
      {"LowerRight_Y", &corners.lowerRight.y},
  }};
  for (const auto& [key, value] : keys) {
    const std::string text = ReadSetting("Map Dimensions", key, mapFile);
    const std::optional<int32_t> number = ParseInt(text);
    if (!number) return text;
    *value = *number;
  }
  return std::nullopt;
}

}  // namespace orv
