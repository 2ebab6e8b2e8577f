#pragma once
// One settings-format file in memory: "[Section]" lines and "Key=Value" lines, 8-bit text. Sections
// and keys are found without regard to letter case; values are raw bytes, read with the blanks
// around them trimmed. Every line that is not changed keeps its place, its bytes and its own line
// ending, so a document parsed and serialised again gives back the same bytes.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "storage/inisectionlines.h"

namespace orv {

class IniDocument {
 public:
  IniDocument();  // an empty file
  explicit IniDocument(std::string bytes);
  IniDocument(const IniDocument& other);
  IniDocument& operator=(const IniDocument& other);
  IniDocument(IniDocument&&) noexcept;
  IniDocument& operator=(IniDocument&&) noexcept;
  ~IniDocument();

  // The file's bytes: the lines in order, each with its own ending.
  std::string Serialize() const;
  void SerializeTo(std::string& out) const;  // reuses out's memory

  // The value of key in section (the first occurrence), or nothing when either is missing.
  std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;
  // Find's value, or "" when missing.
  std::string Value(std::string_view section, std::string_view key) const;
  // Calls visit with the key and the value of each key line of section, through all its parts in
  // file order, as Find reads them; a key that stands more than once is visited each time. For
  // reading a long list of keys in one pass instead of looking each up.
  void ForEachKey(std::string_view section,
                  const std::function<void(std::string_view key, std::string_view value)>& visit) const;

  // Stores value under key in section, adding the section (after a blank line) and the key (after
  // the section's last key) as needed; an empty value removes the key. Section and key are trimmed
  // of blanks. True when the document changed; false also when CanHold refuses the write.
  bool Set(std::string_view section, std::string_view key, std::string_view value);
  bool RemoveKey(std::string_view section, std::string_view key);
  // Removes every part of the section with all its lines. True when there was one.
  bool RemoveSection(std::string_view section);
  // Gives the section exactly these lines: the same as RemoveSection and then a Set for each line,
  // but the section's text is made in one piece, and a document that already ends with the section
  // holding exactly these lines in this order is left as it is. True when the document's bytes
  // changed; false also when CanHold refuses the section name.
  // The document keeps the text of lines (moved in, not copied).
  bool ReplaceSection(std::string_view section, IniSectionLines lines);

  // Serialises the document into out (reusing its memory) and returns true, unless the bytes are
  // exactly those the document was read from: then false, without serialising when nothing was
  // written since. A copy compares with the bytes its original was read from.
  bool SerializeChanges(std::string& out) const;

  // Whether a write could be read back as written: names and values hold no line break, a section
  // no "]", a key no "=" and does not start like a section or comment line. An empty key stands for
  // the whole section.
  static bool CanHold(std::string_view section, std::string_view key, std::string_view value);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;  // on the heap: its lines point into its own text, which must not move
};

}  // namespace orv
