// Moving about the map: the wheel zooming about the pointer, the drag that pans, the keys of the map
// area, the View menu and the view history.
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QWheelEvent>

#include "mainwindow_fixture.h"
#include "storage/fields.h"
#include "view/mapdrag.h"
#include "view/mapnavigation.h"

namespace orv::testing {
namespace {

TEST(MapDrag, APressBecomesAPanOnlyBeyondTheDragDistance) {
  const struct {
    const char* name;
    std::vector<Point> moves;
    std::optional<Point> lastOrigin;  // after the last move
    MapDrag::Release release;
  } cases[] = {
      {"still", {}, std::nullopt, MapDrag::Release::Click},
      {"a tremble", {{103, 52}, {96, 49}}, std::nullopt, MapDrag::Release::Click},
      {"just far enough", {{106, 54}}, Point{994, 496}, MapDrag::Release::PanEnded},
      // Once panning, a return within the distance still pans: back to the press's origin.
      {"there and back", {{140, 50}, {101, 50}}, Point{999, 500}, MapDrag::Release::PanEnded},
      {"far", {{-500, 900}}, Point{1600, -350}, MapDrag::Release::PanEnded},
  };
  for (const auto& c : cases) {
    MapDrag drag(10);
    drag.Press(1, {100, 50}, {1000, 500});
    drag.Press(4, {0, 0}, {0, 0});  // a second button changes nothing
    std::optional<Point> origin;
    for (Point p : c.moves) origin = drag.Move(p);
    EXPECT_EQ(origin, c.lastOrigin) << c.name;
    EXPECT_EQ(drag.End(4), MapDrag::Release::Ignored) << c.name;
    EXPECT_EQ(drag.End(1), c.release) << c.name;
    EXPECT_FALSE(drag.Pressed()) << c.name;
  }
}

// A zoom or a key pan during a press moves the view under it: the press goes on over the view shown.
TEST(MapDrag, AViewMovedUnderThePressIsTheOneDraggedOn) {
  MapDrag drag(10);
  drag.Press(1, {100, 50}, {1000, 500});
  ASSERT_EQ(drag.Move({140, 50}), (Point{960, 500}));
  drag.Rebase({140, 50}, {2000, 1100});  // zoomed in about the pointer
  EXPECT_EQ(drag.Move({141, 50}), (Point{1999, 1100}));
  drag.ViewMoved({-30, 40});  // a key pan
  EXPECT_EQ(drag.Move({141, 50}), (Point{1969, 1140}));
  EXPECT_EQ(drag.End(1), MapDrag::Release::PanEnded);
}

class NavigationTest : public MainWindowTest {
 protected:
  // A loaded 3000 x 2400 map whose picture tells each view pixel's origin; its corners are the world's.
  TForm1& OpenPatternMap(const std::string& name = "nav") {
    map = MakeMap(name, 3000, 2400, QImage(3000, 2400, QImage::Format_RGB32));
    WriteText(map, Dimensions(0, 0, 5120, 0, 0, 4096, 5120, 4096));
    TForm1& w = form ? *form : Open(false);
    EXPECT_EQ(LoadOutcome::Loaded, w.LoadMap(map));
    w.MapImage() = PatternPicture(3000, 2400);
    w.Navigation().SetClock([this] { return now; });
    return w;
  }
  TPaintBox* Box() { return Control<TPaintBox>(*form, "PaintBox1"); }
  QPoint Shown(QPoint view) { return PixelOrigin(form->ViewBuffer().pixel(view)); }
  QPoint Cross() { return {form->CrossX(), form->CrossY()}; }
  QPoint Origin() { return {form->ScrollX(), form->ScrollY()}; }
  void Wheel(QPoint at, int angle, int pixels = 0) {
    QWheelEvent event(at, Box()->mapToGlobal(at), QPoint(0, pixels), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Box(), &event);
  }
  void MoveTo(QPoint at, Qt::MouseButton held) {
    QMouseEvent event(QEvent::MouseMove, at, Box()->mapToGlobal(at), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(Box(), &event);
  }
  void Drag(Qt::MouseButton button, QPoint from, QPoint to) {
    QTest::mousePress(Box(), button, {}, from);
    MoveTo((from + to) / 2, button);
    MoveTo(to, button);
    QTest::mouseRelease(Box(), button, {}, to);
  }
  void Key(int key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(Box(), Qt::Key(key), modifiers); }
  void Later(int milliseconds) { now += std::chrono::milliseconds(milliseconds); }

  std::string map;
  ViewHistory::Time now{std::chrono::hours(1)};
};

TEST_F(NavigationTest, WheelZoomsOneStepPerNotchKeepingThePicturePointUnderThePointer) {
  TForm1& w = OpenPatternMap();
  const struct {
    int zoom;
    int angle, pixels;  // of each of two events
    int after;
  } cases[] = {
      {100, 120, 0, 200}, {100, -120, 0, 50},  {150, 120, 0, 300}, {200, -120, 0, 100},
      {400, 120, 0, 800}, {800, -120, 0, 400}, {50, 240, 0, 200},  {67, -120, 0, 33},
      {120, 60, 0, 150},  {333, -60, 0, 300},  {100, 0, 30, 150},  {25, 0, -30, 20},
  };
  int stopped = 0;
  for (const auto& c : cases) {
    for (QPoint pointer : {QPoint(7, 9), QPoint(284, 83), QPoint(561, 160)}) {
      SCOPED_TRACE(QString("zoom %1, %2 %3, pointer %4,%5")
                       .arg(c.zoom)
                       .arg(c.angle)
                       .arg(c.pixels)
                       .arg(pointer.x())
                       .arg(pointer.y())
                       .toStdString());
      w.ApplyZoom(QString::number(c.zoom));
      w.Viewport().SetCross(w.Viewport().PictureToZoomed({2900, 100}));  // the glass out of sight
      // Away from the picture's edges, where the view cannot follow the pointer.
      w.CenterViewOn(w.Viewport().PictureToZoomed({1211, 977}));
      const QPoint before = Shown(pointer);
      Wheel(pointer, c.angle, c.pixels);
      Wheel(pointer, c.angle, c.pixels);
      ASSERT_EQ(c.after, w.ZoomPercent());
      // Near the picture's edges the view stops there and cannot follow the pointer.
      const Point origin = w.Viewport().Origin();
      if (origin.x == 0 || origin.y == 0 || origin.x == w.Viewport().MaxOriginX() ||
          origin.y == w.Viewport().MaxOriginY()) {
        ++stopped;
        continue;
      }
      EXPECT_EQ(QString("%1%").arg(c.after), Control<QLabel>(w, "ZoomStatus")->text());
      if (c.after >= 100) {
        // The picture pixel lies under the pointer's view pixel or one of its neighbours.
        bool found = false;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) found = found || Shown(pointer + QPoint(dx, dy)) == before;
        EXPECT_TRUE(found) << "now " << Shown(pointer).x() << "," << Shown(pointer).y() << " was "
                           << before.x() << "," << before.y();
      } else {
        // Smaller than a picture pixel: the pixel shown lies within a view pixel and a half of it.
        const QPoint off = Shown(pointer) - before;
        EXPECT_LE(std::abs(off.x()) * c.after, 150) << off.x();
        EXPECT_LE(std::abs(off.y()) * c.after, 150) << off.y();
      }
      // The cross stays on its place in the picture (up to the rounding through its world point).
      const Point crossPicture = w.Viewport().ZoomedToPicture(w.Viewport().Cross());
      EXPECT_NEAR(2900, crossPicture.x, 2 + 100 / c.after);
      EXPECT_NEAR(100, crossPicture.y, 2 + 100 / c.after);
    }
  }
  EXPECT_LE(stopped, 4);

