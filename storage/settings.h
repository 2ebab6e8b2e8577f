#pragma once
// Settings-format files: "[Section]" lines and "Key=Value" lines, 8-bit text. Sections and keys are
// matched without regard to letter case; every other line of a file is kept as it was.
//
// ReadSetting and WriteSetting are the only way any part of the program touches such a file. Each
// read sees every earlier write at once. Parsed files are cached (checked against the file's size
// and modification time), and a SettingsWriteGroup collects the writes to one file and replaces the
// file once, atomically, when it closes, so saving N keys costs time linear in the file's size.
#include <string>

namespace orv {

// Value of key in section of file, or "" when the file, section or key does not exist. Never creates
// anything. Values come back whole, whatever their length.
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

// Forgets every parsed copy not held by an open write group; the next access reads the file anew.
void DropSettingsCache();

// Where the program keeps its settings: "orvantis.ini" in programDir when that directory is writable,
// otherwise "orvantis.ini" in configHome + "/orvantis/" (configHome is $XDG_CONFIG_HOME, or
// ~/.config). Reads no environment: callers pass the directories, so tests never touch the user's
// files. With an empty configHome the file stays in programDir.
std::string SettingsFileIn(const std::string& programDir, const std::string& configHome);
// SettingsFileIn for the running program (its own directory and the user's configuration directory);
// creates the configuration directory when it is chosen and missing, so the first write can succeed.
std::string SettingsFile();

}  // namespace orv
