// The bookmarks window with real keys: the search box narrows the list and the list's actions still
// reach the right record, the distance order follows the cross, Ctrl+Z and Ctrl+Shift+Z undo and redo,
// and bookmarks go out to a file and come back in from the Map menu and the window's buttons.
#include <gmock/gmock.h>

#include <QFile>

#include "view/text.h"
#include "window_fixture.h"

namespace orv::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class BookmarksFindTest : public BookmarksWindowTest {
 protected:
  // A map, and three global bookmarks in name order; the window open on the global page.
  TForm3& OpenWithGlobals() {
    Open();
    map = MakeMap("town");
    EXPECT_EQ(form->LoadMap(map), LoadOutcome::Loaded);
    EditBookmarkLists(S(), [](BookmarkLists& b) {
      b.GlobalBookmarks = {R({"id1", "V", "100", "100", "Bank", "\"open late\""}),
                           R({"id2", "V", "2000", "2000", "Caf\xE9 Royal"}),
                           R({"id3", "V", "900", "900", "Inn"})};
      b.GlobalBookmarkFonts = {
          "Arial\xB3"
          "10\xB3"
          "0\xB3"
          "b",
          "Arial\xB3"
          "12\xB3"
          "0\xB3",
          "Arial\xB3"
          "9\xB3"
          "0\xB3"
          "i"};
    });
    TForm3& w = Bookmarks();
    w.FillBookmarkLists();
    return w;
  }
  std::string map;
};

TEST_F(BookmarksFindTest, SearchNarrowsTheListAndItsActionsReachTheShownBookmark) {
  TForm3& w = OpenWithGlobals();
  BookmarksControls c(w);
  const auto& globals = S().Bookmarks().GlobalBookmarks();

  QTest::keyClicks(c.SearchBox1, "CAFE");
  EXPECT_EQ(Entries(c.ListBox1), QStringList{QString::fromUtf8("Café Royal")});
  c.SearchBox1->clear();
  QTest::keyClicks(c.SearchBox1, "late");  // "late" stands in the notes of Bank only
  ASSERT_EQ(Entries(c.ListBox1), QStringList{"Bank"});

  // Entry 0 of the narrowed list is record 0 here; narrow to the last record to tell them apart.
  c.SearchBox1->clear();
  QTest::keyClicks(c.SearchBox1, "inn");
  ASSERT_EQ(Entries(c.ListBox1), QStringList{"Inn"});
  Click(c.ListBox1, 0);
  EXPECT_EQ(S().PanelTexts().Edit1, "900");  // the chosen bookmark's world x
  QTest::keyClicks(c.Memo1, "rooms");
  QTest::mouseClick(c.CheckBox1, Qt::LeftButton, {}, c.CheckBox1->rect().center());
  EXPECT_EQ(globals[2], R({"id3", "N", "900", "900", "Inn", "rooms"}));
  EXPECT_EQ(globals[0], R({"id1", "V", "100", "100", "Bank", "\"open late\""}));

  // Typing on while a bookmark is chosen keeps it chosen as long as it matches.
  QTest::keyClick(c.SearchBox1, Qt::Key_Backspace);
  EXPECT_EQ(Chosen(c.ListBox1), "Inn");
  EXPECT_EQ(c.Memo1->toPlainText(), "rooms");

  QTest::mouseClick(c.Button2, Qt::LeftButton);
  EXPECT_EQ(globals.size(), 2u);
  EXPECT_EQ(globals[1], R({"id2", "V", "2000", "2000", "Caf\xE9 Royal"}));
  EXPECT_EQ(S().StatusText(0), "Deleted 'Inn'. Ctrl+Z brings it back.");
  EXPECT_TRUE(Entries(c.ListBox1).isEmpty());  // the search box still holds "in", which no other matches
}

TEST_F(BookmarksFindTest, DistanceOrderPutsTheNearestToTheCrossFirst) {
  TForm3& w = OpenWithGlobals();
  BookmarksControls c(w);
  // The cross at the world point (1000, 1000): the map has 0.4 picture pixels per world unit.
  S().Viewport().SetCross({400, 400});
  c.SortBox1->setCurrentIndex(1);
  EXPECT_EQ(Entries(c.ListBox1), (QStringList{"Inn", "Bank", QString::fromUtf8("Café Royal")}));
  c.SortBox1->setCurrentIndex(0);
  EXPECT_EQ(Entries(c.ListBox1), (QStringList{"Bank", QString::fromUtf8("Café Royal"), "Inn"}));
}

