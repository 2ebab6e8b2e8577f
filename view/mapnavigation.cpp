// Navigation commands, the view history and the zoom in the status line; the events of the map area
// that lead to them are in view/mapnavigation_input.cpp.
#include "view/mapnavigation.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QWidget>
#include <algorithm>
#include <limits>

#include "view/mainwindow.h"

namespace orv {

namespace {

// The widest zoom the panel shows.
const QString kWidestZoom = QStringLiteral("6400%");

QString ZoomText(int32_t zoomPercent) {
  return QString::number(zoomPercent) + QLatin1Char('%');
}

// The picture pixel the view shows for a zoomed map pixel (exactly as the view is composed), and the
// first zoomed map pixel that shows a picture pixel: a view recorded by its centre comes back to the
// same centre.
Point PictureShownAt(Point zoomed, int32_t zoomPercent) {
  auto axis = [zoomPercent](int64_t v) {
    const int64_t scaled = v * 100;
    return static_cast<int32_t>(scaled >= 0 ? scaled / zoomPercent
                                            : -((-scaled + zoomPercent - 1) / zoomPercent));
  };
  return {axis(zoomed.x), axis(zoomed.y)};
}
Point FirstZoomedShowing(Point picture, int32_t zoomPercent) {
  auto axis = [zoomPercent](int64_t v) {
    const int64_t scaled = v * zoomPercent;
    return static_cast<int32_t>(std::clamp<int64_t>(scaled >= 0 ? (scaled + 99) / 100 : -(-scaled / 100),
                                                    std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
  };
  return {axis(picture.x), axis(picture.y)};
}

}  // namespace

MapNavigation::MapNavigation(TForm1& form, const NavigationControls& controls)
    : form_(form), controls_(controls), drag_(QApplication::startDragDistance()) {
  // The status panels are sunken labels; the zoom panel looks like them.
  zoomStatus_ = new QLabel(controls_.statusLine);
  zoomStatus_->setObjectName("ZoomStatus");
  if (auto* panel = controls_.statusLine->findChild<QLabel*>("StatusPanel1")) {
    zoomStatus_->setFrameStyle(panel->frameStyle());
    zoomStatus_->setFont(panel->font());
  }
  zoomStatus_->setAlignment(Qt::AlignCenter);
  // It stands over the right end of the first panel, whose long texts run under it, not through it.
  zoomStatus_->setAutoFillBackground(true);
  zoomStatus_->setToolTip(QStringLiteral("Zoom"));
  BuildViewMenu(controls_.viewMenu);
  controls_.mapArea->installEventFilter(this);
  PlaceZoomStatus();
  ShowZoom();
}

MapNavigation::~MapNavigation() {
  controls_.mapArea->removeEventFilter(this);
}

void MapNavigation::BuildViewMenu(QMenu* menu) {
  auto item = [this, menu](const char* name, const QString& caption, const QKeySequence& keys, auto run) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(keys);
    // The keys themselves act only while the map area has the keyboard (see Key), so that the edit
    // boxes keep them; the menu shows them.
    action->setShortcutContext(Qt::WidgetShortcut);
    connect(action, &QAction::triggered, this, run);
    return action;
  };
  item("ZoomIn1", QStringLiteral("Zoom In"), QKeySequence(Qt::Key_Plus), [this] { ZoomIn(); });
  item("ZoomOut1", QStringLiteral("Zoom Out"), QKeySequence(Qt::Key_Minus), [this] { ZoomOut(); });
  item("FittoWindow1", QStringLiteral("Fit to Window"), QKeySequence(Qt::Key_0), [this] { FitToWindow(); });
  item("ActualSize1", QStringLiteral("Actual Size"), QKeySequence(Qt::Key_1), [this] { ActualSize(); });
  menu->addSeparator()->setObjectName("N5");
  back_ =
      item("Back1", QStringLiteral("Back"), QKeySequence(Qt::AltModifier | Qt::Key_Left), [this] { Back(); });
  forward_ = item("Forward1", QStringLiteral("Forward"), QKeySequence(Qt::AltModifier | Qt::Key_Right),
                  [this] { Forward(); });
  connect(menu, &QMenu::aboutToShow, this, [this] {
    back_->setEnabled(history_.CanGoBack());
    forward_->setEnabled(history_.CanGoForward(clock_()));
  });
}

// ---- the zoom in the status line -----------------------------------------------------------------

void MapNavigation::PlaceZoomStatus() {
  // To the left of "Go Back", over the right end of the link and hint panel, as "Go Back" itself is.
  const int width = zoomStatus_->fontMetrics().horizontalAdvance(kWidestZoom) + 12;
  const QRect goBack = controls_.goBack->geometry();
  const int right = goBack.left() - controls_.statusLine->x() - 2;
  zoomStatus_->setGeometry(std::max(0, right - width), 0, width, controls_.statusLine->height());
}

void MapNavigation::ShowZoom() {
  const QString text = ZoomText(form_.ZoomPercent());
  if (zoomStatus_->text() != text) zoomStatus_->setText(text);
}

// ---- zoom and pan --------------------------------------------------------------------------------

bool MapNavigation::HasMap() const {
  return !form_.CurrentMapFile().empty() && !form_.Session().Picture().isNull();
}

Point MapNavigation::AreaMiddle() const {
  return {form_.MapAreaWidth() / 2, form_.MapAreaHeight() / 2};
}

Point MapNavigation::ShownMiddle() const {
  // A picture smaller than the area is drawn from the area's left and top: the area's own middle then
  // lies beside the picture, and a zoom about it would carry the view to the picture's far edge.
  const MapViewport& viewport = form_.Viewport();
  const auto middle = [](int area, int scaled, int origin) {
    return std::clamp(scaled - origin, 0, area) / 2;
  };
  return {middle(viewport.AreaWidth(), viewport.ScaledWidth(), viewport.Origin().x),
          middle(viewport.AreaHeight(), viewport.ScaledHeight(), viewport.Origin().y)};
}

void MapNavigation::SetZoomKeepingCross(int32_t zoomPercent) {
  MapViewport& viewport = form_.Viewport();
  viewport.ChangeZoomKeepingCross(zoomPercent, form_.MapCorners());
  form_.UpdateScrollRanges();
}

void MapNavigation::ZoomAbout(int32_t zoomPercent, Point pointer) {
  ZoomBringing(zoomPercent, pointer, pointer, pointer);
}

void MapNavigation::ZoomBringing(int32_t zoomPercent, Point from, Point to, Point pointer) {
  if (!HasMap()) return;
  const MapViewport& viewport = form_.Viewport();
  const Point origin =
      OriginKeepingViewPosition(viewport.Origin(), from, viewport.ZoomPercent(), zoomPercent);
  if (zoomPercent != viewport.ZoomPercent()) SetZoomKeepingCross(zoomPercent);
  form_.ScrollViewTo(origin.x + from.x - to.x, origin.y + from.y - to.y);
  // A zoom while the map is dragged: the drag goes on over the zoomed view.
  if (drag_.Pressed()) drag_.Rebase(pointer, form_.Viewport().Origin());
}

void MapNavigation::ZoomShown(int32_t zoomPercent) {
  // The middle of what is shown comes to the middle of the area; it is there already unless the
  // picture is smaller than the area.
  ZoomBringing(zoomPercent, ShownMiddle(), AreaMiddle(), drag_.Pointer());
}

void MapNavigation::ZoomIn() {
  ZoomShown(NextZoomStepUp(form_.ZoomPercent()));
}

void MapNavigation::ZoomOut() {
  ZoomShown(NextZoomStepDown(form_.ZoomPercent()));
}

void MapNavigation::FitToWindow() {
  const QImage& picture = form_.Session().Picture();
  ZoomShown(FitZoomPercent(picture.width(), picture.height(), form_.MapAreaWidth(), form_.MapAreaHeight()));
}

void MapNavigation::ActualSize() {
  ZoomShown(100);
}

void MapNavigation::Pan(int dx, int dy) {
  if (!HasMap()) return;
  const Point origin = form_.Viewport().Origin();
  form_.ScrollViewTo(origin.x + dx, origin.y + dy);
  const Point now = form_.Viewport().Origin();
  if (drag_.Pressed()) drag_.ViewMoved({now.x - origin.x, now.y - origin.y});
}

// ---- the view history ----------------------------------------------------------------------------

ViewEntry MapNavigation::CurrentView() const {
  const MapViewport& viewport = form_.Viewport();
  return {form_.CurrentMapFile(), viewport.ZoomPercent(),
          PictureShownAt(viewport.ViewToZoomed(AreaMiddle()), viewport.ZoomPercent())};
}

void MapNavigation::ViewShown() {
  ShowZoom();
  if (restoring_ || form_.CurrentMapFile().empty()) return;
  ViewEntry view = CurrentView();
  if (lastSeen_ == view) return;  // a repaint, or a change of what is drawn on the same view
  history_.Move(view, clock_());
  lastSeen_ = std::move(view);
}

void MapNavigation::Jumped() {
  if (restoring_ || form_.CurrentMapFile().empty()) return;
  lastSeen_ = CurrentView();
  history_.Jump(*lastSeen_, clock_());
}

void MapNavigation::Back() {
  Step(&ViewHistory::Back);
}

void MapNavigation::Forward() {
  Step(&ViewHistory::Forward);
}

void MapNavigation::Step(std::optional<ViewEntry> (ViewHistory::*step)(ViewHistory::Time)) {
  CancelDrag();  // a press on the view left is not one on the view shown
  const ViewHistory before = history_;
  const auto view = (history_.*step)(clock_());
  if (!view) return;
  const LoadOutcome outcome = Show(*view);
  if (outcome == LoadOutcome::Loaded) return;
  history_ = before;
  // A map that can no longer be loaded is passed over from now on; one the user chose not to go to
  // (staying with changes that could not be saved) stays in the history.
  if (outcome != LoadOutcome::Declined) history_.ForgetMap(view->mapFile);
}

LoadOutcome MapNavigation::Show(const ViewEntry& view) {
  restoring_ = true;
  // A view of another map loads that map first; a map that can no longer be loaded was reported by
  // the load, and the view stays where it is.
  const LoadOutcome outcome =
      view.mapFile == form_.CurrentMapFile() ? LoadOutcome::Loaded : form_.LoadMap(view.mapFile);
  const bool onMap = outcome == LoadOutcome::Loaded;
  if (onMap) {
    if (view.zoomPercent != form_.ZoomPercent()) SetZoomKeepingCross(view.zoomPercent);
    form_.CenterViewOn(FirstZoomedShowing(view.centre, view.zoomPercent));
  }
  restoring_ = false;
  lastSeen_ = CurrentView();
  return outcome;
}

}  // namespace orv
