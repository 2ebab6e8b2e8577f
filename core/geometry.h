#pragma once
// The world plane, and the Point every coordinate space uses (storage/point.h).
#include <array>
#include <cstdint>

#include "storage/point.h"

namespace orv {

// World plane of the game: x 0..5120, y 0..4096, smaller y to the north.
inline constexpr int32_t WorldWidth = 5120;
inline constexpr int32_t WorldHeight = 4096;

inline bool InsideWorld(Point world) {
  return world.x >= 0 && world.x <= WorldWidth && world.y >= 0 && world.y <= WorldHeight;
}

}  // namespace orv
