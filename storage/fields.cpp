#include "storage/fields.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace orv {
namespace {

// The last string GetField split, with its fields as places in the kept copy of that string. Records
// are read field after field, so one cached split serves every GetField call on the same record. The
// separator is remembered too, so a string split at another separator is never answered from the
// cache. The fields are kept as places, not strings, so that a split allocates nothing once the
// cache has grown to the longest record.
struct FieldCacheData {
  bool valid = false;
  std::string text;
  char separator = FieldSeparator;
  std::vector<std::pair<std::size_t, std::size_t>> fields;  // start and length of each field in text

  std::string_view Field(std::size_t i) const { return {text.data() + fields[i].first, fields[i].second}; }
};

FieldCacheData& FieldCache() {
  static FieldCacheData cache;
  return cache;
}

// The first field of s that starts at or after at, as its start and end; none when only separators
// remain. Fields are the maximal runs of non-separator bytes.
std::optional<std::pair<std::size_t, std::size_t>> NextField(std::string_view s, std::size_t at,
                                                             char separator) {
  while (at < s.size() && s[at] == separator) ++at;
  if (at == s.size()) return std::nullopt;
  const std::size_t end = std::min(s.find(separator, at), s.size());
  return std::pair{at, end};
}

// The fields of s, or a single empty field for a string made only of separators; an empty string
// has none.
void SplitFields(std::string_view s, char separator,
                 std::vector<std::pair<std::size_t, std::size_t>>& fields) {
  fields.clear();
  for (auto field = NextField(s, 0, separator); field; field = NextField(s, field->second, separator))
    fields.emplace_back(field->first, field->second - field->first);
  if (fields.empty() && !s.empty()) fields.emplace_back(0, 0);
}

const FieldCacheData& FieldsOf(const std::string& s, char separator) {
  FieldCacheData& cache = FieldCache();
  if (!cache.valid || cache.separator != separator || cache.text != s) {
    cache.text.assign(s);
    SplitFields(cache.text, separator, cache.fields);
    cache.separator = separator;
    cache.valid = true;
  }
  return cache;
}

}  // namespace

std::string GetField(int n, const std::string& s, char separator) {
  const FieldCacheData& split = FieldsOf(s, separator);
  if (n < 0) return {};
  if (n == 0) return std::to_string(split.fields.size());
  if (static_cast<std::size_t>(n) > split.fields.size()) return {};
  return std::string(split.Field(static_cast<std::size_t>(n) - 1));
}

std::string_view FieldView(int n, std::string_view s, char separator) {
  if (n < 1) return {};
  auto field = NextField(s, 0, separator);
  for (int i = 1; i < n && field; ++i) field = NextField(s, field->second, separator);
  return field ? s.substr(field->first, field->second - field->first) : std::string_view();
}

void FirstFields(std::string_view s, std::span<std::string_view> fields, char separator) {
  std::size_t at = 0;
  for (std::string_view& field : fields) {
    const auto next = NextField(s, at, separator);
    field = next ? s.substr(next->first, next->second - next->first) : std::string_view();
    if (next) at = next->second;
  }
}

std::string SetField(int n, const std::string& s, char separator, const std::string& newValue) {
  // No caller asks for a field before the first; such a request leaves the record as it was.
  if (n < 0) return s;
  const FieldCacheData& split = FieldsOf(s, separator);
  const std::size_t count = split.fields.size();
  const std::size_t index = static_cast<std::size_t>(n);  // from 1; 0 puts newValue first
  std::string result;
  result.reserve(s.size() + newValue.size() + index + 1);
  // Fields before n, with empty ones for those past the end of the record.
  for (std::size_t i = 1; i < index; ++i) {
    if (i <= count) result += split.Field(i - 1);
    result += separator;
  }
  if (!newValue.empty()) {
    result += newValue;
    result += separator;
  }
  for (std::size_t i = index + 1; i <= count; ++i) {
    result += split.Field(i - 1);
    result += separator;
  }
  if (!result.empty()) result.pop_back();
  // Removing a field past the end of a record without fields would leave only separators, which
  // read as one empty field the record never had. A record holds no empty field, so it stays empty.
  if (result.find_first_not_of(separator) == std::string::npos) result.clear();
  return result;
}

void ReplaceField(int n, std::string& s, char separator, std::string_view newValue) {
  // A record without a separator at either end or two in a row holds its fields between single
  // separators, as SetField joins them; an empty value removes a field, which SetField does.
  const char twice[] = {separator, separator};
  const bool tidy = !s.empty() && s.front() != separator && s.back() != separator &&
                    s.find(twice, 0, 2) == std::string::npos;
  if (tidy && n >= 1 && !newValue.empty()) {
    std::size_t begin = 0;
    for (int i = 1; i < n && begin != std::string::npos; ++i) {
      begin = s.find(separator, begin);
      if (begin != std::string::npos) ++begin;
    }
    if (begin != std::string::npos) {
      const std::size_t end = std::min(s.find(separator, begin), s.size());
      s.replace(begin, end - begin, newValue);
      return;
    }
  }
  s = SetField(n, s, separator, std::string(newValue));
}

std::string StripSeparators(const std::string& s, char separator) {
  const std::size_t last = s.find_last_not_of(separator);
  if (last == std::string::npos) return {};
  const std::size_t first = s.find_first_not_of(separator);
  return s.substr(first, last - first + 1);
}

std::string JoinFields(std::initializer_list<std::string_view> fields, char separator) {
  std::string out;
  for (const std::string_view& field : fields) {
    if (&field != fields.begin()) out += separator;
    out += field;
  }
  return out;
}

}  // namespace orv
