// Loading maps, starting up and shutting down, through the real main window.
#include <QListView>
#include <QMenu>
#include <filesystem>

#include "bookmarks/bookmarkswindow.h"
#include "core/mapinfo.h"
#include "mainwindow_fixture.h"
#include "storage/fields.h"
#include "storage/settings.h"
#include "view/mainwindow_ui.h"

namespace orv::testing {
namespace {

using LoadTest = MainWindowTest;

struct FailedLoad {
  const char* name;
  std::string (*prepare)(LoadTest&);  // writes the files, returns the path to load
  std::string message;                // what the user is told; <dir> stands for the directory
  LoadOutcome outcome;
};

std::string Replace(std::string text, const std::string& dir) {
  const auto at = text.find("<dir>");
  return at == std::string::npos ? text : text.replace(at, 5, dir);
}

TEST_F(LoadTest, EveryRefusedLoadTellsWhyAndLeavesTheCurrentMapAsItWas) {
  const std::vector<FailedLoad> cases = {
      {"missing file", [](LoadTest& t) { return t.Path("Nowhere.dem"); },
       "Unable to load '<dir>/Nowhere.dem'. File not found.", LoadOutcome::Refused},
      {"no map dimensions",
       [](LoadTest& t) {
         WriteText(t.Path("Empty.dem"), "[General]\r\nVersion=v2.2\r\n");
         WriteJpeg(t.Path("Empty.JPG"), PatternPicture(8, 8));
         return t.Path("Empty.dem");
       },
       "Unable to load '<dir>/Empty.dem'. Invalid map dimensions file.", LoadOutcome::Refused},
      {"first corner -9999999",
       [](LoadTest& t) {
         WriteText(t.Path("Minus.dem"), Dimensions(-9999999, 0, 10, 0, 0, 10, 10, 10));
         return t.Path("Minus.dem");
       },
       "Unable to load '<dir>/Minus.dem'. Invalid map dimensions file.", LoadOutcome::Refused},
      {"picture missing",
       [](LoadTest& t) {
         WriteText(t.Path("Bare.dem"), Dimensions(0, 0, 10, 0, 0, 10, 10, 10));
         return t.Path("Bare.dem");
       },
       "Unable to load image '<dir>/Bare.jpg'. File not found.", LoadOutcome::Refused},
      {"picture not a JPEG",
       [](LoadTest& t) {
         WriteText(t.Path("Text.dem"), Dimensions(0, 0, 10, 0, 0, 10, 10, 10));
         WriteText(t.Path("Text.jpg"), "this is no picture");
         return t.Path("Text.dem");
       },
       "Unable to load image '<dir>/Text.jpg'. The picture could not be read.", LoadOutcome::Refused},
      {"corner not an integer",
       [](LoadTest& t) {
         WriteText(t.Path("Bad.dem"),
                   "[Map Dimensions]\r\nUpperLeft_X=7\r\nUpperLeft_Y=8\r\nUpperRight_X=x9\r\n");
         WriteJpeg(t.Path("Bad.JPG"), PatternPicture(8, 8));
         return t.Path("Bad.dem");
       },
       "'x9' is not a valid integer value", LoadOutcome::CornerNotAnInteger},
  };
  const std::string first = MakeMap("First", 300, 200);
  TForm1& w = Open();
  ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(first));
  const QString title = w.windowTitle();
  for (const FailedLoad& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs.messages.clear();
    const MapCorners corners = w.MapCorners();
    EXPECT_EQ(c.outcome, w.LoadMap(c.prepare(*this)));
    EXPECT_EQ(std::vector<std::string>{Replace(c.message, dir.path().toStdString())}, dialogs.messages);
    EXPECT_EQ(first, w.CurrentMapFile());
    EXPECT_EQ("", w.PreviousMapFile());
    EXPECT_EQ(title, w.windowTitle());
    EXPECT_EQ(QSize(300, 200), w.MapImage().size());
    // The map still shown keeps its own corners, also when the other file's first ones were numbers.
    EXPECT_EQ(corners, w.MapCorners());
  }
}

TEST_F(LoadTest, DamagedPictureLoadsAndTellsOnce) {
  const std::string dem = MakeMap("Cut", 400, 300);
  const std::string whole = ReadText(Path("Cut.JPG"));
  WriteText(Path("Cut.JPG"), whole.substr(0, whole.size() / 2));
  TForm1& w = Open();
  EXPECT_EQ(LoadOutcome::Loaded, w.LoadMap(dem));
  EXPECT_EQ(std::vector<std::string>{"The picture '" + Path("Cut.jpg") +
                                     "' is damaged; parts of it may be missing."},
            dialogs.messages);
  EXPECT_EQ(QSize(400, 300), w.MapImage().size());
  EXPECT_EQ(dem, w.CurrentMapFile());
}

TEST_F(LoadTest, PreviousMapFollowsEachLoadAndZoomResets) {
  const std::string a = MakeMap("Alpha", 200, 100), b = MakeMap("Beta", 100, 200);
  TForm1& w = Open();
  w.LoadMap(a);
  EXPECT_EQ(a, w.CurrentMapFile());
  EXPECT_EQ("", w.PreviousMapFile());
  w.LoadMap(b);
  EXPECT_EQ(b, w.CurrentMapFile());
  EXPECT_EQ(a, w.PreviousMapFile());
  w.ApplyZoom("300");
  w.LoadMap(b);
  EXPECT_EQ(b, w.PreviousMapFile());
  EXPECT_EQ(100, w.ZoomPercent());
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LoadTest, LoadSetsTitleCornersPictureAndCrossFromWhereFields) {
  WriteText(Path("NORTHWOODS.DEM"), Dimensions(10, 20, 610, 20, 10, 420, 610, 420));
  WriteJpeg(Path("NORTHWOODS.JPG"), PatternPicture(640, 480));
  TForm1& w = Open();
  EXPECT_EQ("Orvantis v2.2 by Vexmoor", w.windowTitle().toStdString());
  ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(Path("NORTHWOODS.DEM")));
  EXPECT_EQ("Orvantis v2.2 By Vexmoor - Northwoods", w.windowTitle().toStdString());
  EXPECT_EQ((Point{610, 420}), w.MapCorners().lowerRight);
  EXPECT_EQ(OutlineOf(w.MapCorners()), w.MapOutline());
  // Empty .where boxes put the cross on world point (0, 0), the upper left corner.
  EXPECT_EQ(WorldToMapPixel(w.MapCorners(), 100, {0, 0}), (Point{w.CrossX(), w.CrossY()}));
  EXPECT_TRUE(Control<TPaintBox>(w, "PaintBox1")->isVisible());
}

