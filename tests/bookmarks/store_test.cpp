// The bookmark store through real files: what is written, in which sections and order; the older
// layouts read and converted; the comma-text form of notes; identifiers and ordering.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "bookmarks/bookmarkstore.h"
#include "maplinks/maplinkstore.h"
#include "storage/fields.h"
#include "storage/inidocument.h"
#include "storage/settings.h"

namespace orv {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Joins fields with the separator byte.
std::string R(std::initializer_list<std::string> fields) {
  std::string out;
  for (const auto& f : fields) out += (out.empty() ? "" : std::string(1, FieldSeparator)) + f;
  return out;
}

struct Line {
  std::string section, key, value;
  friend bool operator==(const Line&, const Line&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Line& l) {
    return os << "[" << l.section << "] " << l.key << "=" << l.value;
  }
};

// The key lines of a settings-format file in file order, each with its section.
std::vector<Line> Lines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<Line> out;
  std::string section, line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
    } else if (auto eq = line.find('='); eq != std::string::npos) {
      out.push_back({section, line.substr(0, eq), line.substr(eq + 1)});
    }
  }
  return out;
}

std::vector<Line> LinesOf(const std::string& path, const std::string& section) {
  std::vector<Line> out;
  for (auto& l : Lines(path))
    if (l.section == section) out.push_back(l);
  return out;
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

class StoreTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const {
    return dir_.filePath(QString::fromStdString(name)).toStdString();
  }

  QTemporaryDir dir_;
  std::string map_ = Path("town.dem");
  std::string settings_ = Path("orvantis.ini");
  std::mt19937 random_{7};
};

TEST_F(StoreTest, SaveWritesBothFilesInTheirSectionsAndOrder) {
  WriteFile(map_, "[Map Dimensions]\nUpperLeftX=10\n[Map Links]\nlink1=1\n");
  BookmarkLists lists;
  lists.CurrentMapBookmarks = {R({"V", "100", "200", "Inn"}), R({"N", "5", "6", "Well", "\"at night\""})};
  lists.CurrentMapBookmarkFonts = {R({"Arial", "12", "0", "b"}), R({"Courier", "9", "255", ""})};
  lists.GlobalBookmarks = {R({"AAAAAAAAAA", "N", "1", "2", "Bank"}),
                           R({"bbbbbbbbbb", "V", "3", "4", "Dock"})};
  lists.GlobalBookmarkFonts = {R({"Arial", "10", "0", "bi"}), R({"Arial", "11", "65280", "us"})};

  ASSERT_TRUE(SaveBookmarks(lists, map_, settings_));

  EXPECT_THAT(
      Lines(map_),
      ElementsAre(Line{"Map Dimensions", "UpperLeftX", "10"}, Line{"Map Links", "link1", "1"},
                  Line{"General", "Version", "v2.2"},
                  Line{"Map Bookmarks", "bookmark1", lists.CurrentMapBookmarks[0]},
                  Line{"Map Bookmarks", "bookmark1font", lists.CurrentMapBookmarkFonts[0]},
                  Line{"Map Bookmarks", "bookmark2", lists.CurrentMapBookmarks[1]},
                  Line{"Map Bookmarks", "bookmark2font", lists.CurrentMapBookmarkFonts[1]},
                  Line{"Global Bookmarks", "AAAAAAAAAA", "N"}, Line{"Global Bookmarks", "bbbbbbbbbb", "V"}));
  EXPECT_THAT(Lines(settings_),
              ElementsAre(Line{"General", "Version", "v2.2"},
                          Line{"Map Bookmarks", "bookmark1", lists.GlobalBookmarks[0]},
                          Line{"Map Bookmarks", "bookmark1font", lists.GlobalBookmarkFonts[0]},
                          Line{"Map Bookmarks", "bookmark2", lists.GlobalBookmarks[1]},
                          Line{"Map Bookmarks", "bookmark2font", lists.GlobalBookmarkFonts[1]}));

  // Read back in the current layout, with the visibility on this map taken from the map file.
  BookmarkLists loaded;
  LoadGlobalBookmarks(loaded, settings_, random_);
  for (auto& g : loaded.GlobalBookmarks) g = SetField(2, g, FieldSeparator, "x");
  LoadMapBookmarks(loaded, map_);
  EXPECT_EQ(loaded.GlobalBookmarks, lists.GlobalBookmarks);
  EXPECT_EQ(loaded.GlobalBookmarkFonts, lists.GlobalBookmarkFonts);
  EXPECT_EQ(loaded.CurrentMapBookmarks, lists.CurrentMapBookmarks);
  EXPECT_EQ(loaded.CurrentMapBookmarkFonts, lists.CurrentMapBookmarkFonts);
}

