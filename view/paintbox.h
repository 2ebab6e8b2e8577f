#pragma once
// TPaintBox: the map area. It shows the main window's composed view and hands pointer and paint
// events to it. Right clicks never open a context menu by themselves.
#include <QWidget>
#include <functional>

class QImage;

class TPaintBox : public QWidget {
  Q_OBJECT

 public:
  explicit TPaintBox(QWidget* parent = nullptr);

  // What the box reports; view positions are pixels of this widget.
  std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)> onMouseDown;
  std::function<void(Qt::KeyboardModifiers, int x, int y)> onMouseMove;
  std::function<void()> onPaint;  // composes the view (into the buffer given by SetBuffer)

  // The composed view that paint events copy to the screen.
  void SetBuffer(const QImage* buffer) { buffer_ = buffer; }
  // Shows the buffer at once. Inside a paint event the copy happens at the end of that event.
  void ShowBuffer();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  // A thin frame in the highlight colour shows that the map area has the keyboard.
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  const QImage* buffer_ = nullptr;
  bool painting_ = false;
  bool fresh_ = false;  // the buffer was composed just now for the coming paint
};
