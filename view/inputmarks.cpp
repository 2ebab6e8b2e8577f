#include "view/inputmarks.h"

#include <QComboBox>
#include <QLineEdit>

#include "view/text.h"

namespace orv {
namespace {

const QColor kMarkColour(255, 214, 214);  // a light red behind the text, which stays readable
const QString kOutsidePrefix = QStringLiteral("Outside the world: ");
constexpr qsizetype kShownTextLength = 32;  // a pasted paragraph is not repeated whole

QString Quoted(const QString& text) {
  const QString shown = text.size() > kShownTextLength ? text.left(kShownTextLength) + "..." : text;
  return "'" + shown + "'";
}

// Empty when the text is a number. A text reads the same with either default only when it is one.
QString NumberNote(const QString& text, int32_t takenAs, int32_t shownAs) {
  if (PanelNumber(text, 0) == PanelNumber(text, 1)) return {};
  const QString what =
      text.trimmed().isEmpty() ? QStringLiteral("The box is empty") : Quoted(text) + " is not a whole number";
  if (takenAs == shownAs) return what + QString(", so it was taken as %1.").arg(takenAs);
  return what +
         QString(", so it was taken as %1 for the cross and is shown as %2.").arg(takenAs).arg(shownAs);
}

// Empty when the letter is one of the row's two, or left out.
QString LetterNote(const QString& text, const char* first, const char* second) {
  const std::string letter = PanelLetter(text);
  if (letter.empty() || letter == first || letter == second) return {};
  return Quoted(text) + QString(" is neither %1 nor %2, so it was taken as %2.").arg(first, second);
}

}  // namespace

PanelNotes WhereFieldNotes(const CoordinatePanelTexts& texts, int32_t fallback) {
  PanelNotes notes;
  notes.Edit1 = NumberNote(texts.Edit1, fallback, 0);
  notes.Edit2 = NumberNote(texts.Edit2, fallback, 0);
  return notes;
}

PanelNotes SextantFieldNotes(const CoordinatePanelTexts& texts) {
  PanelNotes notes;
  notes.Edit4 = NumberNote(texts.Edit4, 0, 0);
  notes.Edit5 = NumberNote(texts.Edit5, 0, 0);
  notes.Edit6 = NumberNote(texts.Edit6, 0, 0);
  notes.Edit7 = NumberNote(texts.Edit7, 0, 0);
  // A latitude letter other than N reads as south, a longitude letter other than W as east.
  notes.ComboBox1 = LetterNote(texts.ComboBox1, "N", "S");
  notes.ComboBox2 = LetterNote(texts.ComboBox2, "W", "E");
  return notes;
}

QString OutsideWorldText(Point world) {
  return kOutsidePrefix + QString("%1 %2").arg(world.x).arg(world.y);
}

bool IsOutsideWorldText(const QString& text) {
  return text.startsWith(kOutsidePrefix);
}

InputMarks::InputMarks(const std::array<QWidget*, 8>& boxes) : boxes_(boxes) {
  // The user's own change answers the mark; the refreshes that rewrite the boxes clear all marks.
  for (QWidget* box : boxes_) {
    auto unmark = [this, box] { Unmark(box); };
    if (auto* edit = qobject_cast<QLineEdit*>(box))
      QObject::connect(edit, &QLineEdit::textEdited, &receiver_, unmark);
    if (auto* combo = qobject_cast<QComboBox*>(box)) {
      if (combo->lineEdit()) QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, &receiver_, unmark);
      QObject::connect(combo, &QComboBox::activated, &receiver_, unmark);
    }
  }
}

void InputMarks::Show(const PanelNotes& notes) {
  const QString* texts[] = {&notes.Edit1, &notes.Edit2, &notes.Edit4,     &notes.Edit5,
                            &notes.Edit6, &notes.Edit7, &notes.ComboBox1, &notes.ComboBox2};
  for (std::size_t i = 0; i < boxes_.size(); ++i) {
    if (texts[i]->isEmpty()) {
      Unmark(boxes_[i]);
    } else {
      Mark(boxes_[i], *texts[i]);
    }
  }
}

void InputMarks::Clear() {
  for (QWidget* box : boxes_) Unmark(box);
}

void InputMarks::Mark(QWidget* box, const QString& note) {
  if (!Marked(box)) saved_[box] = {box->palette(), box->toolTip()};
  QPalette marked = saved_[box].palette;
  marked.setColor(QPalette::Base, kMarkColour);
  box->setPalette(marked);
  box->setToolTip(PlainTip(note));
}

void InputMarks::Unmark(QWidget* box) {
  const auto it = saved_.find(box);
  if (it == saved_.end()) return;
  box->setPalette(it->second.palette);
  box->setToolTip(it->second.toolTip);
  saved_.erase(it);
}

}  // namespace orv
