#pragma once
// The notes box of the bookmarks window: a plain multi-line edit box that refuses any character a
// stored record cannot hold (the field separator, and characters outside the 8-bit file encoding),
// whether typed, pasted, dropped or composed, so that notes are never changed behind the user's back
// when they are saved.
#include <QPlainTextEdit>
#include <QValidator>

namespace orv {

// True when every character of text can be stored in a record (line breaks included).
bool StorableNotesText(const QString& text);

// The bookmark name box: refuses, typed or pasted, text with a character a record cannot hold or a
// control character (a name is one line). Nothing is dropped silently: refused text is not taken.
class BookmarkNameValidator : public QValidator {
  Q_OBJECT
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
};

class NotesEdit : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit NotesEdit(QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
};

}  // namespace orv
