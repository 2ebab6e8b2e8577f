#pragma once
// Settings-format files: "[Section]" lines and "Key=Value" lines, 8-bit text. Sections and keys are
// matched without regard to letter case; every other line of a file is kept as it was.
//
// ReadSetting and WriteSetting read and write single keys; each call is one whole access of the file
// (read and parse it, change it, replace it atomically), so each read sees every earlier write at
// once. A SettingsWriteGroup holds one file's document while it is open, so that many keys cost one
// read and one write. Code that handles many keys of a file can also work on the file's IniDocument
// directly (storage/inifile.h).
#include <string>
#include <string_view>

namespace orv {

// Value of key in section of file, or "" when the file, section or key does not exist. Never creates
// anything. Values come back whole, whatever their length, without the blanks around them.
std::string ReadSetting(const std::string& section, const std::string& key, const std::string& file);

// Stores value under key in section of file, creating file, section and key as needed. An empty
// value removes the key; an empty key removes the whole section. Returns false when the file could
// not be written (read-only file or directory, missing directory, full disk); the old file is then
// left whole. Also false, without touching the file, when the write could not be read back as
// written: a value or name holding a line break, a section holding "]", a key holding "=".
// Inside an open write group for the file the write only changes the held copy and returns true;
// the group's Close reports whether it reached the file.
bool WriteSetting(const std::string& section, const std::string& key, const std::string& file,
                  const std::string& value);

// value with each byte that a value cannot hold (carriage return, line feed: they would end its line
// in this program or in older copies of it) replaced by a blank. Records read from a hand-edited file
// can hold a carriage return alone inside a line; saved through this they keep their place in their
// list instead of being refused, which would end the list there at the next load.
std::string StorableValue(std::string value);

// Collects the writes to one file while it lives; the file is written once, atomically (temporary
// file in the same directory, flushed, renamed over the old one), when the outermost group for that
// file closes. Groups for the same file may nest. While a group is open, reads of the file are
// answered from the held copy without looking at the file, so a load of many keys can use a group
// too; changes made to the file by another program meanwhile are not seen, and are overwritten if
// the group writes. When the group's write fails, the held copy is dropped, so later reads show
// what the file really holds.
class SettingsWriteGroup {
 public:
  explicit SettingsWriteGroup(std::string file);
  ~SettingsWriteGroup();  // closes if Close was not called
  SettingsWriteGroup(const SettingsWriteGroup&) = delete;
  SettingsWriteGroup& operator=(const SettingsWriteGroup&) = delete;
  // Writes the file if this is the outermost group and anything changed. True when every write of
  // the group reached the file (or nothing needed writing). Reports a failure once.
  bool Close();

 private:
  std::string file_;
  bool closed_ = false;
};

// Where the program keeps its settings: "orvantis.ini" in programDir when that directory is writable,
// otherwise "orvantis.ini" in configHome + "/orvantis/" (configHome is $XDG_CONFIG_HOME, or
// ~/.config). Reads no environment: callers pass the directories, so tests never touch the user's
// files. With an empty configHome the file stays in programDir.
std::string SettingsFileIn(const std::string& programDir, const std::string& configHome);
// SettingsFileIn for the running program (its own directory and the user's configuration directory);
// creates the configuration directory when it is chosen and missing, so the first write can succeed.
std::string SettingsFile();

}  // namespace orv
