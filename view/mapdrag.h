#pragma once
// A press of the left or middle button on the map is either the click that places the cross or the
// start of a pan; which one is known only when the pointer has moved far enough or the button has
// been released. MapDrag follows one such press and, once it pans, gives the view origin that keeps
// the pressed picture point under the pointer. No widgets.
#include <cstdint>
#include <optional>

#include "core/geometry.h"
#include "core/numbers.h"

namespace orv {

class MapDrag {
 public:
  // dragDistance: how far (in view pixels, along both axes together) the pointer must move from the
  // press before the press becomes a pan; the platform's drag distance.
  explicit MapDrag(int dragDistance) : dragDistance_(dragDistance) {}

  // A press of button (any number that tells the buttons apart) at the view position press, with the
  // view origin origin (zoomed map pixel). A press while another is followed is ignored.
  void Press(int button, Point press, Point origin);
  // The pointer moved to the view position pointer while the button is down. Once the press pans,
  // returns the view origin (zoomed map pixel, not clamped) that puts the pressed zoomed map pixel
  // under the pointer; nothing while it may still be a click.
  std::optional<Point> Move(Point pointer);

  enum class Release { Ignored, Click, PanEnded };
  // The button was released: the end of a click or of a pan. Other buttons are ignored.
  Release End(int button);
  // Forgets the press (the window lost the pointer, or its release never came).
  void Cancel() { button_.reset(); }
  // The view changed under the press (a zoom about the pointer): the press goes on from the view
  // position pointer over the view origin now shown, so that the next move does not undo the change.
  void Rebase(Point pointer, Point origin) {
    press_ = pointer;
    origin_ = origin;
  }
  // The view moved by this many zoomed map pixels under the press (a pan by the keys).
  void ViewMoved(Point by) {
    origin_.x = ClampToInt32(int64_t(origin_.x) + by.x);
    origin_.y = ClampToInt32(int64_t(origin_.y) + by.y);
  }

  bool Pressed() const { return button_.has_value(); }
  bool Panning() const { return button_ && panning_; }
  int Button() const { return button_.value_or(0); }
  // The view position of the press.
  Point PressPosition() const { return press_; }
  // The view position the pointer was last seen at during the press.
  Point Pointer() const { return pointer_; }

 private:
  int dragDistance_;
  std::optional<int> button_;
  bool panning_ = false;
  Point press_;    // view position
  Point origin_;   // zoomed map pixel at the press
  Point pointer_;  // view position, at the press or the last move
};

}  // namespace orv
