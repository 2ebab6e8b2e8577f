#include "storage/appsettings.h"

#include <algorithm>
#include <utility>

#include "storage/settings.h"
#include "storage/storedvalues.h"

namespace orv {
namespace {

constexpr const char* kOptions = "Options";
constexpr const char* kMapsFolders = "Maps Folders";
constexpr const char* kFolderPrefix = "Folder";

struct Flag {
  const char* key;
  bool fallback;
};
constexpr Flag kFollowJournal{"FollowJournal", false};
constexpr Flag kFollowClipboard{"FollowClipboard", false};
constexpr Flag kOutlineBookmarkNames{"OutlineBookmarkNames", true};
constexpr const char* kOverview = "Overview";  // no default: left to the picture's size
constexpr const char* kJournalFile = "JournalFile";
constexpr const char* kLastFolder = "LastFolder";

std::optional<bool> ReadFlag(const std::string& file, const char* key) {
  return ParseFlag(ReadSetting(kOptions, key, file));
}
bool ReadFlag(const std::string& file, const Flag& flag) {
  return ReadFlag(file, flag.key).value_or(flag.fallback);
}
bool WriteFlag(const std::string& file, const char* key, bool on) {
  return WriteSetting(kOptions, key, file, FlagValue(on));
}
std::string ReadPath(const std::string& file, const char* key) {
  return PathFromValue(ReadSetting(kOptions, key, file));
}
bool WritePath(const std::string& file, const char* key, const std::string& path) {
  return WriteSetting(kOptions, key, file, PathToValue(path));
}

}  // namespace

AppSettings::AppSettings(std::string settingsFile) : file_(std::move(settingsFile)) {}

bool AppSettings::FollowJournal() const {
  return ReadFlag(file_, kFollowJournal);
}
bool AppSettings::SetFollowJournal(bool on) {
  return WriteFlag(file_, kFollowJournal.key, on);
}
std::string AppSettings::JournalFile() const {
  return ReadPath(file_, kJournalFile);
}
bool AppSettings::SetJournalFile(const std::string& path) {
  return WritePath(file_, kJournalFile, path);
}

bool AppSettings::FollowClipboard() const {
  return ReadFlag(file_, kFollowClipboard);
}
bool AppSettings::SetFollowClipboard(bool on) {
  return WriteFlag(file_, kFollowClipboard.key, on);
}

bool AppSettings::OutlineBookmarkNames() const {
  return ReadFlag(file_, kOutlineBookmarkNames);
}
bool AppSettings::SetOutlineBookmarkNames(bool on) {
  return WriteFlag(file_, kOutlineBookmarkNames.key, on);
}

std::optional<bool> AppSettings::OverviewChoice() const {
  return ReadFlag(file_, kOverview);
}
bool AppSettings::SetOverviewChoice(bool on) {
  return WriteFlag(file_, kOverview, on);
}

std::vector<std::string> AppSettings::MapsFolders() const {
  return DistinctPaths(ReadNumberedValues(file_, kMapsFolders, kFolderPrefix, MaxMapsFolders));
}

bool AppSettings::SetMapsFolders(const std::vector<std::string>& folders) {
  if (folders.size() > MaxMapsFolders) return false;
  std::vector<std::string> values;
  for (const std::string& folder : folders) {
    std::string value = PathToValue(folder);
    if (std::find(values.begin(), values.end(), value) == values.end()) values.push_back(std::move(value));
  }
  return WriteNumberedValues(file_, kMapsFolders, kFolderPrefix, values, MaxMapsFolders);
}

std::string AppSettings::LastFolder() const {
  return ReadPath(file_, kLastFolder);
}
bool AppSettings::SetLastFolder(const std::string& folder) {
  return WritePath(file_, kLastFolder, folder);
}

}  // namespace orv
