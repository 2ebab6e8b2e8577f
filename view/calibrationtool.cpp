#include "view/calibrationtool.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <cmath>

#include "core/calibrationdraft.h"
#include "core/positiontext.h"
#include "view/calibrationwindow.h"
#include "view/dialogs.h"
#include "view/mapviewhost.h"
#include "view/text.h"

namespace orv {
namespace {

constexpr double kMarkerRadius = 6;  // view pixels
constexpr double kGrabReach = 8;     // how near a press must be to a marker to take hold of it

// The markers of the control points over the map area: a numbered ring on each point, red for the
// point with the largest residual, and a small cross on the pixel picked for the next point. It lets
// every pointer event through to the map area below.
class CalibrationMarkers : public QWidget {
 public:
  CalibrationMarkers(QWidget* mapArea, const MapViewport& viewport, const CalibrationTool& tool)
      : QWidget(mapArea), viewport_(viewport), tool_(tool) {
    setObjectName("CalibrationMarkers");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(mapArea->rect());
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    const CalibrationDraft* draft = tool_.Draft();
    if (!draft || !tool_.DraftOfCurrentMap()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const auto& points = draft->points();
    // The point that fits worst is marked red while the fit is usable; no index reaches points.size().
    const std::size_t worst =
        draft->calibration().ok() ? draft->calibration().largest.value_or(points.size()) : points.size();
    const std::optional<std::size_t> selected = tool_.Window()->SelectedPoint();
    for (std::size_t i = 0; i < points.size(); ++i) {
      const PicturePoint at = ViewOfPicture(viewport_, points[i].picture);
      const QPointF centre(at.x, at.y);
      const QColor colour = i == worst ? QColor(230, 30, 30) : QColor(255, 220, 0);
      if (selected == i) {  // a white ring around the marker of the point selected in the list
        painter.setPen(QPen(Qt::white, 2));
        painter.drawEllipse(centre, kMarkerRadius + 4, kMarkerRadius + 4);
      }
      painter.setBrush(Qt::NoBrush);
      painter.setPen(QPen(Qt::black, 4));
      painter.drawEllipse(centre, kMarkerRadius, kMarkerRadius);
      painter.setPen(QPen(colour, 2));
      painter.drawEllipse(centre, kMarkerRadius, kMarkerRadius);
      const QString number = QString::number(i + 1);
      const QPointF label = centre + QPointF(kMarkerRadius + 2, -kMarkerRadius);
      painter.setPen(Qt::black);
      painter.drawText(label + QPointF(1, 1), number);
      painter.setPen(colour);
      painter.drawText(label, number);
    }
    if (const auto picked = tool_.Picked()) {
      const PicturePoint at = ViewOfPicture(viewport_, *picked);
      painter.setPen(QPen(QColor(0, 230, 255), 2));
      painter.drawLine(QPointF(at.x - 7, at.y), QPointF(at.x + 7, at.y));
      painter.drawLine(QPointF(at.x, at.y - 7), QPointF(at.x, at.y + 7));
    }
  }

 private:
  const MapViewport& viewport_;
  const CalibrationTool& tool_;
};

}  // namespace

PicturePoint PictureOfView(const MapViewport& viewport, Point view) {
  const Point zoomed = viewport.ViewToZoomed(view);
  const double scale = 100.0 / viewport.ZoomPercent();
  return {zoomed.x * scale, zoomed.y * scale};
}

PicturePoint ViewOfPicture(const MapViewport& viewport, PicturePoint picture) {
  const double scale = viewport.ZoomPercent() / 100.0;
  return {picture.x * scale - viewport.Origin().x, picture.y * scale - viewport.Origin().y};
}

std::optional<std::size_t> MarkerAt(const std::vector<ControlPoint>& points, const MapViewport& viewport,
                                    Point view, double reach) {
  std::optional<std::size_t> nearest;
  double best = reach;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const PicturePoint at = ViewOfPicture(viewport, points[i].picture);
    const double distance = std::hypot(at.x - view.x, at.y - view.y);
    if (distance <= best) {
      best = distance;
      nearest = i;
    }
  }
  return nearest;
}

CalibrationTool::CalibrationTool(MapViewHost& host, std::function<void()> placeCross,
                                 std::function<void()> reloadCorners)
    : host_(host), placeCross_(std::move(placeCross)), reloadCorners_(std::move(reloadCorners)) {}

CalibrationTool::~CalibrationTool() {
  delete markers_;
  delete window_;
}

CalibrationWindow* CalibrationTool::Window() const {
  return window_;
}

bool CalibrationTool::IsOpen() const {
  return draft_ != nullptr;
}

void CalibrationTool::Open() {
  MapSession& session = host_.Session();
  if (session.CurrentMapFile().empty()) {
    host_.dialogs().ShowMessage(host_.DialogParent(), "Load a map before calibrating it.");
    return;
  }
  if (draft_) StillCurrent();
  if (!window_) {
    window_ = new CalibrationWindow(host_.DialogParent());
    window_->setAttribute(Qt::WA_QuitOnClose, false);
    window_->onAdd = [this] { AddPoint(); };
    window_->onRemove = [this] { RemovePoint(); };
    window_->onSave = [this] { Save(); };
    window_->onCancel = [this] { Cancel(); };
    window_->onSelect = [this] { SelectionChanged(); };
  }
  if (!draft_) {
    draft_ = std::make_unique<CalibrationDraft>(session.CurrentMapFile(), session.Corners());
    picked_.reset();
    QWidget* area = host_.MapArea();
    area->installEventFilter(this);
    markers_ = new CalibrationMarkers(area, host_.Viewport(), *this);
    markers_->show();
    // The outline shows where the corners the points give lie on the picture.
    outlineShownByUs_ = !session.OutlineVisible();
    if (outlineShownByUs_) session.ToggleOutline();
    // Beside the main window, as far as the screen allows.
    const QWidget* main = host_.DialogParent()->window();
    QPoint at = main->frameGeometry().topRight() + QPoint(8, 0);
    if (const QScreen* screen = main->screen()) {
      const QRect free = screen->availableGeometry();
      at.setX(std::max(free.left(), std::min(at.x(), free.right() - window_->width())));
      at.setY(std::max(free.top(), std::min(at.y(), free.bottom() - window_->height())));
    }
    window_->move(at);
    PointsChanged();
  }
  window_->ShowPicked(picked_);
  window_->show();
  window_->raise();
  window_->activateWindow();
}

bool CalibrationTool::DraftOfCurrentMap() const {
  return draft_ && draft_->mapInfoPath() == host_.Session().CurrentMapFile();
}

bool CalibrationTool::StillCurrent() {
  if (!draft_) return false;
  if (DraftOfCurrentMap()) return true;
  // Another map was loaded: its picture and corners are its own, and the draft is dropped.
  outlineShownByUs_ = false;
  Close();
  return false;
}

bool CalibrationTool::MapPress(Point view) {
  if (!StillCurrent()) return false;
  picked_ = PictureOfView(host_.Viewport(), view);
  window_->ShowPicked(picked_);
  markers_->update();
  return true;
}

bool CalibrationTool::eventFilter(QObject* watched, QEvent* event) {
  if (watched != host_.MapArea()) return false;
  if (event->type() == QEvent::Resize && markers_) markers_->setGeometry(host_.MapArea()->rect());
  // A left press on a marker takes hold of it before the map can start a pan; any other press goes on
  // to the map, whose click comes back through MapPress.
  if (event->type() == QEvent::MouseButtonPress && !dragged_) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton || !StillCurrent()) return false;
    const QPoint p = mouse->position().toPoint();
    dragged_ = MarkerAt(draft_->points(), host_.Viewport(), {p.x(), p.y()}, kGrabReach);
    if (!dragged_) return false;
    // The point taken hold of is the one Remove Point then removes.
    window_->SelectPoint(*dragged_);
    markers_->update();
    return true;
  }
  if (!dragged_) return false;
  if (event->type() == QEvent::MouseMove) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (!(mouse->buttons() & Qt::LeftButton) || !StillCurrent()) {
      dragged_.reset();
      return false;
    }
    const QPoint p = mouse->position().toPoint();
    draft_->MovePicture(*dragged_, PictureOfView(host_.Viewport(), {p.x(), p.y()}));
    PointsChanged();
    return false;  // the status line still shows the world point under the pointer
  }
  if (event->type() == QEvent::MouseButtonRelease) {
    dragged_.reset();
    return true;
  }
  return false;
}

