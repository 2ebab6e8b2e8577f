// Map links through the real main window and map links window: drawing and naming areas, the hover,
// following links and going back, the list's highlight and removal, and what reaches the files.
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <filesystem>

#include "maplinks/linkframe.h"
#include "maplinks/maplinkswindow.h"
#include "storage/fields.h"
#include "storage/settings.h"
#include "view/mainwindow_fixture.h"
#include "view/mainwindow_ui.h"

namespace orv::testing {
namespace {

const std::string S(1, FieldSeparator);

class MapLinksTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    mapA = MakeMap("Aldmoor", 900, 700);
    mapB = MakeMap("Brindle", 300, 200);
  }

  TForm1& OpenOn(const std::string& map) {
    TForm1& window = Open(false);
    EXPECT_EQ(window.LoadMap(map), LoadOutcome::Loaded);
    original = window.MapImage();
    return window;
  }

  QWidget* Box() { return Control<TPaintBox>(*form, "PaintBox1"); }
  const QImage& Picture() { return form->MapImage(); }
  const std::vector<std::string>& Links() { return form->MapLinks(); }
  // The picture pixel under a view position.
  Point At(QPoint view) { return {view.x() + form->ScrollX(), view.y() + form->ScrollY()}; }

  void RightClick(QPoint view) {
    QTest::mouseClick(Box(), Qt::RightButton, {}, view);
    Control<QMenu>(*form, "PopupMenu1")->close();
  }
  void StartLink(QPoint view) {
    RightClick(view);
    Control<QAction>(*form, "AddMapLink1")->trigger();
  }
  // Keys as a keyboard with these characters would send them.
  void Type(const QString& text) {
    for (QChar ch : text) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
      QApplication::sendEvent(Control<QLineEdit>(*form, "Edit8"), &press);
    }
  }
  void Enter() { QTest::keyClick(Control<QLineEdit>(*form, "Edit8"), Qt::Key_Return); }
  // Draws an area with the pointer from one view position to the other, names it and picks target
  // (nothing: the dialog is cancelled).
  void AddLink(QPoint from, QPoint to, const QString& text, std::optional<std::string> target) {
    StartLink(from);
    QTest::mouseMove(Box(), to);
    QTest::mouseClick(Box(), Qt::LeftButton, {}, to);
    Type(text);
    dialogs.answers.push_back(target ? std::optional(QString::fromStdString(*target)) : std::nullopt);
    Enter();
  }

  struct Hover {
    QString text;
    bool hand;
  };
  Hover HoverAt(QPoint view) {
    QTest::mouseMove(Box(), view);
    const bool hand = Box()->cursor().shape() == Qt::PointingHandCursor;
    EXPECT_EQ(Control<QAction>(*form, "LoadMapforMapLink1")->isVisible(), hand);
    EXPECT_EQ(Control<QAction>(*form, "N4")->isVisible(), hand);
    return {form->StatusText(0), hand};
  }

  QImage WithFrames(std::initializer_list<LinkRect> frames) {
    QImage image = original;
    for (const LinkRect& r : frames) InvertFrame(image, r);
    return image;
  }

  std::string mapA, mapB;
  QImage original;
};

TEST_F(MapLinksTest, AnAreaDrawnFromTheLowerRightCoversTheOpenRectangleBetweenItsCorners) {
  OpenOn(mapA);
  const Point c1 = At({250, 120}), c2 = At({50, 20});
  AddLink({250, 120}, {50, 20}, "Brindle road", mapB);

  ASSERT_EQ(Links().size(), 1u);
  EXPECT_EQ(Links()[0], MakeMapLinkRecord({c1.x, c1.y, c2.x, c2.y}, "Brindle.dem", "Brindle road"));
  EXPECT_EQ(Picture(), original);  // the frame is gone once the link is stored
  EXPECT_TRUE(Control<QFrame>(*form, "Panel4")->isHidden());
  ASSERT_EQ(dialogs.requests.size(), 1u);
  EXPECT_EQ(dialogs.requests[0].title, "Link to Map");
  EXPECT_EQ(dialogs.requests[0].filter, "Orvantis Map Info Files (*.dem)");
  EXPECT_EQ(dialogs.requests[0].initialName, "*.dem");

  const struct {
    QPoint view;
    bool inside;
  } cases[] = {{{50, 70}, false},  {{51, 70}, true},  {{249, 119}, true},  {{250, 60}, false},
               {{150, 20}, false}, {{150, 21}, true}, {{150, 120}, false}, {{300, 60}, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.view.x() << "," << c.view.y());
    const Hover hover = HoverAt(c.view);
    EXPECT_EQ(hover.hand, c.inside);
    EXPECT_EQ(hover.text, c.inside ? "Brindle road" : "");
  }
  EXPECT_EQ(form->Links().HoverLinkFile, "Brindle.dem");  // kept after leaving the area
}

