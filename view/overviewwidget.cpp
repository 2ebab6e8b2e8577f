#include "view/overviewwidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "storage/appsettings.h"
#include "view/mapviewhost.h"

namespace orv {
namespace {

constexpr int kMargin = 8;     // from the map area's right and bottom edges, view pixels
constexpr int kBorder = 1;     // the frame around the thumbnail
constexpr int kSmallest = 32;  // a shorter side than this shows too little to be of use
const QColor kFrameColour(32, 32, 32);
const QColor kViewColour(255, 64, 32);

// value * to / from, rounded down, without overflow.
int Scale(int value, int to, int from) {
  return from > 0 ? int(int64_t(value) * to / from) : 0;
}
int ScaleUp(int value, int to, int from) {
  return from > 0 ? int((int64_t(value) * to + from - 1) / from) : 0;
}

}  // namespace

OverviewWidget::OverviewWidget(MapViewHost& host) : QWidget(host.MapArea()), host_(host) {
  setObjectName("Overview");
  setCursor(Qt::PointingHandCursor);
  setAttribute(Qt::WA_OpaquePaintEvent);
  hide();
}

void OverviewWidget::PictureLoaded(const Overview& made) {
  const QImage& picture = host_.Session().Picture();
  overview_ = !made.isNull() && made.pictureSize == picture.size() ? made : MakeOverview(picture);
  shownSize_ = QSize();
  shown_ = QImage();
  ViewChanged();
}

void OverviewWidget::SetChoice(std::optional<bool> shown) {
  choice_ = shown;
  ViewChanged();
}

bool OverviewWidget::Wanted() const {
  if (overview_.isNull()) return false;
  const MapViewport& view = host_.Viewport();
  const bool larger = view.ScaledWidth() > view.AreaWidth() || view.ScaledHeight() > view.AreaHeight();
  return OverviewShown(choice_, larger);
}

QSize OverviewWidget::ShownSize(QSize areaSize) const {
  const int box = std::min({MaxSide, areaSize.width() / 3, areaSize.height() / 3});
  const QSize thumb = overview_.thumbnail.size();
  const int longer = std::max(thumb.width(), thumb.height());
  if (box < kSmallest || longer <= 0) return {};
  return {std::max(1, Scale(thumb.width(), box, longer)), std::max(1, Scale(thumb.height(), box, longer))};
}

void OverviewWidget::ViewChanged() {
  QWidget* area = host_.MapArea();
  const QSize size = ShownSize(area->size());
  if (!Wanted() || size.isEmpty()) {
    if (!isHidden()) hide();
    return;
  }
  shownSize_ = size;
  const QSize framed = size + QSize(2 * kBorder, 2 * kBorder);
  setGeometry(area->width() - framed.width() - kMargin, area->height() - framed.height() - kMargin,
              framed.width(), framed.height());
  if (isHidden()) show();
  raise();
  update();
}

QRect OverviewWidget::ViewRectangle() const {
  const MapViewport& view = host_.Viewport();
  const QRect onThumb = ViewOnOverview(overview_, view.Origin(), QSize(view.AreaWidth(), view.AreaHeight()),
                                       view.ZoomPercent());
  if (onThumb.isEmpty() || shownSize_.isEmpty()) return {};
  const QSize thumb = overview_.thumbnail.size();
  const int left = Scale(onThumb.left(), shownSize_.width(), thumb.width());
  const int top = Scale(onThumb.top(), shownSize_.height(), thumb.height());
  const int right = ScaleUp(onThumb.left() + onThumb.width(), shownSize_.width(), thumb.width());
  const int bottom = ScaleUp(onThumb.top() + onThumb.height(), shownSize_.height(), thumb.height());
  return QRect(left + kBorder, top + kBorder, std::max(1, right - left), std::max(1, bottom - top));
}

Point OverviewWidget::PicturePixelAt(QPoint widgetPos) const {
  const QSize thumb = overview_.thumbnail.size();
  return OverviewToPicture(overview_,
                           QPoint(Scale(widgetPos.x() - kBorder, thumb.width(), shownSize_.width()),
                                  Scale(widgetPos.y() - kBorder, thumb.height(), shownSize_.height())));
}

void OverviewWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kFrameColour);
  if (shownSize_.isEmpty()) return;
  const qreal scale = painter.deviceTransform().m11();
  const QSize pixels = (QSizeF(shownSize_) * scale).toSize();
  if (shown_.size() != pixels || shown_.devicePixelRatio() != scale) {
    shown_ = overview_.thumbnail.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    shown_.setDevicePixelRatio(scale);
  }
  painter.drawImage(QRectF(QPointF(kBorder, kBorder), QSizeF(shownSize_)), shown_);
  const QRect view = ViewRectangle();
  if (view.isEmpty()) return;
  // Two pixels wide, inside the part shown, so that even a view of one thumbnail pixel is seen.
  painter.setPen(QPen(kViewColour, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(view).adjusted(1, 1, -1, -1));
}

void OverviewWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) MoveViewTo(event->position().toPoint());
}

void OverviewWidget::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) MoveViewTo(event->position().toPoint());
}

void OverviewWidget::enterEvent(QEnterEvent*) {
  // The pointer is over the overview, not over the map beneath it.
  host_.SetStatusText(1, QString());
}

void OverviewWidget::MoveViewTo(QPoint widgetPos) {
  if (overview_.isNull() || shownSize_.isEmpty()) return;
  host_.CenterViewOn(host_.Viewport().PictureToZoomed(PicturePixelAt(widgetPos)));
}

}  // namespace orv
