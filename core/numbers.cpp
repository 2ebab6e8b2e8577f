#include "core/numbers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace orv {
namespace {

// 10^0 to 10^19: every power of ten that fits in 64 bits.
constexpr std::array<uint64_t, 20> kPow10 = [] {
  std::array<uint64_t, 20> powers{};
  powers[0] = 1;
  for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10;
  return powers;
}();

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

// The first 18 significant digits of a finite value, as an integer, and its decimal exponent: what
// "%.17Le" writes (correctly rounded).
struct Digits18 {
  bool negative = false;
  uint64_t digits = 0;  // from 10^17 to 10^18 - 1, or 0 for zero
  int exponent = 0;
};

Digits18 PrintedDigits18(long double value) {
  char text[64];
  // "-d.ddddddddddddddddde+XX": 18 significant digits and a decimal exponent.
  std::snprintf(text, sizeof text, "%.17Le", value);
  Digits18 out;
  const char* p = text;
  if (*p == '-') {
    out.negative = true;
    ++p;
  }
  for (int i = 0; i < 19; ++i)
    if (i != 1) out.digits = out.digits * 10 + static_cast<uint64_t>(p[i] - '0');
  out.exponent = std::atoi(p + 20);  // after "d." + 17 digits + "e"
  return out;
}

// The same digits worked out with integer arithmetic, many times quicker than the text, for zero and
// the magnitudes that coordinates take (0.01 up to 1e10). Nothing for other magnitudes and for a
// value exactly halfway between two 18-digit decimals: the text decides those.
std::optional<Digits18> ComputedDigits18(long double value) {
  static_assert(std::numeric_limits<long double>::digits == 64, "80-bit extended reals");
  Digits18 out;
  out.negative = std::signbit(value);
  if (value == 0) return out;
  const long double x = std::fabs(value);
  if (!(x >= 0.01L && x < 1e10L)) return std::nullopt;
  // The extended format holds all 64 bits of the mantissa and a biased exponent beside them:
  // x = mantissa / 2^shift, with shift from 30 to 70 for these magnitudes.
  uint64_t mantissa = 0;
  uint16_t biased = 0;
  std::memcpy(&mantissa, &x, sizeof mantissa);
  std::memcpy(&biased, reinterpret_cast<const char*>(&x) + sizeof mantissa, sizeof biased);
  const int shift = 16383 + 63 - biased;
  const unsigned __int128 one = 1;
  // log10(2) is 0.30103: the decimal exponent is this or one more; the loop settles which.
  auto exponent = static_cast<int>(FloorDiv(int64_t{63 - shift} * 30103, 100000));
  for (int attempt = 0; attempt < 3; ++attempt) {
    // x * 10^(17 - exponent) has 18 digits before the point when exponent is x's decimal exponent;
    // the product below stays under 2^128 as 17 - exponent is at most 19.
    const int scale = 17 - exponent;
    if (scale < 0 || scale > 19) return std::nullopt;
    const unsigned __int128 scaled = static_cast<unsigned __int128>(mantissa) * kPow10[scale];
    const unsigned __int128 whole = scaled >> shift;
    if (whole < kPow10[17]) {
      --exponent;
      continue;
    }
    if (whole >= kPow10[18]) {
      ++exponent;
      continue;
    }
    const unsigned __int128 rest = scaled & ((one << shift) - 1);
    const unsigned __int128 half = one << (shift - 1);
    if (rest == half) return std::nullopt;
    out.digits = static_cast<uint64_t>(whole) + (rest > half ? 1 : 0);
    out.exponent = exponent;
    if (out.digits == kPow10[18]) {  // 9.99...95 and up: one digit more before the point
      out.digits = kPow10[17];
      ++out.exponent;
    }
    return out;
  }
  return std::nullopt;
}

// No value for NaN, infinities and magnitudes that round to 1e10 or more: such numbers have more
// integer digits than the 10 significant ones and are written in exponent form, which never reads
// back as an integer.
std::optional<FixedDecimal> ToFixedDecimal(long double value, int decimals) {
  if (!std::isfinite(value)) return std::nullopt;
  const std::optional<Digits18> computed = ComputedDigits18(value);
  const Digits18 printed = computed ? *computed : PrintedDigits18(value);
  FixedDecimal out;
  out.negative = printed.negative;
  const int exponent = printed.exponent;

  const int integerDigits = exponent + 1;
  if (integerDigits > kSignificantDigits) return std::nullopt;
  const int keep = std::min(kSignificantDigits, integerDigits + decimals);
  if (keep < 0) return out;  // rounds to zero

  // The first keep digits, and one more up when the next digit is 5 or more (keep is at most 10).
  uint64_t mantissa = printed.digits / kPow10[18 - keep];
  if ((printed.digits / kPow10[17 - keep]) % 10 >= 5) ++mantissa;

  // The value is mantissa * 10^(integerDigits - keep); keep <= integerDigits + decimals, so the
  // negative powers never go beyond 10^-decimals.
  const int shift = integerDigits - keep;
  if (shift >= 0) {
    out.whole = mantissa * kPow10[shift];
  } else {
    out.fracDen = kPow10[-shift];
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
