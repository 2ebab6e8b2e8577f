#include "storage/recentmaps.h"

#include <functional>
#include <utility>

#include "storage/inidocument.h"
#include "storage/settings.h"
#include "storage/storedvalues.h"

namespace orv {
namespace {

constexpr const char* kSection = "Recent Maps";
constexpr const char* kPrefix = "Map";
constexpr const char* kLastMapSection = "General";
constexpr const char* kLastMapKey = "LastMapFilename";

}  // namespace

std::string LastMap(const IniDocument& settings) {
  return settings.Value(kLastMapSection, kLastMapKey);
}

std::string ReadLastMap(const std::string& settingsFile) {
  return ReadSetting(kLastMapSection, kLastMapKey, settingsFile);
}

bool WriteLastMap(const std::string& settingsFile, const std::string& mapPath) {
  return WriteSetting(kLastMapSection, kLastMapKey, settingsFile, mapPath);
}

RecentMaps::RecentMaps(std::string settingsFile) : file_(std::move(settingsFile)) {}

std::vector<std::string> RecentMaps::Paths() const {
  return DistinctPaths(ReadNumberedValues(file_, kSection, kPrefix, MaxMaps));
}

bool RecentMaps::Add(const std::string& mapPath) {
  if (mapPath.empty()) return false;
  std::vector<std::string> paths = Paths();
  MoveToFront(paths, mapPath, std::equal_to<>(), MaxMaps);
  return Write(paths);
}

bool RecentMaps::Remove(const std::string& mapPath) {
  std::vector<std::string> paths = Paths();
  std::erase(paths, mapPath);
  return Write(paths);
}

bool RecentMaps::Write(const std::vector<std::string>& paths) {
  std::vector<std::string> values;
  for (const std::string& path : paths) values.push_back(PathToValue(path));
  return WriteNumberedValues(file_, kSection, kPrefix, values, MaxMaps);
}

}  // namespace orv