  // A touchpad pinch zooms as well: two events of 15 percent make one step.
  w.ApplyZoom("100");
  for (int i = 0; i < 2; ++i) {
    QNativeGestureEvent pinch(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(), 2,
                              QPointF(200, 90), QPointF(200, 90), QPointF(200, 90), 0.15, QPointF());
    QApplication::sendEvent(Box(), &pinch);
  }
  EXPECT_EQ(150, w.ZoomPercent());
}

TEST_F(NavigationTest, LeftAndMiddleDragsPanWithThePointerAndLeaveTheCross) {
  TForm1& w = OpenPatternMap();
  const QString panels = Control<QLineEdit>(w, "Edit1")->text();
  for (int zoom : {100, 150, 300, 50}) {
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::MiddleButton}) {
      for (auto [from, to] : {std::pair{QPoint(300, 100), QPoint(120, 30)},
                              {QPoint(20, 20), QPoint(531, 151)},
                              {QPoint(200, 80), QPoint(200 + 3, 80 - 9)}}) {
        SCOPED_TRACE(QString("zoom %1 button %2 from %3,%4 to %5,%6")
                         .arg(zoom)
                         .arg(int(button))
                         .arg(from.x())
                         .arg(from.y())
                         .arg(to.x())
                         .arg(to.y())
                         .toStdString());
        w.ApplyZoom(QString::number(zoom));
        w.CenterViewOn(w.Viewport().PictureToZoomed({2000, 1500}));
        const QPoint origin = Origin(), cross = Cross(), picturePoint = Shown(from);
        QTest::mouseMove(Box(), from);
        const std::string readout = w.StatusText(1).toStdString();
        QTest::mousePress(Box(), button, {}, from);
        MoveTo(to, button);
        EXPECT_EQ(Qt::ClosedHandCursor, Box()->cursor().shape());
        EXPECT_EQ(readout, w.StatusText(1).toStdString());  // the grabbed point stays under the pointer
        QTest::mouseRelease(Box(), button, {}, to);
        EXPECT_EQ(origin + from - to, Origin());
        EXPECT_EQ(picturePoint, Shown(to));  // exactly, at every zoom
        EXPECT_EQ(cross, Cross());
        EXPECT_EQ(panels, Control<QLineEdit>(w, "Edit1")->text());
        EXPECT_NE(Qt::ClosedHandCursor, Box()->cursor().shape());
      }
    }
  }
}

