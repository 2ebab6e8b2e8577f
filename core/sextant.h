#pragma once
// Sextant readings: latitude and longitude in whole degrees and minutes, fixed to the world plane.
#include <cstdint>
#include <string>

#include "core/geometry.h"

namespace orv {

struct TSextantreading {
  int32_t LonDegrees = 0;
  std::string LonLetter;  // "E", "W" or empty at the zero meridian
  int32_t LonMinutes = 0;
  int32_t LatDegrees = 0;
  std::string LatLetter;  // "N", "S" or empty on the zero parallel
  int32_t LatMinutes = 0;
  friend bool operator==(const TSextantreading&, const TSextantreading&) = default;
};

inline constexpr int32_t SextantOriginX = 1328;
inline constexpr int32_t SextantOriginY = 1624;

TSextantreading WorldToSextant(Point world);
// Letters are compared exactly with "N" and "W"; anything else counts as S or E. Returns a world point.
Point SextantToWorld(int32_t latDegrees, const std::string& latLetter, int32_t latMinutes,
                     int32_t lonDegrees, const std::string& lonLetter, int32_t lonMinutes);

}  // namespace orv
