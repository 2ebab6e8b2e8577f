#pragma once
// The order in which lists of stored records are shown and saved: by a text of each, ignoring case,
// in the user's locale order.
#include <cstddef>
#include <string_view>
#include <vector>

namespace orv {

// Indexes into texts (Windows-1252 bytes) in order of their texts; equal texts keep their order.
std::vector<std::size_t> LocaleOrder(const std::vector<std::string_view>& texts);

}  // namespace orv
