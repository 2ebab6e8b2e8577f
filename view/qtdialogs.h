#pragma once
// The dialogs of the running program: Qt's message box, file dialog and font dialog.
#include "view/dialogs.h"

namespace orv {

class QtDialogs : public Dialogs {
 public:
  void ShowMessage(QWidget* parent, const QString& text) override;
  std::optional<QString> OpenFile(QWidget* parent, const OpenFileRequest& request) override;
  std::optional<BookmarkFontSpec> ChooseFont(QWidget* parent, const BookmarkFontSpec& font) override;
};

}  // namespace orv
