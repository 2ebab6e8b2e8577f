#pragma once
// Real-to-integer conversions used by every coordinate the user sees. Integer parsing of text lives
// with the stored records (storage/integers.h) and comes with this header for the coordinate code.
// All reals are long double (80-bit extended precision on x86-64).
#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "storage/integers.h"

namespace orv {

// Value rounded to 10 significant digits (halves away from zero), then truncated toward zero.
// Results outside the signed 32-bit range give 0.
int32_t TruncToInt(long double value);
// Value rounded to the nearest integer, halves away from zero, as a number written with at most 10
// significant digits and no decimals (one rounding, at whichever of the two places keeps fewer
// digits). Results outside the signed 32-bit range give 0.
int32_t RoundToInt(long double value);
// Nearest integer, ties to even (IEEE 754 default rounding). Results outside the signed 32-bit range
// give 0.
int32_t RoundEven(long double value);
// RoundToInt and RoundEven with no value, instead of 0, when the result does not fit in 32 bits
// (or the value is not a number): for conversions that must tell a real 0 from an overflow.
std::optional<int32_t> TryRoundToInt(long double value);
std::optional<int32_t> TryRoundEven(long double value);
// Fractional part of the magnitude after rounding to 10 significant digits (93.375 -> 0.375,
// -12.5 -> 0.5, 7 -> 0).
long double FracPart(long double value);

// a / b rounded toward minus infinity and toward plus infinity (b not 0): the cell or tile holding a
// coordinate, negative ones included.
inline int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}
inline int64_t CeilDiv(int64_t a, int64_t b) {
  return -FloorDiv(-a, b);
}
// v held to the 32-bit range.
inline int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace orv
