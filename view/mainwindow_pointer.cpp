// Stand-in for pointer and key handling until its own code lands; replaced wholesale by it.
#include "view/mainwindow.h"

void TForm1::PaintBox1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void TForm1::PaintBox1MouseMove(Qt::KeyboardModifiers, int, int) {}
bool TForm1::FormKeyDown(int, Qt::KeyboardModifiers) {
  return false;
}
void TForm1::ShowPointerStatus(int, int) {}
void TForm1::ReloadMapCorners() {}
void TForm1::ToggleMapOutline() {}
void TForm1::DrawMapOutline() {}