TEST_F(LoadTest, NewPictureCarriesNoMarksOfTheOldOne) {
  const std::string a = MakeMap("Marked", 300, 200), b = MakeMap("Clean", 300, 200);
  TForm1& w = Open();
  w.LoadMap(a);
  // The outline shown, a highlight of the map links window, and a link area waiting for its text.
  w.Session().SetOutlineVisible(true);
  w.Links().HighlightRect = {10, 10, 50, 50};
  w.Links().NewLinkRect = {5, 5, 40, 40};
  Control<QFrame>(w, "Panel4")->show();
  w.LoadMap(b);
  EXPECT_FALSE(w.Session().OutlineVisible());
  EXPECT_EQ(-1, w.Links().HighlightRect.x1);
  EXPECT_EQ(-1, w.Links().NewLinkRect.x2);
  EXPECT_TRUE(Control<QFrame>(w, "Panel4")->isHidden());
  w.Links().LinkSelecting = true;  // awaiting the opposite corner
  w.LoadMap(a);
  EXPECT_FALSE(w.Links().LinkSelecting);
}

TEST_F(LoadTest, MapMenuAsksForAMapInfoFile) {
  const std::string dem = MakeMap("Chosen", 64, 64);
  dialogs.answers = {QString::fromStdString(dem), std::nullopt};
  TForm1& w = Open();
  Control<QAction>(w, "Load1")->trigger();
  ASSERT_EQ(1u, dialogs.requests.size());
  EXPECT_EQ("Load Map", dialogs.requests[0].title.toStdString());
  EXPECT_EQ("Orvantis Map Info Files (*.dem)", dialogs.requests[0].filter.toStdString());
  EXPECT_EQ("*.dem", dialogs.requests[0].initialName.toStdString());
  EXPECT_EQ(dem, w.CurrentMapFile());
  Control<QAction>(w, "Load1")->trigger();  // cancelled: nothing happens
  EXPECT_EQ(dem, w.CurrentMapFile());
  EXPECT_EQ("", w.PreviousMapFile());
}

