#pragma once
// The maps the settings file remembers: the last map shown, and those of Map > Open Recent, kept in
// section "Recent Maps": keys "Map1" to "Map10", most recent first, each the full path of a map info
// file written by PathToValue. Paths are compared byte for byte; a list read from a hand-edited file
// keeps the first of two equal paths.
#include <cstddef>
#include <string>
#include <vector>

namespace orv {

class IniDocument;

// The map shown last, which the next start opens: "LastMapFilename" in the settings file's section
// "General", the path's bytes as they are ("" when none). Written at once when a map is shown and
// again at shutdown; false when the file could not be written.
std::string LastMap(const IniDocument& settings);
std::string ReadLastMap(const std::string& settingsFile);
bool WriteLastMap(const std::string& settingsFile, const std::string& mapPath);

class RecentMaps {
 public:
  static constexpr std::size_t MaxMaps = 10;

  explicit RecentMaps(std::string settingsFile);

  // Most recent first, without duplicates.
  std::vector<std::string> Paths() const;
  // After each successful load: mapPath becomes the first entry; the eleventh is dropped.
  bool Add(const std::string& mapPath);
  // Drops mapPath (a map that is no longer there); the others keep their order.
  bool Remove(const std::string& mapPath);

 private:
  bool Write(const std::vector<std::string>& paths);

  std::string file_;
};

}  // namespace orv