// Another map loaded while the area's target is being chosen (a later start hands one over): the area
// belonged to the map left, so no link is added to either map and no frame reaches the new picture.
TEST_F(MapLinksTest, AMapLoadedWhileTheTargetIsChosenAddsNoLinkAndLeavesNoFrame) {
  OpenOn(mapA);
  QImage brindle;
  dialogs.whileOpen = [&] {
    ASSERT_EQ(form->LoadMap(mapB), LoadOutcome::Loaded);
    brindle = Picture().copy();
  };
  AddLink({50, 20}, {250, 120}, "To Brindle", mapB);
  EXPECT_TRUE(Links().empty());
  EXPECT_EQ(Picture(), brindle);
  EXPECT_EQ(dialogs.messages,
            std::vector<std::string>{
                "Another map was opened while the link was being made: the link was not added."});
  form->LoadMap(mapA);  // saves Brindle's links into its file
  for (const std::string& map : {mapA, mapB}) EXPECT_EQ(ReadSetting("Map Links", "maplink1", map), "") << map;
}

TEST_F(MapLinksTest, TheHoverFollowsWhenTheViewMovesAnAreaUnderARestingPointer) {
  OpenOn(mapA);
  form->ScrollViewTo(0, 0);
  AddLink({50, 20}, {250, 120}, "Brindle road", mapB);
  // The pointer rests at view (150, 60); only the view moves, as keys and Back move it.
  const struct {
    int scrollY;
    const char* message;  // put into panel 0 before the view moves
    bool hand;
    const char* text;
  } steps[] = {
      {150, nullptr, false, ""},             // off the area
      {0, nullptr, true, "Brindle road"},    // onto it
      {10, "a message", true, "a message"},  // still on it: the message stays
      {150, nullptr, false, "a message"},    // off it: the message stays
      {0, nullptr, true, "Brindle road"},    // onto it again
      {150, nullptr, false, ""},             // off it: its text goes with it
  };
  form->ScrollViewTo(0, 150);
  QTest::mouseMove(Box(), {150, 60});
  for (const auto& step : steps) {
    SCOPED_TRACE(step.scrollY);
    if (step.message) form->SetStatusText(0, step.message);
    form->ScrollViewTo(0, step.scrollY);
    ASSERT_EQ(form->ScrollY(), step.scrollY);
    EXPECT_EQ(Box()->cursor().shape() == Qt::PointingHandCursor, step.hand);
    EXPECT_EQ(Control<QAction>(*form, "LoadMapforMapLink1")->isVisible(), step.hand);
    EXPECT_EQ(form->StatusText(0), step.text);
  }
}

