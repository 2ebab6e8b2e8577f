// The main window acting on requests from outside: positions handed over by a later start of the real
// program, lines appended to a followed journal, dropped files; and what is remembered at once.
#include "view/startrequests.h"

#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QProcessEnvironment>
#include <csignal>
#include <filesystem>

#include "app/shutdownsignals.h"
#include "app/singleinstance.h"
#include "core/calibrationdraft.h"
#include "core/pictureahead.h"
#include "core/sextant.h"
#include "view/calibrationtool.h"
#include "view/calibrationwindow.h"
#include "view/mainwindow_fixture.h"
#include "view/overview.h"
#include "view/overviewwidget.h"
#include "view/picture.h"

namespace orv::testing {
namespace {

using StartRequestsTest = MainWindowTest;

QString Q(const std::string& path) {
  return QString::fromStdString(path);
}

// Where the cross of the loaded map lies for a world point (zoomed map pixels).
Point CrossFor(const TForm1& form, Point world) {
  return *WorldToMapPixel(form.MapCorners(), form.ZoomPercent(), world);
}

TEST_F(StartRequestsTest, APositionHandedOverByALaterStartMovesTheCross) {
  const std::string map = MakeMap("world", 512, 410);
  WriteText(settingsFile, "[General]\r\nLastMapFilename=" + map + "\r\n");
  TForm1& form = Open();
  StartRequests requests(form);
  // The program copied into dir keeps its settings file there, and looks for a running copy on that
  // file's socket in its runtime folder (dir, below).
  SingleInstance single(
      dir.filePath(QFileInfo(SingleInstance::DefaultSocketPath(Q(settingsFile))).fileName()));
  ASSERT_FALSE(single.handOverOrListen({}));
  requests.AcceptHandOvers(single);

  const QString program = dir.filePath("orvantis");
  ASSERT_TRUE(QFile::copy(ORV_BINARY_DIR "/orvantis", program));
  ASSERT_TRUE(QFile::copy(ORV_BINARY_DIR "/orvantis-window.so", dir.filePath("orvantis-window.so")));
  QProcess later;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("XDG_RUNTIME_DIR", dir.path());
  later.setProcessEnvironment(env);
  later.start(program, {"--sextant", "37 15 N 12 5 E"});
  ASSERT_TRUE(QTest::qWaitFor([&] { return later.state() == QProcess::NotRunning; }, 20000));
  EXPECT_EQ(later.exitCode(), 0) << later.readAllStandardError().toStdString();

  const Point world = SextantToWorld(37, "N", 15, 12, "E", 5);
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.PanelTexts().Edit1 == QString::number(world.x); }));
  EXPECT_EQ(form.PanelTexts().Edit2, QString::number(world.y));
  EXPECT_EQ(form.PanelTexts().Edit4, "37");
  EXPECT_EQ(form.PanelTexts().ComboBox2, "E");
  EXPECT_EQ((Point{form.CrossX(), form.CrossY()}), CrossFor(form, world));
}

// A later start handed over while this start's own request waits (a message of the start-up loading
// was shown) is acted on after it: the position asked for last stands.
TEST_F(StartRequestsTest, AHandOverDuringTheStartComesAfterTheStartsOwnRequest) {
  const std::string map = MakeMap("world", 512, 410);
  WriteText(settingsFile, "[General]\r\nLastMapFilename=" + map + "\r\n");
  TForm1& form = Open();
  StartRequests requests(form);
  requests.HoldHandOvers();
  requests.ActOnHandOver({"--where", "1500", "1200"});
  StartRequest own;
  own.where = Point{10, 10};
  requests.ApplyOwn(own);
  EXPECT_EQ(form.PanelTexts().Edit1, "1500");
  EXPECT_EQ(form.PanelTexts().Edit2, "1200");
}

TEST_F(StartRequestsTest, EachJournalLineWithAPositionMovesTheCross) {
  const std::string map = MakeMap("world", 512, 410);
  const std::string journal = Path("journal.txt");
  WriteText(journal, "Your location is 100 100 0\n");  // written before following: not shown
  TForm1& form = Open(false);
  StartRequests requests(form);
  StartRequest request;
  request.mapFile = Q(map);
  request.journal = Q(journal);
  requests.Apply(request, true);
  ASSERT_EQ(form.CurrentMapFile(), map);

  const struct {
    std::string line;
    QString x;  // the .where box afterwards
  } lines[] = {
      {"[12:30] Your location is 1500 1200 0\n", "1500"},
      {"Ann: meet me at 37\xB0 15' N, 12\xB0 5' E\n",
       QString::number(SextantToWorld(37, "N", 15, 12, "E", 5).x)},
      {"Your location is 4000 3000 0\r\n", "4000"},
  };
  std::ofstream out(journal, std::ios::app | std::ios::binary);
  for (const auto& l : lines) {
    SCOPED_TRACE(l.line);
    out << l.line << std::flush;
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.PanelTexts().Edit1 == l.x; }, 5000));
  }
  EXPECT_EQ(form.PanelTexts().Edit2, "3000");
  EXPECT_EQ((Point{form.CrossX(), form.CrossY()}), CrossFor(form, {4000, 3000}));
}

