// The bookmark font dialog: what it shows for a font, and what the user's choices in it give.
#include "bookmarks/fontdialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <functional>

#include "bookmarks/bookmarkdraw.h"

namespace orv {
namespace {

// Runs act on the modal dialog of type D once it is showing.
template <typename D>
void WhenShown(std::function<void(D*)> act) {
  QTimer::singleShot(0, [act] {
    for (int i = 0; i < 200; ++i) {
      if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
        act(dialog);
        return;
      }
      QTest::qWait(10);
    }
    ADD_FAILURE() << "the dialog did not show";
  });
}

void Press(QDialog* dialog, QDialogButtonBox::StandardButton which) {
  auto* box = dialog->findChild<QDialogButtonBox*>();
  ASSERT_TRUE(box);
  QTest::mouseClick(box->button(which), Qt::LeftButton);
}

TEST(BookmarkFontDialog, ShowsAndGivesBackEveryPartOfAFont) {
  const BookmarkFontSpec fonts[] = {
      {"Arial", 10, 0, true, false, false, false},
      {"Times New Roman", 14, 0x123456, false, true, true, false},
      {"Courier New", 8, 255, true, true, false, true},
      {"DejaVu Sans", 72, 0xFFFFFF, false, false, true, true},
  };
  BookmarkFontDialog dialog;
  for (const auto& font : fonts) {
    SCOPED_TRACE(font.name);
    dialog.SetFontSpec(font);
    EXPECT_EQ(dialog.FaceBox()->currentText().toStdString(), font.name);
    EXPECT_EQ(dialog.SizeBox()->value(), font.size);
    EXPECT_EQ(dialog.UnderlineBox()->isChecked(), font.underline);
    EXPECT_EQ(dialog.StrikeoutBox()->isChecked(), font.strikeout);
    EXPECT_EQ(dialog.FontSpec(), font);
  }
}

TEST(BookmarkFontDialog, UserChoicesMakeTheFontAndCancelKeepsNothing) {
  const BookmarkFontSpec start{"Arial", 10, 0, true, false, false, false};
  WhenShown<BookmarkFontDialog>([](BookmarkFontDialog* d) {
    d->FaceBox()->lineEdit()->selectAll();
    QTest::keyClicks(d->FaceBox()->lineEdit(), "Courier New");
    d->SizeBox()->selectAll();
    QTest::keyClicks(d->SizeBox(), "16");
    d->StyleBox()->setCurrentIndex(BookmarkFontDialog::Italic);
    QTest::mouseClick(d->UnderlineBox(), Qt::LeftButton, {}, QPoint(5, d->UnderlineBox()->height() / 2));
    // The colour comes from the colour dialog behind the colour button.
    WhenShown<QColorDialog>([d](QColorDialog* colors) {
      colors->setCurrentColor(QColor(0x12, 0x34, 0x56));
      Press(colors, QDialogButtonBox::Ok);
      QTimer::singleShot(0, [d] { Press(d, QDialogButtonBox::Ok); });
    });
    QTest::mouseClick(d->ColorButton(), Qt::LeftButton);
  });
  const auto chosen = ChooseBookmarkFont(nullptr, start);
  ASSERT_TRUE(chosen);
  EXPECT_EQ(*chosen, (BookmarkFontSpec{"Courier New", 16, 0x563412, false, true, true, false}));

  WhenShown<BookmarkFontDialog>([](BookmarkFontDialog* d) {
    QTest::mouseClick(d->StrikeoutBox(), Qt::LeftButton, {}, QPoint(5, d->StrikeoutBox()->height() / 2));
    Press(d, QDialogButtonBox::Cancel);
  });
  EXPECT_FALSE(ChooseBookmarkFont(nullptr, start));
}

// The face goes into every new bookmark's font record: what a record cannot hold is refused as it
// is typed, and a listed face it cannot hold gives the default face.
TEST(BookmarkFontDialog, TheFaceBoxTakesOnlyWhatAFontRecordCanHold) {
  BookmarkFontDialog dialog;
  QLineEdit* face = dialog.FaceBox()->lineEdit();
  face->clear();
  QTest::keyClicks(face, QString::fromUtf8("Ari\u00B3al"));
  EXPECT_EQ(face->text(), "Arial");
  EXPECT_EQ(dialog.FontSpec().name, "Arial");
  dialog.FaceBox()->addItem(QString::fromUtf8("Noto Sans \u4E2D\u6587"));
  dialog.FaceBox()->setCurrentIndex(dialog.FaceBox()->count() - 1);
  EXPECT_EQ(dialog.FontSpec().name, BookmarkFontSpec{}.name);
}

TEST(FontColours, StoredValuesHoldRedInTheLowestByte) {
  EXPECT_EQ(ColorOfFontValue(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(ColorOfFontValue(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(ColorOfFontValue(static_cast<int32_t>(0xFF000008)), QColor(Qt::black));  // a system colour
  EXPECT_EQ(FontValueOfColor(QColor(0x12, 0x34, 0x56)), 0x563412);
}

}  // namespace
}  // namespace orv
