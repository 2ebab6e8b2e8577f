#include "core/sextant.h"

#include <limits>

#include "core/numbers.h"

namespace orv {
namespace {

// The whole world width is 360 degrees of longitude and the whole world height 360 degrees of
// latitude; the reciprocals are the extended-precision reals nearest to 1/360 and 1/21600.
constexpr long double kPerDegree = 1.0L / 360;
constexpr long double kPerMinute = 1.0L / 21600;
constexpr int64_t kMinutesAround = 360 * 60;

// One axis of the grid: the world coordinate of its zero line, the world length of a full turn, and
// the letters of its low (north, west) and high (south, east) sides.
struct Axis {
  int32_t origin;
  int32_t worldLength;
  const char* lowLetter;
  const char* highLetter;
};
constexpr Axis kLatitude{SextantOriginY, WorldHeight, "N", "S"};
constexpr Axis kLongitude{SextantOriginX, WorldWidth, "W", "E"};

struct AxisReading {
  int32_t degrees;
  int32_t minutes;
  std::string letter;
};

AxisReading Read(const Axis& axis, int32_t coordinate) {
  const bool low = coordinate < axis.origin;
  const int64_t d = low ? int64_t{axis.origin} - coordinate : int64_t{coordinate} - axis.origin;
  const long double f = d / (axis.worldLength * kPerDegree);
  // Whole turns round the world add nothing to a reading: a point far outside the world reads as the
  // place it comes to (inside the world no axis reaches a full turn, so nothing there changes).
  int64_t degrees = TruncToInt(f) % 360;
  int64_t minutes = TruncToInt(FracPart(f) * 60);
  bool otherWay = false;
  // Past 180 degrees the point is nearer the other way round the world. Exactly 180 degrees keeps
  // its letter.
  if (degrees > 180 || (degrees == 180 && minutes > 0)) {
    otherWay = true;
    const int64_t total = kMinutesAround - (degrees * 60 + minutes);
    degrees = total / 60;
    minutes = total % 60;
  }
  std::string letter = (low != otherWay) ? axis.lowLetter : axis.highLetter;
  if (degrees == 0 && minutes == 0) letter.clear();
  return {static_cast<int32_t>(degrees), static_cast<int32_t>(minutes), letter};
}

int32_t ToWorld(const Axis& axis, int32_t degrees, const std::string& letter, int32_t minutes) {
  // Too large values are clamped; negative ones are used as they are.
  if (degrees > 180) degrees = 180;
  if (minutes > 59) minutes = 59;
  const long double t = static_cast<long double>(degrees) * 60 + minutes;
  const long double minuteSize = axis.worldLength * kPerMinute;
  long double v;
  if (letter == axis.lowLetter) {
    v = axis.origin - t * minuteSize;
    if (v < 0) v += axis.worldLength;
  } else {
    v = axis.origin + t * minuteSize;
    if (v > axis.worldLength) v -= axis.worldLength;
  }
  // Negative degrees and minutes are used as typed, and a large one puts the point beyond 32 bits: it
  // stays as far outside the world as it can, instead of reading as the world's edge.
  return TryRoundToInt(v).value_or(v < 0 ? std::numeric_limits<int32_t>::min()
                                         : std::numeric_limits<int32_t>::max());
}

}  // namespace

TSextantreading WorldToSextant(Point world) {
  const AxisReading lon = Read(kLongitude, world.x);
  const AxisReading lat = Read(kLatitude, world.y);
  return {lon.degrees, lon.letter, lon.minutes, lat.degrees, lat.letter, lat.minutes};
}

Point SextantToWorld(int32_t latDegrees, const std::string& latLetter, int32_t latMinutes, int32_t lonDegrees,
                     const std::string& lonLetter, int32_t lonMinutes) {
  return {ToWorld(kLongitude, lonDegrees, lonLetter, lonMinutes),
          ToWorld(kLatitude, latDegrees, latLetter, latMinutes)};
}

}  // namespace orv