TEST_F(LoadTest, FirstRunWithoutMapWritesOnlyTheBookmarkFont) {
  TForm1& w = Open();
  EXPECT_FALSE(Control<TPaintBox>(w, "PaintBox1")->isVisible());
  EXPECT_TRUE(dialogs.messages.empty());
  form.reset();
  EXPECT_EQ("", ReadSetting("General", "LastMapFilename", settingsFile));
  EXPECT_EQ("Arial", ReadSetting("Bookmark Font", "Name", settingsFile));
  EXPECT_EQ("10", ReadSetting("Bookmark Font", "Size", settingsFile));
  EXPECT_EQ("0", ReadSetting("Bookmark Font", "Color", settingsFile));
  EXPECT_EQ("b", ReadSetting("Bookmark Font", "Style", settingsFile));
  EXPECT_EQ(std::string::npos, ReadText(settingsFile).find("[General]"));
}

TEST_F(LoadTest, GlobalBookmarksChangedWithoutAMapAreSavedAtShutdown) {
  TForm1& w = Open();
  const std::string sep(1, '\xB3');
  EditBookmarkLists(w, [&](BookmarkLists& lists) {
    lists.GlobalBookmarks.push_back("AbCdEfGhIj" + sep + "V" + sep + "100" + sep + "200" + sep + "Camp");
    lists.GlobalBookmarkFonts.push_back("Arial" + sep + "10" + sep + "0" + sep + "b");
  });
  w.BookmarksChanged();
  form.reset();
  EXPECT_NE(std::string::npos, ReadSetting("Map Bookmarks", "bookmark1", settingsFile).find("Camp"));
  EXPECT_EQ("", ReadSetting("General", "LastMapFilename", settingsFile));
}

TEST_F(LoadTest, LastMapComesBackAtTheNextStart) {
  const std::string dem = MakeMap("Again", 500, 400);
  WriteSetting("General", "LastMapFilename", settingsFile, Path("Gone.dem"));
  Open();  // a last map that no longer exists: no map, no message
  EXPECT_EQ("", form->CurrentMapFile());
  EXPECT_TRUE(dialogs.messages.empty());
  form->LoadMap(dem);
  form->ApplyZoom("50");
  form.reset();
  EXPECT_EQ(dem, ReadSetting("General", "LastMapFilename", settingsFile));
  TForm1& w = Open();
  EXPECT_EQ(dem, w.CurrentMapFile());
  EXPECT_EQ(100, w.ZoomPercent());
  EXPECT_EQ(QSize(500, 400), w.MapImage().size());
}

TEST_F(LoadTest, LastMapThatFailsIsReportedAndTheMapAreaStaysGrey) {
  WriteText(Path("Broken.dem"), Dimensions(0, 0, 10, 0, 0, 10, 10, 10));
  WriteSetting("General", "LastMapFilename", settingsFile, Path("Broken.dem"));
  TForm1& w = Open();
  EXPECT_EQ(std::vector<std::string>{"Unable to load image '" + Path("Broken.jpg") + "'. File not found."},
            dialogs.messages);
  EXPECT_TRUE(Control<TPaintBox>(w, "PaintBox1")->isVisible());
  w.RenderView();
  EXPECT_EQ(qRgb(128, 128, 128), w.ViewBuffer().pixel(w.MapAreaWidth() - 1, w.MapAreaHeight() - 1));
  form.reset();  // nothing loaded: the stale last map stays for the next start
  EXPECT_EQ(Path("Broken.dem"), ReadSetting("General", "LastMapFilename", settingsFile));
}

TEST_F(LoadTest, FailedSaveAtShutdownIsReportedAndTheRestGoesOn) {
  const std::string dem = MakeMap("Kept", 64, 64);
  settingsFile = Path("no-such-folder/orvantis.ini");
  TForm1& w = Open();
  w.LoadMap(dem);
  form.reset();
  EXPECT_EQ(std::vector<std::string>{"Unable to save '" + settingsFile +
                                     "'. Your changes to it could not be written."},
            dialogs.messages);
}

