#include "core/positiontext.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace orv {
namespace {

// What a line should give: a .where point, a sextant reading (latitude first, as players write it),
// or nothing.
struct Expect {
  enum { None, Where, Sextant } kind = None;
  Point where;
  int32_t latDegrees = 0, latMinutes = 0;
  const char* latLetter = "";
  int32_t lonDegrees = 0, lonMinutes = 0;
  const char* lonLetter = "";
};
Expect W(int32_t x, int32_t y) {
  return {Expect::Where, {x, y}};
}
Expect S(int32_t latD, int32_t latM, const char* latL, int32_t lonD, int32_t lonM, const char* lonL) {
  return {Expect::Sextant, {}, latD, latM, latL, lonD, lonM, lonL};
}
const Expect None{};

TEST(PositionText, FindsTheLastPositionInRealLines) {
  const std::pair<std::string, Expect> cases[] = {
      // The game's .where answer and what players type after it.
      {"Your location is 1500 1200 0", W(1500, 1200)},
      {"Your location is 1500 1200 -5", W(1500, 1200)},
      {"1500 1200", W(1500, 1200)},
      {"1500, 1200", W(1500, 1200)},
      {"(1500,1200)", W(1500, 1200)},
      {"[1500, 1200, 0]", W(1500, 1200)},
      {"x=1500 y=1200", W(1500, 1200)},
      {"X: 1500, Y: 1200, Z: 7", W(1500, 1200)},
      {"I'm at 1500 1200.", W(1500, 1200)},
      {"\xE2\x80\x9C"
       "1500 1200\xE2\x80\x9D he said",
       W(1500, 1200)},
      {"(-5, 100)", W(-5, 100)},
      {"5121 100", W(5121, 100)},
      // Chat lines with times, dates and names around the position.
      {"[12:30] <Bob> meet me at 1500, 1200 by the bridge", W(1500, 1200)},
      {"[2026-12-07 12:30:45] Aria: 2210 3001 0", W(2210, 3001)},
      {"Bob42: 1500 1200", W(1500, 1200)},
      {"12:30 1500 1200", W(1500, 1200)},
      // Several positions: the last one wins, and the last line holding one.
      {"from 1500 1200 to 1600 1300", W(1600, 1300)},
      {"Your location is 100 200 0\nYour location is 300 400 0\n", W(300, 400)},
      {"Your location is 100 200 0\r\nthanks, see you there\r\n", W(100, 200)},
      {"37o 15'N 12o 5'E\nYour location is 300 400 0", W(300, 400)},
      {"Your location is 300 400 0\n37o 15'N 12o 5'E", S(37, 15, "N", 12, 5, "E")},
      {"was 10o 1'S 20o 2'W, now 37o 15'N 12o 5'E", S(37, 15, "N", 12, 5, "E")},
      // In one line the last position wins, .where or reading, except in the copy line, where the
      // reading in brackets right after a .where position repeats it.
      {"go to 37o 15'N 12o 5'E, that is 1500 1200", W(1500, 1200)},
      {"was at 1500 1200, now at 37o 15'N 12o 5'E", S(37, 15, "N", 12, 5, "E")},
      {"1500 1200 then (37o 15'N 12o 5'E)", S(37, 15, "N", 12, 5, "E")},
      {"1500 1200 (37o 15'N 12o 5'E", S(37, 15, "N", 12, 5, "E")},
      {"1500 1200 (37\xC2\xB0"
       "15'N 12\xC2\xB0"
       "5'E)",
       W(1500, 1200)},
      {"Bob: 1500 1200 0 (37 15 N 12 5 E) see you", W(1500, 1200)},
      // Sextant readings in their written forms.
      {"37o 15'N 12o 5'E", S(37, 15, "N", 12, 5, "E")},
      {"37\xC2\xB0 15' N, 12\xC2\xB0 5' E", S(37, 15, "N", 12, 5, "E")},  // UTF-8 degree sign
      {"37\xB0 15' N, 12\xB0 5' E", S(37, 15, "N", 12, 5, "E")},          // Windows-1252 degree sign
      {"37\xB0 15\x92 N 12\xB0 5\x92 W", S(37, 15, "N", 12, 5, "W")},     // Windows-1252 right quote
      {"37\xC2\xBA 15\xE2\x80\xB2 S 12\xC2\xBA 5\xE2\x80\xB2 E", S(37, 15, "S", 12, 5, "E")},
      {"37 15 N 12 5 E", S(37, 15, "N", 12, 5, "E")},
      {"37 15N 12 5E", S(37, 15, "N", 12, 5, "E")},
      {"37\xC2\xB0"
       "15'N12\xC2\xB0"
       "5'E",
       S(37, 15, "N", 12, 5, "E")},
      {"37degrees 15minutes N   12degrees 5minutes E", S(37, 15, "N", 12, 5, "E")},
      {"0degrees 0minutes    12degrees 5minutes W", S(0, 0, "", 12, 5, "W")},
      {"0degrees 0minutes    0degrees 0minutes ", S(0, 0, "", 0, 0, "")},
      {"37o 15's 12o 5'w", S(37, 15, "S", 12, 5, "W")},
      {"12o 5'E 37o 15'N", S(37, 15, "N", 12, 5, "E")},
      {"37d 15m south 12d 5m west", S(37, 15, "S", 12, 5, "W")},
      {"<Kael> treasure at 180o 0'S 180o 0'E !!", S(180, 0, "S", 180, 0, "E")},
      // Numbers that are not positions.
      {"", None},
      {"see you at 12:30", None},
      {"12:30 13:45", None},
      {"on 07/12/2026 or 2026-12-07", None},
      {"meet on Dec 7 2026", None},
      {"December 7, 2026", None},
      {"raid at 7 30 pm", None},
      {"I have 3 potions", None},
      {"level 3 of 5", None},
      {"top 10 20 30 40", None},
      {"abc123 def456", None},
      {"1024x768 screen", None},
      {"prices 1.5 2.5", None},
      {"37.5 15 N 12 5 E", None},
      {"ranks 3-5", None},
      {"50% 20%", None},
      {"1,500 gold and 2,000,000 more", None},
      {"somewhere near 37 15 N", None},
      {"37o 75'N 12o 5'E", None},  // minutes past 59
      {"200o 5'N 12o 5'E", None},  // degrees past 180
      {"37o 15'N 12o 5'N", None},  // two latitudes
      {"99999999999 5", None},     // past 32 bits
      // A number past 32 bits belongs to its run of numbers: four of them, or a bad coordinate.
      {"top 10 20 30 99999999999", None},
      {"99999999999 10 20", None},
      {"1500 1200 99999999999", None},
      // A line longer than any journal or chat line is not read; the lines before it are.
      {std::string(kLongestPositionLine - 9, ' ') + "1500 1200", W(1500, 1200)},
      {std::string(kLongestPositionLine - 8, ' ') + "1500 1200", None},
      {"1600 1300\n" + std::string(1 << 20, 'a') + " 1500 1200", W(1600, 1300)},
      {"version v2.2 build 17", None},
  };
  for (const auto& [text, expect] : cases) {
    SCOPED_TRACE(text);
    const std::optional<TextPosition> found = FindLastPosition(text);
    if (expect.kind == Expect::None) {
      EXPECT_FALSE(found.has_value()) << "found " << found->WorldPoint().x << " " << found->WorldPoint().y;
      continue;
    }
    ASSERT_TRUE(found.has_value());
    if (expect.kind == Expect::Where) {
      EXPECT_EQ(found->kind, TextPosition::Kind::Where);
      EXPECT_EQ(found->where, expect.where);
      EXPECT_EQ(found->WorldPoint(), expect.where);
    } else {
      EXPECT_EQ(found->kind, TextPosition::Kind::Sextant);
      const TSextantreading want{expect.lonDegrees, expect.lonLetter, expect.lonMinutes,
                                 expect.latDegrees, expect.latLetter, expect.latMinutes};
      EXPECT_EQ(found->sextant, want);
    }
  }
}

TEST(PositionText, AReadingGivesItsWorldPoint) {
  const auto found = FindLastPosition("142 44 N 93 22 W");
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->WorldPoint(), (Point{0, 0}));
}

