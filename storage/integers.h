#pragma once
// Decimal integers as stored records and typed fields hold them, parsed strictly.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// Strict decimal integer: optional leading blanks, optional sign, digits, nothing else; must fit in
// a signed 32-bit integer. Anything else gives no value.
std::optional<int32_t> ParseInt(std::string_view text);
// ParseInt with a default for text that is not an integer.
inline int32_t IntOr(std::string_view text, int32_t fallback) {
  return ParseInt(text).value_or(fallback);
}

// The message shown when a strict integer parse fails: "'<text>' is not a valid integer value".
std::string NotAnIntegerMessage(std::string_view text);

}  // namespace orv
