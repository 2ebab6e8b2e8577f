#pragma once
// The directions window: where the cross stands, where the target lies (world and sextant) and how
// to walk there. Created once, hidden, shown again for each request; it never blocks the main window.
#include <QDialog>
#include <cstdint>
#include <optional>
#include <random>

#include "core/transform.h"

namespace Ui {
class TForm2;
}

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);
  ~TForm2() override;

  // Fills and shows the window for a walk from the zoomed map pixel (startPixelX, startPixelY), the
  // cross, to the world point (targetWorldX, targetWorldY), on a map with these corners at this zoom.
  // A window already open is closed first. random picks the message for a walk of no steps.
  void ShowDirections(const orv::MapCorners& corners, int32_t zoomPercent, std::mt19937& random,
                      int startPixelX, int startPixelY, int targetWorldX, int targetWorldY);
  // The same for a walk from a world point; without one (corners that give the cross no world point)
  // the start and the sentence stay empty.
  void ShowDirectionsFrom(std::optional<orv::Point> startWorld, orv::Point targetWorld, std::mt19937& random);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // A click anywhere on the window or a character key closes it.
  void FormClick();

  Ui::TForm2* ui;
};
