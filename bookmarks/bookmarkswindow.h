#pragma once
// Stand-in for the bookmarks window until its own code lands; replaced wholesale by it.
#include <QWidget>

#include "view/appstate.h"

class TForm1;

class TForm3 : public QWidget {
  Q_OBJECT

 public:
  TForm3(orv::AppState& state, TForm1& main, QWidget* parent = nullptr);
  void FillBookmarkLists();
};
