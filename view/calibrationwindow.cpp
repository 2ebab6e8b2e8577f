#include "view/calibrationwindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/calibrationdraft.h"

namespace orv {
namespace {

QString Number(double value) {
  // Clicks at zoom 100 are whole pixels; other zooms give fractions worth two decimals.
  return QString::number(value, 'f', 2).remove(QRegularExpression("\\.?0+$"));
}

enum Column { kNumber, kPicture, kWorld, kPixels, kWorldUnits, kColumns };

}  // namespace

QString PicturePointText(PicturePoint picture) {
  return Number(picture.x) + ", " + Number(picture.y);
}

CalibrationRowTexts CalibrationRow(const Calibration& calibration, const std::vector<ControlPoint>& points,
                                   std::size_t index) {
  const ControlPoint& point = points.at(index);
  CalibrationRowTexts row;
  row.picture = PicturePointText(point.picture);
  row.world = QString("%1, %2").arg(point.world.x).arg(point.world.y);
  if (calibration.ok() && index < calibration.residuals.size()) {
    const PointResidual& residual = calibration.residuals[index];
    row.pixels = QString::number(residual.pixels, 'f', 2);
    row.worldUnits = QString::number(residual.worldUnits, 'f', 1);
    row.largest = calibration.largest == index;
  }
  return row;
}

QString CalibrationSummary(const Calibration& calibration, std::size_t pointCount) {
  if (!calibration.ok()) return QString::fromStdString(calibration.message);
  const QString fit = calibration.model == CalibrationModel::Parallelogram
                          ? QStringLiteral("parallelogram through the points")
                          : (pointCount == 4 ? QStringLiteral("exact fit") : QStringLiteral("least squares"));
  return QString("%1 points, %2. Residuals RMS: %3 pixels, %4 world units.")
      .arg(pointCount)
      .arg(fit)
      .arg(calibration.rmsPixels, 0, 'f', 2)
      .arg(calibration.rmsWorldUnits, 0, 'f', 1);
}

CalibrationWindow::CalibrationWindow(QWidget* parent) : QWidget(parent) {
  setObjectName("CalibrationWindow");
  setWindowTitle("Calibrate Map");
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);

  auto* help = new QLabel(
      "Click a place on the map whose position you know, then type its .where position or sextant "
      "reading (a pasted chat line will do). Drag a point's marker to move it.",
      this);
  help->setWordWrap(true);
  picked_ = new QLabel(this);
  picked_->setObjectName("PickedPixel");
  position_ = new QLineEdit(this);
  position_->setObjectName("PositionEdit");
  position_->setPlaceholderText("1500 1200  or  37o 15'N 12o 5'E");
  add_ = new QPushButton("Add Point", this);
  add_->setObjectName("AddPoint");

  table_ = new QTableWidget(0, kColumns, this);
  table_->setObjectName("PointsTable");
  table_->setHorizontalHeaderLabels(
      {"#", "Picture pixel", "World point", "Residual (pixels)", "(world units)"});
  table_->verticalHeader()->hide();
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->horizontalHeader()->setStretchLastSection(true);

  summary_ = new QLabel(this);
  summary_->setObjectName("CalibrationSummary");
  summary_->setWordWrap(true);
  remove_ = new QPushButton("Remove Point", this);
  remove_->setObjectName("RemovePoint");
  save_ = new QPushButton("Save", this);
  save_->setObjectName("SaveCalibration");
  cancel_ = new QPushButton("Cancel", this);
  cancel_->setObjectName("CancelCalibration");

  auto* entry = new QHBoxLayout;
  entry->addWidget(position_, 1);
  entry->addWidget(add_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(remove_);
  buttons->addStretch(1);
  buttons->addWidget(save_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(help);
  layout->addWidget(picked_);
  layout->addLayout(entry);
  layout->addWidget(table_, 1);
  layout->addWidget(summary_);
  layout->addLayout(buttons);
  resize(460, 380);

  auto call = [](const std::function<void()>& handler) {
    if (handler) handler();
  };
  connect(add_, &QPushButton::clicked, this, [this, call] { call(onAdd); });
  connect(position_, &QLineEdit::returnPressed, this, [this, call] { call(onAdd); });
  connect(remove_, &QPushButton::clicked, this, [this, call] { call(onRemove); });
  connect(save_, &QPushButton::clicked, this, [this, call] { call(onSave); });
  connect(cancel_, &QPushButton::clicked, this, [this, call] { call(onCancel); });
  connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this, call] { call(onSelect); });
  ShowPicked(std::nullopt);
}

void CalibrationWindow::ShowDraft(const CalibrationDraft& draft) {
  const auto& points = draft.points();
  const Calibration& calibration = draft.calibration();
  const auto selected = SelectedPoint();
  // Rebuilding the rows keeps the selection where it was: no new selection to report.
  const QSignalBlocker quiet(table_->selectionModel());
  table_->setRowCount(static_cast<int>(points.size()));
  for (std::size_t i = 0; i < points.size(); ++i) {
    const CalibrationRowTexts row = CalibrationRow(calibration, points, i);
    const QString texts[kColumns] = {QString::number(i + 1), row.picture, row.world, row.pixels,
                                     row.worldUnits};
    for (int column = 0; column < kColumns; ++column) {
      auto* item = new QTableWidgetItem(texts[column]);
      if (column != kNumber) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      // The point the others agree with least stands out: it is the one to check first.
      if (row.largest) {
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
        item->setBackground(QColor(255, 205, 205));
        if (column == kNumber) item->setText(texts[column] + QStringLiteral(" largest"));
        item->setToolTip(
            "The point the others agree with least: its residual counted with how far the fit already "
            "bends towards it. Check its position first.");
      }
      table_->setItem(static_cast<int>(i), column, item);
    }
  }
  if (selected && *selected < points.size()) table_->selectRow(static_cast<int>(*selected));
  summary_->setText(CalibrationSummary(calibration, points.size()));
  summary_->setStyleSheet(calibration.ok() ? QString() : QStringLiteral("color: #a00000;"));
  save_->setEnabled(calibration.ok());
  remove_->setEnabled(!points.empty());
}

void CalibrationWindow::ShowPicked(std::optional<PicturePoint> picture) {
  picked_->setText(picture ? "Picked picture pixel " + PicturePointText(*picture) + ": type its position."
                           : QStringLiteral("No point picked: click the map."));
  if (picture) {
    position_->setFocus();
    position_->selectAll();
  }
}

std::optional<std::size_t> CalibrationWindow::SelectedPoint() const {
  const auto rows = table_->selectionModel()->selectedRows();
  if (rows.isEmpty()) return std::nullopt;
  return static_cast<std::size_t>(rows.first().row());
}

void CalibrationWindow::SelectPoint(std::size_t index) {
  table_->selectRow(static_cast<int>(index));
}

QString CalibrationWindow::PositionText() const {
  return position_->text();
}

void CalibrationWindow::ClearPositionText() {
  position_->clear();
}

void CalibrationWindow::closeEvent(QCloseEvent* event) {
  // Closing the window is Cancel: the map info file stays as it was.
  event->accept();
  if (onCancel) onCancel();
}

}  // namespace orv
