#pragma once
// The calibration assistant's window: the control points of the map being calibrated with their
// picture pixels, world points and residuals, the root mean square of the residuals or why the points
// give no map, and the box where the position of a picked point is typed. It shows a
// CalibrationDraft and reports what the user asks for; the calibration tool does the work.
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

#include "core/calibration.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace orv {

class CalibrationDraft;

// The texts of one row of the points table.
struct CalibrationRowTexts {
  QString picture;     // "412.5, 96"
  QString world;       // "1500, 1200"
  QString pixels;      // residual in picture pixels, "" while the points give no map
  QString worldUnits;  // the same in world units
  bool largest = false;
};
CalibrationRowTexts CalibrationRow(const Calibration& calibration, const std::vector<ControlPoint>& points,
                                   std::size_t index);
// Below the table: the root mean square of the residuals, or why the points give no map.
QString CalibrationSummary(const Calibration& calibration, std::size_t pointCount);
// A picture pixel with its fraction as the table shows it: "412.5, 96".
QString PicturePointText(PicturePoint picture);

class CalibrationWindow : public QWidget {
  Q_OBJECT

 public:
  explicit CalibrationWindow(QWidget* parent = nullptr);

  // Shows the draft's points, their residuals and the summary.
  void ShowDraft(const CalibrationDraft& draft);
  // The picture pixel clicked on the map and waiting for its position; nothing while none waits.
  void ShowPicked(std::optional<PicturePoint> picture);
  // The row selected in the points table, if any.
  std::optional<std::size_t> SelectedPoint() const;
  void SelectPoint(std::size_t index);

  QString PositionText() const;
  void ClearPositionText();

  // What the user asks for.
  std::function<void()> onAdd;     // "Add Point" or Enter in the position box
  std::function<void()> onRemove;  // "Remove Point"
  std::function<void()> onSave;
  std::function<void()> onCancel;  // "Cancel" or the window closed
  std::function<void()> onSelect;  // another row selected in the points table

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QLabel* picked_ = nullptr;
  QLineEdit* position_ = nullptr;
  QPushButton* add_ = nullptr;
  QTableWidget* table_ = nullptr;
  QLabel* summary_ = nullptr;
  QPushButton* remove_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace orv
