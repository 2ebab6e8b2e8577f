// The coordinate panels, the pointer and the hot keys on the real main window: typed positions,
// clicks on the map, the status line, and the corner outline of Ctrl+R and Ctrl+S.
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <set>

#include "mainwindow_fixture.h"
#include "view/coordinatepanels.h"
#include "view/directionswindow.h"
#include "view/mainwindow_ui.h"
#include "view/mapoutline.h"
#include "view/paintbox.h"

namespace orv::testing {
namespace {

class PanelsTest : public MainWindowTest {
 protected:
  // A 1280 x 1024 picture whose corners are the world's: one picture pixel is 4 x 4 world units.
  TForm1& OpenWorldMap() {
    map = MakeMap("world", 1280, 1024);
    TForm1& f = Open(false);
    EXPECT_EQ(f.LoadMap(map), LoadOutcome::Loaded);
    return f;
  }
  void Type(QWidget* box, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(box)) edit->clear();
    if (auto* combo = qobject_cast<QComboBox*>(box)) combo->setEditText("");
    QTest::keyClicks(box, text);
  }
  void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  CoordinatePanelTexts Panels() { return form->PanelTexts(); }
  QPoint Cross() { return {form->CrossX(), form->CrossY()}; }
  QString Conclusion() { return form->form2()->findChild<QLabel*>("Conclusion")->text(); }

