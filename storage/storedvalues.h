#pragma once
// Value forms shared by the program's remembered state: paths stored so that any byte survives, on/off
// flags, records of fields and lists under numbered keys.
#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orv {

// A path as a settings value. A path may hold any byte, but a value cannot hold a line break, and a
// record cannot hold the field separator (byte 179, which is also a byte of many UTF-8 letters, such
// as the "ó" of a folder name). These bytes, the other control bytes and "%" itself are written as
// "%" and two upper-case hex digits, and so is a blank at either end (blanks around "=" are not read
// as part of a value); every other byte, "=", "[", "]" and ";" included, stays as it is,
// so ordinary paths read plainly in the file.
std::string PathToValue(std::string_view path);
// The path of a value written by PathToValue. A "%" not followed by two hex digits is taken as
// itself, so a hand-written path still reads as written.
std::string PathFromValue(std::string_view value);
// The paths of values written by PathToValue, in order, without repeats (the first of two equal paths
// stays).
std::vector<std::string> DistinctPaths(const std::vector<std::string>& values);

// "1" or "0".
inline std::string FlagValue(bool on) {
  return on ? "1" : "0";
}
// "1" is on and "0" is off; anything else (missing, empty, garbage) is no value.
std::optional<bool> ParseFlag(std::string_view value);

// record cut at every field separator; an empty record has no fields, empty fields are kept.
std::vector<std::string_view> SplitRecord(std::string_view record);
// fields joined by the field separator.
std::string JoinRecord(const std::vector<std::string>& fields);

// Keys prefix + "1" + suffix, prefix + "2" + suffix, ... made in one buffer, so that writing or
// reading a list of thousands of records does not build a new string for each key. The view stays
// valid until the next call.
class NumberedKey {
 public:
  explicit NumberedKey(std::string_view prefix, std::string_view suffix = {});
  std::string_view operator()(std::size_t n);

 private:
  static constexpr std::size_t kMaxDigits = 20;  // of the largest std::size_t
  std::string key_;                              // the prefix, room for the digits, the suffix
  std::size_t prefixSize_;
  std::string suffix_;
};

class IniDocument;

// The values of numbered keys prefix + n + suffix in a section of doc, for a few suffixes at once,
// each as doc.Find reads it (the first occurrence of a key, letter case ignored). The section's lines
// are matched in one pass rather than looked up key by key. The views point into doc.
class NumberedKeys {
 public:
  NumberedKeys(const IniDocument& doc, std::string_view section, std::string_view prefix,
               std::initializer_list<std::string_view> suffixes);
  // The values of prefix + "1" + suffix, prefix + "2" + suffix, ... up to the first missing or empty
  // one, for the suffix at this place in the list.
  std::vector<std::string_view> List(std::size_t suffix) const;
  // The values for n = 1 .. count; "" where one is missing.
  std::vector<std::string_view> Values(std::size_t suffix, std::size_t count) const;

 private:
  // Each suffix's keys as found, in file order: their number and value.
  std::vector<std::vector<std::pair<std::size_t, std::string_view>>> found_;
};

// NumberedKeys(doc, section, prefix, {suffix}).List(0).
std::vector<std::string_view> NumberedList(const IniDocument& doc, std::string_view section,
                                           std::string_view prefix, std::string_view suffix = {});

// Values of prefix + "1", prefix + "2", ... in section of file, up to the first missing or empty one,
// and at most limit of them.
std::vector<std::string> ReadNumberedValues(const std::string& file, const std::string& section,
                                            const std::string& prefix, std::size_t limit);
// Writes the non-empty values under prefix + "1" ... in order and removes the numbered keys after them that a
// longer list left, up to at least limit. Other keys and sections stay as they were, line for line.
// One write of the file; false when it failed.
bool WriteNumberedValues(const std::string& file, const std::string& section, const std::string& prefix,
                         const std::vector<std::string>& values, std::size_t limit);

// Puts item first in a most-recent-first list: entries that are the same as item (by same) go, and
// the list keeps at most limit entries.
template <typename T, typename Same>
void MoveToFront(std::vector<T>& list, T item, Same same, std::size_t limit) {
  std::erase_if(list, [&](const T& entry) { return same(entry, item); });
  list.insert(list.begin(), std::move(item));
  if (list.size() > limit) list.resize(limit);
}

}  // namespace orv
