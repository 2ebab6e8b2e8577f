// The map link store: what is read from and written to a map info file, the order of the links and
// which area holds a picture pixel.
#include "maplinks/maplinkstore.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QTemporaryDir>
#include <fstream>
#include <random>
#include <sstream>

#include "core/numbers.h"
#include "storage/fields.h"
#include "storage/settings.h"

namespace orv {
namespace {

const std::string S(1, FieldSeparator);

std::string Link(int x1, int y1, int x2, int y2, const std::string& file, const std::string& text) {
  return MakeMapLinkRecord(LinkRect{x1, y1, x2, y2}, file, text);
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

int Count(const std::string& text, const std::string& word) {
  int n = 0;
  for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
  return n;
}

class MapLinkFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    path = dir.filePath("Veldrane.dem").toStdString();
    std::ofstream(path, std::ios::binary) << "[Map Dimensions]\r\nUpperLeft_X=10\r\n";
  }
  QTemporaryDir dir;
  std::string path;
};

TEST_F(MapLinkFile, RecordsComeBackAsSavedWithTheSeparatorInsideATextKept) {
  const std::vector<std::string> links = {Link(1, 2, 3, 4, "a.dem", "Alpha"),
                                          Link(40, 30, 20, 10, "b.dem", "Beta" + S + "tail"),
                                          Link(5, 6, 7, 8, "c.dem", "")};
  ASSERT_TRUE(SaveMapLinks(links, path));
  std::vector<std::string> loaded = {"stale"};
  LoadMapLinks(loaded, path);
  EXPECT_EQ(loaded, links);
  EXPECT_EQ(ReadSetting("Map Dimensions", "UpperLeft_X", path), "10");
}

TEST_F(MapLinkFile, SavingFewerLinksLeavesNoOldKeysBehind) {
  std::vector<std::string> five;
  for (int i = 1; i <= 5; ++i)
    five.push_back(Link(i, i, i + 10, i + 10, "m.dem", "link " + std::to_string(i)));
  ASSERT_TRUE(SaveMapLinks(five, path));
  const std::vector<std::string> three(five.begin() + 2, five.end());
  ASSERT_TRUE(SaveMapLinks(three, path));

  EXPECT_EQ(ReadSetting("Map Links", "maplink1", path), five[2]);
  EXPECT_EQ(ReadSetting("Map Links", "maplink3", path), five[4]);
  EXPECT_EQ(ReadSetting("Map Links", "maplink4", path), "");
  EXPECT_EQ(ReadSetting("Map Links", "maplink5", path), "");
  EXPECT_EQ(Count(Contents(path), "maplink"), 3);
  EXPECT_EQ(Count(Contents(path), "[Map Links]"), 1);

  ASSERT_TRUE(SaveMapLinks({}, path));
  EXPECT_EQ(Count(Contents(path), "Map Links"), 0);
  EXPECT_EQ(ReadSetting("Map Dimensions", "UpperLeft_X", path), "10");
}

TEST_F(MapLinkFile, LoadingStopsAtTheFirstMissingOrEmptyKey) {
  WriteSetting("Map Links", "maplink1", path, Link(1, 1, 9, 9, "a.dem", "first"));
  WriteSetting("Map Links", "maplink3", path, Link(2, 2, 8, 8, "c.dem", "third"));
  std::vector<std::string> links;
  LoadMapLinks(links, path);
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(GetField(6, links[0], FieldSeparator), "first");

  LoadMapLinks(links, dir.filePath("missing.dem").toStdString());
  EXPECT_TRUE(links.empty());
}

TEST_F(MapLinkFile, ARecordWithCornersThatAreNotNumbersIsKeptUnchanged) {
  const std::string handEdited = "1O" + S + "20" + S + "x" + S + "40" + S + "b.dem" + S + "Edited";
  WriteSetting("Map Links", "maplink1", path, handEdited);
  std::vector<std::string> links;
  LoadMapLinks(links, path);
  ASSERT_EQ(links, std::vector<std::string>{handEdited});
  ASSERT_TRUE(SaveMapLinks(links, path));
  EXPECT_EQ(ReadSetting("Map Links", "maplink1", path), handEdited);
}

TEST(SaveMapLinks, ReportsAFileThatCannotBeWritten) {
  EXPECT_FALSE(SaveMapLinks({Link(1, 1, 5, 5, "a.dem", "x")}, "/nonexistent-directory/map.dem"));
}

std::vector<std::string> Texts(const std::vector<std::string>& links) {
  std::vector<std::string> texts;
  for (const auto& r : links) texts.push_back(GetField(6, r, FieldSeparator));
  return texts;
}

TEST(SortMapLinks, OrdersByStatusTextIgnoringCaseAndKeepsEqualTextsInPlace) {
  std::vector<std::string> links = {
      Link(1, 0, 0, 0, "1.dem", "delta"), Link(2, 0, 0, 0, "2.dem", "Bravo"),
      Link(3, 0, 0, 0, "3.dem", "alpha"), Link(4, 0, 0, 0, "4.dem", "BRAVO"),
      Link(5, 0, 0, 0, "5.dem", ""),      Link(6, 0, 0, 0, "6.dem", "Charlie" + S + "Aardvark"),
      Link(7, 0, 0, 0, "7.dem", "bravo"),
  };
  SortMapLinks(links);
  // Only the part of a text before a separator counts; an empty text comes first.
  EXPECT_EQ(Texts(links),
            (std::vector<std::string>{"", "alpha", "Bravo", "BRAVO", "bravo", "Charlie", "delta"}));
  EXPECT_EQ(GetField(5, links[2], FieldSeparator), "2.dem");
  EXPECT_EQ(GetField(5, links[4], FieldSeparator), "7.dem");
  EXPECT_EQ(links[5], Link(6, 0, 0, 0, "6.dem", "Charlie" + S + "Aardvark"));
}

TEST(SortMapLinks, ReadsTextsAsWindows1252InTheUsersLocaleOrder) {
  // 0xC9 is a capital E with acute accent: in an English locale it sorts beside e, not after z as its
  // byte value would.
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
  std::vector<std::string> links = {Link(1, 0, 0, 0, "1.dem", "zebra"), Link(2, 0, 0, 0, "2.dem", "\xC9tang"),
                                    Link(3, 0, 0, 0, "3.dem", "delta")};
  SortMapLinks(links);
  QLocale::setDefault(before);
  EXPECT_EQ(Texts(links), (std::vector<std::string>{"delta", "\xC9tang", "zebra"}));
}

TEST(FindLinkAt, TheOpenAreaOfTheFirstMatchingLinkInListOrder) {
  const std::vector<std::string> links = {
      "12" + S + "x" + S + "90" + S + "90" + S + "bad.dem" + S + "Hand edited",  // passed over
      Link(60, 50, 20, 10, "a.dem", "Aldmoor"),  // drawn from the lower right to the upper left
      Link(40, 30, 80, 70, "b.dem", "Brindle"),  // overlaps Aldmoor in 40..60 x 30..50
  };
  const struct {
    Point pixel;
    std::optional<std::size_t> found;
  } cases[] = {
      {{20, 30}, std::nullopt},  // on the left line
      {{21, 30}, 1},             // one pixel inside
      {{59, 49}, 1},             // one pixel inside the lower right corner
      {{60, 40}, 2},             // on Aldmoor's right line, inside Brindle
      {{50, 40}, 1},             // the overlap: the first in the list
      {{70, 60}, 2},
      {{80, 60}, std::nullopt},
      {{30, 10}, std::nullopt},  // on the top line
      {{50, 90}, std::nullopt},
  };
  // The store answers from the corners it keeps parsed.
  MapLinkStore store;
  store.Replace(links);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pixel.x << "," << c.pixel.y);
    EXPECT_EQ(FindLinkAt(links, c.pixel), c.found);
    EXPECT_EQ(store.FindAt(c.pixel), c.found);
  }
  EXPECT_EQ(store.at(2).targetFile, "b.dem");
  EXPECT_EQ(store.at(2).statusText, "Brindle");
  EXPECT_FALSE(LinkArea(links[0]));
  EXPECT_EQ(LinkArea(links[1]), (LinkRect{60, 50, 20, 10}));
  EXPECT_FALSE(FindLinkAt({}, Point{1, 1}));
}

