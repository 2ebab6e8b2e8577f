#include "view/startfolderdialogs.h"

#include <QFile>
#include <QFileInfo>

#include "storage/appsettings.h"

namespace orv {
namespace {

// The folder holding a file, both as paths in the file system's encoding.
std::string FolderOf(const std::string& file) {
  return QFile::encodeName(QFileInfo(QFile::decodeName(QByteArray::fromStdString(file))).absolutePath())
      .toStdString();
}

}  // namespace

StartFolderDialogs::StartFolderDialogs(Dialogs& inner, std::function<std::string()> currentMap,
                                       std::string settingsFile)
    : inner_(inner), currentMap_(std::move(currentMap)), settingsFile_(std::move(settingsFile)) {
  if (!settingsFile_.empty()) lastFolder_ = AppSettings(settingsFile_).LastFolder();
}

void StartFolderDialogs::ShowMessage(QWidget* parent, const QString& text) {
  inner_.ShowMessage(parent, text);
}

std::optional<QString> StartFolderDialogs::OpenFile(QWidget* parent, const OpenFileRequest& request) {
  OpenFileRequest placed = request;
  if (placed.startDirectory.isEmpty()) {
    const std::string map = currentMap_ ? currentMap_() : std::string();
    const std::string folder = map.empty() ? lastFolder_ : FolderOf(map);
    placed.startDirectory = QFile::decodeName(QByteArray::fromStdString(folder));
  }
  std::optional<QString> chosen = inner_.OpenFile(parent, placed);
  if (chosen) {
    lastFolder_ = FolderOf(QFile::encodeName(*chosen).toStdString());
    // A folder that cannot be remembered costs only the next dialog's starting place.
    if (!settingsFile_.empty()) AppSettings(settingsFile_).SetLastFolder(lastFolder_);
  }
  return chosen;
}

std::optional<BookmarkFontSpec> StartFolderDialogs::ChooseFont(QWidget* parent,
                                                               const BookmarkFontSpec& font) {
  return inner_.ChooseFont(parent, font);
}

}  // namespace orv
