#include "core/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <iomanip>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace orv {
namespace {

constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();

struct RoundCase {
  long double value;
  int32_t trunc;
  int32_t round;
  int32_t even;
};

TEST(Rounding, ConversionsAgreeWithTheDecimalText) {
  const RoundCase cases[] = {
      {12.75L, 12, 13, 13},
      {-12.75L, -12, -13, -13},
      {-0.4L, 0, 0, 0},
      {0.49L, 0, 0, 0},
      {2.5L, 2, 3, 2},
      {-2.5L, -2, -3, -2},
      {3.5L, 3, 4, 4},
      {-0.5L, 0, -1, 0},
      {0.5L, 0, 1, 0},
      {-7.9L, -7, -8, -8},
      {7, 7, 7, 7},
      {0, 0, 0, 0},
      // Ten significant digits first: the eleventh digit carries into the integer part.
      {12.99999999999L, 13, 13, 13},
      {99.99999999999L, 100, 100, 100},
      {-99.99999999999L, -100, -100, -100},
      {12.999999994L, 12, 13, 13},
      // Rounding to an integer is one rounding, at the units: the digits past the tenth do not
      // first turn 2.4999999999 into 2.5.
      {2.4999999999L, 2, 2, 2},
      {2.4999999999999L, 2, 2, 2},
      {145.5L, 145, 146, 146},
      {144.5L, 144, 145, 144},
      {2147483647.0L, 2147483647, 2147483647, 2147483647},
      {-2147483648.0L, -2147483648, -2147483648, -2147483648},
      // Outside 32 bits: 0.
      {2147483648.0L, 0, 0, 0},
      {-2147483649.0L, 0, 0, 0},
      {2147483647.4L, 2147483647, 2147483647, 2147483647},
      {2147483647.5L, 0, 0, 0},  // ten digits: 2147483648
      {1e12L, 0, 0, 0},
      {9999999999.6L, 0, 0, 0},
      {kInf, 0, 0, 0},
      {-kInf, 0, 0, 0},
      {kNaN, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<double>(c.value));
    EXPECT_EQ(TruncToInt(c.value), c.trunc);
    EXPECT_EQ(RoundToInt(c.value), c.round);
    EXPECT_EQ(RoundEven(c.value), c.even);
  }
}

TEST(Rounding, TryVariantsTellOverflowFromZero) {
  EXPECT_EQ(TryRoundToInt(0.3L), 0);
  EXPECT_EQ(TryRoundToInt(-2147483648.4L), -2147483648);
  EXPECT_FALSE(TryRoundToInt(2147483647.5L));
  EXPECT_FALSE(TryRoundToInt(kNaN));
  EXPECT_EQ(TryRoundEven(-0.5L), 0);
  EXPECT_EQ(TryRoundEven(2147483647.4L), 2147483647);
  EXPECT_FALSE(TryRoundEven(2147483647.5L));
  EXPECT_FALSE(TryRoundEven(-kInf));
}

TEST(Rounding, FracPartIsTheFractionOfTheRoundedMagnitude) {
  const std::pair<long double, long double> cases[] = {
      {93.375L, 0.375L},
      {-12.5L, 0.5L},
      {7, 0},
      {0, 0},
      {0.25L, 0.25L},
      {12.99999999999L, 0},            // rounds to 13
      {1.23456789012L, 0.234567890L},  // ten significant digits kept
      {0.1L, 0.1L},                    // the real nearest to the decimal 0.1
      {1e-20L, 0},                     // past the eighteenth decimal
      {123456789.75L, 0.8L},           // 123456789.8 has ten digits
      {1e12L, 0},
      {kNaN, 0},
  };
  for (const auto& [value, frac] : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<double>(value));
    EXPECT_EQ(FracPart(value), frac);
  }
}

// The conversions as the decimal text gives them, the slow way: the value printed with 18
// significant digits, then rounded once, halves away from zero, at the tenth significant digit or at
// `decimals` after the point, whichever keeps fewer. Nothing when the value has more than ten integer
// digits. The magnitude is whole + frac.
struct TextDecimal {
  bool negative;
  long long whole;
  long double frac;
};
std::optional<TextDecimal> FromText(long double value, int decimals) {
  if (!std::isfinite(value)) return std::nullopt;
  char text[64];
  std::snprintf(text, sizeof text, "%.17Le", value);
  const bool negative = text[0] == '-';
  const std::string t = text + (negative ? 1 : 0);
  const std::string digits = t.substr(0, 1) + t.substr(2, 17);
  const int integerDigits = std::stoi(t.substr(20)) + 1;
  if (integerDigits > 10) return std::nullopt;
  const int keep = std::min(10, integerDigits + decimals);
  if (keep < 0) return TextDecimal{negative, 0, 0};
  long long kept = keep == 0 ? 0 : std::stoll(digits.substr(0, keep));
  if (digits[keep] >= '5') ++kept;
  long long scale = 1;
  for (int i = integerDigits; i < keep; ++i) scale *= 10;
  long long whole = kept / scale;
  for (int i = keep; i < integerDigits; ++i) whole *= 10;
  if (whole >= 10000000000LL) return std::nullopt;
  return TextDecimal{negative, whole,
                     static_cast<long double>(kept % scale) / static_cast<long double>(scale)};
}

