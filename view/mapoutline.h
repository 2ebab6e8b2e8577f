#pragma once
// The outline through a map's four world corners, drawn into the map picture so that the user can
// check where the corner values of the map info file lie, and the reload of those values.
#include <QImage>
#include <optional>
#include <string>

#include "core/transform.h"

namespace orv {

// Inverts every pixel under a 3-pixel-wide line through the five outline points (picture pixels).
// Each covered pixel is inverted exactly once, so drawing the same outline twice leaves the picture
// as it was, whatever other inverted marks were drawn or removed in between. A null picture is left
// alone.
void InvertMapOutline(QImage& picture, const MapOutline& outline);

// Reads the eight "Map Dimensions" values of the map info file mapFile, in the order UpperLeft_X,
// UpperLeft_Y, UpperRight_X, UpperRight_Y, LowerLeft_X, LowerLeft_Y, LowerRight_X, LowerRight_Y, and
// stores them into corners once all eight are read. Stops at the first value that is missing or not a
// decimal integer and returns the text read for it (empty when missing), leaving corners as they
// were: a mix of the file's values and the old ones would fit neither. Nothing is returned when all
// eight were read.
std::optional<std::string> ReloadCornersFrom(const std::string& mapFile, MapCorners& corners);

}  // namespace orv
