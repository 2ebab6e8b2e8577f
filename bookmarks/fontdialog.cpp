#include "bookmarks/fontdialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "bookmarks/bookmarkdraw.h"
#include "view/storabletext.h"
#include "view/text.h"

namespace orv {

BookmarkFontDialog::BookmarkFontDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Font"));

  face_ = new QComboBox(this);
  face_->setEditable(true);
  face_->setInsertPolicy(QComboBox::NoInsert);
  // The face goes into each new bookmark's font record: the field separator would shift its fields.
  face_->setValidator(new StorableTextValidator(face_));
  face_->addItems(QFontDatabase::families());
  face_->setObjectName("FaceBox");

  style_ = new QComboBox(this);
  style_->addItems({tr("Regular"), tr("Italic"), tr("Bold"), tr("Bold Italic")});
  style_->setObjectName("StyleBox");

  size_ = new QSpinBox(this);
  size_->setRange(1, 1000);
  size_->setObjectName("SizeBox");

  underline_ = new QCheckBox(tr("&Underline"), this);
  strikeout_ = new QCheckBox(tr("Stri&keout"), this);
  colorButton_ = new QPushButton(this);
  colorButton_->setObjectName("ColorButton");

  auto* effects = new QGroupBox(tr("Effects"), this);
  auto* effectsLayout = new QVBoxLayout(effects);
  effectsLayout->addWidget(strikeout_);
  effectsLayout->addWidget(underline_);
  auto* colorRow = new QHBoxLayout;
  auto* colorLabel = new QLabel(tr("&Color:"), effects);
  colorLabel->setBuddy(colorButton_);
  colorRow->addWidget(colorLabel);
  colorRow->addWidget(colorButton_);
  effectsLayout->addLayout(colorRow);

  auto* sampleBox = new QGroupBox(tr("Sample"), this);
  sample_ = new QLabel(QStringLiteral("AaBbYyZz"), sampleBox);
  sample_->setAlignment(Qt::AlignCenter);
  sample_->setMinimumSize(160, 50);
  auto* sampleLayout = new QVBoxLayout(sampleBox);
  sampleLayout->addWidget(sample_);

  auto* form = new QFormLayout;
  form->addRow(tr("&Font:"), face_);
  form->addRow(tr("Font st&yle:"), style_);
  form->addRow(tr("&Size:"), size_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* lower = new QHBoxLayout;
  lower->addWidget(effects);
  lower->addWidget(sampleBox, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(lower);
  layout->addWidget(buttons);

  connect(colorButton_, &QPushButton::clicked, this, &BookmarkFontDialog::ChooseColor);
  connect(face_, &QComboBox::currentTextChanged, this, &BookmarkFontDialog::UpdateSample);
  connect(style_, &QComboBox::currentIndexChanged, this, &BookmarkFontDialog::UpdateSample);
  connect(size_, &QSpinBox::valueChanged, this, &BookmarkFontDialog::UpdateSample);
  connect(underline_, &QCheckBox::toggled, this, &BookmarkFontDialog::UpdateSample);
  connect(strikeout_, &QCheckBox::toggled, this, &BookmarkFontDialog::UpdateSample);

  SetFontSpec(BookmarkFontSpec{});
}

void BookmarkFontDialog::SetFontSpec(const BookmarkFontSpec& font) {
  face_->setEditText(FromBytes(font.name));
  style_->setCurrentIndex((font.bold ? Bold : Regular) + (font.italic ? Italic : Regular));
  size_->setValue(font.size);
  underline_->setChecked(font.underline);
  strikeout_->setChecked(font.strikeout);
  color_ = font.color;
  ShowColor();
  UpdateSample();
}

BookmarkFontSpec BookmarkFontDialog::FontSpec() const {
  BookmarkFontSpec font;
  // Only a name a font record can hold is taken (a listed face may not be one); anything else keeps a
  // usable name.
  const QString face = face_->currentText().trimmed();
  if (!face.isEmpty() && FitsInRecord(face)) font.name = RecordBytes(face);
  font.size = size_->value();
  font.color = color_;
  const int style = style_->currentIndex();
  font.bold = style == Bold || style == BoldItalic;
  font.italic = style == Italic || style == BoldItalic;
  font.underline = underline_->isChecked();
  font.strikeout = strikeout_->isChecked();
  return font;
}

void BookmarkFontDialog::ChooseColor() {
  const QColor chosen = QColorDialog::getColor(ColorOfFontValue(color_), this, tr("Color"));
  if (!chosen.isValid()) return;
  color_ = FontValueOfColor(chosen);
  ShowColor();
  UpdateSample();
}

void BookmarkFontDialog::ShowColor() {
  const QColor color = ColorOfFontValue(color_);
  colorButton_->setText(color.name());
  QPixmap swatch(16, 16);
  swatch.fill(color);
  colorButton_->setIcon(QIcon(swatch));
}

void BookmarkFontDialog::UpdateSample() {
  const BookmarkFontSpec chosen = FontSpec();
  QFont font(FromBytes(chosen.name));
  font.setPointSize(std::min(chosen.size, 72));  // the sample shows large sizes at 72 points
  font.setBold(chosen.bold);
  font.setItalic(chosen.italic);
  font.setUnderline(chosen.underline);
  font.setStrikeOut(chosen.strikeout);
  sample_->setFont(font);
  QPalette palette = sample_->palette();
  palette.setColor(QPalette::WindowText, ColorOfFontValue(chosen.color));
  sample_->setPalette(palette);
}

std::optional<BookmarkFontSpec> ChooseBookmarkFont(QWidget* parent, const BookmarkFontSpec& font) {
  BookmarkFontDialog dialog(parent);
  dialog.SetFontSpec(font);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.FontSpec();
}

}  // namespace orv