TEST_F(StoreTest, SavingAgainAfterADeletionLeavesNoKeysBehind) {
  BookmarkLists lists;
  lists.CurrentMapBookmarks = {R({"V", "1", "1", "a"}), R({"V", "2", "2", "b"}), R({"V", "3", "3", "c"})};
  lists.CurrentMapBookmarkFonts = {"f1", "f2", "f3"};
  lists.GlobalBookmarks = {R({"id1", "V", "1", "1", "x"}), R({"id2", "N", "2", "2", "y"})};
  lists.GlobalBookmarkFonts = {"g1", "g2"};
  ASSERT_TRUE(SaveBookmarks(lists, map_, settings_));

  lists.CurrentMapBookmarks.erase(lists.CurrentMapBookmarks.begin() + 1);
  lists.CurrentMapBookmarkFonts.erase(lists.CurrentMapBookmarkFonts.begin() + 1);
  lists.GlobalBookmarks.erase(lists.GlobalBookmarks.begin() + 1);
  lists.GlobalBookmarkFonts.erase(lists.GlobalBookmarkFonts.begin() + 1);
  ASSERT_TRUE(SaveBookmarks(lists, map_, settings_));

  EXPECT_THAT(LinesOf(map_, "Map Bookmarks"),
              ElementsAre(Line{"Map Bookmarks", "bookmark1", lists.CurrentMapBookmarks[0]},
                          Line{"Map Bookmarks", "bookmark1font", "f1"},
                          Line{"Map Bookmarks", "bookmark2", lists.CurrentMapBookmarks[1]},
                          Line{"Map Bookmarks", "bookmark2font", "f3"}));
  EXPECT_THAT(LinesOf(map_, "Global Bookmarks"), ElementsAre(Line{"Global Bookmarks", "id1", "V"}));
  EXPECT_THAT(LinesOf(settings_, "Map Bookmarks"),
              ElementsAre(Line{"Map Bookmarks", "bookmark1", lists.GlobalBookmarks[0]},
                          Line{"Map Bookmarks", "bookmark1font", "g1"}));

  // With both lists empty only the two versions remain.
  ASSERT_TRUE(SaveBookmarks(BookmarkLists{}, map_, settings_));
  EXPECT_THAT(Lines(map_), ElementsAre(Line{"General", "Version", "v2.2"}));
  EXPECT_THAT(Lines(settings_), ElementsAre(Line{"General", "Version", "v2.2"}));
}

// Leaving a map saves its bookmarks and links in one go: the files come out as the two saves one
// after the other write them, and a map whose data did not change is not written at all (the two
// saves alone each move their sections behind the other's, so they rewrite it every time).
TEST_F(StoreTest, SavingTheLinksWithTheBookmarksWritesTheSameFilesAndNothingWhenUnchanged) {
  const std::string mapText = "[Map Dimensions]\r\nUpperLeftX=10\r\n[Map Links]\r\nmaplink1 = old\r\n";
  BookmarkLists lists;
  lists.CurrentMapBookmarks = {R({"V", "1", "1", "a"}), R({"N", "2", "2", "b"})};
  lists.CurrentMapBookmarkFonts = {"f1"};
  // Identifiers that repeat without regard to case, and one without a visibility.
  lists.GlobalBookmarks = {R({"idA", "V", "1", "1", "x"}), R({"IDa", "N", "2", "2", "y"}), R({"idB"}),
                           R({"idC", "N", "3", "3", "z"})};
  lists.GlobalBookmarkFonts = {"g1", "g2", "g3", "g4"};
  const std::vector<std::string> links = {R({"1", "2", "30", "40", "cave.dem", "Cave"}), "two\nlines"};
  const auto putLinks = [&](IniDocument& map) { PutMapLinks(links, map); };

  // The two saves one after the other into separateMap and separateSettings, and the combined save
  // into map and settings, each map starting from mapText.
  const auto saveBothWays = [&](const std::string& separateMap, const std::string& separateSettings,
                                const std::string& map, const std::string& settings) {
    WriteFile(map, mapText);
    WriteFile(separateMap, mapText);
    return SaveBookmarks(lists, separateMap, separateSettings) && SaveMapLinks(links, separateMap) &&
           SaveBookmarks(lists, map, settings, putLinks);
  };
  const std::string separateMap = Path("separate.dem"), separateSettings = Path("separate.ini");
  ASSERT_TRUE(saveBothWays(separateMap, separateSettings, map_, settings_));
  const auto bytes = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_EQ(bytes(map_), bytes(separateMap));
  EXPECT_EQ(bytes(settings_), bytes(separateSettings));
  EXPECT_THAT(LinesOf(map_, "Global Bookmarks"),
              ElementsAre(Line{"Global Bookmarks", "idA", "N"}, Line{"Global Bookmarks", "idC", "N"}));

  const auto inode = [](const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
  };
  const auto mapInode = inode(map_), settingsInode = inode(settings_);
  ASSERT_TRUE(SaveBookmarks(lists, map_, settings_, putLinks));
  EXPECT_EQ(inode(map_), mapInode);
  EXPECT_EQ(inode(settings_), settingsInode);
  EXPECT_EQ(bytes(map_), bytes(separateMap));

  // A map info file that is the settings file too: both halves and the links land in the one file,
  // as the separate saves put them there.
  const std::string both = Path("both.dem"), bothSeparate = Path("both-separate.dem");
  ASSERT_TRUE(saveBothWays(bothSeparate, bothSeparate, both, both));
  EXPECT_EQ(bytes(both), bytes(bothSeparate));
  EXPECT_EQ(LinesOf(both, "Map Links").size(), 2u);
}

