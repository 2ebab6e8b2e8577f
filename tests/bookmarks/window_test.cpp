// The bookmark handlers of the main window and the bookmarks window, driven through their controls.
#include <gmock/gmock.h>

#include <QClipboard>
#include <QImage>
#include <sstream>

#include "bookmarks/bookmarkstore.h"
#include "window_fixture.h"

namespace orv::testing {
namespace {

using ::testing::ElementsAre;

// Lines "key=value" of one section of a settings-format file, in file order.
std::vector<std::string> Section(const std::string& path, const std::string& section) {
  std::vector<std::string> out;
  std::istringstream in(ReadText(path));
  std::string line;
  bool inside = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '[') {
      inside = line == "[" + section + "]";
    } else if (inside && !line.empty()) {
      out.push_back(line);
    }
  }
  return out;
}

// Dark pixels (names are drawn black on the light map) in a rectangle of the view.
int DarkPixels(const QImage& view, const QRect& area) {
  int n = 0;
  const QRect r = area.intersected(view.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += qGray(view.pixel(x, y)) < 100;
  return n;
}

TEST_F(BookmarksWindowTest, NameBoxOpensAtTheClickedPointInsideTheMapArea) {
  Open();
  ASSERT_EQ(form->LoadMap(MakeMap("town")), LoadOutcome::Loaded);
  QLineEdit* edit = Control<QLineEdit>(*form, "Edit3");
  const QPoint box = Control<TPaintBox>(*form, "PaintBox1")->pos();
  form->ScrollViewTo(300, 200);
  ASSERT_EQ(form->ScrollX(), 300);

  // Away from the edges the box's corner is at the clicked point.
  RightClickAndChoose({40, 30}, Control<QAction>(*form, "CurrentMap1"));
  EXPECT_EQ(S().PopupPoint(), (Point{340, 230}));
  EXPECT_TRUE(edit->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), edit);
  EXPECT_EQ(edit->pos(), box + QPoint(40, 30));

  // Near the right and bottom edges it moves left and up; choosing again moves and empties it.
  QTest::keyClicks(edit, "half");
  RightClickAndChoose({form->MapAreaWidth() - 3, form->MapAreaHeight() - 2},
                      Control<QAction>(*form, "Global1"));
  EXPECT_EQ(edit->text(), "");
  EXPECT_EQ(edit->geometry().right(), box.x() + form->MapAreaWidth() - 1);
  EXPECT_EQ(edit->geometry().bottom(), box.y() + form->MapAreaHeight() - 1);

  // Escape and other keys leave it open; characters a record cannot hold are refused.
  QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_TRUE(edit->isVisible());
  Type(edit, QString::fromUtf8("Mill\u00B3\u0100 \u20AC"));
  EXPECT_EQ(edit->text(), QString::fromUtf8("Mill \u20AC"));
  QApplication::clipboard()->setText(QString::fromUtf8("x\u00B3y"));
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit->text(), QString::fromUtf8("Mill \u20AC"));
}

// A name typed for a point of one map does not land in the next: the box closes when a map loads.
TEST_F(BookmarksWindowTest, AnotherMapLoadedClosesTheNameBoxWithoutAddingTheBookmark) {
  Open();
  const std::string first = MakeMap("town"), second = MakeMap("harbour");
  ASSERT_EQ(form->LoadMap(first), LoadOutcome::Loaded);
  QLineEdit* edit = Control<QLineEdit>(*form, "Edit3");
  RightClickAndChoose({40, 30}, Control<QAction>(*form, "CurrentMap1"));
  QTest::keyClicks(edit, "Gate");
  ASSERT_EQ(form->LoadMap(second), LoadOutcome::Loaded);
  EXPECT_FALSE(edit->isVisible());
  EXPECT_EQ(edit->text(), "");
  EXPECT_TRUE(S().Bookmarks().Lists().CurrentMapBookmarks.empty());
}

