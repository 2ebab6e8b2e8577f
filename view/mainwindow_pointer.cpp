// Pointer and keys of the map view: placing the cross, the pop-up menu, the pointer's world position
// in the status line, and the two hot keys that check a map's corner values.
#include <QCursor>
#include <QMenu>

#include "core/numbers.h"
#include "core/transform.h"
#include "maplinks/maplinklayer.h"
#include "ui_mainwindow.h"
#include "view/mainwindow.h"
#include "view/mapnavigation.h"
#include "view/text.h"

void TForm1::PaintBox1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int X, int Y) {
  // While the calibration assistant is open, a left press picks a control point instead.
  if (button == Qt::LeftButton && CalibrationTakesPress(X, Y)) return;
  // While a new link area waits for its opposite corner, any button sets that corner.
  if (mapLinkLayer_->Selecting()) {
    mapLinkLayer_->LinkSecondCorner(X, Y);
    popupPoint_ = Viewport().ViewToZoomed({X, Y});
    return;
  }
  // A new link area waiting for its text is dropped by a click elsewhere on the map.
  if (mapLinkLayer_->AwaitingText()) mapLinkLayer_->CancelPendingLink();

  const orv::Point mapPixel = Viewport().ViewToZoomed({X, Y});
  if (button == Qt::RightButton) {
    const auto world = Viewport().ZoomedToWorld(mapPixel, MapCorners());
    if (world) popupWorldPoint_ = *world;
    // Corners on which no pixel converts (Ctrl+R takes them) give the click no world point: what acts
    // on one is not offered, rather than acting on the point of an earlier click.
    for (QAction* needsWorld : {AddBookmark1, DirectionstoArea1, CopyPosition1, MapsShowingPoint1})
      needsWorld->setEnabled(world.has_value());
    popupPoint_ = mapPixel;
    // The view may have moved under a resting pointer since it last moved (keys, a followed position):
    // the menu offers the link under the press, not the one the pointer last passed over.
    mapLinkLayer_->FindLinkUnderPointer(X, Y);
    // The menu opens without blocking; its items act on PopupPoint and PopupWorldPoint when chosen.
    PopupMenu1->popup(ui->PaintBox1->mapToGlobal(QPoint(X, Y)));
  } else if (button == Qt::LeftButton || button == Qt::MiddleButton) {
    Viewport().SetCross(mapPixel);
    CenterViewOnCross();
    RefreshCoordinatePanels(CrossX(), CrossY(), orv::PanelSource::FromMapPixel);
  }
}

void TForm1::PaintBox1MouseMove(Qt::KeyboardModifiers, int X, int Y) {
  ShowPointerStatus(X, Y);
  if (mapLinkLayer_->Selecting()) mapLinkLayer_->LinkRubberBand(X, Y);
}

void TForm1::ShowPointerStatus(int X, int Y) {
  SetRestingPointer(X, Y);
  ShowPointerReadout(X, Y);
  if (mapLinkLayer_->Selecting()) {
    SetStatusText(0, "---- Click on the map to set the opposite corner of the map link area. ----");
  } else {
    mapLinkLayer_->FindLinkUnderPointer(X, Y);
  }
}

void TForm1::ShowPointerReadout(int X, int Y) {
  const auto world = Viewport().ViewToWorld({X, Y}, MapCorners());
  SetStatusText(1, world ? QString(".where  x: %1  y: %2").arg(world->x).arg(world->y) : QString());
}

void TForm1::RefreshPointerReadout() {
  // An empty readout: the pointer left the map area, or rests over the overview, or has no world
  // point; it stays empty until the pointer moves.
  if (StatusText(1).isEmpty()) return;
  ShowPointerReadout(restingPointer_.x(), restingPointer_.y());
  // A pan shows its own pointer shape, and a link area being drawn its own hint.
  if (!Navigation().Panning() && !mapLinkLayer_->Selecting())
    mapLinkLayer_->RefreshLinkUnderPointer(restingPointer_.x(), restingPointer_.y());
}

void TForm1::PointerAfterPopupMenu() {
  const QPoint at = ui->PaintBox1->mapFromGlobal(QCursor::pos());
  // Over the overview (a child of the map area) the readout is empty, as a movement there leaves it.
  if (!ui->PaintBox1->rect().contains(at) || ui->PaintBox1->childAt(at)) {
    SetStatusText(1, QString());
    return;
  }
  SetRestingPointer(at.x(), at.y());
  ShowPointerReadout(at.x(), at.y());
}

bool TForm1::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
  // Each combination is tested on its own; other shift keys may be down as well.
  const bool control = modifiers & Qt::ControlModifier;
  bool acted = false;
  if (control && key == Qt::Key_R) {
    ReloadMapCorners();
    acted = true;
  }
  if (control && key == Qt::Key_S) {
    ToggleMapOutline();
    acted = true;
  }
  return ClipboardKey(key, modifiers) || acted;
}

void TForm1::ReloadMapCorners() {
  if (const auto bad = session_.ReloadCorners()) {
    dialogs().ShowMessage(this, orv::FromBytes(orv::NotAnIntegerMessage(*bad)));
    return;
  }
  RenderView();
  Button1Click();
}

void TForm1::ToggleMapOutline() {
  session_.ToggleOutline();
  RenderView();
}
