// Positions through the clipboard: pasted from chat lines into the panels and the cross, copied from
// the map as one line that pastes back to the same world point.
#include <QApplication>
#include <QClipboard>

#include "core/positiontext.h"
#include "core/transform.h"
#include "mainwindow_fixture.h"
#include "view/text.h"

namespace orv::testing {
namespace {

class ClipboardTest : public MainWindowTest {
 protected:
  TForm1& OpenWorld() {
    // A picture of 1024 x 819 pixels over the whole world: five world units a pixel.
    WriteText(settingsFile, "[General]\r\nLastMapFilename=" + MakeMap("World", 1024, 819) + "\r\n");
    return Open();
  }
  QString Where() const {
    return Control<QLineEdit>(*form, "Edit1")->text() + " " + Control<QLineEdit>(*form, "Edit2")->text();
  }
  void PressOnMap(int key) {
    TPaintBox* box = Control<TPaintBox>(*form, "PaintBox1");
    box->setFocus();
    QTest::keyClick(box, key, Qt::ControlModifier);
  }
};

TEST_F(ClipboardTest, PastedTextMovesTheCrossThroughItsPanelOrIsAnswered) {
  OpenWorld();
  struct Case {
    const char* clipboard;
    const char* where;  // the .where boxes afterwards
  };
  const Case cases[] = {
      {"[12:30] Bob: Your location is 1500 1200 0", "1500 1200"},
      {"was at (100,200), now x=2500 y=3000", "2500 3000"},
      {"37o 15'N 12o 5'E", "1500 1200"},
      {"nothing here at 12:45", "1500 1200"},  // no position: the last one stays
  };
  for (const Case& c : cases) {
    dialogs.messages.clear();
    QApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
    PressOnMap(Qt::Key_V);
    EXPECT_EQ(Where().toStdString(), c.where) << c.clipboard;
  }
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0], FromBytes(NoPositionMessage).toStdString());

  // In a text box Ctrl+V is the box's own paste.
  QLineEdit* horizontal = Control<QLineEdit>(*form, "Edit1");
  horizontal->setFocus();
  horizontal->clear();
  QApplication::clipboard()->setText("777");
  QTest::keyClick(horizontal, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(horizontal->text(), "777");
  EXPECT_EQ(Control<QLineEdit>(*form, "Edit2")->text(), "1200");
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(ClipboardTest, CopiedPointsPasteBackToTheSameWorldPoint) {
  TForm1& f = OpenWorld();
  // The cross, with the map area focused: the point it was put on, though its pixel spans five units.
  QApplication::clipboard()->setText("1501 1203");
  PressOnMap(Qt::Key_V);
  PressOnMap(Qt::Key_C);
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(), PositionCopyText({1501, 1203}));

  // The point of a right click, through the pop-up menu.
  for (const QPoint at : {QPoint(37, 41), QPoint(300, 120)}) {
    QTest::mouseClick(Control<TPaintBox>(f, "PaintBox1"), Qt::RightButton, {}, at);
    Control<QMenu>(f, "PopupMenu1")->close();
    Control<QAction>(f, "CopyPosition1")->trigger();
    const Point world = f.PopupWorldPoint();
    Control<QAction>(f, "PastePosition1")->trigger();
    EXPECT_EQ(Where(), QString("%1 %2").arg(world.x).arg(world.y));
  }
}

}  // namespace
}  // namespace orv::testing
