// The coordinate panels below the map: refreshing them from a point, and their four buttons.
#include <QComboBox>
#include <QLineEdit>

#include "core/transform.h"
#include "ui_mainwindow.h"
#include "view/coordinatepanels.h"
#include "view/directionswindow.h"
#include "view/mainwindow.h"

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

namespace {

// Puts the cross on the zoomed map pixel of a world point and centres the view on it. A point so far
// out that its pixel does not fit in 32 bits leaves the cross where it was.
void MoveCrossToWorld(TForm1& form, orv::Point world) {
  orv::MapViewport& viewport = form.Viewport();
  if (const auto pixel = viewport.WorldToZoomed(world, form.MapCorners())) viewport.SetCross(*pixel);
  form.CenterViewOnCross();
}

// Shows the way from the cross to a world point and brings that point to the middle of the view,
// leaving the cross where it is.
void ShowDirectionsTo(TForm1& form, orv::Point world) {
  orv::AppState& state = form.state();
  const auto pixel = form.Viewport().WorldToZoomed(world, form.MapCorners());
  form.form2()->ShowDirections(form.MapCorners(), form.ZoomPercent(), state.random, form.CrossX(), form.CrossY(),
                               world.x, world.y);
  if (pixel) form.CenterViewOn(*pixel);
}

}  // namespace

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

void TForm1::Button1Click() {
  MoveCrossToWorld(*this, {orv::PanelNumber(ui->Edit1->text(), 1), orv::PanelNumber(ui->Edit2->text(), 1)});
  RefreshCoordinatePanels(0, 0, orv::PanelSource::FromWhereFields);
}

void TForm1::Button3Click() {
  MoveCrossToWorld(*this, orv::SextantPanelWorld(PanelTexts()));
  RefreshCoordinatePanels(0, 0, orv::PanelSource::FromSextantFields);
}

void TForm1::Button4Click() {
  ShowDirectionsTo(*this, {orv::PanelNumber(ui->Edit1->text(), 0), orv::PanelNumber(ui->Edit2->text(), 0)});
  RefreshCoordinatePanels(0, 0, orv::PanelSource::FromWhereFields);
}

void TForm1::Button5Click() {
  ShowDirectionsTo(*this, orv::SextantPanelWorld(PanelTexts()));
  RefreshCoordinatePanels(0, 0, orv::PanelSource::FromSextantFields);
}

void TForm1::DirectionstoArea1Click() {
  form2()->ShowDirections(MapCorners(), ZoomPercent(), state().random, CrossX(), CrossY(),
                          state().PopupWorldPoint.x, state().PopupWorldPoint.y);
}