// In a map info file that is the settings file itself, a global bookmark's visibility counts as
// written before its record: the section whose first line came first stands first.
TEST_F(StoreTest, OneFileForBothHalvesStartsWithTheSectionWrittenFirst) {
  const std::string file = Path("one.dem");
  const std::string noFields(2, FieldSeparator);  // a record without an identifier has no visibility
  const struct {
    std::vector<std::string> globals;
    std::vector<std::string> sections;
  } cases[] = {
      {{R({"id1", "V", "1", "1", "a"})}, {"General", "Global Bookmarks", "Map Bookmarks"}},
      {{noFields, R({"id2", "N", "1", "1", "b"})}, {"General", "Map Bookmarks", "Global Bookmarks"}},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(file);
    BookmarkLists lists;
    lists.GlobalBookmarks = c.globals;
    lists.GlobalBookmarkFonts.assign(c.globals.size(), "f");
    ASSERT_TRUE(SaveBookmarks(lists, file, file));
    std::vector<std::string> sections;
    for (const Line& line : Lines(file))
      if (sections.empty() || sections.back() != line.section) sections.push_back(line.section);
    EXPECT_EQ(sections, c.sections) << c.globals.front();
  }
}

TEST_F(StoreTest, WithoutAMapOnlyTheSettingsFileIsWritten) {
  BookmarkLists lists;
  lists.GlobalBookmarks = {R({"id1", "V", "1", "1", "x"})};
  lists.GlobalBookmarkFonts = {"g1"};
  lists.CurrentMapBookmarks = {R({"V", "1", "1", "a"})};
  lists.CurrentMapBookmarkFonts = {"f1"};
  ASSERT_TRUE(SaveBookmarks(lists, "", settings_));
  EXPECT_THAT(Lines(settings_), ElementsAre(Line{"General", "Version", "v2.2"},
                                            Line{"Map Bookmarks", "bookmark1", lists.GlobalBookmarks[0]},
                                            Line{"Map Bookmarks", "bookmark1font", "g1"}));
  EXPECT_THAT(QDir(dir_.path()).entryList(QDir::Files), ElementsAre("orvantis.ini"));
}

TEST_F(StoreTest, AFailedWriteIsReportedWithTheFile) {
  const std::string unreachable = Path("missing/town.dem");
  std::string failed;
  EXPECT_FALSE(SaveBookmarks(BookmarkLists{}, unreachable, settings_, &failed));
  EXPECT_EQ(failed, unreachable);
  failed.clear();
  EXPECT_FALSE(SaveBookmarks(BookmarkLists{}, map_, Path("missing/orvantis.ini"), &failed));
  EXPECT_EQ(failed, Path("missing/orvantis.ini"));
}

