// Following the game's positions on the real window: a journal file that the test appends to, the
// clipboard, the Map menu's items, the status line, and the choices taken up again at the next start.
#include <QApplication>
#include <QClipboard>

#include "mainwindow_fixture.h"
#include "storage/appsettings.h"
#include "view/positionfollowing.h"

namespace orv::testing {
namespace {

class FollowTest : public MainWindowTest {
 protected:
  // The whole world on a 2048 x 1638 picture, 2.5 world units a pixel; the view shows a small part.
  void MakeWorld() {
    WriteText(settingsFile, "[General]\r\nLastMapFilename=" + MakeMap("world", 2048, 1638) + "\r\n");
  }
  TForm1& OpenWorld() {
    MakeWorld();
    return Open();
  }
  void Append(const std::string& text) { std::ofstream(journal, std::ios::app | std::ios::binary) << text; }
  std::optional<Point> Cross() const { return form->Viewport().CrossWorld(form->MapCorners()); }
  bool WaitForCross(Point world) {
    return QTest::qWaitFor([&] { return Cross() == world; }, 5000);
  }
  QPoint Origin() const { return {form->ScrollX(), form->ScrollY()}; }
  // The view origin that puts the world point in the middle of the view, as far as the range allows.
  QPoint CentredOn(Point world) const {
    MapViewport v = form->Viewport();
    v.CenterOn(*v.WorldToZoomed(world, form->MapCorners()));
    return {v.Origin().x, v.Origin().y};
  }
  QAction* Item(const char* name) { return Control<QAction>(*form, name); }

  std::string journal = Path("journal.txt");
};

TEST_F(FollowTest, EachNewJournalLineMovesTheCrossAndTheViewFollowsOnlyWhenItMustLeave) {
  Append("Your location is 100 100 0\n");  // written before following: not shown
  TForm1& f = OpenWorld();
  dialogs.answers.push_back(QString::fromStdString(journal));
  Item("FollowJournal1")->trigger();
  EXPECT_EQ(dialogs.requests.back().title, "Follow Journal");
  EXPECT_TRUE(Item("FollowJournal1")->isChecked());
  EXPECT_EQ(f.StatusText(0), "Following journal.txt");
  EXPECT_EQ(Cross(), (Point{0, 0}));

  Append("[12:30] Your location is 2560 2048 0\n");
  ASSERT_TRUE(WaitForCross({2560, 2048}));
  EXPECT_EQ(Origin(), CentredOn({2560, 2048}));  // the cross had left the view
  EXPECT_EQ(f.PanelTexts(), PanelTextsFor(Point{2560, 2048}));

  // A step within the middle of the view moves the cross alone; chatter moves nothing.
  Append("Ann: hello there\nYour location is 2600 2070 0\r\n");
  ASSERT_TRUE(WaitForCross({2600, 2070}));
  EXPECT_EQ(Origin(), CentredOn({2560, 2048}));

  // A sextant reading in Windows-1252, far enough to leave the middle: the view centres on it.
  const Point far = SextantToWorld(37, "N", 15, 12, "E", 5);
  Append("Bob: I'm at 37\xB0 15' N, 12\xB0 5' E\n");
  ASSERT_TRUE(WaitForCross(far));
  EXPECT_EQ(Origin(), CentredOn(far));

  // The same item turns following off; the journal stays remembered for the next choice.
  Item("FollowJournal1")->trigger();
  EXPECT_FALSE(f.Following().FollowingJournal());
  EXPECT_FALSE(Item("FollowJournal1")->isChecked());
  EXPECT_EQ(f.StatusText(0), "");
  const AppSettings settings(settingsFile);
  EXPECT_FALSE(settings.FollowJournal());
  EXPECT_EQ(settings.JournalFile(), journal);

  // Cancelling the file dialog follows nothing.
  Item("FollowJournal1")->trigger();
  EXPECT_EQ(dialogs.requests.back().startDirectory, dir.path());
  EXPECT_FALSE(Item("FollowJournal1")->isChecked());
  EXPECT_FALSE(f.Following().FollowingJournal());
}

TEST_F(FollowTest, RememberedChoicesAreTakenUpAtTheNextStart) {
  MakeWorld();
  AppSettings settings(settingsFile);
  ASSERT_TRUE(settings.SetJournalFile(journal) && settings.SetFollowJournal(true) &&
              settings.SetFollowClipboard(true));
  TForm1& again = Open();  // the journal does not exist yet: it is read once it appears
  EXPECT_TRUE(Item("FollowJournal1")->isChecked());
  EXPECT_TRUE(Item("FollowClipboard1")->isChecked());
  EXPECT_EQ(again.StatusText(0), "Following journal.txt and the clipboard");

  Append("Your location is 1500 1200 0\n");
  ASSERT_TRUE(WaitForCross({1500, 1200}));
  QApplication::clipboard()->setText("[chat] Ann: come to x=100 y=200");
  EXPECT_EQ(Cross(), (Point{100, 200}));

  // A point the program copies itself is for pasting elsewhere: the cross stays.
  QTest::mouseClick(Control<TPaintBox>(again, "PaintBox1"), Qt::RightButton, {}, QPoint(300, 100));
  Control<QMenu>(again, "PopupMenu1")->close();
  Item("CopyPosition1")->trigger();
  EXPECT_EQ(Cross(), (Point{100, 200}));

  // Turned off: copied positions no longer move the cross, and the choice is remembered.
  Item("FollowClipboard1")->trigger();
  EXPECT_FALSE(settings.FollowClipboard());
  EXPECT_EQ(again.StatusText(0), "Following journal.txt");
  QApplication::clipboard()->setText("Your location is 4000 3000 0");
  EXPECT_EQ(Cross(), (Point{100, 200}));
}

}  // namespace
}  // namespace orv::testing
