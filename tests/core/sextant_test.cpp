#include "core/sextant.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace orv {
namespace {

// A reading written latitude first, as the player reads it.
struct Reading {
  int32_t latDegrees;
  int32_t latMinutes;
  const char* latLetter;
  int32_t lonDegrees;
  int32_t lonMinutes;
  const char* lonLetter;
};

TSextantreading Record(const Reading& r) {
  return {r.lonDegrees, r.lonLetter, r.lonMinutes, r.latDegrees, r.latLetter, r.latMinutes};
}

Point Back(const TSextantreading& r) {
  return SextantToWorld(r.LatDegrees, r.LatLetter, r.LatMinutes, r.LonDegrees, r.LonLetter, r.LonMinutes);
}

TEST(Sextant, ReadsWorldPoints) {
  const std::pair<Point, Reading> cases[] = {
      {{1328, 1624}, {0, 0, "", 0, 0, ""}},
      {{1327, 1623}, {0, 5, "N", 0, 4, "W"}},
      {{1329, 1625}, {0, 5, "S", 0, 4, "E"}},
      {{0, 0}, {142, 44, "N", 93, 22, "W"}},
      // 217 degrees 15 minutes south and 266 degrees 37 minutes east, read the other way round.
      {{5120, 4096}, {142, 45, "N", 93, 23, "W"}},
      {{4016, 1624}, {0, 0, "", 171, 0, "W"}},  // 189 degrees east
      {{3945, 1624}, {0, 0, "", 176, 0, "W"}},
      // Exactly 180 degrees keeps its letter.
      {{3888, 3672}, {180, 0, "S", 180, 0, "E"}},
      // Minutes are truncated: 1 unit of latitude is 5.27 minutes.
      {{1328, 1625}, {0, 5, "S", 0, 0, ""}},
  };
  for (const auto& [world, reading] : cases) {
    SCOPED_TRACE(testing::Message() << world.x << " " << world.y);
    EXPECT_EQ(WorldToSextant(world), Record(reading));
  }
}

TEST(Sextant, ConvertsReadingsToWorldPoints) {
  const std::pair<Reading, Point> cases[] = {
      {{0, 0, "N", 0, 0, "W"}, {1328, 1624}},
      {{0, 0, "S", 0, 0, "E"}, {1328, 1624}},
      {{0, 0, "", 0, 0, ""}, {1328, 1624}},
      {{180, 0, "N", 180, 0, "W"}, {3888, 3672}},
      {{180, 0, "S", 180, 0, "E"}, {3888, 3672}},
      // Degrees above 180 are taken as 180 and minutes above 59 as 59.
      {{200, 75, "S", 5, 0, "E"}, {1399, 3683}},
      {{180, 59, "S", 5, 0, "E"}, {1399, 3683}},
      // Letters are compared exactly: a lower-case n is not north.
      {{10, 0, "n", 0, 0, "w"}, {1328, 1738}},
      {{10, 0, "S", 0, 0, "E"}, {1328, 1738}},
      {{10, 0, "N", 0, 0, "W"}, {1328, 1510}},
      // Negative values are used as they are: 10 degrees south counted northward.
      {{-10, 0, "N", 0, 0, ""}, {1328, 1738}},
      // Past the world's edge the point wraps round: 150 degrees north of 1624 is 1624 - 1706.67.
      {{150, 0, "N", 0, 0, ""}, {1328, 4013}},
      {{0, 0, "", 180, 0, "E"}, {3888, 1624}},
      {{0, 0, "", 93, 22, "W"}, {0, 1624}},
      {{0, 0, "", 93, 23, "W"}, {5120, 1624}},
  };
  for (const auto& [reading, world] : cases) {
    SCOPED_TRACE(testing::Message() << reading.latDegrees << reading.latLetter << " " << reading.lonDegrees
                                    << reading.lonLetter);
    EXPECT_EQ(SextantToWorld(reading.latDegrees, reading.latLetter, reading.latMinutes, reading.lonDegrees,
                             reading.lonLetter, reading.lonMinutes),
              world);
  }
}

TEST(Sextant, EveryWorldPointReadsBackToItself) {
  // Longitude depends on x alone and latitude on y alone, so walking every x of the world with a
  // fixed y and every y with a fixed x covers every point of the world.
  const TSextantreading atOrigin = WorldToSextant({SextantOriginX, SextantOriginY});
  for (int32_t x = 0; x <= WorldWidth; ++x) {
    const TSextantreading r = WorldToSextant({x, SextantOriginY});
    ASSERT_EQ(r.LatDegrees, atOrigin.LatDegrees);
    ASSERT_EQ(Back(r), (Point{x, SextantOriginY})) << x;
    ASSERT_TRUE(r.LonDegrees >= 0 && r.LonDegrees <= 180 && r.LonMinutes >= 0 && r.LonMinutes <= 59) << x;
  }
  for (int32_t y = 0; y <= WorldHeight; ++y) {
    const TSextantreading r = WorldToSextant({SextantOriginX, y});
    ASSERT_EQ(Back(r), (Point{SextantOriginX, y}));
    ASSERT_TRUE(r.LatDegrees >= 0 && r.LatDegrees <= 180 && r.LatMinutes >= 0 && r.LatMinutes <= 59) << y;
  }
  // And the axes really are independent: a coarse grid with the edges and the lines through the
  // origin and at 180 degrees.
  std::vector<int32_t> xs{0, 1, 1327, 1328, 1329, 3887, 3888, 3889, 5119, 5120};
  std::vector<int32_t> ys{0, 1, 1623, 1624, 1625, 3671, 3672, 3673, 4095, 4096};
  for (int32_t v = 0; v <= WorldWidth; v += 97) xs.push_back(v);
  for (int32_t v = 0; v <= WorldHeight; v += 89) ys.push_back(v);
  for (int32_t x : xs) {
    const TSextantreading lon = WorldToSextant({x, SextantOriginY});
    for (int32_t y : ys) {
      const TSextantreading lat = WorldToSextant({SextantOriginX, y});
      const TSextantreading r = WorldToSextant({x, y});
      ASSERT_EQ(r, (TSextantreading{lon.LonDegrees, lon.LonLetter, lon.LonMinutes, lat.LatDegrees,
                                    lat.LatLetter, lat.LatMinutes}));
      ASSERT_EQ(Back(r), (Point{x, y}));
    }
  }
}

TEST(Sextant, AnyIntegerIsReadWithoutOverflow) {
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  // Far outside the world the reading goes round more than once; whole turns drop out, so it stays a
  // reading of degrees 0..180 and minutes 0..59, with no letter only at 0 degrees 0 minutes.
  const TSextantreading far = WorldToSextant({kMin, kMax});
  EXPECT_EQ(far.LonLetter, "E");
  EXPECT_EQ(far.LatLetter, "N");
  for (const int32_t v : {-5000, -2 * WorldWidth, 10000, 3 * WorldWidth + 7, 20000, kMin, kMax}) {
    const TSextantreading r = WorldToSextant({v, v});
    SCOPED_TRACE(v);
    for (const auto& [degrees, minutes, letter] : {std::tuple{r.LonDegrees, r.LonMinutes, r.LonLetter},
                                                   std::tuple{r.LatDegrees, r.LatMinutes, r.LatLetter}}) {
      EXPECT_TRUE(degrees >= 0 && degrees <= 180 && minutes >= 0 && minutes <= 59)
          << degrees << " " << minutes;
      EXPECT_EQ(letter.empty(), degrees == 0 && minutes == 0);
    }
  }
  // A whole turn along an axis reads as the same place.
  EXPECT_EQ(WorldToSextant({1000 + 3 * WorldWidth * 2, 700}).LonDegrees,
            WorldToSextant({1000, 700}).LonDegrees);
  // Negative values are used as they are; so large that the point lies beyond 32 bits, it stays
  // outside the world on its own side rather than reading as the world's edge.
  EXPECT_EQ(SextantToWorld(kMin, "N", kMin, kMin, "W", kMin), (Point{kMax, kMax}));
  EXPECT_EQ(SextantToWorld(kMin, "S", 0, -999999999, "E", 0), (Point{kMin, kMin}));
  EXPECT_EQ(SextantToWorld(-189000000, "N", 0, -151000000, "W", 0), (Point{kMax, kMax}));
}

}  // namespace
}  // namespace orv
