#pragma once
// StartFolderDialogs: the program's dialogs, with every file dialog opening where the user is likely
// to look: in the current map's folder, or, while no map is loaded, in the folder a file was last
// chosen from. A dialog that asks for a folder of its own (the map link's, at the last link's map)
// keeps it. Message boxes and the font dialog pass through unchanged.
#include <functional>
#include <string>

#include "view/dialogs.h"

namespace orv {

class StartFolderDialogs : public Dialogs {
 public:
  // inner shows the dialogs and must outlive this object. currentMap gives the current map info
  // file's path (file system encoding; empty while no map is loaded). The last folder is read from
  // and written to settingsFile's "Options" / "LastFolder"; with an empty settingsFile it is kept
  // for this run only.
  StartFolderDialogs(Dialogs& inner, std::function<std::string()> currentMap, std::string settingsFile);

  void ShowMessage(QWidget* parent, const QString& text) override;
  std::optional<QString> OpenFile(QWidget* parent, const OpenFileRequest& request) override;
  std::optional<QString> SaveFile(QWidget* parent, const OpenFileRequest& request) override;
  std::optional<int> Choose(QWidget* parent, const QString& question, const QStringList& choices) override;
  std::optional<BookmarkFontSpec> ChooseFont(QWidget* parent, const BookmarkFontSpec& font) override;
  bool Ask(QWidget* parent, const QString& text) override;
  std::optional<std::vector<QString>> ChooseFolders(QWidget* parent, const QString& title,
                                                    const QString& startDirectory) override;

 private:
  // The folder a dialog starts in when it names none: the current map's, else the last one used.
  QString StartFolder() const;
  // A file or folder was chosen: its folder is the next dialog's starting place.
  void Chosen(const std::string& folder);

  Dialogs& inner_;
  std::function<std::string()> currentMap_;
  std::string settingsFile_;
  std::string lastFolder_;  // file system encoding
};

}  // namespace orv
