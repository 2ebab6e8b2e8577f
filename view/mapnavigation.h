#pragma once
// MapNavigation: moving about the map the way image and map viewers do. The wheel and a touchpad
// pinch zoom along the zoom ladder about the pointer, a left or middle drag pans, keys pan and zoom
// while the map area has the keyboard, the View menu offers the same commands, and Back and Forward
// walk the view history. It also shows the zoom in the status line.
//
// It sees the map area's events through an event filter, so that the designed handlers of TForm1
// keep their meaning: a right press goes on to PaintBox1MouseDown at once, while a left or middle
// press reaches it only when its release shows it was a click and not the start of a pan.
//
// TForm1 tells it about every view it shows (ViewShown) and about the jumps, views the user asked for
// by name (Jumped): Update of a coordinate panel, a bookmark chosen, a map loaded or a link followed.
#include <QObject>
#include <chrono>
#include <functional>
#include <optional>

#include "core/geometry.h"
#include "view/mapdrag.h"
#include "view/mapsession.h"
#include "view/viewhistory.h"
#include "view/zoomsteps.h"

class QAction;
class QFrame;
class QKeyEvent;
class QLabel;
class QMenu;
class QMouseEvent;
class QWidget;
class TForm1;

namespace orv {

// The main window's controls that navigation works with.
struct NavigationControls {
  QWidget* mapArea = nullptr;    // PaintBox1
  QFrame* statusLine = nullptr;  // StatusBar: the zoom panel goes into it
  QWidget* goBack = nullptr;     // "Go Back": the zoom panel stands to its left
  QMenu* viewMenu = nullptr;     // View
};

class MapNavigation : public QObject {
 public:
  using Clock = std::function<ViewHistory::Time()>;

  MapNavigation(TForm1& form, const NavigationControls& controls);
  ~MapNavigation() override;

  // ---- what TForm1 reports -----------------------------------------------------------------------

  // A view was composed: shows its zoom, and counts it as a move in the history when it differs from
  // the last view seen.
  void ViewShown();
  // The view now shown was jumped to; it is recorded at once.
  void Jumped();
  // Places the zoom panel after the layout of the status line changed.
  void PlaceZoomStatus();
  // The zoom panel in the status line, for controls that stand beside it.
  QLabel* ZoomStatus() const { return zoomStatus_; }
  // A drag is panning the map: the pointer shows the closed hand until it ends.
  bool Panning() const { return drag_.Panning(); }

  // ---- commands ----------------------------------------------------------------------------------

  // Changes the zoom so that the picture point at the view position pointer stays under it; the
  // cross keeps its world point. Nothing happens without a map.
  void ZoomAbout(int32_t zoomPercent, Point pointer);
  void ZoomIn();
  void ZoomOut();
  void FitToWindow();
  void ActualSize();
  // Moves the view by (dx, dy) view pixels, as far as the picture allows.
  void Pan(int dx, int dy);
  void Back();
  void Forward();

  // The clock of the view history; tests set their own.
  void SetClock(Clock clock) { clock_ = std::move(clock); }
  const ViewHistory& History() const { return history_; }
  // The view as the history records it: the map, the zoom and the view's centre (picture pixel).
  ViewEntry CurrentView() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildViewMenu(QMenu* menu);
  void ShowZoom();
  bool HasMap() const;
  Point AreaMiddle() const;  // view position
  // The view position in the middle of the part of the area that shows the picture.
  Point ShownMiddle() const;
  // Zooms keeping the picture point at the view position from, and shows it at the view position to;
  // a drag goes on from the pointer's view position over the zoomed view.
  void ZoomBringing(int32_t zoomPercent, Point from, Point to, Point pointer);
  // The keys' and the View menu's zoom, about what is shown.
  void ZoomShown(int32_t zoomPercent);
  // Back or Forward: the history's step to view. When the view's map can no longer be loaded, the
  // step is taken back and that map's views are dropped, so the next step passes over them.
  void Step(std::optional<ViewEntry> (ViewHistory::*step)(ViewHistory::Time));
  // Shows view, loading its map first; false when the map could not be loaded.
  LoadOutcome Show(const ViewEntry& view);
  // Sets the zoom with the cross kept on its world point and the scroll ranges following; the view
  // origin is left for the caller to place.
  void SetZoomKeepingCross(int32_t zoomPercent);

  // Events of the map area; true when the event was used here.
  bool MousePress(QMouseEvent* event);
  bool MouseMove(QMouseEvent* event);
  bool MouseRelease(QMouseEvent* event);
  // Forgets the press followed, and the hand shown while it panned.
  void CancelDrag();
  bool Key(QKeyEvent* event);

  TForm1& form_;
  NavigationControls controls_;
  QLabel* zoomStatus_ = nullptr;
  QAction* back_ = nullptr;
  QAction* forward_ = nullptr;

  MapDrag drag_;
  WheelNotches wheel_;
  PinchSteps pinch_;
  ViewHistory history_;
  Clock clock_ = [] { return std::chrono::steady_clock::now(); };
  std::optional<ViewEntry> lastSeen_;  // the last view shown, to tell moves from repaints
  bool restoring_ = false;             // Back or Forward is putting a recorded view in place
};

}  // namespace orv
