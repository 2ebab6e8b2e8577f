// The map view of the main window: composing and showing it, the scroll bars that mirror the
// viewport, the zoom, the layout of the map area and status line, and the cross with its glass.
#include <QImage>
#include <algorithm>

#include "bookmarks/bookmarklayer.h"
#include "core/numbers.h"
#include "maplinks/maplinklayer.h"
#include "ui_mainwindow.h"
#include "view/locationcross.h"
#include "view/mainwindow.h"
#include "view/mapnavigation.h"
#include "view/overviewwidget.h"
#include "view/paintbox.h"
#include "view/render.h"
#include "view/zoomdialog.h"

namespace {

constexpr int kPanel1Height = 109;  // the coordinate panels, aligned to the bottom

// A bar takes a range of the viewport. Its PageSize stays as it was when the picture fits, unless the
// layout sets it.
void SetScrollRange(TPropScrollbar* bar, const orv::ScrollBarRange& range, bool pageAlways) {
  if (!range.pictureFits || pageAlways) bar->SetPageSize(range.PageSize);
  bar->SetMax(range.Max);
}

}  // namespace

// ---- the view ------------------------------------------------------------------------------------

void TForm1::RenderView() {
  RenderView(ScrollX(), ScrollY());
}

void TForm1::RenderView(int X, int Y) {
  const int areaW = std::max(0, ui->PaintBox1->width());
  const int areaH = std::max(0, ui->PaintBox1->height());
  QImage& view = viewBuffer_;
  if (view.width() != areaW || view.height() != areaH || view.format() != QImage::Format_RGB32)
    view = QImage(areaW, areaH, QImage::Format_RGB32);

  // Pictures put into the state by other means than a load are brought to the view's pixel format.
  QImage& picture = MapImage();
  if (!picture.isNull() && picture.format() != QImage::Format_RGB32) picture.convertTo(QImage::Format_RGB32);

  const int32_t zoom = ZoomPercent();
  const int32_t DW = std::min(areaW, orv::ScaledLength(picture.width(), zoom));
  const int32_t DH = std::min(areaH, orv::ScaledLength(picture.height(), zoom));
  // The names come from kept tiles composed with the picture, except where link outlines, the cross
  // or its glass are drawn next: there DrawBookmarks puts them over those, as the frame is layered.
  const QRect drawnUnderNames =
      mapLinkLayer_->ShowLinkAreas()
          ? view.rect()
          : orv::LocationCrossArea(static_cast<long long>(CrossX()) - X, static_cast<long long>(CrossY()) - Y,
                                   mag_.size(), view.size());
  bookmarkLayer_->ComposeView(view, picture, X, Y, DW, DH, drawnUnderNames);
  DrawLinkAreas(X, Y);
  DrawLocationCross(X, Y);
  DrawBookmarks(X, Y);
  if (overview_) overview_->ViewChanged();
  ui->PaintBox1->ShowBuffer();
  if (navigation_) navigation_->ViewShown();
  RefreshPointerReadout();
}

void TForm1::PaintBox1Paint() {
  RenderView();
}

void TForm1::MirrorScrollRanges(bool pageAlways) {
  SetScrollRange(ui->xscroll, viewport_.HorizontalBar(), pageAlways);
  SetScrollRange(ui->yscroll, viewport_.VerticalBar(), pageAlways);
}

void TForm1::MirrorScrollPositions() {
  ui->xscroll->SetPosition(ScrollX());
  ui->yscroll->SetPosition(ScrollY());
}

void TForm1::UpdateScrollRanges() {
  MirrorScrollRanges(false);
  // The bars cut their positions back to the new ranges; the viewport does the same.
  viewport_.KeepOriginInRange();
}

void TForm1::ScrollViewTo(int X, int Y) {
  viewport_.ScrollTo({X, Y});
  MirrorScrollPositions();
  RenderView();
}

void TForm1::CenterViewOn(orv::Point zoomed) {
  viewport_.CenterOn(zoomed);
  MirrorScrollPositions();
  RenderView();
}

