// Stand-in for the directions window until its own code lands; replaced wholesale by it.
#include "view/directionswindow.h"

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Directions");
}

void TForm2::ShowDirections(orv::AppState&, int, int, int, int) {}
