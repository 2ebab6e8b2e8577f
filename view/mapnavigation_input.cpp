// The map area's events that navigate: the wheel and pinch zoom about the pointer, a left or middle
// drag pans, the mouse's back and forward buttons, and the keys while the map area has the keyboard.
// Events not used here go on to the map area and TForm1's designed handlers.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QWheelEvent>
#include <QWidget>

#include "view/mainwindow.h"
#include "view/mapnavigation.h"

namespace orv {

namespace {

Point ViewPosition(const QPointF& position) {
  const QPoint p = position.toPoint();
  return {p.x(), p.y()};
}

bool PansOrClicks(Qt::MouseButton button) {
  return button == Qt::LeftButton || button == Qt::MiddleButton;
}

}  // namespace

bool MapNavigation::eventFilter(QObject* watched, QEvent* event) {
  if (watched != controls_.mapArea) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      return MousePress(static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove:
      return MouseMove(static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonRelease:
      return MouseRelease(static_cast<QMouseEvent*>(event));
    case QEvent::Wheel: {
      auto* wheel = static_cast<QWheelEvent*>(event);
      if (const int notches = wheel_.Add(wheel->angleDelta().y(), wheel->pixelDelta().y()))
        ZoomAbout(StepZoom(form_.ZoomPercent(), notches), ViewPosition(wheel->position()));
      return true;
    }
    case QEvent::NativeGesture: {
      auto* gesture = static_cast<QNativeGestureEvent*>(event);
      if (gesture->gestureType() == Qt::BeginNativeGesture) pinch_.Reset();
      if (gesture->gestureType() != Qt::ZoomNativeGesture) return false;
      // The event's value is how much larger the picture is to become: 0.1 for a tenth.
      if (const int steps = pinch_.Add(1.0 + gesture->value()))
        ZoomAbout(StepZoom(form_.ZoomPercent(), steps), ViewPosition(gesture->position()));
      return true;
    }
    case QEvent::KeyPress:
      return Key(static_cast<QKeyEvent*>(event));
    case QEvent::Leave:
      wheel_.Reset();
      return false;
    default:
      return false;
  }
}

bool MapNavigation::MousePress(QMouseEvent* event) {
  const Qt::MouseButton button = event->button();
  if (button == Qt::BackButton || button == Qt::ForwardButton) {
    button == Qt::BackButton ? Back() : Forward();
    return true;
  }
  // The same button pressed again: its release never came (a window that opened while it was down
  // took it), so the old press is over.
  if (drag_.Pressed() && button == Qt::MouseButton(drag_.Button())) CancelDrag();
  if (drag_.Pressed()) return true;  // a second button during a click or pan does nothing
  // While a new link area awaits its opposite corner, every press is that corner's, at once; the
  // right button opens the pop-up menu at once.
  if (!PansOrClicks(button) || form_.Links().LinkSelecting) return false;
  drag_.Press(button, ViewPosition(event->position()), form_.Viewport().Origin());
  return true;
}

bool MapNavigation::MouseMove(QMouseEvent* event) {
  if (!drag_.Pressed()) return false;
  // The button is up though its release never came: the press is over, and the move is the pointer's.
  if (!(event->buttons() & Qt::MouseButton(drag_.Button()))) {
    CancelDrag();
    return false;
  }
  const bool wasPanning = drag_.Panning();
  const Point pointer = ViewPosition(event->position());
  const auto origin = drag_.Move(pointer);
  if (!origin) return false;  // may still be a click: the pointer status follows as usual
  if (!wasPanning) controls_.mapArea->setCursor(Qt::ClosedHandCursor);
  form_.SetRestingPointer(pointer.x, pointer.y);
  form_.ScrollViewTo(origin->x, origin->y);
  return true;
}

void MapNavigation::CancelDrag() {
  if (drag_.Panning()) controls_.mapArea->unsetCursor();
  drag_.Cancel();
}

bool MapNavigation::MouseRelease(QMouseEvent* event) {
  const Point press = drag_.PressPosition();
  switch (drag_.End(event->button())) {
    case MapDrag::Release::Ignored:
      return drag_.Pressed();
    case MapDrag::Release::Click:
      // The designed click, at the place of the press.
      form_.PaintBox1MouseDown(event->button(), event->modifiers(), press.x, press.y);
      return true;
    case MapDrag::Release::PanEnded: {
      // The hover sets the pointer shape again for what lies under the pointer now.
      controls_.mapArea->unsetCursor();
      const Point pointer = ViewPosition(event->position());
      form_.PaintBox1MouseMove(event->modifiers(), pointer.x, pointer.y);
      return true;
    }
  }
  return true;
}

bool MapNavigation::Key(QKeyEvent* event) {
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  const bool shift = modifiers & Qt::ShiftModifier;
  if (modifiers == Qt::AltModifier && (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
    event->key() == Qt::Key_Left ? Back() : Forward();
    return true;
  }
  // Ctrl and Alt combinations belong to the window's own keys.
  if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const int w = form_.MapAreaWidth(), h = form_.MapAreaHeight();
  // Arrows move by a tenth of the map area, with Shift by nine tenths, as Page Up and Page Down do.
  const int stepX = shift ? w * 9 / 10 : w / 10, stepY = shift ? h * 9 / 10 : h / 10;
  switch (event->key()) {
    case Qt::Key_Left:
      Pan(-stepX, 0);
      break;
    case Qt::Key_Right:
      Pan(stepX, 0);
      break;
    case Qt::Key_Up:
      Pan(0, -stepY);
      break;
    case Qt::Key_Down:
      Pan(0, stepY);
      break;
    case Qt::Key_PageUp:
      Pan(0, -(h * 9 / 10));
      break;
    case Qt::Key_PageDown:
      Pan(0, h * 9 / 10);
      break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      ZoomIn();
      break;
    case Qt::Key_Minus:
      ZoomOut();
      break;
    case Qt::Key_0:
      FitToWindow();
      break;
    case Qt::Key_1:
      ActualSize();
      break;
    case Qt::Key_Home:
      if (HasMap()) form_.CenterViewOnCross();
      break;
    default:
      return false;
  }
  return true;
}

}  // namespace orv
