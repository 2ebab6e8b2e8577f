// Map making through the main window: the calibration assistant driven by clicks on the map and
// typed positions, a new map from a picture, and the maps offered for a point off the picture.
#include <gmock/gmock.h>

#include <QLabel>
#include <QTableWidget>
#include <QToolButton>
#include <filesystem>

#include "core/calibrationdraft.h"
#include "core/calibrationfile.h"
#include "core/mapinfo.h"
#include "mainwindow_fixture.h"
#include "storage/appsettings.h"
#include "view/atlasmenu.h"
#include "view/calibrationtool.h"
#include "view/calibrationwindow.h"

namespace orv::testing {
namespace {

// Corners that are no rectangle, inside a 600 x 500 picture.
const MapCorners kKnown{{20, 30}, {560, 40}, {10, 470}, {580, 460}};
const std::string kOtherLines =
    "[General]\r\nVersion=v2.2\r\n[Notes]\r\n; kept as written\r\nWho = the cartographer \r\n\r\n";

class MapMakingTest : public MainWindowTest {
 public:
  std::string MakeCalibrationMap() {
    const std::string dem = MakeMap("Cal", 600, 500);
    WriteText(dem, Dimensions(0, 0, 599, 0, 0, 499, 599, 499) + kOtherLines);
    return dem;
  }

  QAction* Menu(const char* name) { return Control<QAction>(*form, name); }
  CalibrationWindow* Assistant() { return form->CalibrationAssistant().Window(); }

