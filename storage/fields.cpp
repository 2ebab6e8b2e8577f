#include "storage/fields.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace orv {
namespace {

// The last string GetField split, with its fields already stripped of separators. Records are read
// field after field, so one cached split serves every GetField call on the same record. The
// separator is remembered too, so a string split at another separator is never answered from the
// cache.
struct FieldCacheData {
  bool valid = false;
  std::string text;
  char separator = FieldSeparator;
  std::vector<std::string> fields;
};

FieldCacheData& FieldCache() {
  static FieldCacheData cache;
  return cache;
}

bool OnlySeparators(const std::string& s, char separator) {
  return s.find_first_not_of(separator) == std::string::npos;
}

// Cuts s into pieces. A separator closes the current piece, except when it follows another
// separator (or starts the string), or is the last byte: then it is kept as an ordinary byte of the
// piece. A last piece made only of separators is joined onto the piece before it. Stripping the
// pieces of their separators gives the fields: the maximal runs of non-separator bytes, or a single
// empty field for a string made only of separators.
std::vector<std::string> SplitFields(const std::string& s, char separator) {
  std::vector<std::string> pieces;
  std::string current;
  bool afterSeparator = true;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char ch = s[i];
    if (ch != separator) {
      current += ch;
      afterSeparator = false;
    } else if (afterSeparator || i + 1 == s.size()) {
      current += ch;
    } else {
      pieces.push_back(std::move(current));
      current.clear();
      afterSeparator = true;
    }
  }
  if (!current.empty()) pieces.push_back(std::move(current));
  if (pieces.size() >= 2 && OnlySeparators(pieces.back(), separator)) {
    std::string last = std::move(pieces.back());
    pieces.pop_back();
    pieces.back() += last;
    pieces.back() += separator;
  }
  for (std::string& piece : pieces) piece = StripSeparators(piece, separator);
  return pieces;
}

const std::vector<std::string>& FieldsOf(const std::string& s, char separator) {
  FieldCacheData& cache = FieldCache();
  if (!cache.valid || cache.separator != separator || cache.text != s) {
    cache.fields = SplitFields(s, separator);
    cache.text = s;
    cache.separator = separator;
    cache.valid = true;
  }
  return cache.fields;
}

}  // namespace

std::string GetField(int n, const std::string& s, char separator) {
  const std::vector<std::string>& fields = FieldsOf(s, separator);
  if (n < 0) return {};
  if (n == 0) return std::to_string(fields.size());
  if (static_cast<std::size_t>(n) > fields.size()) return {};
  return fields[n - 1];
}

std::string_view FieldView(int n, std::string_view s, char separator) {
  if (n < 1) return {};
  std::size_t begin = 0;
  while (true) {
    begin = s.find_first_not_of(separator, begin);
    if (begin == std::string_view::npos) return {};
    const std::size_t end = std::min(s.find(separator, begin), s.size());
    if (--n == 0) return s.substr(begin, end - begin);
    begin = end;
  }
}

std::string SetField(int n, const std::string& s, char separator, const std::string& newValue) {
  // No caller asks for a field before the first; such a request leaves the record as it was.
  if (n < 0) return s;
  const int count = static_cast<int>(FieldsOf(s, separator).size());
  std::string result;
  result.reserve(s.size() + newValue.size() + 1);
  for (int i = 1; i < n; ++i) {
    result += GetField(i, s, separator);
    result += separator;
  }
  if (!newValue.empty()) {
    result += newValue;
    result += separator;
  }
  for (int i = n + 1; i <= count; ++i) {
    result += GetField(i, s, separator);
    result += separator;
  }
  if (!result.empty()) result.pop_back();
  // Removing a field past the end of a record without fields would leave only separators, which
  // read as one empty field the record never had. A record holds no empty field, so it stays empty.
  if (result.find_first_not_of(separator) == std::string::npos) result.clear();
  return result;
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