TEST(MapLinkStore, AnnouncesChangesAndMarksTheUsersEditsForSaving) {
  MapLinkStore store;
  int changed = 0, edited = 0;
  QObject::connect(&store, &MapLinkStore::changed, [&] { ++changed; });
  QObject::connect(&store, &MapLinkStore::edited, [&] { ++edited; });
  store.Replace({Link(1, 1, 9, 9, "c.dem", "charlie"), Link(1, 1, 9, 9, "a.dem", "Alpha")});
  store.Sort();
  EXPECT_EQ(std::make_pair(changed, edited), std::make_pair(2, 0));
  store.Sort();  // already in order: nothing changes
  store.Add(Link(2, 2, 8, 8, "b.dem", "bravo"));
  EXPECT_EQ(std::make_pair(changed, edited), std::make_pair(3, 1));
  EXPECT_EQ(store.at(1).statusText, "bravo");
  store.Remove(7);  // no such line
  store.Remove(0);
  EXPECT_EQ(std::make_pair(changed, edited), std::make_pair(4, 2));
  EXPECT_EQ(store.MapLinks(), (std::vector<std::string>{Link(2, 2, 8, 8, "b.dem", "bravo"),
                                                        Link(1, 1, 9, 9, "c.dem", "charlie")}));
}

TEST(LinkArea, ReadsTheCornersAsTheFieldsOfTheRecordAre) {
  // Records of digits, signs, blanks, letters and separators in any arrangement: the corners are
  // exactly fields 1 to 4 as GetField splits them, each a strict integer.
  std::mt19937 random(1);
  const std::string alphabet =
      std::string("0123456789-+ x") + FieldSeparator + FieldSeparator + FieldSeparator;
  for (int i = 0; i < 20000; ++i) {
    std::string record;
    const int length = static_cast<int>(random() % 24);
    for (int k = 0; k < length; ++k) record += alphabet[random() % alphabet.size()];
    std::optional<LinkRect> expected = LinkRect{};
    int32_t* corners[] = {&expected->x1, &expected->y1, &expected->x2, &expected->y2};
    for (int field = 1; field <= 4 && expected; ++field) {
      const auto value = ParseInt(GetField(field, record, FieldSeparator));
      if (value)
        *corners[field - 1] = *value;
      else
        expected.reset();
    }
    ASSERT_EQ(LinkArea(record), expected) << testing::PrintToString(record);
  }
}

TEST(AreaMiddle, LiesHalfWayBetweenTheCornersEvenFarApart) {
  EXPECT_EQ(AreaMiddle(LinkRect{60, 51, 20, 10}), (Point{40, 30}));
  EXPECT_EQ(AreaMiddle(LinkRect{-2000000000, 0, 2000000000, 1}), (Point{0, 0}));
}

}  // namespace
}  // namespace orv
