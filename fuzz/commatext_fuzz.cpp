// Notes as comma text: turning lines into text and back gives the same lines.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_common.h"
#include "bookmarks/bookmarkstore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  // The input's lines are the notes box's lines; a notes line never holds a line break or NUL.
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < size; ++i) {
    const char c = static_cast<char>(data[i]);
    if (c == '\n') {
      lines.emplace_back();
    } else if (c != '\r' && c != '\0') {
      lines.back() += c;
    }
  }
  if (size == 0) lines.clear();
  const std::string text = orv::NotesToCommaText(lines);
  if (text.find('\n') != std::string::npos || text.find('\r') != std::string::npos) ORV_FAIL();
  if (orv::CommaTextToNotes(text) != lines) ORV_FAIL();
  return 0;
}
