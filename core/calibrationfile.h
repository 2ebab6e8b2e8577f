#pragma once
// Keeping a calibration in the map info file: the eight corners in "Map Dimensions", where every
// copy of the program reads them, and the control points in "Calibration Points", so the work can be
// resumed. Older copies of the program do not know that section and leave it alone.
//
// Layout of "Calibration Points": keys "point1", "point2", ... without gaps, each one record of four
// fields joined by the field separator: picture x, picture y (picture pixels at 100 percent, as
// decimal numbers with a fraction where the click had one, written so they read back exactly), world
// x, world y (decimal integers). For example "point1=412.5<179>96<179>1500<179>1200".
#include <string>
#include <vector>

#include "core/calibration.h"
#include "core/transform.h"

namespace orv {

inline constexpr const char* CalibrationPointsSection = "Calibration Points";

// Writes the eight corner keys of "Map Dimensions" (through WriteSetting: inside a write group the
// caller holds for the file, they reach it when the group closes).
void WriteMapCorners(const std::string& mapInfoPath, const MapCorners& corners);

// Writes the corners into "Map Dimensions" and replaces "Calibration Points" with points, in one
// atomic replacement of the file: every other section and line stays as it was, and a failed write
// leaves the old file whole. False when the file could not be written.
bool SaveCalibration(const std::string& mapInfoPath, const MapCorners& corners,
                     const std::vector<ControlPoint>& points);

// The control points saved with the map, in their order. Reading stops at the first missing or empty
// key; a record that does not hold four readable fields is passed over.
std::vector<ControlPoint> LoadCalibrationPoints(const std::string& mapInfoPath);

}  // namespace orv
