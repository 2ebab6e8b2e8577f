// Positions through the clipboard: a position pasted from the game's chat or journal moves the cross
// through its panel's Update, and a map point is copied as one line holding both of its forms.
#include <QAbstractSpinBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "core/positiontext.h"
#include "ui_mainwindow.h"
#include "view/mainwindow.h"
#include "view/positionfollowing.h"
#include "view/text.h"

namespace {

// True when the widget takes typed text, so that Ctrl+V and Ctrl+C are its own.
bool TakesText(const QWidget* widget) {
  if (!widget) return false;
  if (const auto* box = qobject_cast<const QComboBox*>(widget)) return box->isEditable();
  return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QTextEdit*>(widget) ||
         qobject_cast<const QPlainTextEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget);
}

}  // namespace

void TForm1::PastePosition() {
  const auto position = orv::PositionIn(QGuiApplication::clipboard()->text());
  if (!position) {
    dialogs().ShowMessage(this, orv::FromBytes(orv::NoPositionMessage));
    return;
  }
  ShowPosition(*position);
}

void TForm1::CopyPosition(orv::Point world) {
  const QString text = QString::fromStdString(orv::PositionCopyText(world));
  // A copied point is for pasting elsewhere; a followed clipboard does not move the cross to it.
  following_->NoteOwnCopy(text);
  QGuiApplication::clipboard()->setText(text);
}

void TForm1::CopyPosition1Click() {
  CopyPosition(PopupWorldPoint());
}

bool TForm1::ClipboardKey(int key, Qt::KeyboardModifiers modifiers) {
  if (!(modifiers & Qt::ControlModifier) || (modifiers & (Qt::AltModifier | Qt::ShiftModifier))) return false;
  QWidget* focused = QApplication::focusWidget();
  if (key == Qt::Key_V && !TakesText(focused)) {
    PastePosition();
    return true;
  }
  // The cross's world point, when the map area has the keyboard.
  if (key == Qt::Key_C && focused == ui->PaintBox1) {
    if (const auto world = Viewport().CrossWorld(MapCorners())) CopyPosition(*world);
    return true;
  }
  return false;
}