TEST_F(NavigationTest, APressAndReleaseWithinTheDragDistanceIsTheClickThatPlacesTheCross) {
  TForm1& w = OpenPatternMap();
  w.ScrollViewTo(1000, 900);
  const QPoint press(200, 80);
  QTest::mousePress(Box(), Qt::LeftButton, {}, press);
  MoveTo(press + QPoint(2, 1), Qt::LeftButton);
  EXPECT_NE(QPoint(1200, 980), Cross()) << "nothing happens before the release";
  QTest::mouseRelease(Box(), Qt::LeftButton, {}, press + QPoint(2, 1));
  EXPECT_EQ(QPoint(1200, 980), Cross());  // at the press, as designed
  EXPECT_EQ(Box(), QApplication::focusWidget());
}

TEST_F(NavigationTest, KeysOfTheMapAreaPanAndZoomWhileTheBoxesKeepTheirs) {
  TForm1& w = OpenPatternMap();
  const int W = w.MapAreaWidth(), H = w.MapAreaHeight();
  Box()->setFocus();
  const struct {
    int key;
    Qt::KeyboardModifiers modifiers;
    int zoom;
    QPoint move;  // of the view origin, when the zoom stays
  } cases[] = {
      {Qt::Key_Right, {}, 100, {W / 10, 0}},
      {Qt::Key_Left, {}, 100, {-W / 10, 0}},
      {Qt::Key_Down, {}, 100, {0, H / 10}},
      {Qt::Key_Up, Qt::ShiftModifier, 100, {0, -H * 9 / 10}},
      {Qt::Key_Right, Qt::ShiftModifier, 100, {W * 9 / 10, 0}},
      {Qt::Key_PageDown, {}, 100, {0, H * 9 / 10}},
      {Qt::Key_PageUp, {}, 100, {0, -H * 9 / 10}},
      {Qt::Key_Plus, Qt::ShiftModifier, 150, {}},
      {Qt::Key_Equal, {}, 150, {}},
      {Qt::Key_Minus, {}, 67, {}},
      {Qt::Key_Minus, Qt::KeypadModifier, 67, {}},
      {Qt::Key_1, {}, 100, {}},
      {Qt::Key_0, {}, FitZoomPercent(3000, 2400, W, H), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(QKeySequence(c.key | c.modifiers).toString().toStdString());
    w.ApplyZoom("100");
    w.ScrollViewTo(1000, 1000);
    const QPoint middle = Shown({W / 2, H / 2});
    Key(c.key, c.modifiers);
    EXPECT_EQ(c.zoom, w.ZoomPercent());
    if (c.zoom == 100) {
      EXPECT_EQ(QPoint(1000, 1000) + c.move, Origin());
    } else if (c.key != Qt::Key_0) {  // zooms about the middle
      const QPoint off = Shown({W / 2, H / 2}) - middle;
      EXPECT_LE(std::abs(off.x()) * std::min(c.zoom, 100), 150);
      EXPECT_LE(std::abs(off.y()) * std::min(c.zoom, 100), 150);
    }
  }
  EXPECT_EQ(QPoint(0, 0), Origin()) << "the whole picture fits";
  // From there, the picture's middle (not the part of the area beside the picture) stays in the middle.
  Key(Qt::Key_1);
  const QPoint middle = Shown({W / 2, H / 2});
  EXPECT_NEAR(middle.x(), 1500, 40);
  EXPECT_NEAR(middle.y(), 1200, 40);

  w.ApplyZoom("200");
  w.Viewport().SetCross({2000, 1500});
  w.ScrollViewTo(0, 0);
  MapViewport centred = w.Viewport();
  centred.CenterOnCross();
  ASSERT_NE(Point{}, centred.Origin());
  Key(Qt::Key_Home);  // the cross to the middle
  EXPECT_EQ(QPoint(centred.Origin().x, centred.Origin().y), Origin());

  QLineEdit* edit = Control<QLineEdit>(w, "Edit1");
  edit->setFocus();
  edit->clear();
  QTest::keyClicks(edit, "+0-1");
  QTest::keyClick(edit, Qt::Key_Left);
  EXPECT_EQ("+0-1", edit->text().toStdString());
  EXPECT_EQ(200, w.ZoomPercent());
}

TEST_F(NavigationTest, BackAndForwardWalkTheViewsWithBurstsAsOneEntryAndJumpsAlways) {
  TForm1& w = OpenPatternMap();  // the load: a jump
  const ViewEntry loaded = w.Navigation().CurrentView();
  const QPoint at(284, 83);
  for (int i = 0; i < 3; ++i) {  // a burst of wheel steps
    Wheel(at, 120);
    Later(200);
  }
  const ViewEntry zoomed = w.Navigation().CurrentView();
  ASSERT_EQ(300, zoomed.zoomPercent);
  Later(2000);  // held: recorded
  Drag(Qt::LeftButton, {300, 100}, {100, 50});
  Later(300);  // left at once: not recorded
  QLineEdit* x = Control<QLineEdit>(w, "Edit1");
  QLineEdit* y = Control<QLineEdit>(w, "Edit2");
  x->setText("100");
  y->setText("200");
  QTest::mouseClick(Control<QPushButton>(w, "Button1"), Qt::LeftButton);  // Update: a jump
  const ViewEntry updated = w.Navigation().CurrentView();
  EXPECT_EQ((std::deque<ViewEntry>{loaded, zoomed, updated}), w.Navigation().History().entries());

  Box()->setFocus();
  Key(Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(zoomed, w.Navigation().CurrentView());
  EXPECT_EQ("300%", Control<QLabel>(w, "ZoomStatus")->text().toStdString());
  QTest::mouseClick(Box(), Qt::BackButton, {}, at);
  EXPECT_EQ(loaded, w.Navigation().CurrentView());
  Control<QAction>(w, "Forward1")->trigger();
  EXPECT_EQ(zoomed, w.Navigation().CurrentView());
  QTest::mouseClick(Box(), Qt::ForwardButton, {}, at);
  EXPECT_EQ(updated, w.Navigation().CurrentView());

  // A map loaded is a jump too, and going back to the first map loads it again.
  const std::string first = map;
  OpenPatternMap("other");
  ASSERT_EQ(map, w.CurrentMapFile());
  Later(100);
  Key(Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(first, w.CurrentMapFile());
  EXPECT_EQ(updated.zoomPercent, w.ZoomPercent());
  EXPECT_EQ(4U, w.Navigation().History().entries().size());
}

// A map that can no longer be loaded: Back to it tells why and stays, and its views are passed over
// from then on, with the views ahead still there.
TEST_F(NavigationTest, BackToAMapThatIsGoneStaysAndPassesOverItsViews) {
  TForm1& w = OpenPatternMap("first");
  const std::string first = map;
  OpenPatternMap("second");
  const std::string second = map;
  OpenPatternMap("third");
  const std::string third = map;
  std::filesystem::remove(first);
  Key(Qt::Key_Left, Qt::AltModifier);
  ASSERT_EQ(second, w.CurrentMapFile());
  dialogs.messages.clear();
  Key(Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(1U, dialogs.messages.size());
  EXPECT_EQ(second, w.CurrentMapFile());
  EXPECT_FALSE(w.Navigation().History().CanGoBack());
  Key(Qt::Key_Right, Qt::AltModifier);
  EXPECT_EQ(third, w.CurrentMapFile());
  ASSERT_EQ(2U, w.Navigation().History().entries().size());
  EXPECT_EQ(second, w.Navigation().History().entries()[0].mapFile);
}

// A press whose release never came (a window opened while the button was down) is over once the
// pointer moves without the button, or the button is pressed again: the map does not follow the
// pointer, and the next click places the cross.
TEST_F(NavigationTest, APressWhoseReleaseNeverCameEndsWithoutPanning) {
  TForm1& w = OpenPatternMap();
  for (const bool pressAgain : {false, true}) {
    SCOPED_TRACE(pressAgain);
    const QPoint origin = Origin();
    QTest::mousePress(Box(), Qt::LeftButton, {}, {300, 200});
    MoveTo({260, 170}, Qt::LeftButton);
    ASSERT_NE(origin, Origin());  // panning
    const QPoint panned = Origin();
    if (!pressAgain) {
      MoveTo({200, 120}, Qt::NoButton);
      MoveTo({150, 100}, Qt::NoButton);
      EXPECT_EQ(panned, Origin());
    }
    QTest::mouseClick(Box(), Qt::LeftButton, {}, {60, 70});  // the click centres the view on the cross
    EXPECT_EQ(QPoint(panned.x() + 60, panned.y() + 70), Cross());
  }
  EXPECT_EQ(100, w.ZoomPercent());
}

// A wheel turn or a zoom key while the map is dragged zooms, and the drag goes on from there.
TEST_F(NavigationTest, AZoomDuringADragIsNotUndoneByTheNextMove) {
  OpenPatternMap();
  for (const bool wheel : {true, false}) {
    SCOPED_TRACE(wheel ? "wheel" : "key");
    form->ApplyZoom("100");
    form->ScrollViewTo(900, 900);
    QTest::mousePress(Box(), Qt::LeftButton, {}, {300, 100});
    MoveTo({340, 120}, Qt::LeftButton);
    if (wheel) {
      Wheel({340, 120}, 120);
    } else {
      Key(Qt::Key_Equal);
    }
    ASSERT_EQ(150, form->ZoomPercent());
    const QPoint zoomed = Origin();
    MoveTo({341, 120}, Qt::LeftButton);
    EXPECT_EQ(QPoint(zoomed.x() - 1, zoomed.y()), Origin());
    QTest::mouseRelease(Box(), Qt::LeftButton, {}, {341, 120});
  }
}

// Back to another map keeps the keyboard on the map area, so that Back can be pressed again.
TEST_F(NavigationTest, TheMapAreaKeepsTheKeyboardAcrossAMapLoad) {
  TForm1& w = OpenPatternMap("first");
  OpenPatternMap("second");
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  Box()->setFocus();
  Key(Qt::Key_Left, Qt::AltModifier);
  ASSERT_NE(map, w.CurrentMapFile());
  EXPECT_TRUE(Box()->hasFocus());
}

// Back to a map, declined because the map shown has changes that cannot be saved: the map asked for
// stays in the history, and a later Back goes there.
TEST_F(NavigationTest, BackDeclinedKeepsTheMapAskedFor) {
  TForm1& w = OpenPatternMap("first");
  const std::string first = map;
  std::filesystem::create_directory(Path("gone"));
  OpenPatternMap("gone/second");
  EditBookmarkLists(w, [](BookmarkLists& lists) {
    lists.CurrentMapBookmarks.push_back(JoinFields({"V", "5", "5", "Inn"}));
    lists.CurrentMapBookmarkFonts.push_back(JoinFields({"Arial", "10", "0", "b"}));
  });
  std::filesystem::remove_all(Path("gone"));
  dialogs.askAnswer = false;
  Key(Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(1U, dialogs.asked.size());
  EXPECT_EQ(map, w.CurrentMapFile());
  dialogs.askAnswer = true;
  Key(Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(first, w.CurrentMapFile());
}

TEST_F(NavigationTest, TheViewMenuOffersTheCommandsWithTheirKeys) {
  TForm1& w = OpenPatternMap();
  QMenu* view = Control<QMenu>(w, "View1");
  QStringList items;
  for (QAction* action : view->actions())
    items << (action->isSeparator() ? "-" : action->text() + " " + action->shortcut().toString());
  EXPECT_EQ(
      QStringList({"Zoom In +", "Zoom Out -", "Fit to Window 0", "Actual Size 1", "-", "Back Alt+Left",
                   "Forward Alt+Right", "-", "Overview O", "Show Link Areas L", "Outline Bookmark Names "}),
      items);
  Control<QAction>(w, "ZoomIn1")->trigger();
  EXPECT_EQ(150, w.ZoomPercent());
  Control<QAction>(w, "FittoWindow1")->trigger();
  EXPECT_EQ(FitZoomPercent(3000, 2400, w.MapAreaWidth(), w.MapAreaHeight()), w.ZoomPercent());
  Control<QAction>(w, "ActualSize1")->trigger();
  EXPECT_EQ(100, w.ZoomPercent());
  Control<QAction>(w, "ZoomOut1")->trigger();
  EXPECT_EQ(67, w.ZoomPercent());
}

TEST_F(NavigationTest, TheMapMenuGroupsItsItemsAndEndsWithQuit) {
  TForm1& w = OpenPatternMap();
  QStringList items;
  for (QAction* action : Control<QMenu>(w, "Map1")->actions())
    items << (action->isSeparator() ? "-" : action->text());
  EXPECT_EQ(QStringList({"Load...", "Open Recent", "-", "New Map from Picture...", "Calibrate Map...",
                         "Maps Folders...", "-", "Paste Position", "Follow Journal...", "Follow Clipboard",
                         "-", "Find Bookmark...", "Bookmarks", "-", "Quit"}),
            items);
}

}  // namespace
}  // namespace orv::testing
