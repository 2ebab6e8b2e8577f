// Bookmark exchange files: the exact CSV layout, the round trip of both forms, hostile files that
// must fail whole with a clear message, and rows skipped with the reason listed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <new>

#include "bookmarks/bookmarkexchange.h"
#include "storage/test_files.h"

namespace orv {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const char kHeader[] = "scope,map,name,x,y,visible,notes,face,size,colour,style\r\n";

ImportTarget Target(std::vector<ExchangeRow> existing = {}) {
  ImportTarget target;
  target.currentMap = "britain.dem";
  target.existing = std::move(existing);
  target.newId = [n = 0]() mutable { return "id" + std::to_string(++n); };
  return target;
}

// 1,000 bookmarks with every kind of text a record holds: Windows-1252 letters and signs (\x80 is
// the euro sign, \x93 \x94 curly quotes, \xE9 é), commas, quotes, blanks at the ends, tabs and
// empty lines in notes.
std::vector<ExchangeRow> ManyRows() {
  const std::vector<std::string> names = {"Inn", "Caf\xE9, \"Royal\"", " spaced ", "\x80 bank \x93open\x94",
                                          ""};
  const std::vector<std::vector<std::string>> notes = {
      {}, {"one line"}, {"a, b", "\"quoted\"", "", "tab\there"}, {"", "after an empty line"}};
  std::vector<ExchangeRow> rows;
  for (int i = 0; i < 1000; ++i) {
    ExchangeRow r;
    r.scope = i % 3 ? BookmarkScope::Map : BookmarkScope::Global;
    r.map = r.scope == BookmarkScope::Map ? "britain.dem" : "";
    r.name = names[i % names.size()] + std::to_string(i);
    r.world = {i * 5 % (WorldWidth + 1), i * 7 % (WorldHeight + 1)};
    r.visible = i % 4 != 0;
    r.notes = notes[i % notes.size()];
    r.face = i % 2 ? "Arial" : "Times New Roman";
    r.size = 6 + i % 20;
    r.colour = i * 40503 % 0x1000000;
    r.style = std::string("bius").substr(i % 4);
    rows.push_back(r);
  }
  return rows;
}

std::vector<ExchangeRow> RowsOf(const ImportResult& result) {
  std::vector<ExchangeRow> rows;
  for (const auto& imported : result.rows) rows.push_back(imported.row);
  return rows;
}

TEST(BookmarkExchange, CsvLayout) {
  ExchangeRow inn{BookmarkScope::Map,
                  "britain.dem",
                  "Caf\xE9 \"Inn\"",
                  {100, 200},
                  false,
                  {"a, b", "c"},
                  "Arial",
                  12,
                  255,
                  "bi"};
  ExchangeRow bank{BookmarkScope::Global, "", "Bank", {0, 4096}, true, {}, "Times New Roman", 10, 0, ""};
  EXPECT_EQ(ExportCsv({inn, bank}),
            std::string(kHeader) +
                "map,britain.dem,\"Caf\xC3\xA9 \"\"Inn\"\"\",100,200,false,\"a, b\nc\","
                "Arial,12,255,bi\r\n"
                "global,,Bank,0,4096,true,,Times New Roman,10,0,\r\n");
}

TEST(BookmarkExchange, ExportImportExportGivesTheSameBytes) {
  const auto rows = ManyRows();
  for (bool json : {false, true}) {
    SCOPED_TRACE(json ? "JSON" : "CSV");
    const std::string first = json ? ExportJson(rows) : ExportCsv(rows);
    const ImportResult result = json ? ImportJson(first, Target()) : ImportCsv(first, Target());
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(RowsOf(result), rows);
    EXPECT_EQ(json ? ExportJson(RowsOf(result)) : ExportCsv(RowsOf(result)), first);
    // Global rows get new identifiers, map rows none.
    for (const auto& imported : result.rows) {
      EXPECT_EQ(imported.id.empty(), imported.row.scope == BookmarkScope::Map);
    }
    EXPECT_EQ(result.rows[0].id, "id1");
  }
}

struct Hostile {
  std::string file;
  std::string message;
};

// A valid row with one column replaced.
std::string Row(int column = -1, const std::string& value = "") {
  std::vector<std::string> fields = {"map", "britain.dem", "Inn", "100", "200", "true",
                                     "",    "Arial",       "10",  "0",   "b"};
  if (column >= 0) fields[column] = value;
  std::string row;
  for (const auto& f : fields) row += (row.empty() ? "" : ",") + f;
  return row + "\r\n";
}

// A CSV notes field reads as lines that an export writes back as the same field; a field with no
// text once read (a byte order mark alone is dropped) has no lines, as an empty one.
TEST(BookmarkExchange, CsvNotesReadAsTheLinesAnExportWritesBack) {
  const struct {
    std::string field;
    std::vector<std::string> notes;
  } cases[] = {
      {"", {}},
      {"\xEF\xBB\xBF", {}},
      {"a", {"a"}},
      {"\"\n\"", {"", ""}},
      {"\"a\r\n\xEF\xBB\xBF\"", {"a", ""}},
      {"\"\xEF\xBB\xBF\nb\"", {"", "b"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    const ImportResult first = ImportCsv(kHeader + Row(6, c.field), Target());
    ASSERT_TRUE(first.ok() && first.rows.size() == 1) << first.error.toStdString();
    EXPECT_EQ(first.rows[0].row.notes, c.notes);
    const ImportResult again = ImportCsv(ExportCsv(RowsOf(first)), Target());
    ASSERT_TRUE(again.ok() && again.rows.size() == 1);
    EXPECT_EQ(again.rows[0].row, first.rows[0].row);
  }
}

TEST(BookmarkExchange, HostileCsvFailsWholeWithAClearMessage) {
  const std::string h = kHeader, ok = Row();
  const std::vector<Hostile> cases = {
      {"", "The file is empty"},
      {"\r\n\r\n", "The file is empty"},
      {"name,x,y\r\n" + ok, "Line 1: the header row must be scope,map,name,x,y"},
      {"\"scope,map,name,x,y,visible,notes,face,size,colour,style\"\r\n", "header row must be"},
      {h + ok + "map,britain.dem,Inn,100,200,true,,Arial,10,0\r\n",
       "Line 3: 10 fields where the header has 11"},
      {h + "map,britain.dem,Inn,100,200,true,,Arial,10,0,b,extra\r\n", "Line 2: more than 11 fields"},
      {h + ok + "map,britain.dem,\"Inn,100,200,true,,Arial,10,0,b\r\n",
       "Line 3: the quoted name field is never closed"},
      {h + Row(2, "In\"n"), "a double quote inside the unquoted name field"},
      {h + Row(2, "\"Inn\"x"), "Line 2: text after the closing quote of the name field"},
      {h + Row(6, "\"two\nlines\"x"), "Line 3: text after the closing quote of the notes field"},
      {h + "map,britain.dem,Inn\r100,200,true,,Arial,10,0,b\r\n", "carriage return without a line feed"},
      {h + Row(0, "local"), "Line 2: the scope is \"local\", not map or global"},
      {h + Row(3, "12a"), "Line 2: x is \"12a\", not a whole number"},
      {h + Row(3, ""), "x is \"\", not a whole number"},
      {h + Row(4, "99999999999"), "y is \"99999999999\", not a whole number"},
      {h + Row(3, "5121"), "Line 2: x is 5121, outside the world (0 to 5120)"},
      {h + Row(4, "-1"), "Line 2: y is -1, outside the world (0 to 4096)"},
      {h + Row(5, "yes"), "visible is \"yes\", not true or false"},
      {h + Row(8, "big"), "size is \"big\", not a whole number"},
      {h + Row(9, "0x00FF00"), "colour is \"0x00FF00\", not a whole number"},
      {h + Row(2, "Caf\xE9"), "The file is not UTF-8 text (line 2)"},
      {h + Row(2, "\xC0\xAF"), "not UTF-8 text"},  // an overlong form of "/"
      {h + Row(6, std::string(MaxExchangeFieldBytes + 1, 'n')),
       "Line 2: the notes field is larger than 1 MiB"},
      {h + Row(6, "\"" + std::string(MaxExchangeFieldBytes + 1, 'n') + "\""),
       "the notes field is larger than 1 MiB"},
      {h + std::string(MaxExchangeFileBytes, '\n'), "The file is larger than 64 MiB"},
  };
  for (const auto& c : cases) {
    const ImportResult result = ImportCsv(c.file, Target());
    EXPECT_FALSE(result.ok()) << c.message;
    EXPECT_THAT(result.error.toStdString(), HasSubstr(c.message));
    EXPECT_TRUE(result.rows.empty()) << c.message;
    EXPECT_THAT(result.Summary().toStdString(), HasSubstr("Nothing was imported."));
  }
}

// A valid JSON bookmark with one key's value (as JSON text) replaced, or removed when empty.
std::string Object(const std::string& key = "", const std::string& value = "") {
  const std::vector<std::pair<std::string, std::string>> fields = {
      {"scope", "\"map\""}, {"map", "\"britain.dem\""},
      {"name", "\"Inn\""},  {"x", "100"},
      {"y", "200"},         {"visible", "true"},
      {"notes", "[]"},      {"face", "\"Arial\""},
      {"size", "10"},       {"colour", "0"},
      {"style", "\"b\""}};
  std::string object;
  bool replaced = false;
  for (const auto& [k, v] : fields) {
    const bool mine = k == key;
    replaced |= mine;
    if (mine && value.empty()) continue;
    object += std::string(object.empty() ? "{" : ", ") + "\"" + k + "\": " + (mine ? value : v);
  }
  if (!replaced && !key.empty()) object += ", \"" + key + "\": " + value;
  return object + "}";
}

TEST(BookmarkExchange, HostileJsonFailsWholeWithAClearMessage) {
  const std::string ok = Object();
  const std::vector<Hostile> cases = {
      {"", "not valid JSON"},
      {"[" + ok + ",\n" + ok, "Line 2: the file is not valid JSON"},
      {"{\"bookmarks\": []}", "The file must hold an array of bookmarks"},
      {"[" + ok + ", 1]", "Bookmark 2: not an object"},
      {"[" + Object("x") + "]", "Bookmark 1: the field x is missing"},
      {"[" + Object("id", "\"AaBb0CcD1d\"") + "]", "Bookmark 1: unknown field \"id\""},
      {"[" + Object("x", "\"100\"") + "]", "Bookmark 1: x must be a whole number"},
      {"[" + Object("y", "1.5") + "]", "y must be a whole number"},
      {"[" + Object("size", "1e12") + "]", "size must be a whole number"},
      {"[" + Object("x", "5121") + "]", "Bookmark 1: x is 5121, outside the world"},
      {"[" + Object("visible", "\"true\"") + "]", "visible must be true or false"},
      {"[" + Object("notes", "\"a line\"") + "]", "notes must be an array of lines"},
      {"[" + Object("notes", "[\"a\", 2]") + "]", "notes must be an array of lines"},
      {"[" + Object("scope", "\"local\"") + "]", "the scope is \"local\", not map or global"},
      {"[" + Object("name", "null") + "]", "name must be text"},
      {"[" + Object("name", "\"Caf\xE9\"") + "]", "not UTF-8 text"},
      {"[" + Object("name", "\"" + std::string(MaxExchangeFieldBytes + 1, 'n') + "\"") + "]",
       "Bookmark 1: the name field is larger than 1 MiB"},
      {"[" +
           Object("notes", "[\"" + std::string(MaxExchangeFieldBytes / 2 + 1, 'n') + "\", \"" +
                               std::string(MaxExchangeFieldBytes / 2, 'n') + "\"]") +
           "]",
       "the notes field is larger than 1 MiB"},
  };
  for (const auto& c : cases) {
    const ImportResult result = ImportJson(c.file, Target());
    EXPECT_FALSE(result.ok()) << c.message;
    EXPECT_THAT(result.error.toStdString(), HasSubstr(c.message));
    EXPECT_TRUE(result.rows.empty()) << c.message;
  }
}

// Each element is read before room is taken for it: an array of four million numbers (8 MiB) once
// took room for four million bookmarks, about a hundred times the file, before refusing the first.
TEST(BookmarkExchange, AHostileArrayIsRefusedWithoutRoomForAllItsElements) {
  std::string file = "[";
  for (int i = 0; i < (4 << 20); ++i) file += "0,";
  file += "0]";
  const int outcome = testing::RunInChild(
      [&] {
        // Address space for what the child has now and forty times the file: reading the file as
        // JSON takes about ten.
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t limit = static_cast<rlim_t>(pages) * ::sysconf(_SC_PAGESIZE) + 40 * file.size();
        const rlimit room{limit, limit};
        if (::setrlimit(RLIMIT_AS, &room) != 0) return false;
        try {
          const ImportResult result = ImportJson(file, Target());
          return !result.ok() && result.error.startsWith("Bookmark 1: not an object");
        } catch (const std::bad_alloc&) {
          return false;
        }
      },
      false);
  EXPECT_EQ(0, outcome);
}

TEST(BookmarkExchange, RowsThatCannotBeStoredOrArePresentAreSkippedAndListedInOneMessage) {
  const std::vector<ExchangeRow> existing = {
      {BookmarkScope::Global, "", "Bank", {10, 20}, true, {}, "Arial", 10, 0, "b"}};
  const std::string file = std::string("\xEF\xBB\xBF") + kHeader + Row() +  // taken
                           Row(2, "Tick \xE2\x9C\x93") +                    // ✓: not in Windows-1252
                           Row(2, "Three\xC2\xB3") +                        // ³: the field separator
                           Row(2, "\"two\nlines\"") + Row(2, "tab\there") + Row(6, "\xC2\xB3 in notes") +
                           Row(7, "") +                                          // no font face
                           "map,britain.dem,,1,2,true,notes,Arial,10,0,b\r\n" +  // notes would move up
                           Row(2, "") +                                          // empty name alone is fine
                           "global,,Bank,10,20,true,,Arial,10,0,b\r\n" +         // there already
                           Row() +                                               // twice in the file
                           Row(3, "101") +                                       // another point: taken
                           "map,BRITAIN.DEM,Forge,1,2,true,,Arial,10,0,b\r\n" +  // same map
                           Row(1, "moonglow.dem") +                              // another map
                           "global,,Shrine,5,5,false,,Arial,10,0,\r\n";
  ImportResult result = ImportCsv(file, Target(existing));
  ASSERT_TRUE(result.ok()) << result.error.toStdString();
  std::vector<std::string> names;
  for (const auto& r : result.rows) names.push_back(r.row.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Inn", "", "Inn", "Forge", "Shrine"}));
  EXPECT_EQ(result.rows[2].row.world, (Point{101, 200}));
  EXPECT_EQ(result.rows[3].row.map, "britain.dem");
  EXPECT_EQ(result.rows[4].id, "id1");
  EXPECT_EQ(result.unstorable.size(), 7u);
  EXPECT_EQ(result.present.size(), 2u);
  EXPECT_EQ(result.otherMap.size(), 1u);
  const std::string summary = result.Summary().toStdString();
  EXPECT_THAT(summary, HasSubstr("Imported 5 bookmark(s)."));
  EXPECT_THAT(summary,
              HasSubstr("Skipped 7 that a bookmark cannot store:\n"
                        "  line 3, \"Tick \xE2\x9C\x93\" at 100, 200: \xE2\x9C\x93 in the name\n"
                        "  line 4, \"Three\xC2\xB3\" at 100, 200: the character \xC2\xB3 in the name\n"
                        "  line 5, \"two\nlines\" at 100, 200: a line break in the name\n"
                        "  line 7, \"tab\there\" at 100, 200: a control character in the name\n"));
  EXPECT_THAT(summary, HasSubstr("no font face"));
  EXPECT_THAT(summary, HasSubstr("notes but no name"));
  EXPECT_THAT(summary, HasSubstr("Skipped 2 already present (same name and point):\n"
                                 "  line 12, \"Bank\" at 10, 20\n  line 13, \"Inn\" at 100, 200"));
  EXPECT_THAT(summary, HasSubstr("Skipped 1 of another map than the current one:\n"
                                 "  line 16, \"Inn\" at 100, 200 (moonglow.dem)"));

  // Only the kind asked for is taken, and the rows of the other kind are counted in the message, so
  // that an import of nothing is never unexplained. No map loaded: every map row is of another map.
  const struct {
    bool takeMap, takeGlobal;
    std::size_t taken;
    const char* skipped;
  } kinds[] = {{false, true, 1, "\n\nSkipped 13 map bookmark(s): only the global ones were asked for."},
               {true, false, 4, "\n\nSkipped 2 global bookmark(s): only the current map's were asked for."}};
  for (const auto& kind : kinds) {
    ImportTarget target = Target(existing);
    target.takeMap = kind.takeMap;
    target.takeGlobal = kind.takeGlobal;
    result = ImportCsv(file, target);
    EXPECT_EQ(result.rows.size(), kind.taken) << kind.skipped;
    EXPECT_THAT(result.Summary().toStdString(), HasSubstr(kind.skipped));
  }
  EXPECT_THAT(summary, Not(HasSubstr("asked for")));
  ImportTarget noMap = Target(existing);
  noMap.currentMap.clear();
  EXPECT_EQ(ImportCsv(file, noMap).rows.size(), 1u);

  // A long name is cut short in the list.
  result = ImportCsv(kHeader + Row(2, std::string(1000, 'n') + "\xE2\x9C\x93"), Target());
  EXPECT_THAT(result.Summary().toStdString(), HasSubstr("\"" + std::string(60, 'n') + "...\" at 100, 200: "));
  EXPECT_LT(result.Summary().size(), 200);

  // A notes line with a line break can only come from JSON.
  result = ImportJson("[" + Object("notes", "[\"first\\nsecond\"]") + "]", Target());
  ASSERT_TRUE(result.ok());
  EXPECT_THAT(result.Summary().toStdString(), HasSubstr("a line break in the notes"));
}

TEST(BookmarkExchange, FilesChooseTheirFormatByName) {
  QTemporaryDir dir;
  const auto rows = ManyRows();
  for (const QString name : {"list.csv", "list.JSON"}) {
    const QString path = dir.filePath(name);
    ASSERT_TRUE(ExportBookmarkFile(path, rows).isEmpty());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.peek(1), name.endsWith("csv") ? "s" : "[");
    EXPECT_EQ(RowsOf(ImportBookmarkFile(path, Target())), rows);
  }
  EXPECT_THAT(ExportBookmarkFile(dir.filePath("missing/list.csv"), rows).toStdString(),
              HasSubstr("Cannot write"));
  EXPECT_THAT(ImportBookmarkFile(dir.filePath("none.csv"), Target()).error.toStdString(),
              HasSubstr("Cannot read"));
}

}  // namespace
}  // namespace orv