TEST_F(MapLinksTest, TheFrameOfANewAreaComesOffWhetherTheLinkIsStoredDroppedOrCancelled) {
  OpenOn(mapA);
  // The opposite corner pressed before any pointer movement: the frame is drawn at once.
  StartLink({100, 30});
  QTest::mouseClick(Box(), Qt::LeftButton, {}, {200, 100});
  const Point a = At({100, 30}), b = At({200, 100});
  EXPECT_EQ(Picture(), WithFrames({{a.x, a.y, b.x, b.y}}));
  ASSERT_TRUE(Control<QFrame>(*form, "Panel4")->isVisible());
  Type(QString::fromUtf8("Ford\u00B3 \u03A9east"));  // the separator and a Greek letter are refused
  EXPECT_EQ(Control<QLineEdit>(*form, "Edit8")->text(), "Ford east");
  // A press on the map while the text is awaited drops the link, then places the cross.
  const Point cross = At({300, 140});
  QTest::mouseClick(Box(), Qt::LeftButton, {}, {300, 140});
  EXPECT_EQ(Picture(), original);
  EXPECT_TRUE(Control<QFrame>(*form, "Panel4")->isHidden());
  EXPECT_TRUE(Links().empty());
  EXPECT_EQ(form->CrossX(), cross.x);
  EXPECT_EQ(form->CrossY(), cross.y);

  // Pressed away from where the pointer last drew the frame, then the dialog is cancelled.
  StartLink({100, 30});
  QTest::mouseMove(Box(), {180, 90});
  QTest::mouseClick(Box(), Qt::LeftButton, {}, {200, 100});
  EXPECT_EQ(Picture(), WithFrames({{At({100, 30}).x, At({100, 30}).y, At({200, 100}).x, At({200, 100}).y}}));
  Enter();
  EXPECT_EQ(dialogs.requests.size(), 1u);
  EXPECT_EQ(Picture(), original);
  EXPECT_TRUE(Links().empty());
}

TEST_F(MapLinksTest, TheTextPanelIsCentredOnThePressAndKeptInsideTheMapArea) {
  OpenOn(mapA);
  const int w = Control<QFrame>(*form, "Panel4")->width(), h = Control<QFrame>(*form, "Panel4")->height();
  const struct {
    QPoint press, panel;
  } cases[] = {{{300, 100}, {300 - w / 2, 100 - h / 2}},
               {{5, 4}, {0, 0}},
               {{form->MapAreaWidth() - 2, form->MapAreaHeight() - 2},
                {form->MapAreaWidth() - w, form->MapAreaHeight() - h}}};
  for (const auto& c : cases) {
    StartLink({40, 40});
    QTest::mouseClick(Box(), Qt::LeftButton, {}, c.press);
    EXPECT_EQ(Control<QFrame>(*form, "Panel4")->pos(),
              Box()->mapTo(Control<QFrame>(*form, "Panel4")->parentWidget(), c.panel));
    EXPECT_EQ(form->PopupPoint(), At(c.press));
    RightClick({40, 40});  // cancels
  }
  EXPECT_EQ(Picture(), original);
}

TEST_F(MapLinksTest, AnAreaDrawnAtHalfSizeCoversTheSamePicturePixels) {
  OpenOn(mapA);
  form->ApplyZoom("50");
  const Point z1 = At({40, 20}), z2 = At({91, 61});
  AddLink({40, 20}, {91, 61}, "Half", mapB);
  ASSERT_EQ(Links().size(), 1u);
  EXPECT_EQ(*LinkArea(Links()[0]), (LinkRect{z1.x * 2, z1.y * 2, z2.x * 2, z2.y * 2}));
  form->ApplyZoom("100");
  // The view origin moved; go by picture pixels.
  const QPoint inside(z1.x * 2 + 1 - form->ScrollX(), z1.y * 2 + 1 - form->ScrollY());
  const QPoint onLine(z1.x * 2 - form->ScrollX(), z1.y * 2 + 5 - form->ScrollY());
  ASSERT_TRUE(QRect(QPoint(), Box()->size()).contains(inside));
  ASSERT_TRUE(QRect(QPoint(), Box()->size()).contains(onLine));
  EXPECT_EQ(HoverAt(inside).text, "Half");
  EXPECT_EQ(HoverAt(onLine).text, "");
}