int32_t Signed(const std::optional<TextDecimal>& d) {
  if (!d) return 0;
  const long long v = d->negative ? -d->whole : d->whole;
  return v < INT32_MIN || v > INT32_MAX ? 0 : static_cast<int32_t>(v);
}

// The conversions are worked out with integers where they can be; they must give exactly what the
// decimal text gives, for every magnitude a coordinate takes and near every place where the rounding
// turns, including values exactly halfway between two 18-digit decimals.
TEST(Rounding, ComputedDigitsAgreeWithThePrintedText) {
  std::vector<long double> values = {0.01L,
                                     0.0099999999999L,
                                     1e10L,
                                     9999999999.4999L,
                                     9.9999999999999999995L,
                                     0.099999999999999999995L,
                                     300001.0L / 262144.0L,  // 18 digits and then exactly a half
                                     -300001.0L / 262144.0L,
                                     123456789.0L + 1.0L / 1024.0L,
                                     0.5L,
                                     2.5L,
                                     1e-3L,
                                     5e9L};
  std::mt19937_64 random(20261208);
  std::uniform_real_distribution<double> exponent(-2.5, 10.5), unit(0, 1);
  for (int i = 0; i < 8000; ++i) {
    // Anywhere in the range, and just beside the halves and whole numbers where the rounding turns.
    const long double any = std::pow(10.0L, static_cast<long double>(exponent(random))) *
                            (random() % 2 ? 1 : -1) * (1 + static_cast<long double>(unit(random)) * 1e-3L);
    values.push_back(any);
    const long double turn = std::round(any * 2) / 2;
    for (long double v = turn, down = turn, k = 0; k < 3; ++k) {
      v = std::nextafter(v, kInf);
      down = std::nextafter(down, -kInf);
      values.push_back(v);
      values.push_back(down);
    }
  }
  for (const long double v : values) {
    SCOPED_TRACE(testing::Message() << std::setprecision(21) << v);
    ASSERT_EQ(TruncToInt(v), Signed(FromText(v, 18)));
    ASSERT_EQ(RoundToInt(v), Signed(FromText(v, 0)));
    const auto text = FromText(v, 18);
    ASSERT_EQ(FracPart(v), text ? text->frac : 0);
  }
}

TEST(IntegerDivision, RoundsTowardEitherInfinityForEverySign) {
  struct Case {
    int64_t a, b, floor, ceil;
  };
  const Case cases[] = {
      {7, 2, 3, 4},    {-7, 2, -4, -3}, {7, -2, -4, -3},  {-7, -2, 3, 4},   {6, 3, 2, 2},
      {-6, 3, -2, -2}, {0, 5, 0, 0},    {-1, 256, -1, 0}, {255, 256, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a << " / " << c.b);
    EXPECT_EQ(FloorDiv(c.a, c.b), c.floor);
    EXPECT_EQ(CeilDiv(c.a, c.b), c.ceil);
  }
  constexpr int64_t kWide = int64_t{1} << 40;
  EXPECT_EQ(ClampToInt32(kWide), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(ClampToInt32(-kWide), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(ClampToInt32(-12345), -12345);
}

TEST(ParseInt, AcceptsOnlyWholeDecimalIntegersOf32Bits) {
  const std::pair<const char*, std::optional<int32_t>> cases[] = {
      {"0", 0},
      {"42", 42},
      {"-42", -42},
      {"+7", 7},
      {"  12", 12},
      {"\t-3", -3},
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483648},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"", std::nullopt},
      {" ", std::nullopt},
      {"-", std::nullopt},
      {"+", std::nullopt},
      {"12 ", std::nullopt},
      {"1 2", std::nullopt},
      {"12a", std::nullopt},
      {"1.5", std::nullopt},
      {"--1", std::nullopt},
      {"0x10", std::nullopt},
      {"$10", std::nullopt},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ParseInt(text), expected);
  }
  EXPECT_EQ(IntOr("abc", -1), -1);
  EXPECT_EQ(IntOr("5", -1), 5);
}

TEST(ParseInt, MessageQuotesTheText) {
  EXPECT_EQ(NotAnIntegerMessage("12a"), "'12a' is not a valid integer value");
  EXPECT_EQ(NotAnIntegerMessage(""), "'' is not a valid integer value");
}

}  // namespace
}  // namespace orv