  std::string map;
};

TEST_F(PanelsTest, WhereUpdateMovesTheCrossAndRewritesBothPanels) {
  TForm1& f = OpenWorldMap();
  const struct {
    const char *x, *y;
    QPoint cross;
    std::optional<Point> shown;
  } cases[] = {
      {"1328", "1624", {332, 406}, Point{1328, 1624}},  // the sextant origin: empty letters
      {"  12", "-0", {3, 0}, Point{12, 0}},             // blanks and sign dropped
      {"abc", "2000", {0, 500}, Point{0, 2000}},        // the cross at world x 1, the panel at 0
      {"5121", "100", {1280, 25}, std::nullopt},        // outside the world: all eight emptied
  };
  for (const auto& c : cases) {
    Type(Control<QLineEdit>(f, "Edit1"), c.x);
    Type(Control<QLineEdit>(f, "Edit2"), c.y);
    Click(Control<QPushButton>(f, "Button1"));
    EXPECT_EQ(Cross(), c.cross) << c.x;
    EXPECT_EQ(Panels(), PanelTextsFor(c.shown)) << c.x;
  }
}

TEST_F(PanelsTest, SextantUpdateReadsLowerCaseAndEmptyLetters) {
  TForm1& f = OpenWorldMap();
  auto enter = [&](const char* latDeg, const char* latMin, const char* lat, const char* lonDeg,
                   const char* lonMin, const char* lon) {
    Type(Control<QLineEdit>(f, "Edit4"), latDeg);
    Type(Control<QLineEdit>(f, "Edit6"), latMin);
    Type(Control<QComboBox>(f, "ComboBox1"), lat);
    Type(Control<QLineEdit>(f, "Edit5"), lonDeg);
    Type(Control<QLineEdit>(f, "Edit7"), lonMin);
    Type(Control<QComboBox>(f, "ComboBox2"), lon);
    Click(Control<QPushButton>(f, "Button3"));
  };
  enter("142", "44", "n", "93", "22", "w");
  EXPECT_EQ(Cross(), QPoint(0, 0));
  EXPECT_EQ(Panels(), (CoordinatePanelTexts{"0", "0", "142", "93", "44", "22", "N", "W"}));
  enter("10", "0", "", "10", "x", "");  // empty letters: south and east; "x" minutes count as 0
  EXPECT_EQ(Control<QLineEdit>(f, "Edit1")->text(), "1470");
  EXPECT_EQ(Control<QLineEdit>(f, "Edit2")->text(), "1738");
  EXPECT_EQ(Panels().ComboBox1, "S");
}

TEST_F(PanelsTest, DirectionsButtonsLeaveTheCrossAndCentreTheTarget) {
  TForm1& f = OpenWorldMap();
  Type(Control<QLineEdit>(f, "Edit1"), "1000");
  Type(Control<QLineEdit>(f, "Edit2"), "1000");
  Click(Control<QPushButton>(f, "Button1"));
  const QPoint cross = Cross();
  Type(Control<QLineEdit>(f, "Edit1"), "980");
  Type(Control<QLineEdit>(f, "Edit2"), "1040");
  Click(Control<QPushButton>(f, "Button4"));
  EXPECT_TRUE(f.form2()->isVisible());
  EXPECT_EQ(Conclusion(),
            "Move 20 steps (About 1 screens) to the WEST and 40 steps (About 3 screens) to the SOUTH.");
  EXPECT_EQ(Cross(), cross);

  Type(Control<QLineEdit>(f, "Edit1"), "4000");
  Type(Control<QLineEdit>(f, "Edit2"), "3000");
  Click(Control<QPushButton>(f, "Button4"));
  EXPECT_EQ(f.ScrollX(), std::clamp(1000 - f.MapAreaWidth() / 2, 0, 1280 - f.MapAreaWidth()));
  EXPECT_EQ(f.ScrollY(), std::clamp(750 - f.MapAreaHeight() / 2, 0, 1024 - f.MapAreaHeight()));
  EXPECT_EQ(Cross(), cross);

  Type(Control<QLineEdit>(f, "Edit4"), "142");  // the sextant boxes still hold the reading of (4000, 3000)
  Type(Control<QLineEdit>(f, "Edit6"), "44");
  Type(Control<QComboBox>(f, "ComboBox1"), "N");
  Type(Control<QLineEdit>(f, "Edit5"), "93");
  Type(Control<QLineEdit>(f, "Edit7"), "22");
  Type(Control<QComboBox>(f, "ComboBox2"), "W");
  Click(Control<QPushButton>(f, "Button5"));
  EXPECT_EQ(Conclusion(),
            "Move 1000 steps (About 66 screens) to the WEST and 1000 steps (About 87 screens) to the NORTH.");
  EXPECT_EQ(Panels().Edit1, "0");
  EXPECT_EQ(Cross(), cross);
}

// A typed position is where the cross stands, whatever the zoom and however often it changes: the
// directions to the same position are the message for standing on it.
TEST_F(PanelsTest, DirectionsToTheTypedPositionOfTheCrossSayYouAreThere) {
  TForm1& f = OpenWorldMap();
  const std::set<std::string> standing = {
      "You need serious help if you can't find where you're standing! :)", "Are you really that stupid?!",
      "Oh come on, you're actually going to make me point it OUT to you?!?",
      "It doesn't take a genius to look down where your feet are! ;P",
      "If this is the kind of stuff you're going to ask me, I might as well close this program for you! =)"};
  for (const char* zoom : {"100", "10"}) {
    SCOPED_TRACE(zoom);
    f.ApplyZoom(zoom);
    Type(Control<QLineEdit>(f, "Edit1"), "1001");
    Type(Control<QLineEdit>(f, "Edit2"), "1001");
    Click(Control<QPushButton>(f, "Button1"));
    for (const char* next : {"37", "600", "100", zoom}) f.ApplyZoom(next);
    Click(Control<QPushButton>(f, "Button4"));
    EXPECT_TRUE(standing.count(Conclusion().toStdString())) << Conclusion().toStdString();
    EXPECT_EQ(f.form2()->findChild<QLabel*>("WhereFrom")->text(), "1001 1001");
    EXPECT_EQ(f.Viewport().CrossWorld(f.MapCorners()), (Point{1001, 1001}));
  }
}

TEST_F(PanelsTest, MiddleClickPlacesTheCrossLikeALeftClick) {
  TForm1& f = OpenWorldMap();
  std::vector<std::pair<QPoint, CoordinatePanelTexts>> results;
  for (const Qt::MouseButton button : {Qt::MiddleButton, Qt::LeftButton}) {
    f.ScrollViewTo(200, 100);
    QTest::mouseClick(Control<TPaintBox>(f, "PaintBox1"), button, {}, QPoint(100, 80));
    results.emplace_back(Cross(), Panels());
  }
  EXPECT_EQ(results[0].first, QPoint(300, 180));
  EXPECT_EQ(results[0].second, PanelTextsFor(Point{1200, 720}));
  EXPECT_EQ(results[1], results[0]);
}

TEST_F(PanelsTest, RightClickAtZoom200MatchesTheStatusLineAndServesDirectionsToArea) {
  TForm1& f = OpenWorldMap();
  f.ApplyZoom("200");
  f.ScrollViewTo(333, 211);
  const QPoint at(141, 57);
  QTest::mouseMove(Control<TPaintBox>(f, "PaintBox1"), at);
  const QString status = f.StatusText(1);
  ASSERT_TRUE(status.startsWith(".where  x: ")) << status.toStdString();
  const QPoint cross = Cross();

  QTest::mouseClick(Control<TPaintBox>(f, "PaintBox1"), Qt::RightButton, {}, at);
  ASSERT_TRUE(Control<QMenu>(f, "PopupMenu1")->isVisible());
  EXPECT_EQ(Control<QMenu>(f, "PopupMenu1")->pos(), Control<TPaintBox>(f, "PaintBox1")->mapToGlobal(at));
  Control<QMenu>(f, "PopupMenu1")->close();
  const Point world = f.PopupWorldPoint();
  EXPECT_EQ(status, QString(".where  x: %1  y: %2").arg(world.x).arg(world.y));
  EXPECT_EQ(f.PopupPoint(), (Point{333 + 141, 211 + 57}));
  EXPECT_EQ(Cross(), cross);

  Control<QAction>(f, "DirectionstoArea1")->trigger();
  EXPECT_EQ(f.form2()->findChild<QLabel*>("WhereTo")->text(), QString("%1 %2").arg(world.x).arg(world.y));

  QTest::mouseClick(Control<TPaintBox>(f, "PaintBox1"), Qt::LeftButton, {}, at);
  EXPECT_EQ(Panels().Edit1.toInt(), world.x);
  EXPECT_EQ(Panels().Edit2.toInt(), world.y);
}

TEST_F(PanelsTest, TheReadoutFollowsTheViewUnderARestingPointer) {
  TForm1& f = OpenWorldMap();  // four world units a picture pixel
  auto* box = Control<TPaintBox>(f, "PaintBox1");
  const auto Readout = [&f] { return f.StatusText(1).toStdString(); };
  f.ScrollViewTo(0, 0);
  QTest::mouseMove(box, QPoint(100, 80));
  EXPECT_EQ(Readout(), ".where  x: 400  y: 320");
  // The view moves as keys, Back or a followed position move it; a message in panel 0 stays.
  f.SetStatusText(0, "a message");
  f.ScrollViewTo(200, 100);
  EXPECT_EQ(Readout(), ".where  x: 1200  y: 720");
  f.ApplyZoom("200");
  const Point origin{f.ScrollX(), f.ScrollY()};
  EXPECT_EQ(Readout(), ".where  x: " + std::to_string((origin.x + 100) * 2) +
                           "  y: " + std::to_string((origin.y + 80) * 2));
  EXPECT_EQ(f.StatusText(0).toStdString(), "a message");
  // Once the pointer has left the map area, moving the view brings no readout back.
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(box, &leave);
  f.ScrollViewTo(0, 0);
  EXPECT_EQ(Readout(), "");
}

TEST_F(PanelsTest, AfterThePopUpMenuTheReadoutIsWhereThePointerIs) {
  TForm1& f = OpenWorldMap();  // four world units a picture pixel
  auto* box = Control<TPaintBox>(f, "PaintBox1");
  auto* menu = f.findChild<QMenu*>("PopupMenu1");
  const auto Readout = [&f] { return f.StatusText(1).toStdString(); };
  f.ScrollViewTo(0, 0);
  // The pointer leaves the menu where it lies now; the menu took its movements.
  struct Case {
    QPoint pointer;  // where the menu leaves the pointer, in the map area's positions
    std::string readout;
  };
  const Case cases[] = {
      {{30, 20}, ".where  x: 120  y: 80"},
      {{-5, 20}, ""},  // off the map area
      {{100, 80}, ".where  x: 400  y: 320"},
  };
  for (const Case& c : cases) {
    QTest::mouseMove(box, QPoint(60, 60));
    QTest::mouseClick(box, Qt::RightButton, {}, QPoint(60, 60));
    ASSERT_TRUE(menu->isVisible());
    QCursor::setPos(box->mapToGlobal(c.pointer));
    menu->hide();
    EXPECT_EQ(Readout(), c.readout) << c.pointer.x() << " " << c.pointer.y();
  }
  // The view then moves under the pointer where the menu left it.
  f.ScrollViewTo(200, 100);
  EXPECT_EQ(Readout(), ".where  x: 1200  y: 720");
}

TEST_F(PanelsTest, PressesWhileALinkAreaIsDrawnGoToTheLinkSteps) {
  TForm1& f = OpenWorldMap();
  const QPoint cross = Cross();
  f.Links().LinkSelecting = true;
  QTest::mouseMove(Control<TPaintBox>(f, "PaintBox1"), QPoint(30, 40));
  EXPECT_EQ(f.StatusText(0), "---- Click on the map to set the opposite corner of the map link area. ----");
  QTest::mouseClick(Control<TPaintBox>(f, "PaintBox1"), Qt::LeftButton, {}, QPoint(30, 40));
  EXPECT_EQ(Cross(), cross);
}

// A map whose corners lie inside its picture, so the whole outline shows.
class OutlineTest : public PanelsTest {
 protected:
  TForm1& OpenInsetMap() {
    map = Path("inset.dem");
    WriteText(map, Dimensions(20, 20, 380, 30, 10, 280, 390, 270));
    WriteJpeg(Path("inset.JPG"), PatternPicture(400, 300));
    TForm1& f = Open(false);
    EXPECT_EQ(f.LoadMap(map), LoadOutcome::Loaded);
    picture = f.MapImage();
    Control<QLineEdit>(f, "Edit1")->setFocus();
    return f;
  }
  QImage WithOutline(const MapCorners& corners) {
    QImage expected = picture;
    InvertMapOutline(expected, OutlineOf(corners));
    return expected;
  }
  QImage picture;  // as decoded, without outline
};

TEST_F(OutlineTest, CtrlSTogglesTheOutlineWhileAnEditBoxHasTheFocus) {
  TForm1& f = OpenInsetMap();
  QTest::keyClick(Control<QLineEdit>(f, "Edit1"), Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(f.Session().OutlineVisible());
  EXPECT_EQ(f.MapImage(), WithOutline(f.MapCorners()));
  EXPECT_NE(f.MapImage(), picture);
  QTest::keyClick(Control<QLineEdit>(f, "Edit1"), Qt::Key_S);  // without Ctrl: typed into the box
  QTest::keyClick(Control<QLineEdit>(f, "Edit1"), Qt::Key_R);
  EXPECT_TRUE(Control<QLineEdit>(f, "Edit1")->text().endsWith("sr"));
  QTest::keyClick(Control<QLineEdit>(f, "Edit1"), Qt::Key_S, Qt::ControlModifier);
  EXPECT_FALSE(f.Session().OutlineVisible());
  EXPECT_EQ(f.MapImage(), picture);
}

TEST_F(OutlineTest, CtrlRAppliesEditedCornersAndMovesTheOutlineWithoutTrace) {
  TForm1& f = OpenInsetMap();
  Type(Control<QLineEdit>(f, "Edit1"), "2560");
  Type(Control<QLineEdit>(f, "Edit2"), "2048");
  QTest::keyClick(Control<QLineEdit>(f, "Edit1"), Qt::Key_S, Qt::ControlModifier);
  const MapCorners moved{{120, 60}, {300, 40}, {100, 250}, {310, 240}};
  WriteText(map, Dimensions(120, 60, 300, 40, 100, 250, 310, 240));
  QTest::keyClick(Control<QLineEdit>(f, "Edit1"), Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(f.MapCorners(), moved);
  EXPECT_EQ(f.MapImage(), WithOutline(moved));
  const auto cross = WorldToMapPixel(moved, 100, {2560, 2048});
  EXPECT_EQ(Cross(), QPoint(cross->x, cross->y));
  QTest::keyClick(Control<QLineEdit>(f, "Edit1"), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(f.MapImage(), picture);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(OutlineTest, CtrlRStopsAtABadValueAndTheOutlineStaysInStep) {
  TForm1& f = OpenInsetMap();
  const MapCorners before = f.MapCorners();
  QTest::keyClick(Control<QLineEdit>(f, "Edit1"), Qt::Key_S, Qt::ControlModifier);
  WriteText(
      map,
      "[Map Dimensions]\r\nUpperLeft_X=111\r\nUpperLeft_Y=22\r\nUpperRight_X=333\r\nUpperRight_Y=4x\r\n");
  QTest::keyClick(Control<QLineEdit>(f, "Edit1"), Qt::Key_R, Qt::ControlModifier);
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"'4x' is not a valid integer value"});
  EXPECT_EQ(f.MapCorners(), before);
  // The outline still shows where it was drawn, and the next Ctrl+S takes it away completely.
  EXPECT_EQ(f.MapImage(), WithOutline(before));
  QTest::keyClick(Control<QLineEdit>(f, "Edit1"), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(f.MapImage(), picture);
}

TEST_F(OutlineTest, CornersWithoutAConversionShowNoWorldPoint) {
  TForm1& f = OpenInsetMap();
  const auto popupItems = [&] {
    std::vector<bool> enabled;
    for (const char* name : {"AddBookmark1", "DirectionstoArea1", "CopyPosition1", "MapsShowingPoint1"})
      enabled.push_back(Control<QAction>(f, name)->isEnabled());
    return enabled;
  };
  const auto rightClick = [&] {
    QTest::mouseClick(Control<TPaintBox>(f, "PaintBox1"), Qt::RightButton, {}, QPoint(10, 10));
    Control<QMenu>(f, "PopupMenu1")->close();
  };
  rightClick();
  EXPECT_EQ(popupItems(), std::vector<bool>(4, true));
  WriteText(map, Dimensions(50, 50, 50, 50, 50, 50, 50, 50));
  QTest::keyClick(Control<QLineEdit>(f, "Edit1"), Qt::Key_R, Qt::ControlModifier);
  QTest::mouseMove(Control<TPaintBox>(f, "PaintBox1"), QPoint(10, 10));
  EXPECT_EQ(f.StatusText(1), "");
  QTest::mouseClick(Control<TPaintBox>(f, "PaintBox1"), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(Panels(), CoordinatePanelTexts{});
  // A right click there has no world point: what would act on one (the point of the click before)
  // is not offered.
  rightClick();
  EXPECT_EQ(popupItems(), std::vector<bool>(4, false));
}

}  // namespace
}  // namespace orv::testing
