#pragma once
// Points shared by every coordinate space. A Point says nothing about its space by itself: every
// function that takes or returns one says whether it is a world point, a picture pixel (the map
// picture at 100 percent) or a zoomed map pixel (the picture scaled by ZoomPercent / 100).
#include <array>
#include <cstdint>

namespace orv {

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// World plane of the game: x 0..5120, y 0..4096, smaller y to the north.
inline constexpr int32_t WorldWidth = 5120;
inline constexpr int32_t WorldHeight = 4096;

inline bool InsideWorld(Point world) {
  return world.x >= 0 && world.x <= WorldWidth && world.y >= 0 && world.y <= WorldHeight;
}

}  // namespace orv
