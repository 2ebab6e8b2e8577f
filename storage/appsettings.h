#pragma once
// The user's choices that outlive a run, each with its key and its default in one place.
//
// Section "Options" of the settings file (older copies of the program ignore it):
//   "FollowJournal"         "1" or "0"; default off   Map > Follow Journal
//   "JournalFile"           the followed journal's path (PathToValue); default none
//   "FollowClipboard"       "1" or "0"; default off   Map > Follow Clipboard
//   "OutlineBookmarkNames"  "1" or "0"; default on    a halo around each bookmark name
//   "Overview"              "1" or "0"; default none: shown when the picture is larger than the view
//   "LastFolder"            the folder a file dialog was last left in (PathToValue); default none
// Section "Maps Folders": "Folder1", "Folder2", ... the atlas's folders (PathToValue), in the order
// chosen, up to the first missing key.
// A value that does not parse reads as the default. Every setter returns false when the file could
// not be written.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace orv {

class AppSettings {
 public:
  static constexpr std::size_t MaxMapsFolders = 100;

  explicit AppSettings(std::string settingsFile);

  bool FollowJournal() const;
  bool SetFollowJournal(bool on);
  // "" when no journal was chosen.
  std::string JournalFile() const;
  bool SetJournalFile(const std::string& path);  // "" forgets it

  bool FollowClipboard() const;
  bool SetFollowClipboard(bool on);

  bool OutlineBookmarkNames() const;
  bool SetOutlineBookmarkNames(bool on);

  // The user's last choice of View > Overview, none while they never made one.
  std::optional<bool> OverviewChoice() const;
  bool SetOverviewChoice(bool on);

  // Without empty entries and repeats, in the order chosen.
  std::vector<std::string> MapsFolders() const;
  bool SetMapsFolders(const std::vector<std::string>& folders);

  // "" when no file dialog was used yet.
  std::string LastFolder() const;
  bool SetLastFolder(const std::string& folder);  // "" forgets it

 private:
  std::string file_;
};

// Whether the overview shows: the user's choice, or without one, whether the picture (at the current
// zoom) is larger than the map area.
inline bool OverviewShown(std::optional<bool> choice, bool pictureLargerThanView) {
  return choice.value_or(pictureLargerThanView);
}

}  // namespace orv