TEST_F(BookmarksFindTest, CtrlZBringsBackDeletionsVisibilityAndNotesAndCtrlShiftZRedoes) {
  TForm3& w = OpenWithGlobals();
  BookmarksControls c(w);
  const BookmarkLists& b = S().Bookmarks().Lists();
  const BookmarkLists before = b;

  Click(c.ListBox1, 1);  // Café Royal
  QTest::keyClicks(c.Memo1, "cake");
  Click(c.ListBox1, 0);  // Bank
  QTest::mouseClick(c.CheckBox1, Qt::LeftButton, {}, c.CheckBox1->rect().center());
  QTest::mouseClick(c.Button2, Qt::LeftButton);
  ASSERT_EQ(b.GlobalBookmarks.size(), 2u);

  // In the notes box too, Ctrl+Z is the window's: three changes, three steps.
  c.Memo1->setFocus();
  QTest::keyClick(c.Memo1, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(b.GlobalBookmarks[0], R({"id1", "N", "100", "100", "Bank", "\"open late\""}));
  EXPECT_EQ(b.GlobalBookmarkFonts, before.GlobalBookmarkFonts);
  EXPECT_EQ(Chosen(c.ListBox1), "Bank");  // the bookmark brought back is chosen
  QTest::keyClick(c.ListBox1, Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(c.SearchBox1, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(b.GlobalBookmarks, before.GlobalBookmarks);
  EXPECT_EQ(c.Memo1->toPlainText(), "");  // Café Royal chosen, without notes again
  QTest::keyClick(c.ListBox1, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(S().StatusText(0), "Nothing to undo.");

  QTest::keyClick(c.ListBox1, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(c.Memo1->toPlainText(), "cake");
  WaitForSave();
  EXPECT_THAT(ReadText(settingsFile), HasSubstr(R({"id2", "V", "2000", "2000", "Caf\xE9 Royal", "cake"})));
}

TEST_F(BookmarksFindTest, ExportFromTheMapMenuAndImportThroughTheWindow) {
  TForm3& w = OpenWithGlobals();
  BookmarksControls c(w);
  EditBookmarkLists(S(), [](BookmarkLists& b) {
    b.CurrentMapBookmarks = {R({"V", "5", "6", "Well"})};
    b.CurrentMapBookmarkFonts = {
        "Arial\xB3"
        "8\xB3"
        "0\xB3"
        "u"};
  });
  const BookmarkLists& b = S().Bookmarks().Lists();
  const BookmarkLists before = b;

  const std::string file = Path("out.json");
  dialogs.choiceAnswers = {2};  // All
  dialogs.saveAnswers = {QString::fromStdString(file)};
  Control<QAction>(*form, "ExportBookmarks1")->trigger();
  ASSERT_THAT(dialogs.messages, ElementsAre("Exported 4 bookmark(s) to \"out.json\"."));
  EXPECT_THAT(ReadText(file), HasSubstr("\"name\": \"Caf\xC3\xA9 Royal\""));

  // The global ones gone, then taken back from the file: new identifiers, sorted, shown and saved.
  EditBookmarkLists(S(), [](BookmarkLists& lists) {
    lists.GlobalBookmarks.clear();
    lists.GlobalBookmarkFonts.clear();
  });
  w.FillBookmarkLists();
  dialogs.choiceAnswers = {1};  // Global
  dialogs.answers = {QString::fromStdString(file)};
  QTest::mouseClick(c.Get<QPushButton>("ImportButton1"), Qt::LeftButton);
  EXPECT_EQ(dialogs.messages.back(),
            "Imported 3 bookmark(s).\n\nSkipped 1 map bookmark(s): only the global ones were asked for.");
  ASSERT_EQ(b.GlobalBookmarks.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_NE(GetField(1, b.GlobalBookmarks[i], FieldSeparator),
              GetField(1, before.GlobalBookmarks[i], FieldSeparator));
    EXPECT_EQ(SetField(1, b.GlobalBookmarks[i], FieldSeparator, "x"),
              SetField(1, before.GlobalBookmarks[i], FieldSeparator, "x"));
  }
  EXPECT_EQ(b.GlobalBookmarkFonts, before.GlobalBookmarkFonts);
  EXPECT_EQ(b.CurrentMapBookmarks, before.CurrentMapBookmarks);
  EXPECT_EQ(Entries(c.ListBox1), (QStringList{"Bank", QString::fromUtf8("Café Royal"), "Inn"}));
  WaitForSave();
  EXPECT_THAT(ReadText(settingsFile), HasSubstr("Inn"));

  // All again: every bookmark is there already, and a broken file brings in nothing.
  dialogs.choiceAnswers = {2};
  dialogs.answers = {QString::fromStdString(file)};
  QTest::mouseClick(c.Get<QPushButton>("ImportButton1"), Qt::LeftButton);
  EXPECT_THAT(dialogs.messages.back(), HasSubstr("Skipped 4 already present"));
  WriteText(Path("broken.csv"), "scope,map,name\r\n");
  dialogs.choiceAnswers = {2};
  dialogs.answers = {QString::fromStdString(Path("broken.csv"))};
  Control<QAction>(*form, "ImportBookmarks1")->trigger();
  EXPECT_THAT(dialogs.messages.back(), HasSubstr("Nothing was imported."));
  EXPECT_EQ(b.GlobalBookmarks.size(), 3u);
}

}  // namespace
}  // namespace orv::testing
