#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "storage/inilines.h"

namespace orv {

// The key=value lines of one section, gathered for IniDocument::ReplaceSection. Each Add has the
// effect of IniDocument::Set on a section that starts empty: keys are trimmed, a key added again
// (without regard to case) takes the new value in its first place, an empty value removes the key,
// and a line that could not be read back as written is left out.
class IniSectionLines {
 public:
  void Add(std::string_view key, std::string_view value);
  // Add for a numbered record, whose key the caller knows is not among the lines yet (without regard
  // to case). Line breaks in the value become blanks, so that a record from a hand-edited file is
  // kept and the numbering has no gap at which the next load would stop. Nothing is looked up: the
  // key index catches up only if a later Add needs it. Gives the value as stored (line breaks made
  // blanks), or "" when no line was made; the view lasts until the next Add or AddRecord.
  std::string_view AddRecord(std::string_view key, std::string_view value);
  // Room for this many lines of about this many bytes of keys, "=" and values in all (their endings
  // are added here), so that gathering them does not grow (and copy) the buffers again and again.
  void Reserve(std::size_t lines, std::size_t bytes);
  void Clear();
  // Whether an Add made a line: the section is then written, even if later Adds removed every key.
  bool OpensSection() const { return opens_; }
  // The lines in order, each followed by eol, and then Clear. The lines are gathered with CRLF, the
  // ending of the files the program writes: their text is then moved out, not copied.
  std::string TakeText(std::string_view eol);

 private:
  struct Entry {
    uint32_t offset = 0;  // "key=value" within text_
    uint32_t keySize = 0;
    uint32_t size = 0;  // without the line ending
    bool removed = false;
  };
  static constexpr std::string_view kEol = "\r\n";
  std::string_view Text(const Entry& e) const { return {text_.data() + e.offset, e.size}; }
  std::string_view Key(const Entry& e) const { return {text_.data() + e.offset, e.keySize}; }
  // Appends "key=value" and the line ending to text_ and gives the value's offset.
  std::size_t AppendLine(std::string_view key, std::string_view value);
  void IndexAllKeys();

  // The lines back to back, each with the ending kEol. A line whose value was replaced or that was
  // removed leaves its old text in place (holes_), and a new value goes to the end.
  std::string text_;
  bool holes_ = false;
  std::vector<Entry> entries_;
  ini::KeyIndex keys_;  // key to entry, for the entries before indexed_
  std::size_t indexed_ = 0;
  std::size_t reservedKeys_ = 0;  // room the index takes once it is needed
  std::size_t live_ = 0;          // entries not removed
  bool opens_ = false;
};

}  // namespace orv
