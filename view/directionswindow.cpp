#include "view/directionswindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <random>

#include "core/directions.h"
#include "core/transform.h"
#include "ui_directionswindow.h"
#include "view/fonts.h"
#include "view/text.h"

TForm2::TForm2(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      ui(new Ui::TForm2) {
  ui->setupUi(this);
  // The designed face where installed, or one as narrow, so the texts keep their designed widths.
  setFont(orv::DesignedDialogFont(font()));
  setFixedSize(312, 225);
  setModal(false);
  // Centred once, when created: a request shows the window where it was left (or put back from the
  // last run), as the other windows are.
  const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
  if (screen) {
    move(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()).topLeft());
  }
}

TForm2::~TForm2() {
  delete ui;
}

void TForm2::ShowDirections(const orv::MapCorners& corners, int32_t zoomPercent, std::mt19937& random,
                            int startPixelX, int startPixelY, int targetWorldX, int targetWorldY) {
  ShowDirectionsFrom(orv::MapPixelToWorld(corners, zoomPercent, {startPixelX, startPixelY}),
                     {targetWorldX, targetWorldY}, random);
}

void TForm2::ShowDirectionsFrom(std::optional<orv::Point> start, orv::Point target, std::mt19937& random) {
  if (isVisible()) close();

  // Without a world point under the cross (corners that give no conversion) the start and the
  // sentence stay empty rather than showing a made-up position.
  if (start) {
    ui->WhereFrom->setText(orv::FromBytes(orv::WorldText(*start)));
    ui->SextantFrom->setText(orv::FromBytes(orv::ReadingText(orv::WorldToSextant(*start))));
  } else {
    ui->WhereFrom->clear();
    ui->SextantFrom->clear();
  }
  ui->WhereTo->setText(orv::FromBytes(orv::WorldText(target)));
  ui->SextantTo->setText(orv::FromBytes(orv::ReadingText(orv::WorldToSextant(target))));

  if (start) {
    // The generator is drawn only when the target is where the cross stands, so a seeded run
    // gives the same messages whatever else was asked before.
    int standingMessage = 1;
    if (*start == target) standingMessage = std::uniform_int_distribution<int>(1, 5)(random);
    ui->Conclusion->setText(orv::FromBytes(orv::DirectionsConclusion(*start, target, standingMessage)));
  } else {
    ui->Conclusion->clear();
  }

  show();
  activateWindow();
}

void TForm2::FormClick() {
  close();
}

void TForm2::mouseReleaseEvent(QMouseEvent* event) {
  // Labels pass their clicks on to the window, so this serves the whole client area.
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    FormClick();
    return;
  }
  QDialog::mouseReleaseEvent(event);
}

void TForm2::keyPressEvent(QKeyEvent* event) {
  // Keys that type a character (Enter and Escape included) close the window; Shift, arrows and the
  // like do not.
  if (!event->text().isEmpty()) {
    FormClick();
    return;
  }
  QDialog::keyPressEvent(event);
}