TEST_F(MapLinksTest, OverlapsShowTheFirstTextAndLinksLeadAwayAndBackAcrossMapChanges) {
  OpenOn(mapA);
  AddLink({20, 20}, {200, 120}, "beta", mapA);    // to itself
  EXPECT_EQ(form->focusWidget(), Box());          // its keys, not the boxes', follow
  AddLink({100, 60}, {300, 150}, "Alpha", mapB);  // comes first: A before b, ignoring case
  ASSERT_EQ(Links().size(), 2u);
  EXPECT_EQ(GetField(6, Links()[0], FieldSeparator), "Alpha");
  const std::vector<std::string> linksOfA = Links();
  // The second dialog starts where the first choice was made.
  ASSERT_EQ(dialogs.requests.size(), 2u);
  EXPECT_EQ(dialogs.requests[1].startDirectory, dir.path());

  EXPECT_EQ(HoverAt({150, 100}).text, "Alpha");  // in both
  EXPECT_EQ(HoverAt({50, 40}).text, "beta");
  EXPECT_EQ(HoverAt({150, 100}).text, "Alpha");
  Control<QAction>(*form, "LoadMapforMapLink1")->trigger();
  EXPECT_EQ(form->CurrentMapFile(), mapB);
  EXPECT_TRUE(Links().empty());
  // Nothing of the link left behind stays on the map without links.
  EXPECT_EQ(form->StatusText(0), "");
  EXPECT_FALSE(Control<QAction>(*form, "LoadMapforMapLink1")->isVisible());
  EXPECT_EQ(Box()->cursor().shape(), Qt::ArrowCursor);
  // The links of the map left behind are in its file.
  EXPECT_EQ(ReadSetting("Map Links", "maplink1", mapA), linksOfA[0]);
  EXPECT_EQ(ReadSetting("Map Links", "maplink2", mapA), linksOfA[1]);

  QTest::mouseClick(Control<QPushButton>(*form, "goback"), Qt::LeftButton);
  EXPECT_EQ(form->CurrentMapFile(), mapA);
  EXPECT_EQ(Links(), linksOfA);
  QTest::mouseClick(Control<QPushButton>(*form, "goback"), Qt::LeftButton);
  EXPECT_EQ(form->CurrentMapFile(), mapB);
  EXPECT_EQ(form->PreviousMapFile(), mapA);
}

TEST_F(MapLinksTest, TheMenuOffersTheLinkUnderThePressAfterTheViewMovedUnderARestingPointer) {
  OpenOn(mapA);
  AddLink({20, 20}, {200, 120}, "Ford", mapB);
  ASSERT_TRUE(HoverAt({50, 40}).hand);
  form->ScrollViewTo(300, 300);  // as keys or a followed position move it; the pointer does not move
  QTest::mousePress(Box(), Qt::RightButton, {}, {50, 40});
  EXPECT_FALSE(Control<QAction>(*form, "LoadMapforMapLink1")->isVisible());
  Control<QMenu>(*form, "PopupMenu1")->close();
}

TEST_F(MapLinksTest, ATargetMissingBesideTheCurrentMapIsReportedAndTheMapStaysUsable) {
  std::filesystem::create_directory(Path("elsewhere"));
  WriteText(Path("elsewhere/Faraway.dem"), Dimensions(0, 0, 10, 0, 0, 10, 10, 10));
  OpenOn(mapA);
  AddLink({20, 20}, {200, 120}, "Far away", Path("elsewhere/Faraway.dem"));
  ASSERT_EQ(GetField(5, Links()[0], FieldSeparator), "Faraway.dem");
  EXPECT_EQ(HoverAt({50, 50}).text, "Far away");
  Control<QAction>(*form, "LoadMapforMapLink1")->trigger();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0], "Unable to load '" + Path("Faraway.dem") + "'. File not found.");
  EXPECT_EQ(form->CurrentMapFile(), mapA);
  EXPECT_EQ(Links().size(), 1u);
  EXPECT_EQ(HoverAt({60, 60}).text, "Far away");
}

// Map sets come from a system that ignores the letter case of file names: a link naming its target in
// another case leads to it.
TEST_F(MapLinksTest, ALinkNamingItsTargetInAnotherLetterCaseLeadsToIt) {
  ASSERT_TRUE(WriteSetting("Map Links", "maplink1", mapA,
                           MakeMapLinkRecord({20, 20, 200, 120}, "BRINDLE.DEM", "Up")));
  OpenOn(mapA);
  EXPECT_EQ(HoverAt({60, 70}).text, "Up");
  Control<QAction>(*form, "LoadMapforMapLink1")->trigger();
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(form->CurrentMapFile(), mapB);
}