// The map may be zoomed while the name is typed: the bookmark and the panels both take the point that
// was right-clicked.
TEST_F(BookmarksWindowTest, AZoomWhileTheNameIsTypedLeavesTheBookmarkAndThePanelsOnTheClickedPoint) {
  Open();
  ASSERT_EQ(form->LoadMap(MakeMap("town")), LoadOutcome::Loaded);
  RightClickAndChoose({120, 80}, Control<QAction>(*form, "CurrentMap1"));
  const Point world = S().PopupWorldPoint();
  QLineEdit* edit = Control<QLineEdit>(*form, "Edit3");
  QTest::keyClicks(edit, "Well");
  ASSERT_TRUE(form->ApplyZoom("150"));
  QTest::keyClick(edit, Qt::Key_Return);
  ASSERT_EQ(S().Bookmarks().Lists().CurrentMapBookmarks.size(), 1u);
  const std::string& record = S().Bookmarks().Lists().CurrentMapBookmarks[0];
  EXPECT_EQ(GetField(2, record, FieldSeparator), std::to_string(world.x));
  EXPECT_EQ(GetField(3, record, FieldSeparator), std::to_string(world.y));
  EXPECT_EQ(Control<QLineEdit>(*form, "Edit1")->text(), QString::number(world.x));
  EXPECT_EQ(Control<QLineEdit>(*form, "Edit2")->text(), QString::number(world.y));
}

