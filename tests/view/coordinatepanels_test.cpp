// The coordinate panel routines without a window: number and letter reading, filling from a world
// point, and the four refresh sources.
#include "view/coordinatepanels.h"

#include <gtest/gtest.h>

#include <climits>

#include "core/sextant.h"

namespace orv {
namespace {

TEST(PanelNumberTest, ReadsSignedDecimalsWithLeadingBlanksAndFallsBackOtherwise) {
  const struct {
    const char* text;
    int32_t expected;
  } cases[] = {
      {"1328", 1328},
      {"  -7", -7},
      {"+5", 5},
      {"-2147483648", INT_MIN},
      {"2147483647", INT_MAX},
      {"2147483648", -99},
      {"", -99},
      {"abc", -99},
      {"12 ", -99},
      {"1 2", -99},
      {"\xef\xbc\x91", -99},  // a full-width digit one is no ASCII digit
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PanelNumber(QString::fromUtf8(c.text), -99), c.expected) << c.text;
  }
}

TEST(PanelLetterTest, UpperCasesAsciiLettersOnly) {
  EXPECT_EQ(PanelLetter("n"), "N");
  EXPECT_EQ(PanelLetter("w"), "W");
  EXPECT_EQ(PanelLetter("S"), "S");
  EXPECT_EQ(PanelLetter(""), "");
  EXPECT_EQ(PanelLetter(" n"), " N");
  // Latin-1 letters keep their case: n with a tilde is not N.
  EXPECT_EQ(PanelLetter(QString(QChar(0xF1))), "\xf1");
}

CoordinatePanelTexts Texts(const char* x, const char* y, const char* latDeg, const char* lonDeg,
                           const char* latMin, const char* lonMin, const char* latLetter,
                           const char* lonLetter) {
  return {x, y, latDeg, lonDeg, latMin, lonMin, latLetter, lonLetter};
}

TEST(PanelTextsForTest, FillsInsideTheWorldAndEmptiesOutside) {
  EXPECT_EQ(PanelTextsFor(Point{0, 0}), Texts("0", "0", "142", "93", "44", "22", "N", "W"));
  EXPECT_EQ(PanelTextsFor(Point{1328, 1624}), Texts("1328", "1624", "0", "0", "0", "0", "", ""));
  EXPECT_EQ(PanelTextsFor(Point{5120, 4096}).Edit1, "5120");
  const CoordinatePanelTexts empty;
  for (const Point outside : {Point{5121, 100}, Point{-1, 0}, Point{0, 4097}, Point{0, -1}}) {
    EXPECT_EQ(PanelTextsFor(outside), empty) << outside.x << "," << outside.y;
  }
  EXPECT_EQ(PanelTextsFor(std::nullopt), empty);
}

std::optional<CoordinatePanelTexts> RefreshedPanelTexts(const CoordinatePanelTexts& current, int32_t a,
                                                        int32_t b, PanelSource source,
                                                        const MapCorners& corners, int32_t zoomPercent) {
  const auto refresh = RefreshPanels(current, a, b, source, corners, zoomPercent);
  if (!refresh) return std::nullopt;
  return refresh->texts;
}

TEST(RefreshedPanelTextsTest, EachSourceGivesItsWorldPoint) {
  const MapCorners defaults;
  const CoordinatePanelTexts typed = Texts(" 12", "abc", "142", "93", "44", "22", "n", "w");
  // A zoomed map pixel of the default corners: (25, 25) lies on world (2560, 2048).
  EXPECT_EQ(RefreshedPanelTexts(typed, 25, 25, PanelSource::FromMapPixel, defaults, 100)->Edit1, "2560");
  EXPECT_EQ(RefreshedPanelTexts(typed, 50, 50, PanelSource::FromMapPixel, defaults, 200)->Edit2, "2048");
  // The ".where" boxes in normal form: blanks dropped, a non-number read as 0.
  const auto where = RefreshedPanelTexts(typed, 999, 999, PanelSource::FromWhereFields, defaults, 100);
  EXPECT_EQ(where, PanelTextsFor(Point{12, 0}));
  // The sextant boxes with lower-case letters give world (0, 0), shown with capitals.
  const auto sextant = RefreshedPanelTexts(typed, 999, 999, PanelSource::FromSextantFields, defaults, 100);
  EXPECT_EQ(sextant, Texts("0", "0", "142", "93", "44", "22", "N", "W"));
  EXPECT_EQ(RefreshedPanelTexts(typed, 100, 200, PanelSource::FromWorld, defaults, 100),
            PanelTextsFor(Point{100, 200}));
  // Outside the world: empty boxes, and the point itself for the status line.
  const auto outside = RefreshPanels(typed, 5121, 100, PanelSource::FromWorld, defaults, 100);
  EXPECT_EQ(outside->texts, CoordinatePanelTexts{});
  EXPECT_EQ(outside->world, (Point{5121, 100}));
  for (const int unknown : {0, 5, -1}) {
    EXPECT_FALSE(RefreshedPanelTexts(typed, 1, 1, static_cast<PanelSource>(unknown), defaults, 100))
        << unknown;
  }
}

TEST(RefreshedPanelTextsTest, CornersWithoutAConversionEmptyThePanels) {
  const MapCorners collapsed{{0, 0}, {0, 0}, {0, 0}, {0, 0}};
  const CoordinatePanelTexts typed = Texts("1", "2", "3", "4", "5", "6", "N", "W");
  const auto refresh = RefreshPanels(typed, 10, 10, PanelSource::FromMapPixel, collapsed, 100);
  EXPECT_EQ(refresh->texts, CoordinatePanelTexts{});
  EXPECT_EQ(refresh->world, std::nullopt);
}

TEST(SextantPanelWorldTest, EmptyLettersCountAsSouthAndEastAndNumbersDefaultToZero) {
  const CoordinatePanelTexts blank = Texts("", "", "10", "10", "30", "30", "", "");
  EXPECT_EQ(SextantPanelWorld(blank), SextantToWorld(10, "S", 30, 10, "E", 30));
  EXPECT_NE(SextantPanelWorld(blank), SextantToWorld(10, "N", 30, 10, "W", 30));
  const CoordinatePanelTexts junk = Texts("", "", "x", "", "y", " ", "N", "W");
  EXPECT_EQ(SextantPanelWorld(junk), (Point{SextantOriginX, SextantOriginY}));
}

}  // namespace
}  // namespace orv
