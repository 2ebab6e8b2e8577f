#include "view/zoomdialog.h"

#include "ui_zoomdialog.h"

TForm4::TForm4(QWidget* parent) : QDialog(parent), ui(new Ui::TForm4) {
  ui->setupUi(this);
  // A fixed dialog frame with only a close box.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(199, 79);
  connect(ui->Button1, &QPushButton::clicked, this, &QDialog::accept);
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

void TForm4::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ui->Button1->setFocus();
}
