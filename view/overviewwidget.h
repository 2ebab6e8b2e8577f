#pragma once
// OverviewWidget: the overview in the lower right corner of the map area. It shows the whole picture
// from the thumbnail made at each load, with the rectangle of the part the view shows; a click or a
// drag in it brings the view's middle to that point of the picture. It lies over the map area as its
// child and sees the main window only as a MapViewHost.
#include <QImage>
#include <QWidget>
#include <optional>

#include "view/overview.h"

namespace orv {

class MapViewHost;

class OverviewWidget : public QWidget {
  Q_OBJECT

 public:
  // The longest side the thumbnail is shown at, in view pixels.
  static constexpr int MaxSide = 192;

  // Lies over host.MapArea(), which must outlive it.
  explicit OverviewWidget(MapViewHost& host);

  // Takes the thumbnail of the picture the session holds now, made already or (when made is null or
  // of another picture) made here; called once per load.
  void PictureLoaded(const Overview& made = {});
  // The view moved, zoomed or the map area changed size: shows or hides the overview, places it in
  // its corner and redraws the rectangle.
  void ViewChanged();

  // The user's choice from View > Overview; without one the overview shows while the picture at the
  // current zoom is larger than the map area.
  void SetChoice(std::optional<bool> shown);
  // Whether the overview shows by the choice and the picture (true also while the map area is too
  // small to hold it).
  bool Wanted() const;

  // The thumbnail as made at the last load.
  const Overview& Thumbnail() const { return overview_; }
  // Where the view's rectangle is drawn, in this widget's pixels.
  QRect ViewRectangle() const;
  // The picture pixel under a pixel of this widget.
  Point PicturePixelAt(QPoint widgetPos) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;

 private:
  // The size the thumbnail is shown at in a map area of areaSize: at most MaxSide pixels and a third
  // of the area on each side, in the thumbnail's proportions. Empty when the area is too small.
  QSize ShownSize(QSize areaSize) const;
  void MoveViewTo(QPoint widgetPos);

  MapViewHost& host_;
  Overview overview_;
  QSize shownSize_;  // the thumbnail's size in this widget, in view pixels
  // The thumbnail scaled to shownSize_ at the scale of the screen it was last painted on, so that a
  // screen with more pixels than view pixels shows it sharp.
  QImage shown_;
  std::optional<bool> choice_;
};

}  // namespace orv
