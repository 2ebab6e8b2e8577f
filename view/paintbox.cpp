#include "view/paintbox.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setContextMenuPolicy(Qt::PreventContextMenu);
  // Every pixel is painted from the buffer: Qt need not clear the area first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPaintBox::ShowBuffer() {
  if (painting_ || !isVisible()) return;
  fresh_ = true;
  repaint();
  fresh_ = false;
}

void TPaintBox::paintEvent(QPaintEvent*) {
  // A paint asked for by the window system composes the view first; one that follows a composition
  // only copies it.
  if (!fresh_ && onPaint) {
    painting_ = true;
    onPaint();
    painting_ = false;
  }
  QPainter painter(this);
  if (buffer_ && !buffer_->isNull()) {
    // On a screen with a fractional scale the view is enlarged unevenly (some pixels once, others
    // twice): smoothing spreads them evenly, so names keep their shapes. Whole scales stay sharp.
    const qreal scale = painter.deviceTransform().m11();
    if (scale != std::floor(scale)) painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(0, 0, *buffer_);
  } else {
    painter.fillRect(rect(), palette().window());
  }
  // Drawn on the screen only: the composed view stays as it was.
  if (hasFocus()) {
    painter.setPen(palette().color(QPalette::Highlight));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void TPaintBox::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
}

void TPaintBox::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (onMouseDown) onMouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (onMouseMove) onMouseMove(event->modifiers(), p.x(), p.y());
}
