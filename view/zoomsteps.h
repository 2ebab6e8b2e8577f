#pragma once
// Zoom by steps: the ladder of zooms the wheel, the keys and the menu step along, the wheel and pinch
// accumulators that turn device input into whole steps, and the arithmetic of zooming about a point
// and of fitting the whole picture into the map area. No widgets.
#include <array>
#include <cstdint>

#include "core/geometry.h"

namespace orv {

// The zoom dialog accepts exactly this range.
inline constexpr int32_t MinZoomPercent = 1;
inline constexpr int32_t MaxZoomPercent = 6400;

// The steps, in percent.
inline constexpr std::array<int32_t, 14> ZoomLadder = {10,  15,  20,  25,  33,  50,  67,
                                                       100, 150, 200, 300, 400, 600, 800};

// The smallest step above zoomPercent. A zoom between two steps goes to the next one; a zoom at or
// above the largest step stays where it is (larger zooms come only from the zoom dialog).
int32_t NextZoomStepUp(int32_t zoomPercent);
// The largest step below zoomPercent. A zoom above the largest step comes back to it; a zoom at or
// below the smallest step stays where it is.
int32_t NextZoomStepDown(int32_t zoomPercent);
// Steps notches along the ladder: up for positive notches, down for negative ones.
int32_t StepZoom(int32_t zoomPercent, int notches);

// Turns wheel events into whole notches. Ordinary wheels deliver an angle of 120 per notch; fine
// wheels and touchpads deliver a fraction of that, or only a distance in pixels, and are gathered
// until a notch's worth. Turning the other way drops what was gathered, so a reversal acts at once.
class WheelNotches {
 public:
  static constexpr int AnglePerNotch = 120;
  // The distance a touchpad scroll must cover to count as one notch: about three lines of text.
  static constexpr int PixelsPerNotch = 60;

  // angleDelta and pixelDelta are the vertical deltas of one wheel event (positive: away from the
  // user, which zooms in). The angle is used when the event has one, the pixel distance otherwise.
  // Returns the whole notches completed by this event; the rest is kept for the next one.
  int Add(int angleDelta, int pixelDelta);
  // Forgets what was gathered (for example when the pointer leaves the map).
  void Reset() { angle_ = pixels_ = 0; }

 private:
  static int Take(int& gathered, int delta, int perNotch);
  int angle_ = 0;
  int pixels_ = 0;
};

// Turns a touchpad pinch into whole zoom steps: the scale factors of the pinch's events multiply,
// and each time the product passes one step's ratio (a quarter larger, or a fifth smaller) one step
// is taken and the product starts again from what is left over.
class PinchSteps {
 public:
  static constexpr double StepRatio = 1.25;

  // factor: how much this event scales the picture (1.1 = a tenth larger). Returns the whole steps
  // completed: positive to zoom in, negative to zoom out. Factors of 0 or below are ignored.
  int Add(double factor);
  void Reset() { product_ = 1.0; }

 private:
  double product_ = 1.0;
};

// The view origin (zoomed map pixel at newZoom) that keeps the picture point shown at the view
// position pointer where it is, when the zoom changes from oldZoom to newZoom. oldOrigin is the view
// origin in zoomed map pixels at oldZoom. The result is not clamped to the picture: the caller's
// scrolling does that.
Point OriginKeepingViewPosition(Point oldOrigin, Point pointer, int32_t oldZoom, int32_t newZoom);

// The largest zoom in percent at which the whole picture (pictureWidth x pictureHeight picture
// pixels) fits into an area of areaWidth x areaHeight view pixels, by the program's rule for scaled
// lengths; at least MinZoomPercent, at most MaxZoomPercent.
int32_t FitZoomPercent(int32_t pictureWidth, int32_t pictureHeight, int32_t areaWidth, int32_t areaHeight);

}  // namespace orv