TEST_F(MapLinksTest, HandWrittenRecordsAreListedAndSavedAsTheyAre) {
  const std::vector<std::string> records = {
      "10" + S + "10" + S + "100" + S + "100" + S + "Brindle.dem" + S,             // no text
      "1O" + S + "10" + S + "300" + S + "300" + S + "Brindle.dem" + S + "Edited",  // a letter O
      "150" + S + "10" + S + "250" + S + "100" + S + "Brindle.dem" + S + "Gate" + S + "tail"};
  for (std::size_t i = 0; i < records.size(); ++i) {
    WriteSetting("Map Links", "maplink" + std::to_string(i + 1), mapA, records[i]);
  }
  OpenOn(mapA);
  auto* list = form->form5()->findChild<QListWidget*>("ListBox1");
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->item(0)->text(), "");
  EXPECT_EQ(list->item(1)->text(), "Edited");
  EXPECT_EQ(list->item(2)->text(), "Gate");

  auto view = [&](int x, int y) { return QPoint(x - form->ScrollX(), y - form->ScrollY()); };
  ASSERT_TRUE(QRect(QPoint(), Box()->size()).contains(view(270, 110)));
  EXPECT_FALSE(HoverAt(view(50, 50)).hand);  // the link without text: found, but nothing offered
  EXPECT_EQ(form->Links().HoverLinkFile, "Brindle.dem");
  // "Edited" comes before "Gate" in the list, and read leniently its area would hold both points.
  EXPECT_EQ(HoverAt(view(200, 50)).text, "Gate");
  EXPECT_EQ(HoverAt(view(270, 110)).text, "");
  // The edited record gets no highlight.
  form->ShowMapLinksWindow1Click();
  list->setCurrentRow(1);
  EXPECT_EQ(Picture(), original);
  EXPECT_TRUE(dialogs.messages.empty());

  form->LoadMap(mapB);
  std::vector<std::string> saved;
  LoadMapLinks(saved, mapA);
  EXPECT_EQ(saved, (std::vector<std::string>{records[0], records[1], records[2]}));
}

TEST_F(MapLinksTest, AddingOrRemovingALinkReachesTheFileWithinASecond) {
  OpenOn(mapA);
  AddLink({20, 20}, {200, 120}, "Saved soon", mapB);
  QTRY_COMPARE_WITH_TIMEOUT(ReadSetting("Map Links", "maplink1", mapA), Links()[0], 3000);

  auto* list = form->form5()->findChild<QListWidget*>("ListBox1");
  form->ShowMapLinksWindow1Click();
  list->setCurrentRow(0);
  QTest::mouseClick(form->form5()->findChild<QPushButton*>("Button1"), Qt::LeftButton);
  QTRY_COMPARE_WITH_TIMEOUT(ReadSetting("Map Links", "maplink1", mapA), std::string(), 3000);

  // A map info file that cannot be written any more is reported.
  std::filesystem::remove(mapA);
  std::filesystem::create_directory(mapA);
  AddLink({20, 20}, {200, 120}, "Lost", mapB);
  QTRY_COMPARE_WITH_TIMEOUT(dialogs.messages.size(), std::size_t{1}, 3000);
  EXPECT_EQ(dialogs.messages[0], "Unable to save '" + mapA + "'. Your changes to it could not be written.");
}

