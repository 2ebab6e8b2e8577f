// Stand-in for the map links window until its own code lands; replaced wholesale by it.
#include "maplinks/maplinkswindow.h"

TForm5::TForm5(orv::AppState&, TForm1&, QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle("Map Links");
}

void TForm5::FillMapLinksList() {}
