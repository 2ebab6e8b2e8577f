// Stand-in for the map link handlers until their own code lands; replaced wholesale by it.
#include "view/mainwindow.h"

void TForm1::AddMapLink1Click() {}
void TForm1::LinkSecondCorner(int, int) {}
void TForm1::LinkRubberBand(int, int) {}
void TForm1::CancelPendingLink() {}
bool TForm1::Edit8KeyPress(QKeyEvent*) {
  return false;
}
void TForm1::FindLinkUnderPointer(int, int) {}
void TForm1::InvertFrame(int, int, int, int) {}
void TForm1::LoadMapforMapLink1Click() {}
void TForm1::gobackClick() {}
void TForm1::ShowMapLinksWindow1Click() {}
void TForm1::MapLinksChanged() {
  mapLinkSaveTimer_.start();
}
