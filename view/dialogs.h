#pragma once
// Message boxes, file dialogs and the font dialog, reached through one interface so that tests can
// answer them and read what the user would have been told.
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "storage/bookmarkfont.h"

class QWidget;

namespace orv {

struct OpenFileRequest {
  QString title;          // "Load Map", "Link to Map"
  QString filter;         // "Orvantis Map Info Files (*.dem)"
  QString initialName;    // "*.dem"
  QString startDirectory; // where the dialog opens; empty for the default
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A plain information box with the program's title and one OK button.
  virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
  // The full path of an existing file the user chose, or nothing when cancelled.
  virtual std::optional<QString> OpenFile(QWidget* parent, const OpenFileRequest& request) = 0;
  // The full path of a file to write, with the extension of the chosen filter when the user typed
  // none; nothing when cancelled.
  virtual std::optional<QString> SaveFile(QWidget* parent, const OpenFileRequest& request) = 0;
  // Asks question with one button per choice and a Cancel button; the index of the choice, or nothing
  // when cancelled.
  virtual std::optional<int> Choose(QWidget* parent, const QString& question, const QStringList& choices) = 0;
  // Shows the font dialog (face, style, size, colour, underline, strikeout) starting from font.
  // Returns the chosen font, or nothing when cancelled.
  virtual std::optional<BookmarkFontSpec> ChooseFont(QWidget* parent, const BookmarkFontSpec& font) = 0;
  // A question with the program's title and the buttons Yes and No; true for Yes. Unanswered is No.
  virtual bool Ask(QWidget* parent, const QString& text) {
    (void)parent, (void)text;
    return false;
  }
  // One or more existing folders the user chose, starting in startDirectory, or nothing when
  // cancelled.
  virtual std::optional<std::vector<QString>> ChooseFolders(QWidget* parent, const QString& title,
                                                            const QString& startDirectory) {
    (void)parent, (void)title, (void)startDirectory;
    return std::nullopt;
  }
};

}  // namespace orv
