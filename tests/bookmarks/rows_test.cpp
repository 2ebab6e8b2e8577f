// The bookmark records as exchange rows and back: the records an import makes, what an export leaves
// out, and the round trip from the lists through a file and back into the lists.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "bookmarks/bookmarkrows.h"
#include "storage/fields.h"

namespace orv {
namespace {

using ::testing::ElementsAre;

std::string R(std::initializer_list<std::string_view> fields) {
  return JoinFields(fields);
}

TEST(BookmarkRows, ImportedRowsBecomeRecordsOfTheirList) {
  struct Case {
    const char* what;
    ImportedRow imported;
    std::string record, font;
  };
  ExchangeRow plain{BookmarkScope::Map, "a.dem", "Inn", {10, 20}, true, {}, "Arial", 12, 255, "bi"};
  ExchangeRow noted = plain;
  noted.visible = false;
  noted.notes = {"open late", "", "x"};
  ExchangeRow global = plain;
  global.scope = BookmarkScope::Global;
  global.map = "";
  global.notes = {""};
  ExchangeRow unnamed = plain;
  unnamed.name = "";
  unnamed.style = "";
  const std::vector<Case> cases = {
      {"map row without notes", {plain, ""}, R({"V", "10", "20", "Inn"}), R({"Arial", "12", "255", "bi"})},
      {"hidden map row with notes",
       {noted, ""},
       R({"N", "10", "20", "Inn", "\"open late\",,x"}),
       R({"Arial", "12", "255", "bi"})},
      {"global row with one empty notes line",
       {global, "Id1"},
       R({"Id1", "V", "10", "20", "Inn", "\"\""}),
       R({"Arial", "12", "255", "bi"})},
      {"row without a name and style",
       {unnamed, ""},
       R({"V", "10", "20", ""}),
       R({"Arial", "12", "255", ""})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BookmarkLists lists;
    AddImported(lists, {c.imported});
    const bool isGlobal = c.imported.row.scope == BookmarkScope::Global;
    EXPECT_THAT(isGlobal ? lists.GlobalBookmarks : lists.CurrentMapBookmarks, ElementsAre(c.record));
    EXPECT_THAT(isGlobal ? lists.GlobalBookmarkFonts : lists.CurrentMapBookmarkFonts, ElementsAre(c.font));
    // And read back as the same row.
    const auto back = ExportRows(lists, ExchangeSet::All, "a.dem").rows;
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0], c.imported.row);
  }
}

TEST(BookmarkRows, ExportTakesTheChosenListsAndLeavesOutPointsNoFileCanCarry) {
  BookmarkLists lists;
  lists.CurrentMapBookmarks = {R({"V", "1", "2", "Inn"}), R({"V", "x", "2", "Bad x"}),
                               R({"V", "6000", "2", "Far"})};
  lists.CurrentMapBookmarkFonts = {R({"Arial", "10", "0", "b"}), "", ""};
  lists.GlobalBookmarks = {R({"id", "N", "3", "4", "Gate", "a,b"})};
  lists.GlobalBookmarkFonts = {R({"Arial", "big", "0", ""})};  // a size that is not a number: the default

  const auto map = ExportRows(lists, ExchangeSet::CurrentMap, "b.dem");
  ASSERT_EQ(map.rows.size(), 1u);
  EXPECT_EQ(map.rows[0].map, "b.dem");
  EXPECT_THAT(map.leftOut, ElementsAre("Bad x", "Far"));

  const auto global = ExportRows(lists, ExchangeSet::Global, "b.dem");
  ASSERT_EQ(global.rows.size(), 1u);
  EXPECT_EQ(global.rows[0],
            (ExchangeRow{BookmarkScope::Global, "", "Gate", {3, 4}, false, {"a", "b"}, "Arial", 10, 0, ""}));
  EXPECT_TRUE(global.leftOut.empty());
  EXPECT_EQ(ExportRows(lists, ExchangeSet::All, "b.dem").rows.size(), 2u);
}

// 1,000 bookmarks from the lists into a file and back into empty lists, sorted as after any import:
// the second export is the same file, byte for byte, in either form.
TEST(BookmarkRows, ExportImportExportOfAThousandGivesTheSameBytes) {
  BookmarkLists lists;
  const std::vector<std::string> notes = {"", "\"a, b\",\"\",\"tab\there\"", "one"};
  for (int i = 0; i < 1000; ++i) {
    const std::string name = (i % 2 ? "Caf\xE9 " : "inn ") + std::to_string(i);
    const std::string x = std::to_string(i * 5 % 5121), y = std::to_string(i * 3 % 4097);
    std::string record = i % 3 ? R({i % 4 ? "V" : "N", x, y, name}) : R({"id", "V", x, y, name});
    const std::string& note = notes[i % notes.size()];
    if (!note.empty()) record += FieldSeparator + note;
    (i % 3 ? lists.CurrentMapBookmarks : lists.GlobalBookmarks).push_back(record);
    (i % 3 ? lists.CurrentMapBookmarkFonts : lists.GlobalBookmarkFonts)
        .push_back(R({"Arial", std::to_string(6 + i % 9), std::to_string(i * 999), "bu"}));
  }
  SortBookmarks(lists);

  for (bool json : {false, true}) {
    SCOPED_TRACE(json ? "JSON" : "CSV");
    const auto rows = ExportRows(lists, ExchangeSet::All, "m.dem").rows;
    const std::string first = json ? ExportJson(rows) : ExportCsv(rows);
    ImportTarget target;
    target.currentMap = "m.dem";
    target.newId = [] { return std::string("new"); };
    const ImportResult imported = json ? ImportJson(first, target) : ImportCsv(first, target);
    ASSERT_TRUE(imported.ok()) << imported.error.toStdString();
    ASSERT_EQ(imported.rows.size(), 1000u);
    BookmarkLists again;
    AddImported(again, imported.rows);
    SortBookmarks(again);
    const auto rowsAgain = ExportRows(again, ExchangeSet::All, "m.dem").rows;
    EXPECT_EQ(json ? ExportJson(rowsAgain) : ExportCsv(rowsAgain), first);
  }
}

}  // namespace
}  // namespace orv
