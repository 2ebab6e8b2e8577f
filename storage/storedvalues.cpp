#include "storage/storedvalues.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "storage/fields.h"
#include "storage/inidocument.h"
#include "storage/inilines.h"
#include "storage/settings.h"

namespace orv {
namespace {

bool MustEscape(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F || byte == '%' || byte == static_cast<unsigned char>(FieldSeparator);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The number n and the suffix's place when key is prefix + n + one of suffixes, n written as NumberedKey
// writes it (decimal, no leading zero), letter case ignored.
std::optional<std::pair<std::size_t, std::size_t>> KeyNumber(
    std::string_view key, std::string_view prefix, std::initializer_list<std::string_view> suffixes) {
  if (key.size() <= prefix.size() || !ini::EqualNoCase(key.substr(0, prefix.size()), prefix))
    return std::nullopt;
  const char* digits = key.data() + prefix.size();
  const char* end = key.data() + key.size();
  std::size_t n = 0;
  const auto [rest, error] = std::from_chars(digits, end, n);
  if (error != std::errc() || rest == digits || *digits == '0') return std::nullopt;
  const std::string_view suffix(rest, static_cast<std::size_t>(end - rest));
  std::size_t place = 0;
  for (const std::string_view wanted : suffixes) {
    if (ini::EqualNoCase(suffix, wanted)) return std::pair{n, place};
    ++place;
  }
  return std::nullopt;
}

// found's values placed by number (n - 1), for n up to count; the first occurrence of each.
std::vector<std::optional<std::string_view>> ByNumber(
    const std::vector<std::pair<std::size_t, std::string_view>>& found, std::size_t count) {
  std::vector<std::optional<std::string_view>> values(count);
  for (const auto& [n, value] : found)
    if (n <= count && !values[n - 1]) values[n - 1] = value;
  return values;
}

}  // namespace

NumberedKeys::NumberedKeys(const IniDocument& doc, std::string_view section, std::string_view prefix,
                           std::initializer_list<std::string_view> suffixes)
    : found_(suffixes.size()) {
  doc.ForEachKey(section, [&](std::string_view key, std::string_view value) {
    if (const auto number = KeyNumber(key, prefix, suffixes))
      found_[number->second].emplace_back(number->first, value);
  });
}

std::vector<std::string_view> NumberedKeys::List(std::size_t suffix) const {
  // A list of n values needs n keys, so the keys found bound it (and a hand-edited key with a huge
  // number takes no room).
  std::vector<std::string_view> list;
  for (const auto& value : ByNumber(found_[suffix], found_[suffix].size())) {
    if (!value || value->empty()) break;
    list.push_back(*value);
  }
  return list;
}

std::vector<std::string_view> NumberedKeys::Values(std::size_t suffix, std::size_t count) const {
  std::vector<std::string_view> values;
  values.reserve(count);
  for (const auto& value : ByNumber(found_[suffix], count))
    values.push_back(value.value_or(std::string_view()));
  return values;
}

std::vector<std::string_view> NumberedList(const IniDocument& doc, std::string_view section,
                                           std::string_view prefix, std::string_view suffix) {
  return NumberedKeys(doc, section, prefix, {suffix}).List(0);
}

std::string PathToValue(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string value;
  value.reserve(path.size());
  for (std::size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    const auto byte = static_cast<unsigned char>(c);
    // Values are read back without the blanks around "=", so a path's own blanks at either end are
    // escaped too.
    const bool endBlank = c == ' ' && (i == 0 || i + 1 == path.size());
    if (MustEscape(byte) || endBlank) {
      value += '%';
      value += kHex[byte >> 4];
      value += kHex[byte & 0xF];
    } else {
      value += c;
    }
  }
  return value;
}

std::string PathFromValue(std::string_view value) {
  std::string path;
  path.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '%' && i + 2 < value.size() && HexDigit(value[i + 1]) >= 0 &&
        HexDigit(value[i + 2]) >= 0) {
      path += static_cast<char>(HexDigit(value[i + 1]) * 16 + HexDigit(value[i + 2]));
      i += 2;
    } else {
      path += value[i];
    }
  }
  return path;
}

std::vector<std::string> DistinctPaths(const std::vector<std::string>& values) {
  std::vector<std::string> paths;
  for (const std::string& value : values) {
    std::string path = PathFromValue(value);
    if (std::find(paths.begin(), paths.end(), path) == paths.end()) paths.push_back(std::move(path));
  }
  return paths;
}

std::optional<bool> ParseFlag(std::string_view value) {
  if (value == "1") return true;
  if (value == "0") return false;
  return std::nullopt;
}

std::vector<std::string_view> SplitRecord(std::string_view record) {
  std::vector<std::string_view> fields;
  if (record.empty()) return fields;
  for (;;) {
    const std::size_t end = record.find(FieldSeparator);
    fields.push_back(record.substr(0, end));
    if (end == std::string_view::npos) return fields;
    record.remove_prefix(end + 1);
  }
}

std::string JoinRecord(const std::vector<std::string>& fields) {
  std::string record;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) record += FieldSeparator;
    record += fields[i];
  }
  return record;
}

NumberedKey::NumberedKey(std::string_view prefix, std::string_view suffix)
    : key_(std::string(prefix) + std::string(kMaxDigits, '0') + std::string(suffix)),
      prefixSize_(prefix.size()),
      suffix_(suffix) {}

std::string_view NumberedKey::operator()(std::size_t n) {
  // The digits are written after the prefix and the suffix after them, in place.
  char* const digits = key_.data() + prefixSize_;
  char* const end = std::to_chars(digits, digits + kMaxDigits, n).ptr;
  std::copy(suffix_.begin(), suffix_.end(), end);
  return {key_.data(), static_cast<std::size_t>(end - key_.data()) + suffix_.size()};
}

std::vector<std::string> ReadNumberedValues(const std::string& file, const std::string& section,
                                            const std::string& prefix, std::size_t limit) {
  std::vector<std::string> values;
  for (std::size_t n = 1; n <= limit; ++n) {
    std::string value = ReadSetting(section, prefix + std::to_string(n), file);
    if (value.empty()) break;
    values.push_back(std::move(value));
  }
  return values;
}

bool WriteNumberedValues(const std::string& file, const std::string& section, const std::string& prefix,
                         const std::vector<std::string>& values, std::size_t limit) {
  SettingsWriteGroup group(file);
  bool ok = true;
  std::size_t n = 1;
  for (const std::string& value : values) {
    if (value.empty()) continue;  // an empty value would end the list at the next read
    ok = WriteSetting(section, prefix + std::to_string(n++), file, value) && ok;
  }
  // Keys past the list: those a longer list wrote, and any a hand-edited file holds beyond the limit.
  for (; n <= limit || !ReadSetting(section, prefix + std::to_string(n), file).empty(); ++n)
    ok = WriteSetting(section, prefix + std::to_string(n), file, "") && ok;
  return group.Close() && ok;
}

}  // namespace orv