TEST_F(StoreTest, ListsEndAtTheFirstMissingRecord) {
  const std::string sep(1, FieldSeparator);
  WriteFile(map_, "[General]\nVersion=v2.2\n[Map Bookmarks]\nbookmark1=V" + sep + "1" + sep + "2" + sep +
                      "One\nbookmark3=V" + sep + "5" + sep + "6" + sep + "Three\nbookmark3font=F3\n");
  WriteFile(settings_, "[General]\nVersion=v2.2\n[Map Bookmarks]\nbookmark1=id" + sep + "V" + sep + "1" +
                           sep + "2" + sep + "G\nbookmark1font=F\nbookmark2=\nbookmark3=id3" + sep + "V\n");
  BookmarkLists lists;
  LoadGlobalBookmarks(lists, settings_, random_);
  LoadMapBookmarks(lists, map_);
  EXPECT_THAT(lists.CurrentMapBookmarks, ElementsAre(R({"V", "1", "2", "One"})));
  EXPECT_THAT(lists.CurrentMapBookmarkFonts, ElementsAre(""));  // a missing font record stays empty
  EXPECT_THAT(lists.GlobalBookmarks, ElementsAre(R({"id", "V", "1", "2", "G"})));
  EXPECT_THAT(lists.GlobalBookmarkFonts, ElementsAre("F"));

  // A map info file without bookmarks gives none, and a missing file the same.
  LoadMapBookmarks(lists, Path("nothing.dem"));
  EXPECT_THAT(lists.CurrentMapBookmarks, IsEmpty());
  EXPECT_THAT(lists.CurrentMapBookmarkFonts, IsEmpty());
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(Path("nothing.dem"))));  // reading creates nothing
}

// Line endings converted twice leave a carriage return before each: the records are still read in
// the layout the file names, not converted as an older one.
TEST_F(StoreTest, RecordsOfLinesEndedTwiceReadAsWritten) {
  const std::string sep(1, FieldSeparator);
  WriteFile(settings_, "[General]\r\r\nVersion=v2.2\r\r\n[Map Bookmarks]\r\r\nbookmark1=id" + sep + "V" +
                           sep + "1500" + sep + "1200" + sep + "Bank" + sep +
                           "open late\r\r\nbookmark1font=F\r\r\n");
  WriteFile(map_, "[General]\r\r\nVersion=v2.2\r\r\n[Map Bookmarks]\r\r\nbookmark1=V" + sep + "1" + sep +
                      "2" + sep + "Inn\r\r\nbookmark1font=Arial" + sep + "12" + sep + "0" + sep + "b\r\r\n");
  BookmarkLists lists;
  LoadGlobalBookmarks(lists, settings_, random_);
  LoadMapBookmarks(lists, map_);
  EXPECT_THAT(lists.GlobalBookmarks, ElementsAre(R({"id", "V", "1500", "1200", "Bank", "open late"})));
  EXPECT_THAT(lists.CurrentMapBookmarks, ElementsAre(R({"V", "1", "2", "Inn"})));
  EXPECT_THAT(lists.CurrentMapBookmarkFonts, ElementsAre(R({"Arial", "12", "0", "b"})));
}

TEST_F(StoreTest, GlobalVisibilityBelongsToEachMap) {
  const std::string other = Path("other.dem");
  // A hand-edited visibility holding the separator byte reads as missing: split, it would move the
  // record's point and name.
  WriteFile(map_, "[Global Bookmarks]\nhidden1234=N\nbroken1234=N\xB3X\n");
  WriteFile(other, "[General]\nVersion=v2.2\n");
  BookmarkLists lists;
  lists.GlobalBookmarks = {R({"hidden1234", "V", "1", "1", "a"}), R({"unlisted12", "N", "2", "2", "b"}),
                           R({"broken1234", "V", "9", "9", "Gate"})};
  lists.GlobalBookmarkFonts = {"", "", ""};
  LoadMapBookmarks(lists, map_);
  EXPECT_EQ(GetField(2, lists.GlobalBookmarks[0], FieldSeparator), "N");
  EXPECT_EQ(GetField(2, lists.GlobalBookmarks[1], FieldSeparator), "V");  // not listed: visible
  EXPECT_EQ(lists.GlobalBookmarks[2], R({"broken1234", "V", "9", "9", "Gate"}));
  LoadMapBookmarks(lists, other);
  EXPECT_EQ(GetField(2, lists.GlobalBookmarks[0], FieldSeparator), "V");
}

