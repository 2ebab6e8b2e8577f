#include "core/directions.h"

#include <algorithm>
#include <array>

#include "core/numbers.h"

namespace orv {
namespace {

// One screen of the game spans 15.24 steps horizontally and 11.43 vertically; the reciprocals are
// the extended-precision reals nearest to 1/15.24 = 25/381 and 1/11.43 = 100/1143.
constexpr long double kScreensPerStepX = 25.0L / 381;
constexpr long double kScreensPerStepY = 100.0L / 1143;

constexpr std::array<const char*, 5> kStandingMessages = {
    "You need serious help if you can't find where you're standing! :)",
    "Are you really that stupid?!",
    "Oh come on, you're actually going to make me point it OUT to you?!?",
    "It doesn't take a genius to look down where your feet are! ;P",
    "If this is the kind of stuff you're going to ask me, I might as well close this program for you! =)",
};

// "<n> steps (About <screens> screens) to the <direction>"; n is positive.
std::string Walk(int64_t steps, long double screensPerStep, const char* direction) {
  return std::to_string(steps) + " steps (About " + std::to_string(RoundToInt(steps * screensPerStep)) +
         " screens) to the " + direction;
}

}  // namespace

std::string WorldText(Point world) {
  return std::to_string(world.x) + " " + std::to_string(world.y);
}

std::string ReadingText(const TSextantreading& r) {
  return std::to_string(r.LatDegrees) + "degrees " + std::to_string(r.LatMinutes) + "minutes " + r.LatLetter +
         "   " + std::to_string(r.LonDegrees) + "degrees " + std::to_string(r.LonMinutes) + "minutes " +
         r.LonLetter;
}

std::string DirectionsConclusion(Point start, Point target, int standingMessage) {
  std::string horizontal;
  if (start.x > target.x) {
    horizontal = "Move " + Walk(int64_t{start.x} - target.x, kScreensPerStepX, "WEST");
  } else if (start.x < target.x) {
    horizontal = "Move " + Walk(int64_t{target.x} - start.x, kScreensPerStepX, "EAST");
  }
  std::string vertical;  // smaller y is north
  if (target.y < start.y) {
    vertical = Walk(int64_t{start.y} - target.y, kScreensPerStepY, "NORTH.");
  } else if (target.y > start.y) {
    vertical = Walk(int64_t{target.y} - start.y, kScreensPerStepY, "SOUTH.");
  }

  if (!horizontal.empty() && !vertical.empty()) return horizontal + " and " + vertical;
  if (!horizontal.empty()) return horizontal + ".";
  if (!vertical.empty()) return "Move " + vertical;
  return kStandingMessages[std::clamp(standingMessage, 1, 5) - 1];
}

}  // namespace orv
