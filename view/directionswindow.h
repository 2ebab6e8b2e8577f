#pragma once
// Stand-in for the directions window until its own code lands; replaced wholesale by it.
#include <QDialog>

#include "view/appstate.h"

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);
  void ShowDirections(orv::AppState& state, int startPixelX, int startPixelY, int targetWorldX,
                      int targetWorldY);
};
