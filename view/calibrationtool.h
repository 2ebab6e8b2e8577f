#pragma once
// The calibration assistant at work on the map: while its window is open, a left press on the map
// picks a control point (or takes hold of a point's marker to move it), the markers of the points are
// drawn over the map, and the map shows the corners the points give: the outline (Ctrl+S) and the
// cross follow them as the points change. Save writes them into the map info file; Cancel puts the
// map's own corners back.
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/calibration.h"
#include "core/geometry.h"

class QWidget;

namespace orv {

class CalibrationDraft;
class CalibrationWindow;
class MapViewHost;
class MapViewport;

// The picture pixel, with its fraction, under a view position at the viewport's zoom and origin.
PicturePoint PictureOfView(const MapViewport& viewport, Point view);
// The view position, with its fraction, of a picture pixel.
PicturePoint ViewOfPicture(const MapViewport& viewport, PicturePoint picture);
// The point whose marker lies within reach view pixels of the view position, the nearest first.
std::optional<std::size_t> MarkerAt(const std::vector<ControlPoint>& points, const MapViewport& viewport,
                                    Point view, double reach);

class CalibrationTool : public QObject {
 public:
  // placeCross puts the cross back on the world point of the .where boxes under the corners in use,
  // without moving the view; reloadCorners reads the corners from the map info file and places the
  // cross as Ctrl+R does.
  CalibrationTool(MapViewHost& host, std::function<void()> placeCross, std::function<void()> reloadCorners);
  ~CalibrationTool() override;

  // Opens the assistant for the current map beside the main window (or brings it forward). The
  // points saved with the map come back.
  void Open();
  bool IsOpen() const;
  // A left click on the map at the view position. While the assistant is open it is taken: it picks
  // the pixel for a new point. False when the assistant is closed. (A press on a marker never becomes
  // a click: the tool's own event filter takes hold of the marker at the press.)
  bool MapPress(Point view);

  // Asked before the program ends, and before another map is loaded: a draft whose points are not
  // saved is saved or discarded as the user chooses. False when the user cancels or the draft could
  // not be saved: the program, and the map, stay.
  bool MayEnd();
  bool MayLeaveMap();

  CalibrationWindow* Window() const;
  // The draft while the assistant is open.
  const CalibrationDraft* Draft() const { return draft_.get(); }
  std::optional<PicturePoint> Picked() const { return picked_; }
  // Whether the draft is for the map shown now (another map loaded leaves it behind).
  bool DraftOfCurrentMap() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AddPoint();
  void RemovePoint();
  void Save();
  void Cancel();
  // The selected point's marker is ringed, and the view brings it in when it lies outside.
  void SelectionChanged();
  // After the points changed: the map takes the corners they give, the window their residuals.
  void PointsChanged();
  // Hides the window and the markers; the outline goes back to how the user had it.
  void Close();
  // Whether the draft still belongs to the map shown (another map loaded ends it).
  bool StillCurrent();
  // Asks whether to save a draft with unsaved points before the action named; true once the draft is
  // saved or discarded (or had nothing to save).
  bool SavedOrDiscarded(const char* before);

  MapViewHost& host_;
  std::function<void()> placeCross_;
  std::function<void()> reloadCorners_;
  QPointer<CalibrationWindow> window_;
  QPointer<QWidget> markers_;  // drawn over the map area
  std::unique_ptr<CalibrationDraft> draft_;
  std::optional<PicturePoint> picked_;  // picked for the next point, picture pixels
  std::optional<std::size_t> dragged_;  // the point whose marker is being moved
  bool outlineShownByUs_ = false;
};

}  // namespace orv
