#include "view/mapviewport.h"

#include <algorithm>

#include "core/numbers.h"
#include "view/render.h"

namespace orv {

namespace {

ScrollBarRange BarFor(int32_t scaled, int32_t area) {
  ScrollBarRange bar;
  bar.PageSize = scaled / 6;
  bar.pictureFits = scaled < area;
  bar.Max = bar.pictureFits ? 0 : ClampToInt32(static_cast<int64_t>(scaled) - area + bar.PageSize);
  return bar;
}

}  // namespace

void MapViewport::SetAreaSize(int32_t width, int32_t height) {
  areaWidth_ = std::max(0, width);
  areaHeight_ = std::max(0, height);
}

void MapViewport::SetPictureSize(int32_t width, int32_t height) {
  pictureWidth_ = std::max(0, width);
  pictureHeight_ = std::max(0, height);
}

int32_t MapViewport::ScaledWidth() const {
  return ScaledLength(pictureWidth_, zoom_);
}
int32_t MapViewport::ScaledHeight() const {
  return ScaledLength(pictureHeight_, zoom_);
}

int32_t MapViewport::MaxOriginX() const {
  return std::max(0, ScaledWidth() - areaWidth_);
}
int32_t MapViewport::MaxOriginY() const {
  return std::max(0, ScaledHeight() - areaHeight_);
}

int32_t MapViewport::ClampX(int32_t zoomedX) const {
  return std::clamp(zoomedX, 0, MaxOriginX());
}
int32_t MapViewport::ClampY(int32_t zoomedY) const {
  return std::clamp(zoomedY, 0, MaxOriginY());
}

void MapViewport::ScrollTo(Point zoomed) {
  origin_ = {ClampX(zoomed.x), ClampY(zoomed.y)};
}

void MapViewport::KeepOriginInRange() {
  origin_ = {std::min(origin_.x, MaxOriginX()), std::min(origin_.y, MaxOriginY())};
}

void MapViewport::CenterOn(Point zoomed) {
  // In 64 bits: a far extrapolated point must not overflow before the clamp.
  ScrollTo({ClampToInt32(static_cast<int64_t>(zoomed.x) - areaWidth_ / 2),
            ClampToInt32(static_cast<int64_t>(zoomed.y) - areaHeight_ / 2)});
}

void MapViewport::KeepInView(Point zoomed) {
  const int64_t x = static_cast<int64_t>(zoomed.x) - origin_.x;
  const int64_t y = static_cast<int64_t>(zoomed.y) - origin_.y;
  const int32_t marginX = areaWidth_ / 6, marginY = areaHeight_ / 6;
  const bool inMiddle =
      x >= marginX && x <= areaWidth_ - marginX && y >= marginY && y <= areaHeight_ - marginY;
  if (!inMiddle) CenterOn(zoomed);
}

ScrollBarRange MapViewport::HorizontalBar() const {
  return BarFor(ScaledWidth(), areaWidth_);
}
ScrollBarRange MapViewport::VerticalBar() const {
  return BarFor(ScaledHeight(), areaHeight_);
}

Point MapViewport::ChangeZoomKeeping(int32_t newZoomPercent, Point zoomed, const MapCorners& corners) {
  const int32_t oldZoom = zoom_;
  const auto world = ZoomedToWorld(zoomed, corners);
  zoom_ = newZoomPercent;
  if (world) {
    if (const auto pixel = WorldToZoomed(*world, corners)) return *pixel;
  }
  const long double factor = static_cast<long double>(newZoomPercent) / oldZoom;
  return {ClampToInt32(static_cast<int64_t>(zoomed.x * factor)),
          ClampToInt32(static_cast<int64_t>(zoomed.y * factor))};
}

void MapViewport::ChangeZoomKeepingCross(int32_t newZoomPercent, const MapCorners& corners) {
  const std::optional<Point> world = CrossWorld(corners);  // at the old zoom
  cross_ = ChangeZoomKeeping(newZoomPercent, cross_, corners);
  crossWorld_ = world;
  if (world) {
    if (const auto pixel = WorldToZoomed(*world, corners)) cross_ = *pixel;
  }
}

bool MapViewport::SetCrossWorld(Point world, const MapCorners& corners) {
  const auto pixel = WorldToZoomed(world, corners);
  if (!pixel) {
    // The cross stays on its pixel, and its world point is the one under it: a point it was put on
    // before may belong to other corners (another map, or corners read again).
    crossWorld_.reset();
    return false;
  }
  cross_ = *pixel;
  crossWorld_ = world;
  return true;
}

std::optional<Point> MapViewport::CrossWorld(const MapCorners& corners) const {
  if (crossWorld_) return crossWorld_;
  return ZoomedToWorld(cross_, corners);
}

Point MapViewport::ViewToZoomed(Point view) const {
  return {view.x + origin_.x, view.y + origin_.y};
}

std::optional<Point> MapViewport::ZoomedToWorld(Point zoomed, const MapCorners& corners) const {
  return MapPixelToWorld(corners, zoom_, zoomed);
}

std::optional<Point> MapViewport::ViewToWorld(Point view, const MapCorners& corners) const {
  return ZoomedToWorld(ViewToZoomed(view), corners);
}

std::optional<Point> MapViewport::WorldToZoomed(Point world, const MapCorners& corners) const {
  return WorldToMapPixel(corners, zoom_, world);
}

Point MapViewport::ZoomedToPicture(Point zoomed, int32_t zoomPercent) {
  const long double factor = 100.0L / zoomPercent;
  return {TruncToInt(zoomed.x * factor), TruncToInt(zoomed.y * factor)};
}

Point MapViewport::PictureToZoomed(Point picture, int32_t zoomPercent) {
  const long double factor = zoomPercent / 100.0L;
  return {TruncToInt(picture.x * factor), TruncToInt(picture.y * factor)};
}

}  // namespace orv
