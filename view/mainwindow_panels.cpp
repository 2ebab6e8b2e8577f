// The coordinate panels below the map: refreshing them from a point, and their four buttons.
#include <QComboBox>
#include <QLineEdit>

#include "core/transform.h"
#include "ui_mainwindow.h"
#include "view/coordinatepanels.h"
#include "view/directionswindow.h"
#include "view/inputmarks.h"
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
void TForm1::MoveCrossToWorld(orv::Point world, orv::CrossView view) {
  viewport_.SetCrossWorld(world, MapCorners());
  OfferMapsShowing(world);
  if (view == orv::CrossView::Centre) {
    CenterViewOnCross();
  } else {
    viewport_.KeepInView(viewport_.Cross());
    MirrorScrollPositions();
    RenderView();
  }
  navigation_->Jumped();
}

// From the cross's own world point; the cross stays where it is.
void TForm1::ShowDirectionsTo(orv::Point world) {
  const auto pixel = viewport_.WorldToZoomed(world, MapCorners());
  form2_->ShowDirectionsFrom(viewport_.CrossWorld(MapCorners()), world, random_);
  if (pixel) CenterViewOn(*pixel);
}

void TForm1::RefreshCoordinatePanels(int a, int b, orv::PanelSource source) {
  const std::optional<orv::PanelRefresh> refresh =
      orv::RefreshPanels(PanelTexts(), a, b, source, MapCorners(), ZoomPercent());
  if (!refresh) return;
  const orv::CoordinatePanelTexts& texts = refresh->texts;
  ui->Edit1->setText(texts.Edit1);
  ui->Edit2->setText(texts.Edit2);
  ui->Edit4->setText(texts.Edit4);
  ui->Edit5->setText(texts.Edit5);
  ui->Edit6->setText(texts.Edit6);
  ui->Edit7->setText(texts.Edit7);
  ui->ComboBox1->setEditText(texts.ComboBox1);
  ui->ComboBox2->setEditText(texts.ComboBox2);
  // The boxes hold fresh numbers; a point outside the world, whose boxes stay empty, is named.
  inputMarks_->Clear();
  ShowWhetherOutsideWorld(refresh->world);
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

// Each button marks, after its refresh, the boxes whose text it read with a default.

void TForm1::Button1Click(orv::CrossView view) {
  const orv::PanelNotes notes = orv::WhereFieldNotes(PanelTexts(), 1);
  MoveCrossToWorld({orv::PanelNumber(ui->Edit1->text(), 1), orv::PanelNumber(ui->Edit2->text(), 1)}, view);
  RefreshCoordinatePanels(0, 0, orv::PanelSource::FromWhereFields);
  inputMarks_->Show(notes);
}

void TForm1::Button3Click(orv::CrossView view) {
  const orv::PanelNotes notes = orv::SextantFieldNotes(PanelTexts());
  MoveCrossToWorld(orv::SextantPanelWorld(PanelTexts()), view);
  RefreshCoordinatePanels(0, 0, orv::PanelSource::FromSextantFields);
  inputMarks_->Show(notes);
}

void TForm1::Button4Click() {
  const orv::PanelNotes notes = orv::WhereFieldNotes(PanelTexts(), 0);
  ShowDirectionsTo({orv::PanelNumber(ui->Edit1->text(), 0), orv::PanelNumber(ui->Edit2->text(), 0)});
  RefreshCoordinatePanels(0, 0, orv::PanelSource::FromWhereFields);
  inputMarks_->Show(notes);
}

void TForm1::Button5Click() {
  const orv::PanelNotes notes = orv::SextantFieldNotes(PanelTexts());
  ShowDirectionsTo(orv::SextantPanelWorld(PanelTexts()));
  RefreshCoordinatePanels(0, 0, orv::PanelSource::FromSextantFields);
  inputMarks_->Show(notes);
}

std::array<QWidget*, 8> TForm1::PanelBoxes() const {
  return {ui->Edit1, ui->Edit2, ui->Edit4, ui->Edit5, ui->Edit6, ui->Edit7, ui->ComboBox1, ui->ComboBox2};
}

void TForm1::ShowWhetherOutsideWorld(std::optional<orv::Point> world) {
  if (world && !orv::InsideWorld(*world)) {
    SetStatusText(0, orv::OutsideWorldText(*world));
  } else if (orv::IsOutsideWorldText(statusHint_)) {
    SetStatusText(0, QString());
  }
}

void TForm1::DirectionstoArea1Click() {
  form2()->ShowDirectionsFrom(viewport_.CrossWorld(MapCorners()), popupWorldPoint_, random_);
}
