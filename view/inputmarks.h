#pragma once
// Clear words for input that the coordinate panels read with a default. The panels' handlers keep
// their results (text that is not a number counts as the handler's default), but the user is told:
// a box whose text was not taken as typed gets a mark and a tooltip saying how it was taken, and a
// point outside the world is named in the status line.
#include <QObject>
#include <QPalette>
#include <QString>
#include <array>
#include <cstdint>
#include <map>
#include <optional>

#include "core/geometry.h"
#include "view/coordinatepanels.h"

class QWidget;

namespace orv {

// For each box of the two panels, the tooltip telling how its text was taken; empty where the text
// was read as typed. Same fields as the panels' texts.
using PanelNotes = CoordinatePanelTexts;

// The ".where" boxes as read by a handler whose default is fallback (the panels afterwards show 0 for
// a box that is not a number, as their refresh reads with 0).
PanelNotes WhereFieldNotes(const CoordinatePanelTexts& texts, int32_t fallback);
// The sextant boxes as read for a reading: numbers default to 0; a letter other than the two of its
// row counts as the second one (S, E). An empty letter is the zero line's own and is not noted.
PanelNotes SextantFieldNotes(const CoordinatePanelTexts& texts);

// "Outside the world: 5121 100", for the status line.
QString OutsideWorldText(Point world);
bool IsOutsideWorldText(const QString& text);

// The marks on the panels' boxes. A mark goes when the user edits its box, or at the next refresh.
class InputMarks {
 public:
  // The boxes in the order of the fields of CoordinatePanelTexts (Edit1, Edit2, Edit4, Edit5, Edit6,
  // Edit7, ComboBox1, ComboBox2): line edits and editable combo boxes.
  explicit InputMarks(const std::array<QWidget*, 8>& boxes);

  // Marks every box whose note is not empty and takes the marks off the others.
  void Show(const PanelNotes& notes);
  void Clear();
  bool Marked(const QWidget* box) const { return saved_.count(box) != 0; }

 private:
  struct Saved {
    QPalette palette;
    QString toolTip;
  };
  void Mark(QWidget* box, const QString& note);
  void Unmark(QWidget* box);

  std::array<QWidget*, 8> boxes_;
  std::map<const QWidget*, Saved> saved_;  // each marked box's own look
  // The boxes' signals reach this object only while it lives: the window frees it before the boxes,
  // and a box losing the focus then still signals.
  QObject receiver_;
};

}  // namespace orv
