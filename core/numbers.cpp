#include "core/numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace orv {
namespace {

uint64_t Pow10(int n) {
  uint64_t p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

constexpr int kSignificantDigits = 10;
constexpr uint64_t kTooLarge = 10000000000ULL;  // 1e10: written in exponent form, never an integer

// A real as the program writes numbers in fixed-point text: first as a decimal of 18 significant
// digits, then rounded once, halves away from zero, to 10 significant digits or to `decimals` digits
// after the point, whichever keeps fewer. The magnitude is whole + fracNum / fracDen.
struct FixedDecimal {
  bool negative = false;
  uint64_t whole = 0;
  uint64_t fracNum = 0;
  uint64_t fracDen = 1;
};

// No value for NaN, infinities and magnitudes that round to 1e10 or more: such numbers have more
// integer digits than the 10 significant ones and are written in exponent form, which never reads
// back as an integer.
std::optional<FixedDecimal> ToFixedDecimal(long double value, int decimals) {
  if (!std::isfinite(value)) return std::nullopt;
  char text[64];
  // "-d.ddddddddddddddddde+XX": 18 significant digits and a decimal exponent.
  std::snprintf(text, sizeof text, "%.17Le", value);
  FixedDecimal out;
  const char* p = text;
  if (*p == '-') {
    out.negative = true;
    ++p;
  }
  char digits[18];
  digits[0] = p[0];
  for (int i = 1; i < 18; ++i) digits[i] = p[i + 1];
  const int exponent = std::atoi(p + 20);  // after "d." + 17 digits + "e"

  const int integerDigits = exponent + 1;
  if (integerDigits > kSignificantDigits) return std::nullopt;
  const int keep = std::min(kSignificantDigits, integerDigits + decimals);
  if (keep < 0) return out;  // rounds to zero

  uint64_t mantissa = 0;
  for (int i = 0; i < keep; ++i) mantissa = mantissa * 10 + static_cast<uint64_t>(digits[i] - '0');
  if (keep < 18 && digits[keep] >= '5') ++mantissa;

  // The value is mantissa * 10^(integerDigits - keep); keep <= integerDigits + decimals, so the
  // negative powers never go beyond 10^-decimals.
  const int shift = integerDigits - keep;
  if (shift >= 0) {
    out.whole = mantissa * Pow10(shift);
  } else {
    out.fracDen = Pow10(-shift);
    out.whole = mantissa / out.fracDen;
    out.fracNum = mantissa % out.fracDen;
  }
  if (out.whole >= kTooLarge) return std::nullopt;
  return out;
}

std::optional<int32_t> SignedWhole(const FixedDecimal& d) {
  const int64_t v = d.negative ? -static_cast<int64_t>(d.whole) : static_cast<int64_t>(d.whole);
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) return std::nullopt;
  return static_cast<int32_t>(v);
}

}  // namespace

int32_t TruncToInt(long double value) {
  const auto d = ToFixedDecimal(value, 18);
  return d ? SignedWhole(*d).value_or(0) : 0;
}

std::optional<int32_t> TryRoundToInt(long double value) {
  const auto d = ToFixedDecimal(value, 0);
  return d ? SignedWhole(*d) : std::nullopt;
}

int32_t RoundToInt(long double value) {
  return TryRoundToInt(value).value_or(0);
}

std::optional<int32_t> TryRoundEven(long double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const long double r = std::nearbyint(value);  // the default rounding mode: ties to even
  if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max()) return std::nullopt;
  return static_cast<int32_t>(r);
}

int32_t RoundEven(long double value) {
  return TryRoundEven(value).value_or(0);
}

long double FracPart(long double value) {
  const auto d = ToFixedDecimal(value, 18);
  if (!d) return 0;
  // Both are below 2^63, so they are exact and the quotient is the real nearest to the decimal.
  return static_cast<long double>(d->fracNum) / static_cast<long double>(d->fracDen);
}

}  // namespace orv