TEST(DroppedMapFile, TakesTheFirstMapInfoFileOrPicture) {
  const struct {
    QList<QUrl> urls;
    QString map;
  } cases[] = {
      {{QUrl::fromLocalFile("/m/town.dem")}, "/m/town.dem"},
      {{QUrl::fromLocalFile("/m/TOWN.JPG")}, "/m/TOWN.dem"},
      {{QUrl::fromLocalFile("/m/notes.txt"), QUrl::fromLocalFile("/m/b.jpg")}, "/m/b.dem"},
      {{QUrl("https://example.org/a.dem")}, ""},
      {{QUrl::fromLocalFile("/m/a.png")}, ""},
      {{}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(DroppedMapFile(c.urls), c.map) << c.map.toStdString();
}

TEST_F(StartRequestsTest, APictureDroppedOnTheWindowLoadsItsMap) {
  // Named as a system that ignores letter case may name it.
  const std::string map = Path("harbour.DEM");
  std::filesystem::rename(MakeMap("harbour", 300, 200), map);
  TForm1& form = Open();
  StartRequests requests(form);
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(Q(Path("harbour.JPG")))});
  mime.setText(Q(Path("harbour.JPG")));  // file managers offer the name as text too
  // Dropped on an edit box of the window, which would otherwise take the file's name as text.
  auto* box = form.findChild<QLineEdit*>("Edit1");
  ASSERT_TRUE(box);
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(box, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(box, &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_EQ(form.CurrentMapFile(), map);
  EXPECT_EQ(box->text(), QString::number(0));  // refreshed by the load, not the file's name
}

// The first load takes the picture decoded ahead for it instead of decoding the file again, with
// the overview made while it decoded.
TEST_F(StartRequestsTest, TheFirstLoadTakesThePictureDecodedAhead) {
  const std::string map = MakeMap("town", 1300, 200);
  const std::string picture = Path("town.JPG");
  PictureAhead ahead;
  ahead.Start(picture);
  TForm1Config config{settingsFile, &dialogs, 1234, &ahead};
  form = std::make_unique<TForm1>(config);
  ASSERT_EQ(form->LoadMap(map), LoadOutcome::Loaded);
  EXPECT_EQ(form->MapImage().size(), QSize(1300, 200));
  EXPECT_EQ(form->Overview()->Thumbnail().thumbnail, MakeOverview(form->MapImage()).thumbnail);
  EXPECT_TRUE(form->MapImage().isDetached());
  QImage left;
  EXPECT_FALSE(TakePicture(ahead, picture, left));  // handed over once, to the load
}

// The last map and a chosen bookmark font are in the settings file at once, before any shutdown.
TEST_F(StartRequestsTest, TheLoadedMapAndAChosenFontAreRememberedAtOnce) {
  const std::string map = MakeMap("town", 300, 200);
  TForm1& form = Open();
  ASSERT_EQ(form.LoadMap(map), LoadOutcome::Loaded);
  BookmarkFontSpec font;
  font.name = "Courier New";
  font.size = 14;
  dialogs.fontAnswer = font;
  form.BookmarkFontSetup1Click();
  const std::string settings = ReadText(settingsFile);
  EXPECT_NE(settings.find("LastMapFilename=" + map), std::string::npos) << settings;
  EXPECT_NE(settings.find("Name=Courier New"), std::string::npos) << settings;
  EXPECT_NE(settings.find("Size=14"), std::string::npos) << settings;
}

// A signal from the session closes the window without a question nobody would answer, even with
// control points in the calibration assistant that are not saved.
TEST_F(StartRequestsTest, ASignalClosesTheWindowWithoutAskingAnything) {
  const std::string map = MakeMap("town", 300, 200);
  TForm1& form = Open();
  ASSERT_EQ(form.LoadMap(map), LoadOutcome::Loaded);
  ShutdownSignals shutdown;
  StartRequests requests(form);
  requests.CloseOn(shutdown);
  Control<QAction>(form, "CalibrateMap1")->trigger();
  QTest::mouseClick(Control<TPaintBox>(form, "PaintBox1"), Qt::LeftButton, {}, QPoint(50, 60));
  auto* position = form.CalibrationAssistant().Window()->findChild<QLineEdit*>("PositionEdit");
  position->setText("1000 1000");
  QTest::keyClick(position, Qt::Key_Return);
  ASSERT_EQ(1u, form.CalibrationAssistant().Draft()->points().size());

  std::raise(SIGTERM);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 5000));
  EXPECT_TRUE(dialogs.questions.empty());
  EXPECT_EQ(128 + SIGTERM, shutdown.exitStatus());
}

}  // namespace
}  // namespace orv::testing
