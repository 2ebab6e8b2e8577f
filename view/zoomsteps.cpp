#include "view/zoomsteps.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "view/render.h"

namespace orv {

int32_t NextZoomStepUp(int32_t zoomPercent) {
  for (int32_t step : ZoomLadder)
    if (step > zoomPercent) return step;
  return std::max(zoomPercent, ZoomLadder.back());
}

int32_t NextZoomStepDown(int32_t zoomPercent) {
  for (auto it = ZoomLadder.rbegin(); it != ZoomLadder.rend(); ++it)
    if (*it < zoomPercent) return *it;
  return std::min(zoomPercent, ZoomLadder.front());
}

int32_t StepZoom(int32_t zoomPercent, int notches) {
  for (; notches > 0; --notches) zoomPercent = NextZoomStepUp(zoomPercent);
  for (; notches < 0; ++notches) zoomPercent = NextZoomStepDown(zoomPercent);
  return zoomPercent;
}

int WheelNotches::Take(int& gathered, int delta, int perNotch) {
  if ((gathered > 0 && delta < 0) || (gathered < 0 && delta > 0)) gathered = 0;
  // Summed in 64 bits: a device that reports huge deltas must not wrap the sum round to the other
  // direction.
  const int64_t sum = int64_t{gathered} + delta;
  const int64_t notches = sum / perNotch;  // rounds towards 0, keeping the sign of the rest
  gathered = static_cast<int>(sum - notches * perNotch);
  return static_cast<int>(notches);
}

int WheelNotches::Add(int angleDelta, int pixelDelta) {
  if (angleDelta != 0) {
    pixels_ = 0;
    return Take(angle_, angleDelta, AnglePerNotch);
  }
  if (pixelDelta != 0) {
    angle_ = 0;
    return Take(pixels_, pixelDelta, PixelsPerNotch);
  }
  return 0;
}

int PinchSteps::Add(double factor) {
  if (!(factor > 0.0) || !std::isfinite(factor)) return 0;
  // A new pinch direction starts from scratch, as the wheel does.
  if ((product_ > 1.0 && factor < 1.0) || (product_ < 1.0 && factor > 1.0)) product_ = 1.0;
  product_ *= factor;
  int steps = 0;
  while (product_ >= StepRatio) {
    product_ /= StepRatio;
    ++steps;
  }
  while (product_ <= 1.0 / StepRatio) {
    product_ *= StepRatio;
    --steps;
  }
  return steps;
}

namespace {

int32_t ClampToInt32(long double v) {
  constexpr long double lo = std::numeric_limits<int32_t>::min();
  constexpr long double hi = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::llround(std::clamp(v, lo, hi)));
}

// One axis: the picture point under the pointer, in picture pixels, scaled to the new zoom, less the
// pointer's distance from the view's edge.
int32_t KeepAxis(int32_t oldOrigin, int32_t pointer, long double oldZ, long double newZ) {
  const long double picture = (static_cast<long double>(oldOrigin) + pointer) / oldZ;
  return ClampToInt32(picture * newZ - pointer);
}

}  // namespace

Point OriginKeepingViewPosition(Point oldOrigin, Point pointer, int32_t oldZoom, int32_t newZoom) {
  if (oldZoom < MinZoomPercent || newZoom < MinZoomPercent) return oldOrigin;
  // The factors as the program computes every zoomed length: percent * 0.01 first.
  const long double oldZ = oldZoom * 0.01L, newZ = newZoom * 0.01L;
  return {KeepAxis(oldOrigin.x, pointer.x, oldZ, newZ), KeepAxis(oldOrigin.y, pointer.y, oldZ, newZ)};
}

int32_t FitZoomPercent(int32_t pictureWidth, int32_t pictureHeight, int32_t areaWidth, int32_t areaHeight) {
  if (pictureWidth <= 0 || pictureHeight <= 0) return 100;  // nothing to fit: the zoom of a new map
  auto fits = [&](int32_t zoom) {
    return ScaledLength(pictureWidth, zoom) <= areaWidth && ScaledLength(pictureHeight, zoom) <= areaHeight;
  };
  // Scaled lengths grow with the zoom, so the zooms that fit form a range from the smallest up.
  int32_t lo = MinZoomPercent, hi = MaxZoomPercent;
  if (fits(hi)) return hi;
  if (!fits(lo)) return lo;
  while (hi - lo > 1) {  // fits(lo) and !fits(hi)
    const int32_t mid = lo + (hi - lo) / 2;
    (fits(mid) ? lo : hi) = mid;
  }
  return lo;
}

}  // namespace orv
