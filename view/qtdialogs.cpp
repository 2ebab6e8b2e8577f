#include "view/qtdialogs.h"

#include <QAbstractItemView>
#include <QFileDialog>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeView>

#include "bookmarks/fontdialog.h"
#include "core/mapinfo.h"

namespace orv {
namespace {

// The extension of a filter's first pattern: "dem" for "Orvantis Map Info Files (*.dem)".
QString FirstSuffix(const QString& filter) {
  const auto match = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
  return match.hasMatch() ? match.captured(1) : QString();
}

// Messages and questions quote names, notes and paths as they stand, never as markup.
void ShowAsTyped(QMessageBox& box) {
  box.setTextFormat(Qt::PlainText);
}

}  // namespace

QString MessageBoxText(const QString& text) {
  if (text.size() <= MaxMessageBoxText) return text;
  const QString gap = QStringLiteral(" ... ");
  const qsizetype keep = (MaxMessageBoxText - gap.size()) / 2;
  return text.left(keep) + gap + text.right(keep);
}

std::unique_ptr<QMessageBox> NewMessageBox(QWidget* parent, const QString& text) {
  auto box = std::make_unique<QMessageBox>(QMessageBox::Information, QString::fromLatin1(ProgramTitle),
                                           MessageBoxText(text), QMessageBox::Ok, parent);
  ShowAsTyped(*box);
  return box;
}

void QtDialogs::ShowMessage(QWidget* parent, const QString& text) {
  NewMessageBox(parent, text)->exec();
}

std::optional<QString> QtDialogs::OpenFile(QWidget* parent, const OpenFileRequest& request) {
  QFileDialog dialog(parent, request.title, request.startDirectory, request.filter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDefaultSuffix(FirstSuffix(request.filter));
  if (!request.initialName.isEmpty() && request.initialName != "*.dem")
    dialog.selectFile(request.initialName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first();
}

std::optional<QString> QtDialogs::SaveFile(QWidget* parent, const OpenFileRequest& request) {
  QFileDialog dialog(parent, request.title, request.startDirectory, request.filter);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  // A name typed without an extension gets the one of the filter chosen.
  dialog.setDefaultSuffix(FirstSuffix(request.filter));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog](const QString& filter) { dialog.setDefaultSuffix(FirstSuffix(filter)); });
  if (!request.initialName.isEmpty()) dialog.selectFile(request.initialName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first();
}

std::optional<int> QtDialogs::Choose(QWidget* parent, const QString& question, const QStringList& choices) {
  QMessageBox box(QMessageBox::Question, QString::fromLatin1(ProgramTitle), question, QMessageBox::Cancel,
                  parent);
  ShowAsTyped(box);
  std::vector<QAbstractButton*> buttons;
  for (const QString& choice : choices) buttons.push_back(box.addButton(choice, QMessageBox::AcceptRole));
  box.exec();
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (box.clickedButton() == buttons[i]) return static_cast<int>(i);
  }
  return std::nullopt;
}

std::optional<BookmarkFontSpec> QtDialogs::ChooseFont(QWidget* parent, const BookmarkFontSpec& font) {
  // Face, style, size, colour, underline and strikeout.
  return ChooseBookmarkFont(parent, font);
}

bool QtDialogs::Ask(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, QString::fromLatin1(ProgramTitle), MessageBoxText(text),
                  QMessageBox::Yes | QMessageBox::No, parent);
  ShowAsTyped(box);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

std::optional<std::vector<QString>> QtDialogs::ChooseFolders(QWidget* parent, const QString& title,
                                                             const QString& startDirectory) {
  QFileDialog dialog(parent, title, startDirectory);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  // The platform's own folder dialog takes a single folder; Qt's own lets the lists select several
  // with Ctrl or Shift.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  for (auto* view : dialog.findChildren<QAbstractItemView*>())
    if (qobject_cast<QListView*>(view) || qobject_cast<QTreeView*>(view))
      view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  return std::vector<QString>(chosen.begin(), chosen.end());
}

}  // namespace orv
