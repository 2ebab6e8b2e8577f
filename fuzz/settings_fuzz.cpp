// Settings files as users edit them: any bytes parse, and each section reads as the reading rules
// say, worked out apart; writes read back as written; keys that were not written keep their values;
// a file written and read again from disk holds the same values.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_common.h"
#include "storage/inidocument.h"
#include "storage/settings.h"

namespace {

// Section names match without regard to case and to blanks around them, as "[ a ]" names "a".
bool SameIgnoringCase(std::string a, std::string b) {
  for (std::string* s : {&a, &b}) {
    s->erase(0, s->find_first_not_of(" \t"));
    s->erase(s->find_last_not_of(" \t") + 1);
  }
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string Trimmed(std::string s) {
  s.erase(0, s.find_first_not_of(" \t"));
  s.erase(s.find_last_not_of(" \t") + 1);
  return s;
}

// A name from a small alphabet, so that writes often meet names already in the file.
std::string Name(orv::fuzzing::Input& in) {
  static const char kLetters[] = "abAB01_.";
  std::string s;
  for (int n = 1 + in.Byte() % 3; n > 0; --n) s += kLetters[in.Byte() % (sizeof kLetters - 1)];
  return s;
}

using Keys = std::vector<std::pair<std::string, std::string>>;

// A value as read: trimmed, and without carriage returns before the line's end.
std::string TrimmedValue(std::string s) {
  s = Trimmed(s);
  s.erase(s.find_last_not_of(" \t\r") + 1);
  return s;
}

// The bytes a document reads: a text without LF whose lines end in a lone CR is read as CRLF lines.
std::string AsRead(const std::string& bytes) {
  if (bytes.find('\n') != std::string::npos || bytes.find('\r') == std::string::npos) return bytes;
  std::string out;
  for (const char c : bytes) out += c == '\r' ? std::string("\r\n") : std::string(1, c);
  return out;
}

// The key lines of a section as the reading rules say, worked out line by line on their own: a line
// ends at LF (a CR before it belongs to the ending); "[Name]" after blanks (and, on the first line, a
// byte order mark) opens a section; a line with "=" whose trimmed text before it is not empty is a
// key line inside a section, unless it starts with ";" or "#" or "[".
Keys KeyLinesOf(const std::string& read, const std::string& section) {
  const std::string bytes = AsRead(read);
  Keys keys;
  bool inside = false;
  for (std::size_t at = 0, n = 0; at < bytes.size(); ++n) {
    std::size_t end = bytes.find('\n', at);
    std::string line = bytes.substr(at, end == std::string::npos ? std::string::npos : end - at);
    at = end == std::string::npos ? bytes.size() : end + 1;
    if (end != std::string::npos && !line.empty() && line.back() == '\r') line.pop_back();
    if (n == 0 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    const std::string text = line.substr(std::min(line.find_first_not_of(" \t"), line.size()));
    if (text.empty() || text[0] == ';' || text[0] == '#') continue;
    if (text[0] == '[') {  // without "]" neither a header nor a key line
      const std::size_t close = text.find(']');
      if (close != std::string::npos) inside = SameIgnoringCase(text.substr(1, close - 1), section);
      continue;
    }
    const std::size_t equals = text.find('=');
    if (!inside || equals == std::string::npos || Trimmed(text.substr(0, equals)).empty()) continue;
    keys.emplace_back(Trimmed(text.substr(0, equals)), TrimmedValue(text.substr(equals + 1)));
  }
  return keys;
}

Keys ForEachKeyOf(const orv::IniDocument& doc, const std::string& section) {
  Keys keys;
  doc.ForEachKey(section, [&](std::string_view k, std::string_view v) { keys.emplace_back(k, v); });
  return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  orv::fuzzing::Input in(data, size);
  struct Write {
    std::string section, key, value;
  };
  std::vector<Write> writes;
  for (int n = in.Byte() % 6; n > 0; --n) {
    Write w{Name(in), Name(in), in.String(12)};
    for (char& c : w.value)
      if (c == '\n' || c == '\r') c = ' ';
    writes.push_back(w);
  }
  const std::string bytes = in.Rest();
  const std::string file = orv::fuzzing::WriteScratch("settings.ini", bytes);

  // A document reads its sections as the rules say, kept whole or split into lines by a lookup, and
  // gives back the bytes it was read from.
  for (const char* s : {"a", "b", "A0", "_"}) {
    const Keys expected = KeyLinesOf(bytes, s);
    ORV_CHECK(ForEachKeyOf(orv::IniDocument(bytes), s) == expected);
    orv::IniDocument split(bytes);
    const auto first = split.Find(s, expected.empty() ? "a" : expected[0].first);
    ORV_CHECK(expected.empty() ? !first : first == std::string_view(expected[0].second));
    ORV_CHECK(ForEachKeyOf(split, s) == expected);
    ORV_CHECK(split.Serialize() == AsRead(bytes));
  }

  // Values of a few names before the writes.
  std::vector<Write> probes;
  for (const char* s : {"a", "b", "A0", "_"})
    for (const char* k : {"a", "b", "0", "_"}) probes.push_back({s, k, orv::ReadSetting(s, k, file)});

  for (const Write& w : writes) {
    ORV_CHECK(orv::WriteSetting(w.section, w.key, file, w.value));
    // A value reads back without the blanks around it, as a hand-edited "Name = Verdana" reads.
    ORV_CHECK(orv::ReadSetting(w.section, w.key, file) == Trimmed(w.value));
  }
  // Names no write touched keep their values, also when read from the disk anew.
  for (const Write& p : probes) {
    bool touched = false;
    for (const Write& w : writes) touched |= SameIgnoringCase(w.section, p.section);
    if (!touched) ORV_CHECK(orv::ReadSetting(p.section, p.key, file) == p.value);
  }
  return 0;
}
