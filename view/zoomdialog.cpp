#include "view/zoomdialog.h"

#include <QFontMetrics>
#include <algorithm>

#include "core/numbers.h"
#include "ui_zoomdialog.h"
#include "view/dialogs.h"
#include "view/zoomsteps.h"

namespace orv {

std::optional<int32_t> ZoomPercentFromText(const QString& text) {
  const std::optional<int32_t> zoom = ParseInt(text.trimmed().toStdString());
  if (!zoom || *zoom < MinZoomPercent || *zoom > MaxZoomPercent) return std::nullopt;
  return zoom;
}

QString ZoomRangeMessage(const QString& text) {
  return QStringLiteral("'%1' is not a zoom percentage. Enter a whole number from %2 to %3.")
      .arg(text)
      .arg(MinZoomPercent)
      .arg(MaxZoomPercent);
}

}  // namespace orv

namespace {

constexpr int kClientHeight = 79;
// Room a title bar takes beside its caption: the window icon, up to three buttons (window managers
// may add the two this dialog does not ask for) and the margins, with some to spare for a title
// font larger than the dialog's own.
constexpr int kTitleBarExtras = 170;

}  // namespace

TForm4::TForm4(orv::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm4), dialogs_(dialogs) {
  ui->setupUi(this);
  // A fixed dialog frame with only a close box, wide enough for the title bar to show the caption
  // whole.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  const QFontMetrics title(QFont(font().family(), font().pointSize() + 1, QFont::Bold));
  setFixedSize(std::max(width(), title.horizontalAdvance(windowTitle()) + kTitleBarExtras), kClientHeight);
  // "OK" and "Cancel" stay centred as a pair.
  const int shift = (width() - ui->Button2->geometry().right() - 1 - ui->Button1->x()) / 2;
  ui->Button1->move(ui->Button1->x() + shift, ui->Button1->y());
  ui->Button2->move(ui->Button2->x() + shift, ui->Button2->y());
  connect(ui->Button1, &QPushButton::clicked, this, &TForm4::accept);
  connect(ui->Button2, &QPushButton::clicked, this, &QDialog::reject);
}

TForm4::~TForm4() {
  delete ui;
}

QString TForm4::ZoomText() const {
  return ui->Edit1->text();
}

void TForm4::SetZoomText(const QString& text) {
  ui->Edit1->setText(text);
}

void TForm4::accept() {
  if (!orv::ZoomPercentFromText(ZoomText())) {
    dialogs_.ShowMessage(this, orv::ZoomRangeMessage(ZoomText()));
    SelectZoomText();
    return;
  }
  QDialog::accept();
}

void TForm4::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  SelectZoomText();
}

void TForm4::SelectZoomText() {
  ui->Edit1->setFocus();
  ui->Edit1->selectAll();
}
