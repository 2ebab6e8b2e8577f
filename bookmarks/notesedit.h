#pragma once
// The notes box of the bookmarks window: a plain multi-line edit box that refuses any character a
// stored record cannot hold (the field separator, and characters outside the 8-bit file encoding),
// whether typed, pasted, dropped or composed, so that notes are never changed behind the user's back
// when they are saved.
#include <QPlainTextEdit>

namespace orv {

// True when every character of text can be stored in a record (line breaks included).
bool StorableNotesText(const QString& text);

class NotesEdit : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit NotesEdit(QWidget* parent = nullptr);
  // The text as typed, lines ended by "\n". (toPlainText would also turn no-break spaces into plain
  // ones, and the notes would change by merely being shown.)
  QString Text() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
};

}  // namespace orv
