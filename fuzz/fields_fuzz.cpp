// Field strings against a plain model: the fields are the maximal runs of non-separator bytes, and a
// non-empty string of separators only has one empty field.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_common.h"
#include "storage/fields.h"

namespace {

using Fields = std::vector<std::string>;

Fields Model(const std::string& s, char sep) {
  Fields fields;
  std::string run;
  for (char c : s) {
    if (c != sep) {
      run += c;
    } else if (!run.empty()) {
      fields.push_back(run);
      run.clear();
    }
  }
  if (!run.empty()) fields.push_back(run);
  if (fields.empty() && !s.empty()) fields.push_back("");
  return fields;
}

Fields Read(const std::string& s, char sep) {
  Fields fields;
  const int count = std::atoi(orv::GetField(0, s, sep).c_str());
  for (int i = 1; i <= count; ++i) fields.push_back(orv::GetField(i, s, sep));
  return fields;
}


}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  orv::fuzzing::Input in(data, size);
  // Mostly the real separator, sometimes another byte, so both paths of the cutting are exercised.
  const char sep = (in.Byte() & 1) ? orv::FieldSeparator : '|';
  const int n = in.Byte() % 8;
  std::string value = in.String(16);
  const std::string s = in.Rest();

  const Fields model = Model(s, sep);
  ORV_CHECK(Read(s, sep) == model);
  ORV_CHECK(orv::GetField(-1, s, sep).empty() && orv::GetField(int(model.size()) + 1, s, sep).empty());

  // A value without separators lands as field n (first for 0, last when past the end); an empty
  // value removes field n. Empty fields cannot be stored, so they vanish from the result.
  for (char& c : value)
    if (c == sep) c = 'x';
  Fields expected = model;
  if (value.empty()) {
    if (n >= 1 && n <= int(expected.size())) expected.erase(expected.begin() + (n - 1));
  } else if (n == 0) {
    expected.insert(expected.begin(), value);
  } else if (n <= int(expected.size())) {
    expected[n - 1] = value;
  } else {
    expected.push_back(value);
  }
  Fields kept;
  for (const auto& f : expected)
    if (!f.empty()) kept.push_back(f);
  // Removing a field past the end of a short string leaves only separators: one empty field.
  const Fields got = Read(orv::SetField(n, s, sep, value), sep);
  ORV_CHECK(got == kept || (kept.empty() && got == Fields{""}));
  return 0;
}