TEST_F(StoreTest, OlderLayoutsAreConvertedAndSavedInTheCurrentOne) {
  const std::string sep(1, FieldSeparator);
  // A map info file written before fonts: visibility, X, Y, size, name, notes.
  WriteFile(map_, "[Map Bookmarks]\nbookmark1=V" + sep + "100" + sep + "200" + sep + "12" + sep +
                      "Inn\nbookmark2=N" + sep + "1" + sep + "2" + sep + "8" + sep + "Gate" + sep +
                      "shut,late\n");
  // Global bookmarks of version v2.11: identifier, visibility, X, Y, size, name, notes.
  WriteFile(settings_, "[General]\nVersion=v2.11\n[Map Bookmarks]\nbookmark1=abcdefghij" + sep + "V" + sep +
                           "7" + sep + "8" + sep + "14" + sep + "Mill" + sep + "note\n");
  BookmarkLists lists;
  LoadGlobalBookmarks(lists, settings_, random_);
  LoadMapBookmarks(lists, map_);
  EXPECT_THAT(lists.CurrentMapBookmarks,
              ElementsAre(R({"V", "100", "200", "Inn"}), R({"N", "1", "2", "Gate", "shut,late"})));
  EXPECT_THAT(lists.CurrentMapBookmarkFonts,
              ElementsAre(R({"Arial", "12", "0", "b"}), R({"Arial", "8", "0", "b"})));
  EXPECT_THAT(lists.GlobalBookmarks, ElementsAre(R({"abcdefghij", "V", "7", "8", "Mill", "note"})));
  EXPECT_THAT(lists.GlobalBookmarkFonts, ElementsAre(R({"Arial", "14", "0", "b"})));

  ASSERT_TRUE(SaveBookmarks(lists, map_, settings_));
  BookmarkLists again;
  LoadGlobalBookmarks(again, settings_, random_);
  LoadMapBookmarks(again, map_);
  EXPECT_EQ(again.CurrentMapBookmarks, lists.CurrentMapBookmarks);
  EXPECT_EQ(again.CurrentMapBookmarkFonts, lists.CurrentMapBookmarkFonts);
  EXPECT_EQ(again.GlobalBookmarks, lists.GlobalBookmarks);
  EXPECT_EQ(again.GlobalBookmarkFonts, lists.GlobalBookmarkFonts);
}

TEST_F(StoreTest, OldestGlobalLayoutGetsIdentifiersAndFonts) {
  WriteFile(settings_,
            "[Map Bookmarks]\nbookmark1=1500 1200 10 Bank@@open late\nbookmark2=5 6 9 Two words@@\n"
            "bookmark3=7 8 11 No notes\nbookmark4=12\n");
  BookmarkLists lists;
  LoadGlobalBookmarks(lists, settings_, random_);
  ASSERT_EQ(lists.GlobalBookmarks.size(), 4u);
  std::vector<std::vector<std::string>> fields;
  for (const auto& r : lists.GlobalBookmarks) {
    std::vector<std::string> f;
    const int n = std::stoi(GetField(0, r, FieldSeparator));
    for (int i = 2; i <= n; ++i) f.push_back(GetField(i, r, FieldSeparator));
    fields.push_back(f);
    EXPECT_EQ(GetField(1, r, FieldSeparator).size(), 10u);
  }
  EXPECT_THAT(fields[0], ElementsAre("V", "1500", "1200", "Bank", "open late"));
  EXPECT_THAT(fields[1], ElementsAre("V", "5", "6", "Two words"));
  EXPECT_THAT(fields[2], ElementsAre("V", "7", "8", "No notes"));
  EXPECT_THAT(fields[3], ElementsAre("V", "12"));  // a broken text keeps what it has
  EXPECT_THAT(lists.GlobalBookmarkFonts,
              ElementsAre(R({"Arial", "10", "0", "b"}), R({"Arial", "9", "0", "b"}),
                          R({"Arial", "11", "0", "b"}), R({"Arial", "", "0", "b"})));
  EXPECT_NE(GetField(1, lists.GlobalBookmarks[0], FieldSeparator),
            GetField(1, lists.GlobalBookmarks[1], FieldSeparator));
}