TEST_F(BookmarksWindowTest, AddedBookmarksAreListedDrawnAndSavedWithinASecond) {
  Open();
  const std::string map = MakeMap("town");
  ASSERT_EQ(form->LoadMap(map), LoadOutcome::Loaded);
  TForm3& w = Bookmarks();
  dialogs.fontAnswer = BookmarkFontSpec{"DejaVu Sans", 14, 0, false, true, true, false};
  Control<QAction>(*form, "BookmarkFontSetup1")->trigger();
  ASSERT_EQ(dialogs.shownFonts.size(), 1u);
  EXPECT_EQ(dialogs.shownFonts[0], BookmarkFontSpec{});  // the font read at start-up: Arial 10 bold

  AddBookmark(false, {100, 40}, "zeta Inn");
  EXPECT_FALSE(Control<QLineEdit>(*form, "Edit3")->isVisible());
  // Its keys, not the boxes', follow (once the main window has the keyboard again).
  EXPECT_EQ(form->focusWidget(), Control<TPaintBox>(*form, "PaintBox1"));
  const Point inn = S().PopupWorldPoint();
  AddBookmark(false, {300, 80}, "Alpha");
  const Point alpha = S().PopupWorldPoint();
  AddBookmark(true, {400, 10}, "Bank");
  const Point bank = S().PopupWorldPoint();
  auto text = [](int v) { return std::to_string(v); };

  const BookmarkLists& b = S().Bookmarks().Lists();
  EXPECT_THAT(b.CurrentMapBookmarks, ElementsAre(R({"V", text(alpha.x), text(alpha.y), "Alpha"}),
                                                 R({"V", text(inn.x), text(inn.y), "zeta Inn"})));
  EXPECT_THAT(b.CurrentMapBookmarkFonts,
              ElementsAre(R({"DejaVu Sans", "14", "0", "iu"}), R({"DejaVu Sans", "14", "0", "iu"})));
  ASSERT_EQ(b.GlobalBookmarks.size(), 1u);
  const std::string id = GetField(1, b.GlobalBookmarks[0], FieldSeparator);
  EXPECT_EQ(id.size(), 10u);
  EXPECT_EQ(b.GlobalBookmarks[0], R({id, "V", text(bank.x), text(bank.y), "Bank"}));

  // The lists show the names in order with nothing chosen.
  ASSERT_EQ(Entries(BookmarksControls(w).ListBox2).size(), 2);
  EXPECT_EQ(Entries(BookmarksControls(w).ListBox2)[0], "Alpha");
  EXPECT_EQ(Entries(BookmarksControls(w).ListBox2)[1], "zeta Inn");
  EXPECT_TRUE(Chosen(BookmarksControls(w).ListBox2).isEmpty());
  EXPECT_EQ(Entries(BookmarksControls(w).ListBox1)[0], "Bank");

  // The name is drawn with the top-left corner of its box at the clicked point.
  const QImage& view = S().ViewBuffer();
  EXPECT_GT(DarkPixels(view, QRect(100, 40, 60, 22)), 10);
  EXPECT_EQ(DarkPixels(view, QRect(60, 40, 38, 22)), 0);

  // Saved about a second later, without a map change: both files, in the stored layout.
  EXPECT_TRUE(form->bookmarkSave_.Pending());
  WaitForSave();
  EXPECT_THAT(
      Section(map, "Map Bookmarks"),
      ElementsAre("bookmark1=" + b.CurrentMapBookmarks[0], "bookmark1font=" + b.CurrentMapBookmarkFonts[0],
                  "bookmark2=" + b.CurrentMapBookmarks[1], "bookmark2font=" + b.CurrentMapBookmarkFonts[1]));
  EXPECT_THAT(Section(map, "Global Bookmarks"), ElementsAre(id + "=V"));
  EXPECT_THAT(Section(settingsFile, "Map Bookmarks"),
              ElementsAre("bookmark1=" + b.GlobalBookmarks[0], "bookmark1font=" + b.GlobalBookmarkFonts[0]));

  // A cancelled font dialog keeps the font, and names on the map keep theirs.
  dialogs.fontAnswer.reset();
  Control<QAction>(*form, "BookmarkFontSetup1")->trigger();
  EXPECT_EQ(S().BookmarkFont(), (BookmarkFontSpec{"DejaVu Sans", 14, 0, false, true, true, false}));
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(BookmarksWindowTest, ChoosingABookmarkShowsItAndNotesAreStoredAsCommaText) {
  Open();
  const std::string map = MakeMap("town");
  ASSERT_EQ(form->LoadMap(map), LoadOutcome::Loaded);
  EditBookmarkLists(S(), [](BookmarkLists& b) {
    b.CurrentMapBookmarks = {R({"N", "2560", "2048", "Centre", "\"old, note\",second"}),
                             R({"V", "5100", "4000", "Corner"}), R({"V", "1x", "5", "Broken"}),
                             R({"V", "10", "10"})};
    b.CurrentMapBookmarkFonts = {"", "", "", ""};
  });
  const BookmarkLists& b = S().Bookmarks().Lists();
  TForm3& w = Bookmarks();
  w.FillBookmarkLists();
  BookmarksControls(w).PageControl1->setCurrentWidget(BookmarksControls(w).TabSheet1);
  QListView* list = BookmarksControls(w).ListBox2;
  NotesEdit* memo = BookmarksControls(w).Memo2;

  // With no bookmark chosen the box takes no typing: the notes would belong to none.
  QTest::keyClicks(memo, "lost");
  EXPECT_EQ(memo->toPlainText(), "");

  // A hidden bookmark in the middle of the world: its box is cleared, its notes shown one per line,
  // and the view centred on it.
  Click(list, 0);
  EXPECT_FALSE(BookmarksControls(w).CheckBox2->isChecked());
  EXPECT_EQ(memo->toPlainText(), "old, note\nsecond");
  const QWidget* panel = Control<QFrame>(*form, "Panel2");
  EXPECT_EQ(form->ScrollX(), 1024 - panel->width() / 2);
  EXPECT_EQ(form->ScrollY(), 819 - panel->height() / 2);
  EXPECT_EQ(b.CurrentMapBookmarks[0], R({"N", "2560", "2048", "Centre", "\"old, note\",second"}));

  // Typed notes: each line quoted when it holds a space or a comma, joined by commas; the separator
  // and characters the files cannot hold are refused, typed or pasted.
  memo->selectAll();
  QTest::keyClicks(memo, "first line");
  QTest::keyClick(memo, Qt::Key_Return);
  Type(memo, QString::fromUtf8("a,b\u00B3\u0100"));
  QApplication::clipboard()->setText(QString::fromUtf8("bad \u00B3"));
  QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
  QApplication::clipboard()->setText(" ok");
  QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(b.CurrentMapBookmarks[0], R({"N", "2560", "2048", "Centre", "\"first line\",\"a,b ok\""}));
  WaitForSave();
  EXPECT_THAT(Section(map, "Map Bookmarks"), ::testing::Contains("bookmark1=" + b.CurrentMapBookmarks[0]));

  // Ticking the box shows the name at once.
  QTest::mouseClick(BookmarksControls(w).CheckBox2, Qt::LeftButton, {},
                    BookmarksControls(w).CheckBox2->rect().center());
  EXPECT_EQ(GetField(1, b.CurrentMapBookmarks[0], FieldSeparator), "V");
  EXPECT_GT(DarkPixels(S().ViewBuffer(), QRect(1024 - form->ScrollX(), 819 - form->ScrollY(), 60, 20)), 10);

  // Emptying the box removes the notes field.
  memo->selectAll();
  QTest::keyClick(memo, Qt::Key_Delete);
  EXPECT_EQ(b.CurrentMapBookmarks[0], R({"V", "2560", "2048", "Centre"}));

  // Near the map's edge the view goes only as far as the scroll range allows.
  Click(list, 1);
  EXPECT_TRUE(BookmarksControls(w).CheckBox2->isChecked());
  EXPECT_EQ(memo->toPlainText(), "");
  EXPECT_EQ(form->ScrollX(), 2048 - form->MapAreaWidth());
  EXPECT_EQ(form->ScrollY(), 1638 - form->MapAreaHeight());

  // A record whose coordinates are not integers is shown but not scrolled to.
  const int x = form->ScrollX(), y = form->ScrollY();
  Click(list, 2);
  EXPECT_EQ(form->ScrollX(), x);
  EXPECT_EQ(form->ScrollY(), y);
  EXPECT_TRUE(dialogs.messages.empty());

  // A bookmark without a name cannot take notes: they would become its name.
  Click(list, 3);
  EXPECT_EQ(Entries(list)[3], "");
  QTest::keyClicks(memo, "lost");
  EXPECT_EQ(b.CurrentMapBookmarks[3], R({"V", "10", "10"}));
}

// Showing notes in the box and reading them back changes nothing: a no-break space (byte A0) stays one,
// when shown and when typed.
TEST_F(BookmarksWindowTest, ChoosingABookmarkLeavesItsNotesByteForByte) {
  Open();
  ASSERT_EQ(form->LoadMap(MakeMap("town")), LoadOutcome::Loaded);
  const std::vector<std::string> notes = {"open\xA0late", "\xA0", "\"a\"\"b\"", "\"  lead\",\"\""};
  EditBookmarkLists(S(), [&](BookmarkLists& b) {
    for (std::size_t i = 0; i < notes.size(); ++i) {
      b.CurrentMapBookmarks.push_back(R({"V", "10", "10", "Inn" + std::to_string(i), notes[i]}));
      b.CurrentMapBookmarkFonts.push_back("");
    }
  });
  const BookmarkLists& b = S().Bookmarks().Lists();
  const std::vector<std::string> before = b.CurrentMapBookmarks;
  TForm3& w = Bookmarks();
  w.FillBookmarkLists();
  BookmarksControls(w).PageControl1->setCurrentWidget(BookmarksControls(w).TabSheet1);
  for (int i = 0; i < static_cast<int>(notes.size()); ++i) {
    Click(BookmarksControls(w).ListBox2, i);
    EXPECT_EQ(b.CurrentMapBookmarks, before) << i;
  }
  NotesEdit* memo = BookmarksControls(w).Memo2;
  memo->selectAll();
  Type(memo, QString::fromUtf8("a\u00A0b"));
  EXPECT_EQ(b.CurrentMapBookmarks[3], R({"V", "10", "10", "Inn3",
                                         "a\xA0"
                                         "b"}));
}

TEST_F(BookmarksWindowTest, HidingAGlobalBookmarkHidesItOnThatMapOnly) {
  Open();
  const std::string town = MakeMap("town"), coast = MakeMap("coast");
  ASSERT_EQ(form->LoadMap(town), LoadOutcome::Loaded);
  AddBookmark(true, {200, 60}, "Tower");
  TForm3& w = Bookmarks();
  EXPECT_EQ(BookmarksControls(w).PageControl1->currentWidget(),
            BookmarksControls(w).TabSheet2);  // the global page comes first
  const QRect at(200, 60, 50, 20);
  EXPECT_GT(DarkPixels(S().ViewBuffer(), at), 10);

  Click(BookmarksControls(w).ListBox1, 0);
  ASSERT_TRUE(BookmarksControls(w).CheckBox1->isChecked());
  QTest::mouseClick(BookmarksControls(w).CheckBox1, Qt::LeftButton, {},
                    BookmarksControls(w).CheckBox1->rect().center());
  EXPECT_EQ(GetField(2, S().GlobalBookmarks()[0], FieldSeparator), "N");
  form->ScrollViewTo(0, 0);
  EXPECT_EQ(DarkPixels(S().ViewBuffer(), at), 0);

  const std::string id = GetField(1, S().GlobalBookmarks()[0], FieldSeparator);
  ASSERT_EQ(form->LoadMap(coast), LoadOutcome::Loaded);
  EXPECT_EQ(GetField(2, S().GlobalBookmarks()[0], FieldSeparator), "V");
  ASSERT_EQ(form->LoadMap(town), LoadOutcome::Loaded);
  EXPECT_EQ(GetField(2, S().GlobalBookmarks()[0], FieldSeparator), "N");
  EXPECT_THAT(Section(town, "Global Bookmarks"), ElementsAre(id + "=N"));
  EXPECT_THAT(Section(coast, "Global Bookmarks"), ElementsAre(id + "=V"));
}

TEST_F(BookmarksWindowTest, DeleteRemovesOnlyAChosenBookmark) {
  Open();
  const std::string map = MakeMap("town");
  ASSERT_EQ(form->LoadMap(map), LoadOutcome::Loaded);
  EditBookmarkLists(S(), [](BookmarkLists& b) {
    b.CurrentMapBookmarks = {R({"V", "1", "1", "a"}), R({"V", "2", "2", "b", "note"}),
                             R({"V", "3", "3", "c"})};
    b.CurrentMapBookmarkFonts = {"f1", "f2", "f3"};
  });
  const BookmarkLists& b = S().Bookmarks().Lists();
  TForm3& w = Bookmarks();
  w.FillBookmarkLists();
  BookmarksControls(w).PageControl1->setCurrentWidget(BookmarksControls(w).TabSheet1);

  QTest::mouseClick(BookmarksControls(w).Button1, Qt::LeftButton);
  EXPECT_EQ(b.CurrentMapBookmarks.size(), 3u);
  EXPECT_FALSE(form->bookmarkSave_.Pending());

  Click(BookmarksControls(w).ListBox2, 1);
  ASSERT_EQ(BookmarksControls(w).Memo2->toPlainText(), "note");
  QTest::mouseClick(BookmarksControls(w).Button1, Qt::LeftButton);
  EXPECT_THAT(b.CurrentMapBookmarks, ElementsAre(R({"V", "1", "1", "a"}), R({"V", "3", "3", "c"})));
  EXPECT_THAT(b.CurrentMapBookmarkFonts, ElementsAre("f1", "f3"));
  EXPECT_EQ(Entries(BookmarksControls(w).ListBox2).size(), 2);
  EXPECT_TRUE(Chosen(BookmarksControls(w).ListBox2).isEmpty());
  EXPECT_EQ(BookmarksControls(w).Memo2->toPlainText(), "");
  EXPECT_FALSE(BookmarksControls(w).CheckBox2->isChecked());
  WaitForSave();
  EXPECT_THAT(Section(map, "Map Bookmarks"),
              ElementsAre("bookmark1=" + b.CurrentMapBookmarks[0], "bookmark1font=f1",
                          "bookmark2=" + b.CurrentMapBookmarks[1], "bookmark2font=f3"));
}

TEST_F(BookmarksWindowTest, GlobalChangesWithoutAMapAreSavedAndFailuresTold) {
  WriteText(settingsFile, "[General]\r\nVersion=v2.2\r\n[Map Bookmarks]\r\nbookmark1=" +
                              R({"id12345678", "V", "5", "6", "Dock"}) +
                              "\r\nbookmark2=" + R({"id87654321", "V", "7", "8", "Pier"}) + "\r\n");
  Open();
  TForm3& w = Bookmarks();
  ASSERT_EQ(Entries(BookmarksControls(w).ListBox1).size(), 2);
  Click(BookmarksControls(w).ListBox1, 0);
  QTest::mouseClick(BookmarksControls(w).Button2, Qt::LeftButton);
  WaitForSave();
  // (an empty font record leaves no key)
  EXPECT_THAT(Section(settingsFile, "Map Bookmarks"),
              ElementsAre("bookmark1=" + R({"id87654321", "V", "7", "8", "Pier"})));

  // A save that cannot be written is told once, however many changes follow.
  S().SetSettingsFile(Path("gone/orvantis.ini"));
  Click(BookmarksControls(w).ListBox1, 0);
  QTest::keyClicks(BookmarksControls(w).Memo1, "abc");
  WaitForSave();
  QTest::keyClicks(BookmarksControls(w).Memo1, "def");
  WaitForSave();
  EXPECT_THAT(dialogs.messages, ElementsAre("Unable to save '" + Path("gone/orvantis.ini") +
                                            "'. Your changes to it could not be written."));
}

}  // namespace
}  // namespace orv::testing
