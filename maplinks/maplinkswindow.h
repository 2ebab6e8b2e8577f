#pragma once
// Stand-in for the map links window until its own code lands; replaced wholesale by it.
#include <QWidget>

#include "view/appstate.h"

class TForm1;

class TForm5 : public QWidget {
  Q_OBJECT

 public:
  TForm5(orv::AppState& state, TForm1& main, QWidget* parent = nullptr);
  void FillMapLinksList();
};
