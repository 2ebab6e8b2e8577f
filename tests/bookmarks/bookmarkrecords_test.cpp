// The bookmark store: the fields taken out of each record, records that do not parse kept as read,
// and each change applied to a record and its font record together and announced once.
#include "bookmarks/bookmarkrecords.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>

#include "bookmarks/bookmarkexchange.h"
#include "storage/fields.h"
#include "storage/inifile.h"

namespace orv {
namespace {

constexpr BookmarkPage kMap = BookmarkPage::CurrentMap;
constexpr BookmarkPage kGlobal = BookmarkPage::Global;

std::string R(std::initializer_list<std::string_view> fields) {
  return JoinFields(fields);
}

TEST(BookmarkStore, TakesTheFieldsOutOfGoodAndBadRecords) {
  const BookmarkFontSpec arial{"Arial", 10, 255, true, false, false, false};
  struct Case {
    BookmarkPage page;
    std::string record, font;
    Bookmark expected;
  } cases[] = {
      {kGlobal,
       R({"id1", "V", "100", "-200", "Inn", "\"a, b\",c"}),
       R({"Arial", "10", "255", "b"}),
       {"id1", true, Point{100, -200}, "Inn", {"a, b", "c"}, arial}},
      {kMap,
       R({"N", "7", "8", "Well"}),
       R({"Times", "12", "0", "iu"}),
       {"", false, Point{7, 8}, "Well", {}, BookmarkFontSpec{"Times", 12, 0, false, true, true, false}}},
      // Hand-edited: only "V" draws; a coordinate or font size that is not an integer is missing.
      {kMap, R({"v", "1x", "8", "Broken"}), R({"Arial", "big", "0", "b"}), {"", false, {}, "Broken", {}, {}}},
      {kGlobal, R({"id2", "V", "5"}), "", {"id2", true, {}, "", {}, {}}},
      {kMap, "V", R({"Arial", "10", "255", "b"}), {"", true, {}, "", {}, arial}},
      // Fields are the runs between separators: empty ones do not count.
      {kMap,
       R({"", "V", "", "3", "4", "Ford"}),
       R({"", "Arial", "10", "", "255", "b"}),
       {"", true, Point{3, 4}, "Ford", {}, arial}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.record);
    EXPECT_EQ(ParseBookmark(c.page, c.record, c.font), c.expected);
  }
}

TEST(BookmarkStore, SavesRecordsThatDoNotParseAsTheyWereRead) {
  QTemporaryDir dir;
  const std::string map = dir.filePath("town.dem").toStdString();
  const std::string settings = dir.filePath("orvantis.ini").toStdString();
  BookmarkLists odd;
  odd.CurrentMapBookmarks = {R({"V", "1.5", "2", "Half"}), "V", R({"?", "1", "2", "Odd", "\"open", "x"})};
  odd.CurrentMapBookmarkFonts = {"", R({"Arial", "ten"}), R({"Arial", "10", "0", "bq"})};
  odd.GlobalBookmarks = {R({"id1", "V", "", "", ""}), R({"id2", "N", "3", "4", "Mill", "", "", "extra"}),
                         "id3"};
  odd.GlobalBookmarkFonts = {R({"Arial", "10", "red", "b"}), "x", ""};
  BookmarkStore store;
  store.Replace(odd);
  ASSERT_TRUE(store.Save(map, settings));

  // The map's load rewrites each global record's visibility (fields are runs between separators, so
  // that rewrite may close up empty ones): the global lists are compared as the settings file gives them.
  BookmarkStore again;
  std::mt19937 random(1);
  again.LoadGlobal(LoadIniFile(settings).document, random);
  EXPECT_EQ(again.GlobalBookmarks(), odd.GlobalBookmarks);
  EXPECT_EQ(again.GlobalBookmarkFonts(), odd.GlobalBookmarkFonts);
  again.LoadMap(LoadIniFile(map).document);
  EXPECT_EQ(again.CurrentMapBookmarks(), odd.CurrentMapBookmarks);
  EXPECT_EQ(again.CurrentMapBookmarkFonts(), odd.CurrentMapBookmarkFonts);
  // Each global bookmark's fields are what its record holds after the map's load.
  for (std::size_t k = 0; k < again.GlobalBookmarks().size(); ++k) {
    EXPECT_EQ(again.at(kGlobal, k),
              ParseBookmark(kGlobal, again.GlobalBookmarks()[k], again.GlobalBookmarkFonts()[k]))
        << again.GlobalBookmarks()[k];
  }
}

BookmarkLists Start() {
  BookmarkLists lists;
  lists.CurrentMapBookmarks = {R({"V", "1", "1", "Anvil"}), R({"N", "2", "2", "Bank", "old"})};
  lists.CurrentMapBookmarkFonts = {"fa", "fb"};
  lists.GlobalBookmarks = {R({"id1", "V", "9", "9", "Gate"}), R({"id2", "V", "8", "8", "Shrine"})};
  lists.GlobalBookmarkFonts = {"fg", "fs"};
  return lists;
}

TEST(BookmarkStore, EachChangeEditsBothListsOfItsPageAndIsAnnouncedOnce) {
  ImportedRow imported{ExchangeRow{BookmarkScope::Global, "", "Camp", {3, 4}, false, {"a"}, "F", 9, 1, "i"},
                       "id3"};
  struct Case {
    const char* what;
    std::function<void(BookmarkStore&)> change;
    std::function<void(BookmarkLists&)> expected;
    int changed, edited;
  } cases[] = {
      {"add global",
       [](BookmarkStore& s) {
         s.Add(kGlobal, R({"id0", "V", "0", "0", "Arch"}), "fx");
       },
       [](BookmarkLists& l) {
         l.GlobalBookmarks.push_back(R({"id0", "V", "0", "0", "Arch"}));
         l.GlobalBookmarkFonts.push_back("fx");
       },
       1, 1},
      {"insert on the map", [](BookmarkStore& s) { s.Insert(kMap, 1, "V", "fx"); },
       [](BookmarkLists& l) {
         l.CurrentMapBookmarks.insert(l.CurrentMapBookmarks.begin() + 1, "V");
         l.CurrentMapBookmarkFonts.insert(l.CurrentMapBookmarkFonts.begin() + 1, "fx");
       },
       1, 1},
      {"remove global", [](BookmarkStore& s) { s.Remove(kGlobal, 0); },
       [](BookmarkLists& l) {
         l.GlobalBookmarks.erase(l.GlobalBookmarks.begin());
         l.GlobalBookmarkFonts.erase(l.GlobalBookmarkFonts.begin());
       },
       1, 1},
      {"remove past the end", [](BookmarkStore& s) { s.Remove(kMap, 2); }, [](BookmarkLists&) {}, 0, 0},
      {"hide a global bookmark",
       [](BookmarkStore& s) { s.ReplaceRecord(kGlobal, 1, s.WithVisibility(kGlobal, 1, false)); },
       [](BookmarkLists& l) {
         l.GlobalBookmarks[1] = R({"id2", "N", "8", "8", "Shrine"});
       },
       1, 1},
      {"show a map bookmark",
       [](BookmarkStore& s) { s.ReplaceRecord(kMap, 1, s.WithVisibility(kMap, 1, true)); },
       [](BookmarkLists& l) {
         l.CurrentMapBookmarks[1] = R({"V", "2", "2", "Bank", "old"});
       },
       1, 1},
      {"visibility unchanged",
       [](BookmarkStore& s) { s.ReplaceRecord(kMap, 0, s.WithVisibility(kMap, 0, true)); },
       [](BookmarkLists&) {}, 0, 0},
      {"notes",
       [](BookmarkStore& s) {
         s.ReplaceRecord(kMap, 0, s.WithNotes(kMap, 0, {"a b", "c"}));
       },
       [](BookmarkLists& l) {
         l.CurrentMapBookmarks[0] = R({"V", "1", "1", "Anvil", "\"a b\",c"});
       },
       1, 1},
      {"import", [&](BookmarkStore& s) { s.AddImported({imported}); },
       [](BookmarkLists& l) {
         l.GlobalBookmarks.push_back(R({"id3", "N", "3", "4", "Camp", "a"}));
         l.GlobalBookmarkFonts.push_back(R({"F", "9", "1", "i"}));
       },
       1, 1},
      {"sort",
       [](BookmarkStore& s) {
         s.Add(kMap, R({"V", "0", "0", "aardvark"}), "fx");
         s.Sort();
       },
       [](BookmarkLists& l) {
         l.CurrentMapBookmarks.insert(l.CurrentMapBookmarks.begin(), R({"V", "0", "0", "aardvark"}));
         l.CurrentMapBookmarkFonts.insert(l.CurrentMapBookmarkFonts.begin(), "fx");
       },
       2, 1},
      {"sort in order", [](BookmarkStore& s) { s.Sort(); }, [](BookmarkLists&) {}, 0, 0},
      {"map load", [](BookmarkStore& s) { s.LoadMap(IniDocument("[Global Bookmarks]\r\nid1=N\r\n")); },
       [](BookmarkLists& l) {
         l.GlobalBookmarks[0] = R({"id1", "N", "9", "9", "Gate"});
         l.CurrentMapBookmarks.clear();
         l.CurrentMapBookmarkFonts.clear();
       },
       1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BookmarkStore store;
    store.Replace(Start());
    int changed = 0, edited = 0;
    QObject::connect(&store, &BookmarkStore::changed, [&] { ++changed; });
    QObject::connect(&store, &BookmarkStore::edited, [&] { ++edited; });
    c.change(store);
    BookmarkLists expected = Start();
    c.expected(expected);
    EXPECT_EQ(store.CurrentMapBookmarks(), expected.CurrentMapBookmarks);
    EXPECT_EQ(store.CurrentMapBookmarkFonts(), expected.CurrentMapBookmarkFonts);
    EXPECT_EQ(store.GlobalBookmarks(), expected.GlobalBookmarks);
    EXPECT_EQ(store.GlobalBookmarkFonts(), expected.GlobalBookmarkFonts);
    EXPECT_EQ(changed, c.changed);
    EXPECT_EQ(edited, c.edited);
    // The typed fields follow their records through every change.
    for (BookmarkPage page : {kMap, kGlobal}) {
      for (std::size_t k = 0; k < store.Records(page).size(); ++k)
        EXPECT_EQ(store.at(page, k), ParseBookmark(page, store.Records(page)[k], store.Fonts(page)[k])) << k;
    }
  }
}

}  // namespace
}  // namespace orv
