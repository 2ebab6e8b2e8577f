#include "view/qtdialogs.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>

#include "core/mapinfo.h"

namespace orv {

void QtDialogs::ShowMessage(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Information, QString::fromLatin1(ProgramTitle), text, QMessageBox::Ok, parent);
  box.exec();
}

std::optional<QString> QtDialogs::OpenFile(QWidget* parent, const OpenFileRequest& request) {
  QFileDialog dialog(parent, request.title, request.startDirectory, request.filter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDefaultSuffix("dem");
  if (!request.initialName.isEmpty() && request.initialName != "*.dem")
    dialog.selectFile(request.initialName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first();
}

std::optional<BookmarkFontSpec> QtDialogs::ChooseFont(QWidget* parent, const BookmarkFontSpec& font) {
  // A plain font dialog without colour; the colour passes through unchanged.
  QFont start(QString::fromLatin1(font.name.c_str()), font.size);
  start.setBold(font.bold);
  start.setItalic(font.italic);
  start.setUnderline(font.underline);
  start.setStrikeOut(font.strikeout);
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, start, parent);
  if (!ok) return std::nullopt;
  BookmarkFontSpec result = font;
  result.name = chosen.family().toLatin1().toStdString();
  result.size = chosen.pointSize() > 0 ? chosen.pointSize() : font.size;
  result.bold = chosen.bold();
  result.italic = chosen.italic();
  result.underline = chosen.underline();
  result.strikeout = chosen.strikeOut();
  return result;
}

}  // namespace orv
