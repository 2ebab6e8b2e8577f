#include "view/qtdialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "bookmarks/fontdialog.h"
#include "core/mapinfo.h"

namespace orv {

QString MessageBoxText(const QString& text) {
  if (text.size() <= MaxMessageBoxText) return text;
  const QString gap = QStringLiteral(" ... ");
  const qsizetype keep = (MaxMessageBoxText - gap.size()) / 2;
  return text.left(keep) + gap + text.right(keep);
}

std::unique_ptr<QMessageBox> NewMessageBox(QWidget* parent, const QString& text) {
  return std::make_unique<QMessageBox>(QMessageBox::Information, QString::fromLatin1(ProgramTitle),
                                       MessageBoxText(text), QMessageBox::Ok, parent);
}

void QtDialogs::ShowMessage(QWidget* parent, const QString& text) {
  NewMessageBox(parent, text)->exec();
}

std::optional<QString> QtDialogs::OpenFile(QWidget* parent, const OpenFileRequest& request) {
  QFileDialog dialog(parent, request.title, request.startDirectory, request.filter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // A map name typed without its extension finds the map info file; other files keep their names.
  if (request.filter.contains("*.dem")) dialog.setDefaultSuffix("dem");
  if (!request.initialName.isEmpty() && request.initialName != "*.dem")
    dialog.selectFile(request.initialName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first();
}

std::optional<BookmarkFontSpec> QtDialogs::ChooseFont(QWidget* parent, const BookmarkFontSpec& font) {
  // Face, style, size, colour, underline and strikeout.
  return ChooseBookmarkFont(parent, font);
}

}  // namespace orv
