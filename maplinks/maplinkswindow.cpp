#include "maplinks/maplinkswindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

#include "maplinks/linkframe.h"
#include "storage/fields.h"
#include "ui_maplinkswindow.h"
#include "view/appstate.h"
#include "view/text.h"

TForm5::TForm5(orv::AppState& state, TForm1& main, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      ui(new Ui::TForm5),
      state_(state),
      main_(main) {
  ui->setupUi(this);
  setFixedSize(396, 144);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  connect(ui->ListBox1, &QListWidget::itemSelectionChanged, this, &TForm5::ListBox1Click);
  connect(ui->Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
}

TForm5::~TForm5() {
  delete ui;
}

void TForm5::FillMapLinksList() {
  const QSignalBlocker quiet(ui->ListBox1);
  ui->ListBox1->clear();
  for (const std::string& record : state_.links.MapLinks) {
    ui->ListBox1->addItem(orv::FromBytes(orv::GetField(6, record, orv::FieldSeparator)));
  }
}

int TForm5::SelectedLine() const {
  const auto selected = ui->ListBox1->selectionModel()->selectedRows();
  return selected.isEmpty() ? -1 : selected.first().row();
}

void TForm5::FormShow() {
  state_.links.HighlightRect = orv::LinkRect{};
}

void TForm5::ListBox1Click() {}

void TForm5::Button1Click() {}

void TForm5::FormClose() {}

void TForm5::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TForm5::closeEvent(QCloseEvent* event) {
  FormClose();
  QWidget::closeEvent(event);
}