void TForm1::CenterViewOnCross() {
  CenterViewOn(viewport_.Cross());
}

int TForm1::xscrollScroll(orv::ScrollCode, int pos) {
  pos = viewport_.ClampX(pos);
  viewport_.ScrollTo({pos, ScrollY()});
  RenderView();
  return pos;
}

int TForm1::yscrollScroll(orv::ScrollCode, int pos) {
  pos = viewport_.ClampY(pos);
  viewport_.ScrollTo({ScrollX(), pos});
  RenderView();
  return pos;
}

void TForm1::FormResize() {
  const int clientW = ui->centralwidget->width();
  const int clientH = ui->centralwidget->height();
  // The coordinate panels stay aligned to the bottom edge.
  ui->Panel1->setGeometry(0, clientH - kPanel1Height, clientW, kPanel1Height);
  if (closing_) return;

  // A window smaller than the fixed margins gives empty controls, never negative sizes.
  QFrame* panel2 = ui->Panel2;
  const int left = panel2->x(), top = panel2->y();
  const int panelW = std::max(0, clientW - left - 24);
  const int panelH = std::max(0, ui->Panel1->y() - top - 52);
  panel2->setGeometry(left, top, panelW, panelH);
  ui->PaintBox1->setGeometry(1, 1, std::max(0, panelW - 2), std::max(0, panelH - 2));
  viewport_.SetAreaSize(ui->PaintBox1->width(), ui->PaintBox1->height());

  ui->xscroll->setGeometry(left + 1, top + panelH + 1, std::max(0, panelW - 2), 16);
  ui->yscroll->setGeometry(left + panelW + 1, top + 1, 16, std::max(0, panelH - 2));

  const int statusTop = ui->xscroll->y() + 20;
  const int statusW = ui->yscroll->x() - left + 16;
  const int firstW = std::max(0, statusW - 130);
  ui->StatusBar->setGeometry(left, statusTop, statusW, 20);
  ui->StatusPanel0->setGeometry(0, 0, firstW, 20);
  // The last panel of a status line takes what the first one leaves.
  ui->StatusPanel1->setGeometry(firstW + 2, 0, std::max(0, statusW - firstW - 2), 20);
  ui->goback->setGeometry(left + firstW - 49, statusTop + 3, 48, 16);
  if (navigation_) navigation_->PlaceZoomStatus();

  MirrorScrollRanges(true);
  viewport_.KeepOriginInRange();
  MirrorScrollPositions();
}

// ---- zoom ----------------------------------------------------------------------------------------

void TForm1::ZoomInOutMap1Click() {
  form4_->SetZoomText(QString::number(ZoomPercent()));
  if (form4_->exec() == QDialog::Accepted) ApplyZoom(form4_->ZoomText());
}

bool TForm1::ApplyZoom(const QString& text) {
  // A zoom outside the dialog's range is refused with a message naming the range; the view stays.
  const std::optional<int32_t> zoom = orv::ZoomPercentFromText(text);
  if (!zoom) {
    dialogs_.ShowMessage(this, orv::ZoomRangeMessage(text));
    return false;
  }
  viewport_.ChangeZoomKeepingCross(*zoom, MapCorners());
  UpdateScrollRanges();
  CenterViewOnCross();
  return true;
}

// ---- the cross and the glass ---------------------------------------------------------------------

void TForm1::DrawLocationCross(int scrollX, int scrollY) {
  orv::DrawLocationCross(viewBuffer_, static_cast<long long>(CrossX()) - scrollX,
                         static_cast<long long>(CrossY()) - scrollY, mag_, magmask_);
}

void TForm1::DrawMagnifierGlass(int x, int y, QImage& target) {
  orv::BlitMasked(target, x - orv::GlassCrossX, y - orv::GlassCrossY, mag_, magmask_);
}

void TForm1::BlitMasked(QImage& target, int left, int top, const QImage& picture, const QImage& mask) {
  orv::BlitMasked(target, left, top, picture, mask);
}
