// The coordinate panels below the map: refreshing them from a point, and their four buttons.
#include <QComboBox>
#include <QLineEdit>

#include "core/transform.h"
#include "ui_mainwindow.h"
#include "view/coordinatepanels.h"
#include "view/directionswindow.h"
#include "view/mainwindow.h"
#include "view/mapnavigation.h"

orv::CoordinatePanelTexts TForm1::PanelTexts() const {
  const Ui::TForm1& ui = *this->ui;
  return {ui.Edit1->text(),
          ui.Edit2->text(),
          ui.Edit4->text(),
          ui.Edit5->text(),
          ui.Edit6->text(),
          ui.Edit7->text(),
          ui.ComboBox1->currentText(),
          ui.ComboBox2->currentText()};
}

// A point so far out that its pixel does not fit in 32 bits leaves the cross where it was.
void TForm1::MoveCrossToWorld(orv::Point world) {
  if (const auto pixel = viewport_.WorldToZoomed(world, MapCorners())) viewport_.SetCross(*pixel);
  CenterViewOnCross();
  navigation_->Jumped();
}

// The cross stays where it is.
void TForm1::ShowDirectionsTo(orv::Point world) {
  const auto pixel = viewport_.WorldToZoomed(world, MapCorners());
  form2_->ShowDirections(MapCorners(), ZoomPercent(), random_, CrossX(), CrossY(), world.x, world.y);
  if (pixel) CenterViewOn(*pixel);
}

void TForm1::RefreshCoordinatePanels(int a, int b, orv::PanelSource source) {
  const std::optional<orv::CoordinatePanelTexts> texts =
      orv::RefreshedPanelTexts(PanelTexts(), a, b, source, MapCorners(), ZoomPercent());
  if (!texts) return;
  ui->Edit1->setText(texts->Edit1);
  ui->Edit2->setText(texts->Edit2);
  ui->Edit4->setText(texts->Edit4);
  ui->Edit5->setText(texts->Edit5);
  ui->Edit6->setText(texts->Edit6);
  ui->Edit7->setText(texts->Edit7);
  ui->ComboBox1->setEditText(texts->ComboBox1);
  ui->ComboBox2->setEditText(texts->ComboBox2);
}

void TForm1::ShowWorldPoint(orv::Point world) {
  // The point comes to the middle of the map panel, as far as the scroll ranges allow; the cross
  // stays where it is.
  if (const auto pixel = viewport_.WorldToZoomed(world, MapCorners())) {
    const QWidget* panel = ui->Panel2;
    ScrollViewTo(pixel->x - panel->width() / 2, pixel->y - panel->height() / 2);
    navigation_->Jumped();
  }
  RefreshCoordinatePanels(world.x, world.y, orv::PanelSource::FromWorld);
}

void TForm1::Button1Click() {
  MoveCrossToWorld({orv::PanelNumber(ui->Edit1->text(), 1), orv::PanelNumber(ui->Edit2->text(), 1)});
  RefreshCoordinatePanels(0, 0, orv::PanelSource::FromWhereFields);
}

void TForm1::Button3Click() {
  MoveCrossToWorld(orv::SextantPanelWorld(PanelTexts()));
  RefreshCoordinatePanels(0, 0, orv::PanelSource::FromSextantFields);
}

void TForm1::Button4Click() {
  ShowDirectionsTo({orv::PanelNumber(ui->Edit1->text(), 0), orv::PanelNumber(ui->Edit2->text(), 0)});
  RefreshCoordinatePanels(0, 0, orv::PanelSource::FromWhereFields);
}

void TForm1::Button5Click() {
  ShowDirectionsTo(orv::SextantPanelWorld(PanelTexts()));
  RefreshCoordinatePanels(0, 0, orv::PanelSource::FromSextantFields);
}

void TForm1::DirectionstoArea1Click() {
  form2()->ShowDirections(MapCorners(), ZoomPercent(), random_, CrossX(), CrossY(), popupWorldPoint_.x,
                          popupWorldPoint_.y);
}