// A map in a folder of its own ("gone/Left.dem"), which a test removes so that the map's save fails.
std::string MapInFolderToRemove(MainWindowTest& t) {
  std::filesystem::create_directory(t.Path("gone"));
  const std::string map = t.Path("gone/Left.dem");
  WriteText(map, Dimensions(0, 0, 64, 0, 0, 64, 64, 64));
  WriteJpeg(t.Path("gone/Left.JPG"), PatternPicture(64, 64));
  return map;
}

TEST_F(LoadTest, FailedSaveAtAMapChangeNamesTheMapLeftAndTheNewMapLoads) {
  const std::string left = MapInFolderToRemove(*this);
  const std::string next = MakeMap("Next", 80, 60);
  TForm1& w = Open();
  ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(left));
  std::filesystem::remove_all(Path("gone"));  // the map's folder disappears: its save cannot be written
  EXPECT_EQ(LoadOutcome::Loaded, w.LoadMap(next));
  EXPECT_EQ(
      std::vector<std::string>{"Unable to save '" + left + "'. Your changes to it could not be written."},
      dialogs.messages);
  EXPECT_EQ(next, w.CurrentMapFile());
  EXPECT_EQ(left, w.PreviousMapFile());
}

// A map info file removed since its map was loaded is not made again by any save (it would hold no
// corners, and every later load of it would fail): its half of each save fails and is told, and the
// global bookmarks still reach the settings file.
TEST_F(LoadTest, AMapInfoFileRemovedSinceTheLoadIsNotMadeAgain) {
  const std::string gone = MakeMap("Gone", 64, 64);
  const std::string next = MakeMap("Next", 80, 60);
  TForm1& w = Open();
  ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(gone));
  EditBookmarkLists(w, [](BookmarkLists& lists) {
    lists.GlobalBookmarks.push_back(JoinFields({"AbCdEfGhIj", "V", "5", "5", "Ferry"}));
    lists.GlobalBookmarkFonts.push_back(JoinFields({"Arial", "10", "0", "b"}));
  });
  std::filesystem::remove(gone);
  const std::string told = "Unable to save '" + gone + "'. Your changes to it could not be written.";

  w.SaveBookmarksNow();
  w.SaveMapLinksNow();
  EXPECT_FALSE(std::filesystem::exists(gone));
  EXPECT_NE(std::string::npos, ReadText(settingsFile).find("Ferry"));
  EXPECT_EQ(std::vector<std::string>{told}, dialogs.messages);

  dialogs.messages.clear();
  ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(next));  // nothing of its own to lose; the loss was told
  EXPECT_TRUE(dialogs.messages.empty());
  ASSERT_EQ(LoadOutcome::Refused, w.LoadMap(gone));
  form.reset();
  EXPECT_FALSE(std::filesystem::exists(gone));
}

// The same with a bookmark of the map's own, which lives only in its file: leaving would lose it, so
// the user is asked first, and the map stays with the bookmark unless the user chooses to leave.
TEST_F(LoadTest, AMapWhoseOwnBookmarksCannotBeSavedIsLeftOnlyWhenTheUserSaysSo) {
  const std::string left = MapInFolderToRemove(*this);
  const std::string next = MakeMap("Next", 80, 60);
  TForm1& w = Open();
  ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(left));
  EditBookmarkLists(w, [](BookmarkLists& lists) {
    lists.CurrentMapBookmarks.push_back(JoinFields({"V", "5", "5", "Inn"}));
    lists.CurrentMapBookmarkFonts.push_back(JoinFields({"Arial", "10", "0", "b"}));
  });
  std::filesystem::remove_all(Path("gone"));
  for (const bool leave : {false, true}) {
    SCOPED_TRACE(leave);
    dialogs.asked.clear();
    dialogs.askAnswer = leave;
    EXPECT_EQ(leave ? LoadOutcome::Loaded : LoadOutcome::Declined, w.LoadMap(next));
    EXPECT_EQ(std::vector<std::string>{"Unable to save '" + left +
                                       "'. Open the other map all the same? The changes to this map's "
                                       "bookmarks and map links would be lost."},
              dialogs.asked);
    EXPECT_EQ(leave ? next : left, w.CurrentMapFile());
    EXPECT_EQ(leave ? 0u : 1u, w.CurrentMapBookmarks().size());
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LoadTest, ASettingsFileThatCannotBeReadIsToldAtStart) {
  std::filesystem::create_directory(settingsFile);
  Open();
  ASSERT_EQ(1u, dialogs.messages.size());
  EXPECT_EQ("Unable to read '" + settingsFile +
                "'. The global bookmarks and settings it holds are not shown, and it is not written over.",
            dialogs.messages[0]);
}