void CalibrationTool::AddPoint() {
  if (!StillCurrent()) return;
  if (!picked_) {
    host_.dialogs().ShowMessage(window_, "Click the place on the map first, then type its position.");
    return;
  }
  const auto position = FindLastPosition(window_->PositionText().toUtf8().toStdString());
  if (!position) {
    host_.dialogs().ShowMessage(window_, FromBytes(NoPositionMessage));
    return;
  }
  draft_->Add({*picked_, position->WorldPoint()});
  picked_.reset();
  window_->ClearPositionText();
  window_->ShowPicked(picked_);
  PointsChanged();
}

void CalibrationTool::RemovePoint() {
  if (!StillCurrent()) return;
  const auto selected = window_->SelectedPoint();
  if (!selected) {
    host_.dialogs().ShowMessage(window_, "Select the point to remove in the list.");
    return;
  }
  draft_->Remove(*selected);
  PointsChanged();
}

void CalibrationTool::SelectionChanged() {
  if (!StillCurrent()) return;
  const auto selected = window_->SelectedPoint();
  if (selected && *selected < draft_->points().size()) {
    const MapViewport& viewport = host_.Viewport();
    const PicturePoint picture = draft_->points()[*selected].picture;
    const PicturePoint view = ViewOfPicture(viewport, picture);
    if (!QRectF(host_.MapArea()->rect()).contains(view.x, view.y)) {
      const Point pixel{static_cast<int32_t>(std::lround(picture.x)),
                        static_cast<int32_t>(std::lround(picture.y))};
      host_.CenterViewOn(viewport.PictureToZoomed(pixel));
    }
  }
  markers_->update();
}

