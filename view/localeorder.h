#pragma once
// The order in which lists of stored records are shown and saved: by a text of each, ignoring case,
// in the user's locale order.
#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

namespace orv {

// Indexes into texts (Windows-1252 bytes) in order of their texts; equal texts keep their order.
std::vector<std::size_t> LocaleOrder(const std::vector<std::string_view>& texts);

// Rearranges items so that the ith is the one that stood at order[i], and the list has as many items
// as order; an index past the end gives an empty item. A list already in order is left in place.
template <typename T>
void Reorder(std::vector<T>& items, const std::vector<std::size_t>& order) {
  bool inPlace = true;
  for (std::size_t i = 0; i < order.size() && inPlace; ++i) inPlace = order[i] == i;
  if (inPlace) {
    items.resize(order.size());
    return;
  }
  std::vector<T> ordered;
  ordered.reserve(order.size());
  for (std::size_t i : order) ordered.push_back(i < items.size() ? std::move(items[i]) : T());
  items = std::move(ordered);
}

}  // namespace orv
