// Settings files as users edit them: any bytes parse; writes read back as written; keys that were
// not written keep their values; a file written and read again from disk holds the same values.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_common.h"
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
  const std::string file = orv::fuzzing::WriteScratch("settings.ini", in.Rest());

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