class MapLinksWindowTest : public MapLinksTest {
 protected:
  void SetUp() override {
    MapLinksTest::SetUp();
    mapA = MakeMap("Aldmoor", 2000, 1500);
    areas = {{100, 100, 300, 250}, {200, 150, 500, 400}, {1940, 1450, 1990, 1495}};
    for (std::size_t i = 0; i < areas.size(); ++i) {
      WriteSetting("Map Links", "maplink" + std::to_string(i + 1), mapA,
                   MakeMapLinkRecord(areas[i], "Brindle.dem", "link " + std::to_string(i + 1)));
    }
  }
  QListWidget* List() { return form->form5()->findChild<QListWidget*>("ListBox1"); }
  void ClickLine(int line) {
    QListWidget* list = List();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(line)).center());
  }
  void Remove() { QTest::mouseClick(form->form5()->findChild<QPushButton*>("Button1"), Qt::LeftButton); }

  std::vector<LinkRect> areas;
};

TEST_F(MapLinksWindowTest, OneHighlightAtATimeRemovedOnCloseAndOnRemoval) {
  OpenOn(mapA);
  form->ShowMapLinksWindow1Click();
  TForm5* window = form->form5();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  EXPECT_EQ(window->windowTitle(), "Map Links");
  EXPECT_EQ(window->size(), QSize(396, 144));
  EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);

  ClickLine(0);
  EXPECT_EQ(Picture(), WithFrames({areas[0]}));
  ClickLine(1);
  EXPECT_EQ(Picture(), WithFrames({areas[1]}));
  window->close();
  EXPECT_EQ(Picture(), original);

  form->ShowMapLinksWindow1Click();
  EXPECT_EQ(form->Links().HighlightRect, LinkRect{});
  // The line still chosen frames its area again when clicked.
  ASSERT_EQ(List()->currentRow(), 1);
  ClickLine(1);
  EXPECT_EQ(Picture(), WithFrames({areas[1]}));
  // Removing with the removed link highlighted takes its frame along.
  ClickLine(0);
  Remove();
  EXPECT_EQ(Picture(), original);
  ASSERT_EQ(List()->count(), 2);
  EXPECT_EQ(List()->item(0)->text(), "link 2");

  // Removing with nothing highlighted changes only the list.
  List()->setCurrentRow(0);
  window->close();
  form->ShowMapLinksWindow1Click();
  Remove();
  EXPECT_EQ(Picture(), original);
  ASSERT_EQ(Links().size(), 1u);
  EXPECT_EQ(GetField(6, Links()[0], FieldSeparator), "link 3");
  // And with no line selected, nothing.
  Remove();
  EXPECT_EQ(Links().size(), 1u);

  // A map load brings a picture without the highlight; closing afterwards must not draw it back.
  ClickLine(0);
  form->LoadMap(mapA);
  original = Picture();
  window->close();
  EXPECT_EQ(Picture(), original);
}

TEST_F(MapLinksWindowTest, SelectingScrollsTheAreasMiddleToTheViewsMiddleAsFarAsTheRangeAllows) {
  OpenOn(mapA);
  form->ShowMapLinksWindow1Click();
  // The window stands beside the main window, so it hides no area.
  form->form5()->move(form->frameGeometry().topRight() + QPoint(20, 0));
  const int w = form->MapAreaWidth(), h = form->MapAreaHeight();
  const int maxX = 2000 - w, maxY = 1500 - h;

  ClickLine(1);  // middle (350, 275)
  EXPECT_EQ(form->ScrollX(), std::clamp(350 - w / 2, 0, maxX));
  EXPECT_EQ(form->ScrollY(), std::clamp(275 - h / 2, 0, maxY));
  ClickLine(2);  // at the lower right corner
  EXPECT_EQ(form->ScrollX(), maxX);
  EXPECT_EQ(form->ScrollY(), maxY);
  // Its frame shows at the edge of the view: the view pixel over picture pixel (1989, 1494).
  const QImage& view = form->ViewBuffer();
  EXPECT_EQ(view.pixel(1989 - maxX, 1494 - maxY), Picture().pixel(1989, 1494));
  EXPECT_NE(Picture().pixel(1989, 1494), original.pixel(1989, 1494));

  form->ApplyZoom("200");
  ClickLine(1);
  EXPECT_EQ(form->ScrollX(), 700 - w / 2);
  EXPECT_EQ(form->ScrollY(), 550 - h / 2);
}

}  // namespace
}  // namespace orv::testing
