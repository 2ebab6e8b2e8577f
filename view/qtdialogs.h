#pragma once
// The dialogs of the running program: Qt's message box, file dialog and font dialog.
#include <memory>

#include "view/dialogs.h"

class QMessageBox;

namespace orv {

// The text a message box shows: whole up to MaxMessageBoxText characters; a longer one (a value of
// megabytes quoted from a damaged file) keeps its beginning and its end around " ... ", since laying
// out megabytes of text would freeze the program for minutes.
inline constexpr qsizetype MaxMessageBoxText = 5000;
QString MessageBoxText(const QString& text);

// The program's message box for text, as ShowMessage shows it: an information box with the program's
// title and one OK button. Not yet shown.
std::unique_ptr<QMessageBox> NewMessageBox(QWidget* parent, const QString& text);

class QtDialogs : public Dialogs {
 public:
  void ShowMessage(QWidget* parent, const QString& text) override;
  std::optional<QString> OpenFile(QWidget* parent, const OpenFileRequest& request) override;
  std::optional<QString> SaveFile(QWidget* parent, const OpenFileRequest& request) override;
  std::optional<int> Choose(QWidget* parent, const QString& question, const QStringList& choices) override;
  std::optional<BookmarkFontSpec> ChooseFont(QWidget* parent, const BookmarkFontSpec& font) override;
  bool Ask(QWidget* parent, const QString& text) override;
  std::optional<std::vector<QString>> ChooseFolders(QWidget* parent, const QString& title,
                                                   const QString& startDirectory) override;
};

}  // namespace orv
