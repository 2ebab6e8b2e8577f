// Stand-in for the number conversions until their own code lands; replaced wholesale by it.
#include "core/numbers.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace orv {
namespace {

long double TenDigits(long double v) {
  if (v == 0 || !std::isfinite(v)) return v;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.9Le", v);
  return std::strtold(buf, nullptr);
}
int32_t Fit(long double v) {
  if (!(v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())) return 0;
  return static_cast<int32_t>(v);
}

}  // namespace

int32_t TruncToInt(long double value) {
  return Fit(std::trunc(TenDigits(value)));
}
int32_t RoundToInt(long double value) {
  return Fit(std::round(TenDigits(value)));
}
int32_t RoundEven(long double value) {
  return Fit(std::nearbyint(value));
}
long double FracPart(long double value) {
  const long double v = std::fabs(TenDigits(value));
  return v - std::trunc(v);
}

std::optional<int32_t> ParseInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  long long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    v = v * 10 + (text[i] - '0');
    if (v > 2147483648LL) return std::nullopt;
  }
  if (negative) v = -v;
  if (v > std::numeric_limits<int32_t>::max()) return std::nullopt;
  return static_cast<int32_t>(v);
}

std::string NotAnIntegerMessage(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid integer value";
}

}  // namespace orv
