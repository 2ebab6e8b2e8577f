#pragma once
// The font dialog of the bookmark font set-up: face, style, size, colour, underline and strikeout,
// with a sample of the result.
#include <QDialog>
#include <optional>

#include "storage/bookmarkfont.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace orv {

class BookmarkFontDialog : public QDialog {
  Q_OBJECT

 public:
  explicit BookmarkFontDialog(QWidget* parent = nullptr);

  void SetFontSpec(const BookmarkFontSpec& font);
  // The font as the controls now show it.
  BookmarkFontSpec FontSpec() const;

  // The style choices, in the order of the style box.
  enum Style { Regular = 0, Italic = 1, Bold = 2, BoldItalic = 3 };

  QComboBox* FaceBox() const { return face_; }
  QComboBox* StyleBox() const { return style_; }
  QSpinBox* SizeBox() const { return size_; }
  QCheckBox* UnderlineBox() const { return underline_; }
  QCheckBox* StrikeoutBox() const { return strikeout_; }
  QPushButton* ColorButton() const { return colorButton_; }

 private:
  void ChooseColor();
  void ShowColor();
  void UpdateSample();

  QComboBox* face_;
  QComboBox* style_;
  QSpinBox* size_;
  QCheckBox* underline_;
  QCheckBox* strikeout_;
  QPushButton* colorButton_;
  QLabel* sample_;
  int32_t color_ = 0;  // red in the lowest byte, then green, then blue
};

// Shows the dialog modally, starting from font. The chosen font, or nothing when it was cancelled.
std::optional<BookmarkFontSpec> ChooseBookmarkFont(QWidget* parent, const BookmarkFontSpec& font);

}  // namespace orv