void CalibrationTool::PointsChanged() {
  MapSession& session = host_.Session();
  if (session.Corners() != draft_->CornersToShow()) {
    session.ApplyCorners(draft_->CornersToShow());
    placeCross_();
  }
  host_.RenderView();
  window_->ShowDraft(*draft_);
  markers_->update();
}

void CalibrationTool::Save() {
  if (!draft_) return;
  // Saved into the draft's own map info file, also when another map was loaded since: the user asked
  // for the work to be kept.
  const bool ofCurrentMap = DraftOfCurrentMap();
  const CalibrationDraft::SaveResult result = draft_->Save();
  if (!result.saved) {
    host_.dialogs().ShowMessage(window_, FromBytes(result.message));
    return;
  }
  if (!ofCurrentMap) {
    StillCurrent();  // closes, leaving the map shown as it is
    return;
  }
  Close();
  // The map takes the corners as the file now holds them.
  reloadCorners_();
}

bool CalibrationTool::MayEnd() {
  return SavedOrDiscarded("quitting");
}

bool CalibrationTool::MayLeaveMap() {
  return SavedOrDiscarded("opening another map");
}

bool CalibrationTool::SavedOrDiscarded(const char* before) {
  if (!draft_ || !draft_->changed()) return true;
  const QString question = "The calibration of '" + PathText(draft_->mapInfoPath()) +
                           "' has points that are not saved. Save it before " + before + "?";
  QWidget* parent = window_ && window_->isVisible() ? static_cast<QWidget*>(window_) : host_.DialogParent();
  const auto choice = host_.dialogs().Choose(parent, question, {"Save", "Discard"});
  if (!choice) return false;
  if (*choice == 1) {
    Cancel();
  } else {
    Save();  // ends the draft when it is written; otherwise its message was shown
  }
  return draft_ == nullptr;
}

void CalibrationTool::Cancel() {
  if (!StillCurrent()) return;
  host_.Session().ApplyCorners(draft_->original());
  placeCross_();
  Close();
}

void CalibrationTool::Close() {
  MapSession& session = host_.Session();
  if (outlineShownByUs_ && session.OutlineVisible()) session.ToggleOutline();
  outlineShownByUs_ = false;
  host_.MapArea()->removeEventFilter(this);
  delete markers_;
  draft_.reset();
  picked_.reset();
  dragged_.reset();
  if (window_) window_->hide();
  host_.RenderView();
}

}  // namespace orv
