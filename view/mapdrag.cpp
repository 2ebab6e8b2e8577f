#include "view/mapdrag.h"

#include <cstdlib>

#include "core/numbers.h"

namespace orv {

void MapDrag::Press(int button, Point press, Point origin) {
  if (button_) return;
  button_ = button;
  panning_ = false;
  press_ = pointer_ = press;
  origin_ = origin;
}

std::optional<Point> MapDrag::Move(Point pointer) {
  if (!button_) return std::nullopt;
  pointer_ = pointer;
  const int64_t dx = int64_t(pointer.x) - press_.x, dy = int64_t(pointer.y) - press_.y;
  if (!panning_ && std::llabs(dx) + std::llabs(dy) < dragDistance_) return std::nullopt;
  panning_ = true;
  // The zoomed map pixel that was under the press stays under the pointer.
  return Point{ClampToInt32(origin_.x - dx), ClampToInt32(origin_.y - dy)};
}

MapDrag::Release MapDrag::End(int button) {
  if (!button_ || *button_ != button) return Release::Ignored;
  button_.reset();
  return panning_ ? Release::PanEnded : Release::Click;
}

}  // namespace orv
