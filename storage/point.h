#pragma once
// Two 32-bit integers: the form in which stored records hold a position (a bookmark's world point,
// a link's corners, the centre of a remembered view). A Point says nothing about its space by
// itself: every function that takes or returns one says whether it is a world point, a picture pixel
// (the map picture at 100 percent) or a zoomed map pixel (the picture scaled by ZoomPercent / 100).
#include <cstdint>

namespace orv {

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

}  // namespace orv
