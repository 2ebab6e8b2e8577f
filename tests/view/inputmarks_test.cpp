// Clear words for input read with a default: the notes for each box, the marks on the real panels,
// and the status line's word for a point outside the world.
#include "view/inputmarks.h"

#include <QApplication>
#include <QComboBox>

#include "mainwindow_fixture.h"

namespace orv::testing {
namespace {

CoordinatePanelTexts Where(const char* x, const char* y) {
  CoordinatePanelTexts texts;
  texts.Edit1 = x;
  texts.Edit2 = y;
  return texts;
}

CoordinatePanelTexts Sextant(const char* latDeg, const char* latMin, const char* lat, const char* lonDeg,
                             const char* lonMin, const char* lon) {
  CoordinatePanelTexts texts;
  texts.Edit4 = latDeg;
  texts.Edit6 = latMin;
  texts.ComboBox1 = lat;
  texts.Edit5 = lonDeg;
  texts.Edit7 = lonMin;
  texts.ComboBox2 = lon;
  return texts;
}

TEST(InputNotesTest, NameEachBoxNotTakenAsTyped) {
  const struct {
    const char* name;
    PanelNotes notes;
    PanelNotes expected;
  } cases[] = {
      {"numbers with blanks and signs are read as typed", WhereFieldNotes(Where(" 12", "-0"), 1), {}},
      {"Update takes a non-number as 1 and shows it as 0", WhereFieldNotes(Where("abc", "7"), 1),
       Where("'abc' is not a whole number, so it was taken as 1 for the cross and is shown as 0.", "")},
      {"directions take it as 0", WhereFieldNotes(Where("1500", "12.5"), 0),
       Where("", "'12.5' is not a whole number, so it was taken as 0.")},
      {"an empty box and a number beyond 32 bits", WhereFieldNotes(Where(" ", "99999999999"), 0),
       Where("The box is empty, so it was taken as 0.",
             "'99999999999' is not a whole number, so it was taken as 0.")},
      {"a long text is cut", WhereFieldNotes(Where("Your location is 1500 1200 0 and more", "1"), 0),
       Where("'Your location is 1500 1200 0 and...' is not a whole number, so it was taken as 0.", "")},
      {"a reading as typed, letters in either case or left out",
       SextantFieldNotes(Sextant("37", "15", "n", "12", "5", "")),
       {}},
      {"sextant numbers default to 0; other letters count as S and E",
       SextantFieldNotes(Sextant("37", "x", "North", "", "5", "Q")),
       Sextant("", "'x' is not a whole number, so it was taken as 0.",
               "'North' is neither N nor S, so it was taken as S.", "The box is empty, so it was taken as 0.",
               "", "'Q' is neither W nor E, so it was taken as E.")},
  };
  for (const auto& c : cases) EXPECT_EQ(c.notes, c.expected) << c.name;
  EXPECT_EQ(OutsideWorldText({5121, 100}), "Outside the world: 5121 100");
  EXPECT_TRUE(IsOutsideWorldText(OutsideWorldText({-1, 0})));
  EXPECT_FALSE(IsOutsideWorldText("Following journal.txt"));
}

class InputMarksTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    WriteText(settingsFile, "[General]\r\nLastMapFilename=" + MakeMap("world", 512, 410) + "\r\n");
    Open();
  }
  void Type(const char* box, const QString& text) {
    QLineEdit* edit = Control<QLineEdit>(*form, box);
    edit->clear();
    QTest::keyClicks(edit, text);
  }
  void Press(const char* button) { QTest::mouseClick(Control<QPushButton>(*form, button), Qt::LeftButton); }
  // Marked: a tooltip telling how the text was taken, and a background of its own.
  bool Marked(const char* box) {
    QLineEdit* edit = Control<QLineEdit>(*form, box);
    const bool tinted =
        edit->palette().color(QPalette::Base) != QApplication::palette(edit).color(QPalette::Base);
    EXPECT_EQ(tinted, !edit->toolTip().isEmpty()) << box;
    return tinted;
  }
};

TEST_F(InputMarksTest, ABoxReadWithADefaultIsMarkedUntilItIsEdited) {
  Type("Edit1", "abc");
  Type("Edit2", "2000");
  Press("Button1");
  EXPECT_EQ(Control<QLineEdit>(*form, "Edit1")->text(), "0");  // the designed refresh
  EXPECT_TRUE(Marked("Edit1"));
  EXPECT_EQ(Control<QLineEdit>(*form, "Edit1")->toolTip().toStdString(),
            "'abc' is not a whole number, so it was taken as 1 for the cross and is shown as 0.");
  EXPECT_FALSE(Marked("Edit2"));

  QTest::keyClick(Control<QLineEdit>(*form, "Edit1"), Qt::Key_5);
  EXPECT_FALSE(Marked("Edit1"));

  // A sextant Update marks its own boxes; a click on the map gives every box a fresh number.
  Control<QLineEdit>(*form, "Edit7")->setText("");
  Press("Button3");
  EXPECT_TRUE(Marked("Edit7"));
  QTest::mouseClick(Control<TPaintBox>(*form, "PaintBox1"), Qt::LeftButton, {}, QPoint(40, 40));
  EXPECT_FALSE(Marked("Edit7"));
}

TEST_F(InputMarksTest, APointOutsideTheWorldIsNamedInTheStatusLine) {
  Type("Edit1", "5121");
  Type("Edit2", "100");
  Press("Button1");
  EXPECT_EQ(Control<QLineEdit>(*form, "Edit1")->text(), "");  // the designed emptied boxes
  EXPECT_EQ(form->StatusText(0), "Outside the world: 5121 100");
  Type("Edit1", "-3");
  Type("Edit2", "100");
  Press("Button4");  // directions to a point outside
  EXPECT_EQ(form->StatusText(0), "Outside the world: -3 100");
  Type("Edit1", "1500");
  Type("Edit2", "1200");
  Press("Button1");
  EXPECT_EQ(form->StatusText(0), "");
}

TEST_F(InputMarksTest, TheLetterBoxesKeepTheirTwoLettersAndOutliveTheirMarks) {
  auto* latitude = Control<QComboBox>(*form, "ComboBox1");
  latitude->setFocus();
  latitude->lineEdit()->selectAll();
  QTest::keyClicks(latitude->lineEdit(), "north");
  QTest::keyClick(latitude->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(latitude->count(), 2);  // what is typed is read, not added to the list
  Press("Button3");
  ASSERT_FALSE(latitude->toolTip().isEmpty());
  // A window freed while shown takes the focus from the marked box as its controls go.
  latitude->setFocus();
  form.reset();
}

}  // namespace
}  // namespace orv::testing
