#include "core/calibrationfile.h"

#include <charconv>
#include <cmath>

#include "core/mapinfo.h"
#include "core/numbers.h"
#include "storage/fields.h"
#include "storage/settings.h"

namespace orv {
namespace {

constexpr int kFieldsPerPoint = 4;

std::string PointKey(std::size_t index) {
  return "point" + std::to_string(index + 1);
}

// The shortest decimal text that reads back as the same double, whatever the user's locale.
std::string Decimal(double value) {
  char text[64];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

std::optional<double> ParseDecimal(const std::string& text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string Record(const ControlPoint& p) {
  std::string record = Decimal(p.picture.x);
  for (const std::string& field :
       {Decimal(p.picture.y), std::to_string(p.world.x), std::to_string(p.world.y)}) {
    record += FieldSeparator;
    record += field;
  }
  return record;
}

std::optional<ControlPoint> ParseRecord(const std::string& record) {
  if (GetField(0, record, FieldSeparator) != std::to_string(kFieldsPerPoint)) return std::nullopt;
  const auto x = ParseDecimal(GetField(1, record, FieldSeparator));
  const auto y = ParseDecimal(GetField(2, record, FieldSeparator));
  const auto worldX = ParseInt(GetField(3, record, FieldSeparator));
  const auto worldY = ParseInt(GetField(4, record, FieldSeparator));
  if (!x || !y || !worldX || !worldY) return std::nullopt;
  return ControlPoint{{*x, *y}, {*worldX, *worldY}};
}

}  // namespace

void WriteMapCorners(const std::string& mapInfoPath, const MapCorners& corners) {
  for (const CornerKey& k : CornerKeys)
    WriteSetting(MapDimensionsSection, k.key, mapInfoPath, std::to_string(CornerValue(corners, k)));
}

bool SaveCalibration(const std::string& mapInfoPath, const MapCorners& corners,
                     const std::vector<ControlPoint>& points) {
  SettingsWriteGroup group(mapInfoPath);
  WriteMapCorners(mapInfoPath, corners);
  WriteSetting(CalibrationPointsSection, "", mapInfoPath, "");
  for (std::size_t i = 0; i < points.size(); ++i)
    WriteSetting(CalibrationPointsSection, PointKey(i), mapInfoPath, Record(points[i]));
  return group.Close();
}

std::vector<ControlPoint> LoadCalibrationPoints(const std::string& mapInfoPath) {
  std::vector<ControlPoint> points;
  for (std::size_t i = 0;; ++i) {
    const std::string record = ReadSetting(CalibrationPointsSection, PointKey(i), mapInfoPath);
    if (record.empty()) break;
    if (const auto point = ParseRecord(record)) points.push_back(*point);
  }
  return points;
}

}  // namespace orv