TEST(SortBookmarks, OrdersByNameIgnoringCaseAndMovesFonts) {
  BookmarkLists lists;
  lists.CurrentMapBookmarks = {R({"V", "1", "1", "gamma"}), R({"V", "1", "1", "beta"}),
                               R({"V", "1", "1", "Alpha"}), R({"V", "1", "1", "BETA"})};
  lists.CurrentMapBookmarkFonts = {"fg", "fb", "fa", "fB"};
  lists.GlobalBookmarks = {R({"i1", "V", "1", "1", "zulu"}), R({"i2", "V", "1", "1", "Mike"}),
                           R({"i3", "V", "1", "1", "echo"})};
  lists.GlobalBookmarkFonts = {"fz", "fm", "fe"};
  SortBookmarks(lists);
  EXPECT_THAT(lists.CurrentMapBookmarkFonts,
              ElementsAre("fa", "fb", "fB", "fg"));  // equal names keep their order
  EXPECT_EQ(GetField(4, lists.CurrentMapBookmarks[0], FieldSeparator), "Alpha");
  EXPECT_EQ(GetField(4, lists.CurrentMapBookmarks[3], FieldSeparator), "gamma");
  EXPECT_THAT(lists.GlobalBookmarkFonts, ElementsAre("fe", "fm", "fz"));
  EXPECT_EQ(GetField(5, lists.GlobalBookmarks[1], FieldSeparator), "Mike");

  // Lists already in order stay, and each font list is made as long as its record list.
  lists.CurrentMapBookmarkFonts.pop_back();
  lists.GlobalBookmarkFonts.push_back("extra");
  SortBookmarks(lists);
  EXPECT_THAT(lists.CurrentMapBookmarkFonts, ElementsAre("fa", "fb", "fB", ""));
  EXPECT_THAT(lists.GlobalBookmarkFonts, ElementsAre("fe", "fm", "fz"));
  EXPECT_EQ(GetField(4, lists.CurrentMapBookmarks[3], FieldSeparator), "gamma");
}

TEST(NewBookmarkId, DrawsTenCharactersFromTheAlphabetWithoutItsLastLetter) {
  const std::string alphabet = "AaBb0CcD1dEe2FfG3gHh4IiJ5jKk6LlM7mNn8OoP9pQq0RrSsTtUuVvWwXxYyZz";
  std::mt19937 random(12345);
  std::map<char, int> counts;
  std::set<std::string> ids;
  for (int i = 0; i < 6200; ++i) {
    const std::string id = NewBookmarkId(random);
    ASSERT_EQ(id.size(), 10u);
    ids.insert(id);
    for (char c : id) {
      ASSERT_NE(alphabet.find(c), std::string::npos) << c;
      ++counts[c];
    }
  }
  EXPECT_EQ(ids.size(), 6200u);
  EXPECT_EQ(counts.count('z'), 0u);
  EXPECT_EQ(counts.size(), 61u);  // every other distinct character comes up
  // "0" stands twice in the alphabet: about 2000 of the 62000 draws, the others about 1000.
  EXPECT_GT(counts['0'], 1700);
  EXPECT_LT(counts['0'], 2300);
  EXPECT_GT(counts['Z'], 800);
  EXPECT_LT(counts['Z'], 1200);
}

struct CommaCase {
  std::vector<std::string> lines;
  std::string text;
};

class CommaText : public ::testing::TestWithParam<CommaCase> {};

TEST_P(CommaText, WritesAndReadsBack) {
  EXPECT_EQ(NotesToCommaText(GetParam().lines), GetParam().text);
  EXPECT_EQ(CommaTextToNotes(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommaText,
    ::testing::Values(CommaCase{{}, ""}, CommaCase{{""}, "\"\""}, CommaCase{{"plain"}, "plain"},
                      CommaCase{{"one", "two"}, "one,two"}, CommaCase{{"a b", "c"}, "\"a b\",c"},
                      CommaCase{{"x,y"}, "\"x,y\""}, CommaCase{{"say \"hi\""}, "\"say \"\"hi\"\"\""},
                      CommaCase{{" lead", "trail "}, "\" lead\",\"trail \""},
                      CommaCase{{"", "middle", "", "end"}, ",middle,,end"}, CommaCase{{"a", ""}, "a,\"\""},
                      CommaCase{{"", ""}, ",\"\""},
                      CommaCase{{"tab\there", "bell\x07"}, "\"tab\there\",\"bell\x07\""},
                      CommaCase{{"\"\""}, "\"\"\"\"\"\""},
                      CommaCase{{"caf\xe9", "semi;colon"}, "caf\xe9,semi;colon"}));

TEST(CommaTextReading, ToleratesLooseText) {
  EXPECT_THAT(CommaTextToNotes("  a ,  b"), ElementsAre("a", "b"));
  EXPECT_THAT(CommaTextToNotes("two words"), ElementsAre("two", "words"));  // unquoted spaces split
  EXPECT_THAT(CommaTextToNotes("\"open"), ElementsAre("open"));             // an unclosed quote ends the text
  EXPECT_THAT(CommaTextToNotes("\"a\"b,c"), ElementsAre("a", "b", "c"));
  EXPECT_THAT(CommaTextToNotes("a,"), ElementsAre("a"));
}

}  // namespace
}  // namespace orv
