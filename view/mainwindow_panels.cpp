// Stand-in for the coordinate panels until their own code lands; replaced wholesale by it.
#include "view/mainwindow.h"

void TForm1::RefreshCoordinatePanels(int, int, int) {}
void TForm1::Button1Click() {}
void TForm1::Button3Click() {}
void TForm1::Button4Click() {}
void TForm1::Button5Click() {}
void TForm1::DirectionstoArea1Click() {}
