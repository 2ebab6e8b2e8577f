// The map view of the main window: composing and showing it, the scroll bars that mirror the
// viewport, the zoom, the layout of the map area and status line, and the cross with its glass.
#include <QImage>
#include <algorithm>

#include "core/numbers.h"
#include "ui_mainwindow.h"
#include "view/mainwindow.h"
#include "view/overviewwidget.h"
#include "view/mapnavigation.h"
#include "view/paintbox.h"
#include "view/render.h"
#include "view/zoomdialog.h"

namespace {

constexpr int kPanel1Height = 109;  // the coordinate panels, aligned to the bottom

// Where the cross point lies in the glass picture, and how far each stroke of the cross reaches.
constexpr int kGlassCrossX = 26;
constexpr int kGlassCrossY = 27;
constexpr int kCrossReach = 5;
constexpr QRgb kCrossColour = 0xFFFFFFFFu;

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
  orv::ComposeZoomedView(view, picture, {X, Y}, zoom, DW, DH);
  DrawLinkAreas(X, Y);
  DrawLocationCross(X, Y);
  DrawBookmarks(X, Y);
  if (overview_) overview_->ViewChanged();
  ui->PaintBox1->ShowBuffer();
  if (navigation_) navigation_->ViewShown();
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
  QImage& view = viewBuffer_;
  if (view.isNull()) return;
  const long long vx = static_cast<long long>(CrossX()) - scrollX;
  const long long vy = static_cast<long long>(CrossY()) - scrollY;
  // Nothing of the glass reaches the view from further away than its own size.
  const long long reach = std::max(mag_.width(), mag_.height()) + kCrossReach;
  if (vx < -reach || vy < -reach || vx > view.width() + reach || vy > view.height() + reach) return;
  const int x = static_cast<int>(vx), y = static_cast<int>(vy);

  DrawMagnifierGlass(x, y, view);

  // Two white diagonals of 11 pixels crossing at the cross point, clipped to the view.
  auto plot = [&view](int px, int py) {
    if (px < 0 || py < 0 || px >= view.width() || py >= view.height()) return;
    reinterpret_cast<QRgb*>(view.scanLine(py))[px] = kCrossColour;
  };
  for (int i = -kCrossReach; i <= kCrossReach; ++i) {
    plot(x + i, y + i);
    plot(x + i, y - i);
  }
}

void TForm1::DrawMagnifierGlass(int x, int y, QImage& target) {
  BlitMasked(target, x - kGlassCrossX, y - kGlassCrossY, mag_, magmask_);
}

void TForm1::BlitMasked(QImage& target, int left, int top, const QImage& picture, const QImage& mask) {
  if (target.isNull() || picture.isNull() || mask.size() != picture.size() || target.depth() != 32) return;
  const QImage pic =
      picture.format() == QImage::Format_RGB32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
  const QImage msk =
      mask.format() == QImage::Format_RGB32 ? mask : mask.convertToFormat(QImage::Format_RGB32);
  const long long w = pic.width(), h = pic.height();
  const long long x0 = std::max(0LL, -static_cast<long long>(left));
  const long long y0 = std::max(0LL, -static_cast<long long>(top));
  const long long x1 = std::min(w, static_cast<long long>(target.width()) - left);
  const long long y1 = std::min(h, static_cast<long long>(target.height()) - top);
  for (long long r = y0; r < y1; ++r) {
    const QRgb* p = reinterpret_cast<const QRgb*>(pic.constScanLine(static_cast<int>(r)));
    const QRgb* m = reinterpret_cast<const QRgb*>(msk.constScanLine(static_cast<int>(r)));
    QRgb* t = reinterpret_cast<QRgb*>(target.scanLine(static_cast<int>(top + r))) + left;
    for (long long c = x0; c < x1; ++c) {
      // White in the mask lets the view show through; any other colour lays the picture's pixel.
      if ((m[c] & 0x00FFFFFFu) != 0x00FFFFFFu) t[c] = p[c] | 0xFF000000u;
    }
  }
}