TEST(PositionText, CopyTextHoldsBothFormsAndReadsBackAsTheSamePoint) {
  EXPECT_EQ(PositionCopyText({0, 0}),
            "0 0 (142\xC2\xB0"
            "44'N 93\xC2\xB0"
            "22'W)");
  EXPECT_EQ(PositionCopyText({1328, 1624}),
            "1328 1624 (0\xC2\xB0"
            "0' 0\xC2\xB0"
            "0')");
  EXPECT_EQ(PositionCopyText({5121, 100}), "5121 100");
  EXPECT_EQ(PositionCopyText({-1, 4097}), "-1 4097");
  // Corners, edges, the zero lines, the 180-degree lines, and points outside the world.
  const Point points[] = {{0, 0},       {5120, 0},    {0, 4096},    {5120, 4096}, {1328, 1624}, {1327, 1623},
                          {1329, 1625}, {3888, 3672}, {3889, 3673}, {4016, 1624}, {2560, 0},    {0, 2048},
                          {1500, 1200}, {5119, 4095}, {5121, 100},  {-5, 100},    {100, -7},    {99999, 5}};
  for (const Point& p : points) {
    SCOPED_TRACE(PositionCopyText(p));
    const auto found = FindLastPosition(PositionCopyText(p));
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->kind, TextPosition::Kind::Where);
    EXPECT_EQ(found->WorldPoint(), p);
  }
  // Points all over the world; the reading by itself gives the same point too.
  for (int32_t x = 0; x <= WorldWidth; x += 31) {
    for (int32_t y = 0; y <= WorldHeight; y += 29) {
      const std::string line = PositionCopyText({x, y});
      const auto whole = FindLastPosition(line);
      const auto reading = FindLastPosition(line.substr(line.find('(')));
      ASSERT_TRUE(whole && reading) << line;
      ASSERT_EQ(whole->WorldPoint(), (Point{x, y})) << line;
      ASSERT_EQ(reading->WorldPoint(), (Point{x, y})) << line;
    }
  }
}

}  // namespace
}  // namespace orv
