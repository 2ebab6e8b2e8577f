// What the program remembers between runs in its settings file: the windows' places, each map's
// zoom and view centre, the recent maps of Map > Open Recent and the folder file dialogs open in.
#include <QGuiApplication>
#include <QScreen>

#include "mainwindow_fixture.h"
#include "storage/recentmaps.h"
#include "storage/windowstate.h"
#include "view/directionswindow.h"
#include "view/overviewwidget.h"

namespace orv::testing {
namespace {

class WindowMemoryTest : public MainWindowTest {
 protected:
  // A run of the program as it starts for the user: remembered state on, start-up loading done.
  TForm1& Run() {
    TForm1Config config{settingsFile, &dialogs, 1234};
    config.rememberState = true;
    form = std::make_unique<TForm1>(config);
    form->StartupLoading();
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    return *form;
  }
  // The end of the run by Ctrl+Q, then the shutdown saves.
  void Quit() {
    QTest::keyClick(form.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(form->isVisible());
    form.reset();
  }
  static QRect Screen() { return QGuiApplication::primaryScreen()->availableGeometry(); }
  QRect FirstStart() const {
    const DesktopRect r =
        FirstStartGeometry({Screen().x(), Screen().y(), Screen().width(), Screen().height()});
    return {r.x, r.y, r.width, r.height};
  }
};

TEST_F(WindowMemoryTest, WindowsReopenWhereTheyWereLeftAndOffScreenPlacesAreCorrected) {
  // Nothing remembered: three quarters of the screen, centred.
  TForm1& first = Run();
  EXPECT_EQ(first.geometry(), FirstStart());
  EXPECT_GT(first.MapAreaHeight(), 167);  // the designed window's

  const QRect moved(40, 30, 500, 400);
  first.setGeometry(moved);
  first.form2()->show();
  first.form2()->move(300, 200);
  const QRect directions = first.form2()->geometry();
  // Closed, the program releases the windows' native resources (as on the desktop) before the saves
  // at its end: the places are those the windows had at the close.
  QTest::keyClick(form.get(), Qt::Key_Q, Qt::ControlModifier);
  ASSERT_FALSE(first.isVisible());
  first.form2()->windowHandle()->destroy();
  ASSERT_FALSE(first.form2()->testAttribute(Qt::WA_WState_Created));
  form.reset();

  TForm1& second = Run();
  EXPECT_EQ(second.geometry(), moved);
  EXPECT_EQ(second.form2()->geometry().topLeft(), directions.topLeft());
  // A request shows the window where it was put back, and again where the user then left it.
  second.Button4Click();
  EXPECT_TRUE(second.form2()->isVisible());
  EXPECT_EQ(second.form2()->geometry().topLeft(), directions.topLeft());
  second.form2()->move(320, 210);
  const QRect left = second.form2()->geometry();
  second.Button4Click();
  EXPECT_EQ(second.form2()->geometry(), left);
  Quit();

  // A place on a screen that is no longer there.
  ASSERT_TRUE(WindowState(settingsFile).SetPlace(MainWindowKey, {{5000, 4000, 500, 400}, false}));
  ASSERT_TRUE(WindowState(settingsFile).SetPlace(DirectionsWindowKey, {{-3000, 100, 312, 225}, false}));
  TForm1& third = Run();
  EXPECT_EQ(third.geometry(), FirstStart());
  EXPECT_TRUE(Screen().contains(third.form2()->geometry().topLeft()));
  Quit();

  // Maximised: its normal area stays remembered beside the state.
  ASSERT_TRUE(WindowState(settingsFile).SetPlace(MainWindowKey, {{40, 30, 500, 400}, true}));
  TForm1& fourth = Run();
  EXPECT_TRUE(fourth.windowState() & Qt::WindowMaximized);
  Quit();
  const std::optional<WindowPlace> kept = WindowState(settingsFile).Place(MainWindowKey);
  ASSERT_TRUE(kept);
  EXPECT_TRUE(kept->maximised);
}

TEST_F(WindowMemoryTest, TheLastMapReturnsWithItsZoomAndViewCentre) {
  const std::string dem = MakeMap("Coast", 3000, 2000);
  const std::string other = MakeMap("Isle", 800, 600);
  TForm1& first = Run();
  ASSERT_EQ(LoadOutcome::Loaded, first.LoadMap(dem));
  ASSERT_TRUE(first.ApplyZoom("200"));
  first.CenterViewOn({2400, 1800});  // zoomed map pixels: picture pixel (1200, 900)
  Quit();

  TForm1& second = Run();
  ASSERT_EQ(second.CurrentMapFile(), dem);
  EXPECT_EQ(second.ZoomPercent(), 200);
  EXPECT_EQ(second.Viewport().ViewToPicture({second.MapAreaWidth() / 2, second.MapAreaHeight() / 2}),
            (Point{1200, 900}));
  Quit();

  // Opened maximised, the map area grows after the start-up loading; the centre stays.
  ASSERT_TRUE(WindowState(settingsFile).SetPlace(MainWindowKey, {{40, 30, 500, 400}, true}));
  TForm1& third = Run();
  auto centre = [&third] {
    return third.Viewport().ViewToPicture({third.MapAreaWidth() / 2, third.MapAreaHeight() / 2});
  };
  EXPECT_TRUE(QTest::qWaitFor([&] {
    return third.MapAreaWidth() > 500 && centre() == Point{1200, 900};
  })) << third.MapAreaWidth()
      << " " << centre().x << "," << centre().y;
  // Leaving a map for another remembers it as well.
  ASSERT_TRUE(third.ApplyZoom("50"));
  ASSERT_EQ(LoadOutcome::Loaded, third.LoadMap(other));
  EXPECT_EQ(WindowState(settingsFile).ViewOf(dem)->zoomPercent, 50);
  Quit();
}

TEST_F(WindowMemoryTest, OpenRecentListsLoadedMapsAndDropsOneThatIsGone) {
  const std::string north = MakeMap("North", 200, 100);
  const std::string south = MakeMap("South", 200, 100);
  TForm1& w = Run();
  ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(north));
  ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(south));
  EXPECT_EQ(RecentMaps(settingsFile).Paths(), (std::vector<std::string>{south, north}));
  EXPECT_TRUE(Control<QAction>(w, "OpenRecentMap2")->text().contains("North"));

