#include "view/startfolderdialogs.h"

#include <QFileInfo>

#include "storage/appsettings.h"
#include "view/text.h"

namespace orv {
namespace {

// The folder holding a file, both as paths in the file system's encoding.
std::string FolderOf(const std::string& file) {
  return PathBytes(QFileInfo(PathText(file)).absolutePath());
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

QString StartFolderDialogs::StartFolder() const {
  const std::string map = currentMap_ ? currentMap_() : std::string();
  return PathText(map.empty() ? lastFolder_ : FolderOf(map));
}

void StartFolderDialogs::Chosen(const std::string& folder) {
  lastFolder_ = folder;
  // A folder that cannot be remembered costs only the next dialog's starting place.
  if (!settingsFile_.empty()) AppSettings(settingsFile_).SetLastFolder(lastFolder_);
}

std::optional<QString> StartFolderDialogs::OpenFile(QWidget* parent, const OpenFileRequest& request) {
  OpenFileRequest placed = request;
  if (placed.startDirectory.isEmpty()) placed.startDirectory = StartFolder();
  std::optional<QString> chosen = inner_.OpenFile(parent, placed);
  if (chosen) Chosen(FolderOf(PathBytes(*chosen)));
  return chosen;
}

std::optional<QString> StartFolderDialogs::SaveFile(QWidget* parent, const OpenFileRequest& request) {
  OpenFileRequest placed = request;
  if (placed.startDirectory.isEmpty()) placed.startDirectory = StartFolder();
  std::optional<QString> chosen = inner_.SaveFile(parent, placed);
  if (chosen) Chosen(FolderOf(PathBytes(*chosen)));
  return chosen;
}

std::optional<int> StartFolderDialogs::Choose(QWidget* parent, const QString& question,
                                              const QStringList& choices) {
  return inner_.Choose(parent, question, choices);
}

bool StartFolderDialogs::Ask(QWidget* parent, const QString& text) {
  return inner_.Ask(parent, text);
}

std::optional<std::vector<QString>> StartFolderDialogs::ChooseFolders(QWidget* parent, const QString& title,
                                                                      const QString& startDirectory) {
  return inner_.ChooseFolders(parent, title, startDirectory.isEmpty() ? StartFolder() : startDirectory);
}

std::optional<BookmarkFontSpec> StartFolderDialogs::ChooseFont(QWidget* parent,
                                                               const BookmarkFontSpec& font) {
  return inner_.ChooseFont(parent, font);
}

}  // namespace orv
