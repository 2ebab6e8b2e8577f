// Saving the bookmarks and map links, telling the user when a file could not be written, and leaving
// a map whose own file cannot be written only with the user's word.
#include <algorithm>
#include <filesystem>

#include "storage/fields.h"
#include "view/calibrationtool.h"
#include "view/mainwindow.h"
#include "view/text.h"

void TForm1::ReportFailedSave(const std::string& path) {
  if (!reportedSaves_.insert(path).second) return;
  const QString text = QStringLiteral("Unable to save '") + orv::PathText(path) +
                       QStringLiteral("'. Your changes to it could not be written.");
  pendingMessages_.push_back(text);
  if (messageHold_ == 0) ShowPendingMessages();
}

namespace {

// The map info file of the map shown was removed or renamed since the map was loaded. It is not made
// again: holding no corners it would be no map, and every later load of it would fail. Its half of a
// save fails instead, as when its folder is gone.
bool MapFileGone(const std::string& mapFile) {
  std::error_code error;
  return !mapFile.empty() && !std::filesystem::exists(mapFile, error) && !error;
}

}  // namespace

bool TForm1::SaveBookmarksTo(const std::string& mapFile) {
  const bool gone = MapFileGone(mapFile);
  std::string failed;
  if (!bookmarks_.Save(gone ? std::string() : mapFile, settingsFile_, &failed)) {
    ReportFailedSave(failed.empty() ? settingsFile_ : failed);
    return false;
  }
  if (gone) ReportFailedSave(mapFile);
  return !gone;
}

std::string TForm1::SaveMapAndBookmarksTo(const std::string& mapFile, bool reportMapFile) {
  std::string failed;
  if (MapFileGone(mapFile)) {
    // The global bookmarks still go into the settings file.
    if (!bookmarks_.Save(std::string(), settingsFile_, &failed)) ReportFailedSave(settingsFile_);
    if (reportMapFile) ReportFailedSave(mapFile);
    return mapFile;
  }
  const auto links = [this](orv::IniDocument& map) { orv::PutMapLinks(links_.store.MapLinks(), map); };
  if (orv::SaveBookmarks(bookmarks_.Lists(), mapFile, settingsFile_, links, &failed)) return {};
  if (failed.empty()) failed = settingsFile_;
  if (reportMapFile || failed != mapFile) ReportFailedSave(failed);
  return failed;
}

bool TForm1::LeaveCurrentMap() {
  // Control points placed on this map and not saved would be gone with it.
  if (calibration_ && !calibration_->MayLeaveMap()) return false;
  const std::string map = CurrentMapFile();
  if (map.empty() || SaveMapAndBookmarksTo(map, false) != map) return true;
  // Only the map's own bookmarks, its map links and the global bookmarks hidden on it live in its
  // file; without any of them leaving loses nothing, and the failure is only told.
  const auto hiddenHere = [](const std::string& record) {
    return orv::FieldView(orv::GlobalBookmarkFields.visibility, record) != orv::VisibleValue;
  };
  if (CurrentMapBookmarks().empty() && MapLinks().empty() &&
      std::none_of(GlobalBookmarks().begin(), GlobalBookmarks().end(), hiddenHere)) {
    ReportFailedSave(map);
    return true;
  }
  return dialogs_.Ask(this,
                      QStringLiteral("Unable to save '") + orv::PathText(map) +
                          QStringLiteral("'. Open the other map all the same? The changes to this map's "
                                         "bookmarks and map links would be lost."));
}

// A save that reaches its files ends the loss the user was told about: the next failure of the same
// file is a new loss and is reported again.
void TForm1::SaveBookmarksNow() {
  if (!SaveBookmarksTo(CurrentMapFile())) return;
  reportedSaves_.erase(CurrentMapFile());
  reportedSaves_.erase(settingsFile_);
}

void TForm1::SaveMapLinksNow() {
  const std::string& map = CurrentMapFile();
  if (map.empty()) return;
  if (!MapFileGone(map) && links_.store.Save(map))
    reportedSaves_.erase(map);
  else
    ReportFailedSave(map);
}