  Control<QAction>(w, "OpenRecentMap2")->trigger();
  EXPECT_EQ(w.CurrentMapFile(), north);
  ASSERT_TRUE(QFile::remove(QString::fromStdString(south)));
  Control<QAction>(w, "OpenRecentMap2")->trigger();  // South, now second
  EXPECT_EQ(w.CurrentMapFile(), north);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].find(south), std::string::npos);
  EXPECT_EQ(RecentMaps(settingsFile).Paths(), (std::vector<std::string>{north}));
  EXPECT_EQ(w.findChild<QAction*>("OpenRecentMap2"), nullptr);
}

TEST_F(WindowMemoryTest, FileDialogsOpenInTheMapsFolderOrTheLastFolderUsed) {
  const std::string map = MakeMap("Fen", 200, 100);
  QDir(dir.path()).mkdir("elsewhere");
  const QString elsewhere = dir.filePath("elsewhere");
  WriteText(settingsFile, "[Options]\r\nLastFolder=" + elsewhere.toStdString() + "\r\n");
  TForm1& w = Run();
  dialogs.answers.push_back(QString::fromStdString(map));
  w.Load1Click();  // no map yet: the last folder used
  w.Load1Click();  // the current map's folder
  ASSERT_EQ(dialogs.requests.size(), 2u);
  EXPECT_EQ(dialogs.requests[0].startDirectory, elsewhere);
  EXPECT_EQ(dialogs.requests[1].startDirectory, dir.path());
}

TEST_F(WindowMemoryTest, PointerPositionLeavesTheStatusLineWithThePointer) {
  TForm1& w = Open();
  ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(MakeMap("Moor", 800, 600)));
  auto* map = Control<QWidget>(w, "PaintBox1");
  // Off the map, and onto the overview that lies over it.
  QEvent leave(QEvent::Leave);
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  int x = 20;
  for (auto [target, event] : {std::pair<QWidget*, QEvent*>{map, &leave}, {w.Overview(), &enter}}) {
    QTest::mouseMove(map, QPoint(x += 10, 20));
    EXPECT_NE(w.StatusText(1), "");
    QApplication::sendEvent(target, event);
    EXPECT_EQ(w.StatusText(1), "") << target->objectName().toStdString();
  }
}

}  // namespace
}  // namespace orv::testing
