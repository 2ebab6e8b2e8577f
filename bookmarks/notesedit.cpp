#include "bookmarks/notesedit.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextDocument>

#include "view/text.h"

namespace orv {

bool StorableNotesText(const QString& text) {
  for (QChar ch : text) {
    // The box hands its text over with "\n" line ends; the paragraph separator is how it keeps them.
    if (ch == QChar::ParagraphSeparator || ch == QChar::LineSeparator) continue;
    if (!StorableChar(ch)) return false;
  }
  return true;
}

NotesEdit::NotesEdit(QWidget* parent) : QPlainTextEdit(parent) {}

QString NotesEdit::Text() const {
  QString text = document()->toRawText();
  for (QChar& ch : text)
    if (ch == QChar::ParagraphSeparator || ch == QChar::LineSeparator) ch = u'\n';
  return text;
}

void NotesEdit::keyPressEvent(QKeyEvent* event) {
  if (!event->text().isEmpty() && !StorableNotesText(event->text())) {
    event->accept();
    QApplication::beep();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

void NotesEdit::inputMethodEvent(QInputMethodEvent* event) {
  if (!StorableNotesText(event->commitString())) {
    event->accept();
    QApplication::beep();
    return;
  }
  QPlainTextEdit::inputMethodEvent(event);
}

bool NotesEdit::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasText() && StorableNotesText(source->text());
}

void NotesEdit::insertFromMimeData(const QMimeData* source) {
  // Only plain text is taken, and only when all of it can be stored.
  if (!source->hasText() || !StorableNotesText(source->text())) {
    QApplication::beep();
    return;
  }
  insertPlainText(source->text());
}

}  // namespace orv