  // Clicks the map at a picture pixel (zoom 100), scrolling it into view first.
  void ClickPicture(Point picture, Qt::MouseButton button = Qt::LeftButton) {
    form->ScrollViewTo(picture.x - 40, picture.y - 40);
    const QPoint view(picture.x - form->ScrollX(), picture.y - form->ScrollY());
    QTest::mouseClick(Control<TPaintBox>(*form, "PaintBox1"), button, {}, view);
  }
  // Picks a picture pixel on the map and types its position into the assistant.
  void AddPoint(Point picture, const QString& position) {
    ClickPicture(picture);
    auto* edit = Assistant()->findChild<QLineEdit*>("PositionEdit");
    edit->setText(position);
    QTest::keyClick(edit, Qt::Key_Return);
  }
  QString Summary() { return Assistant()->findChild<QLabel*>("CalibrationSummary")->text(); }
  // Opens the window on the map, then the assistant, and adds points on three of the known corners.
  void CalibrateThreeCorners(const std::string& dem) {
    Open(false);
    ASSERT_EQ(LoadOutcome::Loaded, form->LoadMap(dem));
    Menu("CalibrateMap1")->trigger();
    AddPoint(kKnown.upperLeft, "0 0");
    AddPoint(kKnown.upperRight, "5120 0");
    AddPoint(kKnown.lowerLeft, "0 4096");
  }
};

TEST_F(MapMakingTest, FourPointsFromKnownCornersGiveThemBackAndSaveKeepsTheOtherLines) {
  const std::string dem = MakeCalibrationMap();
  Open(false);
  ASSERT_EQ(LoadOutcome::Loaded, form->LoadMap(dem));
  form->findChild<QLineEdit*>("Edit1")->setText("2560");
  form->findChild<QLineEdit*>("Edit2")->setText("2048");
  Menu("CalibrateMap1")->trigger();
  ASSERT_TRUE(Assistant()->isVisible());

  // The corners are the picture pixels of the world's corners; positions typed in several forms.
  AddPoint(kKnown.upperLeft, "0 0");
  AddPoint(kKnown.upperRight, "[Guild] Ana: I'm at 5120, 0 now");
  AddPoint(kKnown.lowerLeft, "x=0 y=4096");
  EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages.front();
  // Three points already move the map onto the parallelogram they give.
  EXPECT_EQ((Point{10, 470}), form->MapCorners().lowerLeft);
  AddPoint(kKnown.lowerRight, "Your location is 5120 4096 0");

  const auto* table = Assistant()->findChild<QTableWidget*>("PointsTable");
  ASSERT_EQ(4, table->rowCount());
  EXPECT_EQ("560, 40", table->item(1, 1)->text());
  EXPECT_EQ("5120, 0", table->item(1, 2)->text());
  EXPECT_THAT(Summary().toStdString(), ::testing::HasSubstr("RMS: 0.00 pixels"));
  const CornerValues exact = form->CalibrationAssistant().Draft()->calibration().exact;
  for (auto [got, want] : {std::pair{exact.upperLeft, kKnown.upperLeft},
                           {exact.upperRight, kKnown.upperRight},
                           {exact.lowerLeft, kKnown.lowerLeft},
                           {exact.lowerRight, kKnown.lowerRight}}) {
    EXPECT_NEAR(want.x, got.x, 0.01);
    EXPECT_NEAR(want.y, got.y, 0.01);
  }
  // Live: the outline is shown on the new corners and the cross stands on the .where point under them.
  EXPECT_EQ(kKnown, form->MapCorners());
  EXPECT_TRUE(form->Session().OutlineVisible());
  EXPECT_EQ(OutlineOf(kKnown), form->MapOutline());
  EXPECT_EQ(WorldToMapPixel(kKnown, 100, {2560, 2048}), (Point{form->CrossX(), form->CrossY()}));

  QTest::mouseClick(Assistant()->findChild<QPushButton*>("SaveCalibration"), Qt::LeftButton);
  EXPECT_FALSE(Assistant()->isVisible());
  const std::string saved = ReadText(dem);
  EXPECT_EQ(kKnown, ReadMapInfo(dem, MapCorners{}).corners);
  EXPECT_NE(std::string::npos, saved.find(kOtherLines)) << saved;
  EXPECT_EQ(4u, LoadCalibrationPoints(dem).size());
  // The map shows the saved corners, and the outline goes as it came.
  EXPECT_EQ(kKnown, form->MapCorners());
  EXPECT_FALSE(form->Session().OutlineVisible());
}

TEST_F(MapMakingTest, CancelLeavesTheFileAsItWasAndTheMapOnItsOwnCorners) {
  const std::string dem = MakeCalibrationMap();
  const std::string before = ReadText(dem);
  Open(false);
  ASSERT_EQ(LoadOutcome::Loaded, form->LoadMap(dem));
  const QImage picture = form->MapImage().copy();
  const MapCorners own = form->MapCorners();
  Menu("CalibrateMap1")->trigger();
  AddPoint({100, 100}, "1000 1000");
  AddPoint({400, 120}, "4000 1000");
  AddPoint({130, 380}, "1000 3000");
  ASSERT_NE(own, form->MapCorners());

  QTest::mouseClick(Assistant()->findChild<QPushButton*>("CancelCalibration"), Qt::LeftButton);
  EXPECT_FALSE(Assistant()->isVisible());
  EXPECT_EQ(before, ReadText(dem));
  EXPECT_EQ(own, form->MapCorners());
  EXPECT_EQ(picture, form->MapImage());  // the outline the assistant showed is gone
  // Closed, the assistant takes no more clicks: the cross goes where the map is clicked.
  ClickPicture({200, 200});
  EXPECT_EQ((Point{200, 200}), (Point{form->CrossX(), form->CrossY()}));
}

// Loading another map with control points that are not saved asks first, as quitting does: Cancel
// stays on the map with the work, Discard loads the other map leaving both files as they were, Save
// writes the points into their own map's file and loads the other map.
TEST_F(MapMakingTest, AnotherMapLoadedWithUnsavedPointsAsksToSaveThem) {
  struct Case {
    const char* name;
    std::optional<int> answer;  // nothing = Cancel, 0 = Save, 1 = Discard
    std::size_t savedPoints;
  };
  for (const Case& c : {Case{"cancel", std::nullopt, 0}, Case{"discard", 1, 0}, Case{"save", 0, 3}}) {
    SCOPED_TRACE(c.name);
    const std::string dem = MakeCalibrationMap();
    const std::string other = MakeMap("Other", 300, 200);
    const std::string before = ReadText(dem), otherBefore = ReadText(other);
    CalibrateThreeCorners(dem);
    dialogs.questions.clear();
    dialogs.choiceAnswers = {c.answer};

    const LoadOutcome outcome = form->LoadMap(other);
    ASSERT_EQ(1u, dialogs.questions.size());
    EXPECT_THAT(dialogs.questions[0].first.toStdString(), ::testing::HasSubstr("before opening another map"));
    if (!c.answer) {
      EXPECT_EQ(LoadOutcome::Declined, outcome);
      EXPECT_EQ(dem, form->CurrentMapFile());
      EXPECT_TRUE(Assistant()->isVisible());
      EXPECT_EQ(3u, form->CalibrationAssistant().Draft()->points().size());
    } else {
      EXPECT_EQ(LoadOutcome::Loaded, outcome);
      EXPECT_FALSE(Assistant()->isVisible());
      EXPECT_EQ(nullptr, form->CalibrationAssistant().Draft());
      EXPECT_EQ((MapCorners{{0, 0}, {300, 0}, {0, 200}, {300, 200}}), form->MapCorners());
      ClickPicture({50, 60});  // the designed click again: the cross goes there
      EXPECT_EQ((Point{50, 60}), (Point{form->CrossX(), form->CrossY()}));
    }
    EXPECT_EQ(c.savedPoints, LoadCalibrationPoints(dem).size());
    if (c.savedPoints == 0) EXPECT_EQ(before, ReadText(dem));
    if (c.savedPoints > 0) EXPECT_EQ(kKnown.upperRight, ReadMapInfo(dem, MapCorners{}).corners.upperRight);
    EXPECT_EQ(otherBefore, ReadText(other));
    EXPECT_TRUE(dialogs.messages.empty());
    form->CloseUnasked();
    form.reset();
  }
}

// Quitting with control points that are not saved asks first: Cancel keeps the program and the work,
// Discard quits leaving the file as it was, Save writes the points and quits. A close nobody can
// answer, or one with nothing new in the assistant, asks nothing.
TEST_F(MapMakingTest, QuittingWithUnsavedPointsAsksToSaveThem) {
  struct Case {
    const char* name;
    std::optional<int> answer;  // nothing = Cancel, 0 = Save, 1 = Discard
    bool unasked;
    bool staysOpen;
    std::size_t savedPoints;
  };
  for (const Case& c :
       {Case{"cancel", std::nullopt, false, true, 0}, Case{"discard", 1, false, false, 0},
        Case{"save", 0, false, false, 3}, Case{"by a signal", std::nullopt, true, false, 0}}) {
    SCOPED_TRACE(c.name);
    const std::string dem = MakeCalibrationMap();
    const std::string before = ReadText(dem);
    CalibrateThreeCorners(dem);
    ASSERT_EQ(3u, form->CalibrationAssistant().Draft()->points().size());
    dialogs.questions.clear();
    dialogs.choiceAnswers = {c.answer};

    if (c.unasked)
      form->CloseUnasked();
    else
      form->close();
    EXPECT_EQ(c.unasked ? 0u : 1u, dialogs.questions.size());
    EXPECT_EQ(c.staysOpen, form->isVisible());
    if (c.staysOpen) EXPECT_NE(nullptr, form->CalibrationAssistant().Draft());
    EXPECT_EQ(c.savedPoints, LoadCalibrationPoints(dem).size());
    if (c.savedPoints == 0) EXPECT_EQ(before, ReadText(dem));
    if (c.staysOpen) form->CloseUnasked();
    form.reset();
  }
  // Nothing changed since the assistant opened: nothing to ask about.
  Open(false);
  ASSERT_EQ(LoadOutcome::Loaded, form->LoadMap(MakeCalibrationMap()));
  Menu("CalibrateMap1")->trigger();
  dialogs.questions.clear();
  form->close();
  EXPECT_TRUE(dialogs.questions.empty());
  EXPECT_FALSE(form->isVisible());
}

TEST_F(MapMakingTest, DraggingAMarkerMovesItsPointAndMarksItLargest) {
  const std::string dem = MakeCalibrationMap();
  Open(false);
  ASSERT_EQ(LoadOutcome::Loaded, form->LoadMap(dem));
  Menu("CalibrateMap1")->trigger();
  const std::pair<Point, Point> points[] = {{{100, 100}, {1000, 1000}}, {{300, 100}, {3000, 1000}},
                                            {{500, 100}, {5000, 1000}}, {{100, 300}, {1000, 3000}},
                                            {{300, 300}, {3000, 3000}}, {{500, 300}, {5000, 3000}}};
  for (const auto& [pixel, world] : points) AddPoint(pixel, QString("%1 %2").arg(world.x).arg(world.y));
  ASSERT_EQ(6u, form->CalibrationAssistant().Draft()->points().size());

  // Press on point 5's marker, drag it 20 pixels to the right, release.
  auto* box = Control<TPaintBox>(*form, "PaintBox1");
  form->ScrollViewTo(250, 250);
  const QPoint from(300 - form->ScrollX(), 300 - form->ScrollY());
  QTest::mousePress(box, Qt::LeftButton, {}, from);
  QMouseEvent move(QEvent::MouseMove, from + QPoint(20, 0), box->mapToGlobal(from + QPoint(20, 0)),
                   Qt::NoButton, Qt::LeftButton, {});
  QApplication::sendEvent(box, &move);
  QTest::mouseRelease(box, Qt::LeftButton, {}, from + QPoint(20, 0));

  const CalibrationDraft& draft = *form->CalibrationAssistant().Draft();
  EXPECT_EQ((PicturePoint{320, 300}), draft.points()[4].picture);
  EXPECT_EQ(std::optional<std::size_t>(4), draft.calibration().largest);
  const auto* table = Assistant()->findChild<QTableWidget*>("PointsTable");
  EXPECT_EQ("5 largest", table->item(4, 0)->text());
  EXPECT_FALSE(form->CalibrationAssistant().Picked());  // the press took the marker, picked nothing
  // It is also the point selected in the list, so Remove Point takes it away.
  EXPECT_EQ(std::optional<std::size_t>(4), Assistant()->SelectedPoint());
  Assistant()->findChild<QPushButton*>("RemovePoint")->click();
  EXPECT_EQ(5u, draft.points().size());
  EXPECT_EQ((PicturePoint{500, 300}), draft.points()[4].picture);
}

TEST_F(MapMakingTest, APointSelectedInTheListOutOfSightIsBroughtIntoTheView) {
  const std::string dem = MakeCalibrationMap();
  Open(false);
  ASSERT_EQ(LoadOutcome::Loaded, form->LoadMap(dem));
  Menu("CalibrateMap1")->trigger();
  AddPoint({40, 40}, "1000 1000");
  AddPoint({560, 460}, "5000 5000");
  auto* table = Assistant()->findChild<QTableWidget*>("PointsTable");
  const auto shown = [&](Point picture) {
    const QPoint view(picture.x - form->ScrollX(), picture.y - form->ScrollY());
    return Control<TPaintBox>(*form, "PaintBox1")->rect().contains(view);
  };
  for (const auto& [row, picture, other] :
       {std::tuple{0, Point{40, 40}, Point{560, 460}}, std::tuple{1, Point{560, 460}, Point{40, 40}}}) {
    form->ScrollViewTo(other.x - 40, other.y - 40);
    ASSERT_FALSE(shown(picture));
    table->selectRow(row);
    EXPECT_TRUE(shown(picture)) << row;
    // A point already in sight leaves the view where it is.
    const Point at{form->ScrollX(), form->ScrollY()};
    table->clearSelection();
    table->selectRow(row);
    EXPECT_EQ(at, (Point{form->ScrollX(), form->ScrollY()})) << row;
  }
}

TEST_F(MapMakingTest, NewMapFromPictureWritesLoadsAndCalibratesButNeverReplacesAMapInfoFile) {
  WriteJpeg(Path("Fresh.JPG"), PatternPicture(300, 200));
  Open(false);
  dialogs.answers.push_back(QString::fromStdString(Path("Fresh.JPG")));
  Menu("NewMapFromPicture1")->trigger();
  EXPECT_EQ(Path("Fresh.dem"), form->CurrentMapFile());
  EXPECT_EQ((MapCorners{{0, 0}, {299, 0}, {0, 199}, {299, 199}}), form->MapCorners());
  EXPECT_TRUE(Assistant()->isVisible());

  // A map info file of that name exists: it is offered, and nothing is written either way.
  const std::string existing = MakeMap("Old", 300, 200);
  const std::string before = ReadText(existing);
  for (bool open : {false, true}) {
    dialogs.askAnswer = open;
    dialogs.answers.push_back(QString::fromStdString(Path("Old.JPG")));
    Menu("NewMapFromPicture1")->trigger();
    EXPECT_EQ(before, ReadText(existing));
    EXPECT_EQ(open ? existing : Path("Fresh.dem"), form->CurrentMapFile());
  }
  ASSERT_EQ(2u, dialogs.asked.size());
  EXPECT_THAT(dialogs.asked[0], ::testing::HasSubstr("Old.dem' already exists"));

  // A map left only with the user's word (here: unsaved control points, Cancel): no file stays behind,
  // and the picture can be made into a map afterwards.
  WriteJpeg(Path("Later.JPG"), PatternPicture(200, 100));
  Menu("CalibrateMap1")->trigger();
  AddPoint({10, 10}, "100 100");
  dialogs.choiceAnswers = {std::nullopt};
  dialogs.answers.push_back(QString::fromStdString(Path("Later.JPG")));
  Menu("NewMapFromPicture1")->trigger();
  EXPECT_EQ(existing, form->CurrentMapFile());
  EXPECT_FALSE(std::filesystem::exists(Path("Later.dem")));
}

class AtlasOfferTest : public MainWindowTest {
 public:
  void SetUp() override {
    MainWindowTest::SetUp();
    for (const char* name : {"Orrinsford", "Thornmere", "Veldrane"})
      for (const char* ext : {".dem", ".JPG"})
        std::filesystem::copy_file(std::string(ORV_SOURCE_DIR) + "/assets/maps/" + name + ext,
                                   Path(name + std::string(ext)));
  }
  void Update(int x, int y) {
    form->findChild<QLineEdit*>("Edit1")->setText(QString::number(x));
    form->findChild<QLineEdit*>("Edit2")->setText(QString::number(y));
    QTest::mouseClick(Control<QPushButton>(*form, "Button1"), Qt::LeftButton);
  }
  QStringList Offered() {
    QStringList captions;
    for (QAction* action : form->findChild<QMenu*>("MapsShowingPointOffer")->actions())
      captions << action->text();
    return captions;
  }
};

TEST_F(AtlasOfferTest, AnUpdateOffTheMapOffersTheMapsShowingThePointAndOneLoadsWithTheCrossOnIt) {
  Open(false);
  ASSERT_EQ(LoadOutcome::Loaded, form->LoadMap(Path("Orrinsford.dem")));
  auto* offer = form->findChild<QToolButton*>("MapsShowingPoint2");
  Update(2800, 2200);  // on the town's own picture: nothing offered
  EXPECT_FALSE(offer->isVisible());

  Update(2400, 1600);  // off the town, on the lake district and the world map
  ASSERT_TRUE(offer->isVisible());
  EXPECT_EQ((QStringList{"Thornmere", "Veldrane"}), Offered());
  EXPECT_THAT(form->StatusText(0).toStdString(), ::testing::HasSubstr("2 of your maps show it"));

  form->findChild<QMenu*>("MapsShowingPointOffer")->actions().front()->trigger();
  EXPECT_EQ(Path("Thornmere.dem"), form->CurrentMapFile());
  const MapCorners thornmere = ReadMapInfo(Path("Thornmere.dem"), MapCorners{}).corners;
  EXPECT_EQ(WorldToMapPixel(thornmere, 100, {2400, 1600}), (Point{form->CrossX(), form->CrossY()}));
  EXPECT_EQ("2400", form->findChild<QLineEdit*>("Edit1")->text());
  EXPECT_FALSE(offer->isVisible());
}

TEST_F(AtlasOfferTest, TheOfferLeavesTheZoomInSightAndStandsWhileTheMapLacksItsPoint) {
  Open(false);
  ASSERT_EQ(LoadOutcome::Loaded, form->LoadMap(Path("Orrinsford.dem")));
  auto* offer = form->findChild<QToolButton*>("MapsShowingPoint2");
  const auto* zoom = form->findChild<QLabel*>("ZoomStatus");
  const auto offered = [&] {
    const bool said = form->StatusText(0).contains("outside the map");
    EXPECT_EQ(said, offer->isVisible()) << "the button and its text go together";
    return offer->isVisible();
  };
  Update(2400, 1600);
  ASSERT_TRUE(offered());
  EXPECT_FALSE(offer->geometry().intersects(zoom->geometry()));
  Update(2800, 2200);  // on the town
  EXPECT_FALSE(offered());

  // Loaded again, the town still lacks the point; the world map shows it.
  Update(2400, 1600);
  ASSERT_EQ(LoadOutcome::Loaded, form->LoadMap(Path("Orrinsford.dem")));
  EXPECT_TRUE(offered());
  ASSERT_EQ(LoadOutcome::Loaded, form->LoadMap(Path("Veldrane.dem")));
  EXPECT_FALSE(offered());
}

TEST_F(AtlasOfferTest, ChosenMapsFoldersAreRememberedAndThePopupListsTheirMaps) {
  std::filesystem::create_directory(Path("elsewhere"));
  for (const char* ext : {".dem", ".JPG"})
    std::filesystem::rename(Path(std::string("Veldrane") + ext),
                            Path(std::string("elsewhere/Veldrane") + ext));
  WriteText(Path("elsewhere/Broken.dem"), "[General]\r\nVersion=v2.2\r\n");
  Open(false);
  ASSERT_EQ(LoadOutcome::Loaded, form->LoadMap(Path("Orrinsford.dem")));
  dialogs.foldersAnswer = std::vector<QString>{QString::fromStdString(Path("elsewhere"))};
  Control<QAction>(*form, "MapsFolders1")->trigger();
  EXPECT_EQ(std::vector<std::string>{Path("elsewhere")}, AppSettings(settingsFile).MapsFolders());
  ASSERT_EQ(1u, dialogs.messages.size());
  // The map that cannot be used is listed with the reason a load would give.
  EXPECT_THAT(dialogs.messages[0], ::testing::StartsWith("Maps found in the maps folders: 1.\n\n1 map info"));
  EXPECT_THAT(dialogs.messages[0], ::testing::HasSubstr("Broken.dem: Unable to load"));

  QMenu menu;
  form->MapsAtlas().FillMenu(&menu, {2800, 2200});
  ASSERT_EQ(1, menu.actions().size());
  EXPECT_EQ("Veldrane", menu.actions()[0]->text());

  // More folders than can be kept are refused as such, and the ones chosen before stay.
  dialogs.messages.clear();
  dialogs.foldersAnswer =
      std::vector<QString>(AppSettings::MaxMapsFolders + 1, QString::fromStdString(Path("")));
  for (std::size_t i = 0; i < dialogs.foldersAnswer->size(); ++i)
    (*dialogs.foldersAnswer)[i] += QString::number(i);
  Control<QAction>(*form, "MapsFolders1")->trigger();
  EXPECT_EQ(dialogs.messages,
            std::vector<std::string>{
                "At most 100 maps folders can be chosen. The maps folders stay as they were."});
  EXPECT_EQ(std::vector<std::string>{Path("elsewhere")}, AppSettings(settingsFile).MapsFolders());
}

// The files that could not be used are listed up to a point, then counted.
TEST(MapMakingPieces, MapsFoundTextCutsALongListOfFilesThatCouldNotBeUsed) {
  for (const std::size_t count : {std::size_t{0}, std::size_t{2}, kSkippedListed, kSkippedListed + 5}) {
    std::vector<SkippedMap> skipped;
    for (std::size_t i = 0; i < count; ++i) skipped.push_back({"/m/e" + std::to_string(i) + ".dem", "why"});
    const QStringList lines = MapsFoundText(3, skipped).split('\n');
    EXPECT_EQ("Maps found in the maps folders: 3.", lines[0]) << count;
    if (count == 0) {
      EXPECT_EQ(1, lines.size());
      continue;
    }
    EXPECT_EQ(QString("%1 map info files could not be used:").arg(count), lines[2]) << count;
    const std::size_t listed = std::min(count, kSkippedListed);
    EXPECT_EQ(QString("/m/e%1.dem: why").arg(listed - 1), lines[2 + listed]) << count;
    EXPECT_EQ(count > kSkippedListed ? QString("... and 5 more.") : QString("/m/e%1.dem: why").arg(count - 1),
              lines.last())
        << count;
  }
}

// The widget-free pieces: conversions of the pointer, the marker under it, what counts as off the
// picture, and which folders the atlas reads.
TEST(MapMakingPieces, PointerMarkersPictureEdgesAndFolders) {
  MapViewport viewport;
  viewport.SetAreaSize(200, 100);
  viewport.SetPictureSize(1000, 1000);
  struct Case {
    int zoom;
    Point origin, view;
    PicturePoint picture;
  };
  for (const Case& c : {Case{100, {0, 0}, {10, 20}, {10, 20}}, Case{200, {100, 50}, {5, 10}, {52.5, 30}},
                        Case{50, {20, 0}, {1, 3}, {42, 6}}}) {
    viewport.SetZoom(c.zoom);
    viewport.ScrollTo(c.origin);
    EXPECT_EQ(c.picture, PictureOfView(viewport, c.view)) << c.zoom;
    EXPECT_EQ((PicturePoint{double(c.view.x), double(c.view.y)}), ViewOfPicture(viewport, c.picture))
        << c.zoom;
  }

  viewport.SetZoom(100);
  viewport.ScrollTo({0, 0});
  const std::vector<ControlPoint> points{{{50, 50}, {}}, {{56, 50}, {1, 1}}};
  EXPECT_EQ(std::optional<std::size_t>(1), MarkerAt(points, viewport, {55, 50}, 8));  // the nearer
  EXPECT_EQ(std::optional<std::size_t>(0), MarkerAt(points, viewport, {45, 50}, 8));
  EXPECT_EQ(std::nullopt, MarkerAt(points, viewport, {40, 40}, 8));

  const MapCorners corners{{0, 0}, {512, 0}, {0, 410}, {512, 410}};  // 10 world units a pixel
  EXPECT_FALSE(OutsidePicture(corners, 100, 100, {990, 990}));
  EXPECT_TRUE(OutsidePicture(corners, 100, 100, {1000, 500}));  // pixel 100 is past the last
  EXPECT_TRUE(OutsidePicture(corners, 100, 100, {-20, 500}));

  EXPECT_EQ(std::vector<std::string>{"/maps/a"}, AtlasFolders({"/maps/a"}, "/x/y.dem"));
  EXPECT_EQ(std::vector<std::string>{"/x"}, AtlasFolders({}, "/x/y.dem"));
  EXPECT_TRUE(AtlasFolders({}, "").empty());
}

// What the assistant's list and summary say for a solve: residuals and their RMS as computed, the
// largest marked, and a refused set's own message with no residuals.
TEST(MapMakingPieces, RowsAndSummaryShowTheSolve) {
  std::vector<ControlPoint> points;
  for (int i = 0; i < 8; ++i) {
    const Point world{600 * i + 100, (i % 3) * 1500 + 200};
    const PicturePoint exact = PictureOfWorld({{20, 30}, {560, 40}, {10, 470}, {580, 460}}, world);
    // Half a pixel of noise, alternating in sign, as a player's clicks might have.
    points.push_back({{exact.x + (i % 2 ? 0.5 : -0.5), exact.y + (i % 3 ? -0.5 : 0.5)}, world});
  }
  const Calibration solved = SolveCalibration(points);
  ASSERT_TRUE(solved.ok());
  double sum = 0;
  for (const PointResidual& r : solved.residuals) sum += r.pixels * r.pixels;
  const QString rms = QString::number(std::sqrt(sum / 8), 'f', 2);
  EXPECT_THAT(
      CalibrationSummary(solved, 8).toStdString(),
      ::testing::HasSubstr(("8 points, least squares. Residuals RMS: " + rms + " pixels").toStdString()));
  for (std::size_t i = 0; i < points.size(); ++i) {
    const CalibrationRowTexts row = CalibrationRow(solved, points, i);
    EXPECT_EQ(QString::number(solved.residuals[i].pixels, 'f', 2), row.pixels);
    EXPECT_EQ(solved.largest == i, row.largest);
  }

  points[1].world = points[0].world;
  const Calibration refused = SolveCalibration(points);
  EXPECT_EQ(QString::fromStdString(refused.message), CalibrationSummary(refused, 8));
  const CalibrationRowTexts row = CalibrationRow(refused, points, 0);
  EXPECT_EQ("", row.pixels.toStdString());
  EXPECT_FALSE(row.largest);
  EXPECT_EQ("412.5, 96", PicturePointText({412.5, 96}).toStdString());
}

}  // namespace
}  // namespace orv::testing
