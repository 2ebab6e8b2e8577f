// Positions read from free text: a found position is well formed, its copy line reads back as the same
// world point, and the last line holding a position decides.
#include <cstdint>
#include <optional>
#include <string>

#include "core/positiontext.h"
#include "fuzz_common.h"

namespace {

using orv::TextPosition;

bool Same(const std::optional<TextPosition>& a, const std::optional<TextPosition>& b) {
  if (a.has_value() != b.has_value()) return false;
  if (!a) return true;
  if (a->kind != b->kind) return false;
  return a->kind == TextPosition::Kind::Where ? a->where == b->where : a->sextant == b->sextant;
}

// Degrees, minutes and letters of a reading stay in the ranges a player can write; the letter is left
// out only at 0 degrees 0 minutes.
bool WellFormed(const orv::TSextantreading& r) {
  const auto axis = [](int32_t degrees, int32_t minutes, const std::string& letter, const char* letters) {
    if (degrees < 0 || degrees > 180 || minutes < 0 || minutes > 59) return false;
    if (letter.empty()) return degrees == 0 && minutes == 0;
    return letter.size() == 1 && (letter[0] == letters[0] || letter[0] == letters[1]);
  };
  return axis(r.LatDegrees, r.LatMinutes, r.LatLetter, "NS") &&
         axis(r.LonDegrees, r.LonMinutes, r.LonLetter, "EW");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::optional<TextPosition> found = orv::FindLastPosition(text);

  // An empty last line changes nothing.
  ORV_CHECK(Same(orv::FindLastPosition(text + "\n"), found));

  const orv::Point fallback{1500, 1200};
  const orv::Point world = found ? found->WorldPoint() : fallback;
  if (found && found->kind == TextPosition::Kind::Where) ORV_CHECK(found->where == world);
  if (found && found->kind == TextPosition::Kind::Sextant) ORV_CHECK(WellFormed(found->sextant));

  // The copy line of the found world point reads back as that point, and as a .where position.
  const std::string copy = orv::PositionCopyText(world);
  const std::optional<TextPosition> back = orv::FindLastPosition(copy);
  ORV_CHECK(back && back->kind == TextPosition::Kind::Where && back->where == world);

  // Inside the world the copy line's bracketed reading, by itself, gives the same point.
  if (orv::InsideWorld(world)) {
    const std::optional<TextPosition> reading = orv::FindLastPosition(copy.substr(copy.find('(')));
    ORV_CHECK(reading && reading->kind == TextPosition::Kind::Sextant && reading->WorldPoint() == world);
  }

  // Lines are read one by one: a copy line before the text counts only when the text holds no position.
  const std::optional<TextPosition> behind =
      orv::FindLastPosition(orv::PositionCopyText(fallback) + "\n" + text);
  ORV_CHECK(found ? Same(behind, found) : behind && behind->where == fallback);
  return 0;
}