TEST_F(LoadTest, PopupMenuHoldsItsItemsInOrder) {
  TForm1& w = Open();
  std::vector<std::string> items;
  for (QAction* a : Control<QMenu>(w, "PopupMenu1")->actions())
    items.push_back(a->objectName().toStdString() + (a->isSeparator() ? "" : ":" + a->text().toStdString()) +
                    (a->isVisible() ? "" : " (hidden)"));
  EXPECT_EQ((std::vector<std::string>{
                "LoadMapforMapLink1:Load Map for Map Link (hidden)", "N4 (hidden)",
                "AddBookmark1:Add Bookmark", "BookmarkFontSetup1:Bookmark Font Setup...",
                "ShowBookmarksWindow1:Show Bookmarks Window", "N3", "AddMapLink1:Add Map Link",
                "ShowMapLinksWindow1:Show Map Links Window", "N2", "DirectionstoArea1:Directions to Area...",
                "PastePosition1:Paste Position", "CopyPosition1:Copy Position",
                "MapsShowingPoint1:Maps Showing This Point", "N1", "ZoomInOutMap1:Zoom Map In/Out..."}),
            items);
  ASSERT_EQ(2, Control<QMenu>(w, "AddBookmark1Menu")->actions().size());
  EXPECT_EQ("Current Map", Control<QMenu>(w, "AddBookmark1Menu")->actions()[0]->text().toStdString());
  EXPECT_EQ("Global", Control<QMenu>(w, "AddBookmark1Menu")->actions()[1]->text().toStdString());
}

TEST_F(LoadTest, LastMapWithABadCornerStillListsTheGlobalBookmarks) {
  WriteText(Path("Broken.dem"), "[Map Dimensions]\r\nUpperLeft_X=0\r\nUpperLeft_Y=north\r\n");
  WriteJpeg(Path("Broken.JPG"), PatternPicture(64, 64));
  WriteText(settingsFile, "[General]\r\nVersion=v2.2\r\nLastMapFilename=" + Path("Broken.dem") +
                              "\r\n[Map Bookmarks]\r\nbookmark1=Id00000001\xB3V\xB3"
                              "10\xB3"
                              "20\xB3Zeta\r\n"
                              "bookmark2=Id00000002\xB3V\xB3"
                              "30\xB3"
                              "40\xB3"
                              "alpha\r\n");
  TForm1& w = Open();
  EXPECT_EQ(std::vector<std::string>{"'north' is not a valid integer value"}, dialogs.messages);
  EXPECT_EQ("", w.CurrentMapFile());
  const QAbstractItemModel* globals = w.form3()->findChild<QListView*>("ListBox1")->model();
  ASSERT_EQ(2, globals->rowCount());
  EXPECT_EQ("alpha", globals->index(0, 0).data().toString().toStdString());
  EXPECT_EQ("Zeta", globals->index(1, 0).data().toString().toStdString());
}

TEST_F(LoadTest, LoadingThePreviousMapByItsOwnFieldGoesBack) {
  const std::string a = MakeMap("First", 64, 64), b = MakeMap("Second", 64, 64);
  TForm1& w = Open();
  w.LoadMap(a);
  w.LoadMap(b);
  w.LoadMap(w.PreviousMapFile());  // the field itself changes during the load
  EXPECT_EQ(a, w.CurrentMapFile());
  EXPECT_EQ(b, w.PreviousMapFile());
}

}  // namespace
}  // namespace orv::testing
