#include "core/directions.h"

#include <gtest/gtest.h>

#include <set>

namespace orv {
namespace {

struct Walk {
  Point start;
  Point target;
  const char* sentence;
};

TEST(Directions, ConclusionTellsStepsScreensAndDirection) {
  const Walk cases[] = {
      // 40 / 11.43 is 3.4996: 3 screens.
      {{1000, 1000},
       {980, 1040},
       "Move 20 steps (About 1 screens) to the WEST and 40 steps (About 3 screens) to the SOUTH."},
      {{1000, 1000}, {1000, 994}, "Move 6 steps (About 1 screens) to the NORTH."},
      {{1000, 1000}, {1007, 1000}, "Move 7 steps (About 0 screens) to the EAST."},
      {{1000, 1000},
       {1001, 999},
       "Move 1 steps (About 0 screens) to the EAST and 1 steps (About 0 screens) to the NORTH."},
      // 8 / 15.24 is 0.525 and 46 / 11.43 is 4.02.
      {{1008, 0},
       {1000, 46},
       "Move 8 steps (About 1 screens) to the WEST and 46 steps (About 4 screens) to the SOUTH."},
      {{0, 0},
       {5120, 4096},
       "Move 5120 steps (About 336 screens) to the EAST and 4096 steps (About 358 screens) to the SOUTH."},
      // Differences beyond 32 bits are still counted.
      {{-2147483647 - 1, 0}, {2147483647, 0}, "Move 4294967295 steps (About 281822001 screens) to the EAST."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sentence);
    EXPECT_EQ(DirectionsConclusion(c.start, c.target, 1), c.sentence);
  }
}

TEST(Directions, StandingStillGivesOneOfFiveMessages) {
  const char* messages[] = {
      "You need serious help if you can't find where you're standing! :)",
      "Are you really that stupid?!",
      "Oh come on, you're actually going to make me point it OUT to you?!?",
      "It doesn't take a genius to look down where your feet are! ;P",
      "If this is the kind of stuff you're going to ask me, I might as well close this program for you! =)",
  };
  for (int i = 1; i <= 5; ++i)
    EXPECT_EQ(DirectionsConclusion({1328, 1624}, {1328, 1624}, i), messages[i - 1]);
  EXPECT_EQ(DirectionsConclusion({5, 5}, {5, 5}, 0), messages[0]);
  EXPECT_EQ(DirectionsConclusion({5, 5}, {5, 5}, 9), messages[4]);
}

TEST(Directions, WorldAndReadingTexts) {
  EXPECT_EQ(WorldText({1328, 1624}), "1328 1624");
  EXPECT_EQ(WorldText({-5, 0}), "-5 0");
  EXPECT_EQ(ReadingText(WorldToSextant({0, 0})), "142degrees 44minutes N   93degrees 22minutes W");
  EXPECT_EQ(ReadingText(WorldToSextant({1328, 1624})), "0degrees 0minutes    0degrees 0minutes ");
}

}  // namespace
}  // namespace orv
