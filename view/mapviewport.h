#pragma once
// MapViewport: which part of the zoomed map the map area shows, and where the cross stands. It owns
// the zoom, the view origin and the cross, and converts between the four coordinate spaces:
//   view position     a pixel of the map area, origin at its top left
//   zoomed map pixel  a pixel of the picture scaled by ZoomPercent / 100; the view origin, the scroll
//                     bars' positions and the cross are in this space
//   picture pixel     a pixel of the map picture at 100 percent
//   world point       the game's .where position (through the map's corners)
// No widgets: the main window mirrors the origin into its scroll bars and hands their moves here.
#include <cstdint>
#include <optional>

#include "core/geometry.h"
#include "core/transform.h"

namespace orv {

// One scroll bar in the designed range model: positions 0..Max, PageSize only the thumb's length.
struct ScrollBarRange {
  int32_t Max = 0;
  int32_t PageSize = 0;
  // The scaled picture is shorter than the area: Max is 0 and the only position is 0.
  bool pictureFits = false;
  friend bool operator==(const ScrollBarRange&, const ScrollBarRange&) = default;
};

// How the view follows the cross put on a new point: centred on it (the panels' Update), or moved
// only when the cross leaves the middle two thirds of the view (followed positions, which come one
// after another as the player walks).
enum class CrossView { Centre, KeepInView };

class MapViewport {
 public:
  // The map area in view pixels and the picture in picture pixels.
  void SetAreaSize(int32_t width, int32_t height);
  void SetPictureSize(int32_t width, int32_t height);
  int32_t AreaWidth() const { return areaWidth_; }
  int32_t AreaHeight() const { return areaHeight_; }

  // Percent; must be 1 or more for the view to be drawn.
  void SetZoom(int32_t zoomPercent) { zoom_ = zoomPercent; }
  int32_t ZoomPercent() const { return zoom_; }

  // The picture's size at the zoom, zoomed map pixels.
  int32_t ScaledWidth() const;
  int32_t ScaledHeight() const;
  // The largest useful origin on each axis, S - V, never below 0 (zoomed map pixels).
  int32_t MaxOriginX() const;
  int32_t MaxOriginY() const;

  // The zoomed map pixel at the area's top left.
  Point Origin() const { return origin_; }
  // Moves the origin to the zoomed map pixel, clamped to 0..MaxOrigin on each axis.
  void ScrollTo(Point zoomed);
  // A position offered for one axis (a scroll bar's move), clamped to the useful range.
  int32_t ClampX(int32_t zoomedX) const;
  int32_t ClampY(int32_t zoomedY) const;
  // After the area, the picture or the zoom changed: an origin beyond the useful range comes back.
  void KeepOriginInRange();
  // Brings the zoomed map pixel to the middle of the area, as far as the useful range allows.
  void CenterOn(Point zoomed);
  // Leaves the origin where it is while the zoomed map pixel lies in the middle two thirds of the
  // area (edges included), and centres on it otherwise.
  void KeepInView(Point zoomed);

  // The location cross. It is drawn at a zoomed map pixel; when it was put on a world point (a typed
  // position, a map load, a followed position) it also keeps that point, and the directions, the
  // panels and zoom changes use the point itself: where one picture pixel spans several world units,
  // the world point under the cross's pixel can lie a few units away from the one it was given.
  Point Cross() const { return cross_; }
  // Puts the cross on a zoomed map pixel (a click): its world point is the one under that pixel.
  void SetCross(Point zoomed) {
    cross_ = zoomed;
    crossWorld_.reset();
  }
  // Puts the cross on a world point. False when the corners give the point no zoomed map pixel (or
  // one beyond 32 bits): the cross then stays on its pixel, with the world point under it.
  bool SetCrossWorld(Point world, const MapCorners& corners);
  // The cross's world point: the one it was put on, otherwise the one under its pixel.
  std::optional<Point> CrossWorld(const MapCorners& corners) const;
  void CenterOnCross() { CenterOn(cross_); }

  // Max and PageSize of the horizontal and the vertical bar for the current sizes and zoom: PageSize
  // is a sixth of the scaled length, Max the useful range plus PageSize (0 when the picture fits).
  ScrollBarRange HorizontalBar() const;
  ScrollBarRange VerticalBar() const;

  // Changes the zoom and returns the zoomed map pixel at the new zoom of the world point under
  // zoomed (at the old zoom). Where the corners give no world point, or its pixel does not fit in 32
  // bits, the same picture pixel is kept instead.
  Point ChangeZoomKeeping(int32_t newZoomPercent, Point zoomed, const MapCorners& corners);
  // Changes the zoom with the cross staying on its world point, which it keeps from then on, so that
  // zooming in and out again never moves it.
  void ChangeZoomKeepingCross(int32_t newZoomPercent, const MapCorners& corners);

  // Conversions at the current origin and zoom.
  Point ViewToZoomed(Point view) const;
  Point ViewToPicture(Point view) const { return ZoomedToPicture(ViewToZoomed(view)); }
  Point ZoomedToPicture(Point zoomed) const { return ZoomedToPicture(zoomed, zoom_); }
  Point PictureToZoomed(Point picture) const { return PictureToZoomed(picture, zoom_); }
  std::optional<Point> ZoomedToWorld(Point zoomed, const MapCorners& corners) const;
  std::optional<Point> ViewToWorld(Point view, const MapCorners& corners) const;
  std::optional<Point> WorldToZoomed(Point world, const MapCorners& corners) const;

  // Picture pixel under a zoomed map pixel: each coordinate times 100 / zoomPercent, truncated.
  static Point ZoomedToPicture(Point zoomed, int32_t zoomPercent);
  // Zoomed map pixel of a picture pixel: each coordinate times zoomPercent / 100, truncated.
  static Point PictureToZoomed(Point picture, int32_t zoomPercent);

 private:
  int32_t areaWidth_ = 0, areaHeight_ = 0;
  int32_t pictureWidth_ = 0, pictureHeight_ = 0;
  int32_t zoom_ = 100;
  Point origin_;
  Point cross_;                      // zoomed map pixel
  std::optional<Point> crossWorld_;  // world point, when the cross was put on one
};

}  // namespace orv
