#include "maplinks/maplinkswindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

#include "maplinks/linkframe.h"
#include "maplinks/linkoutlines.h"
#include "ui_maplinkswindow.h"
#include "view/mapviewhost.h"
#include "view/text.h"

TForm5::TForm5(orv::MapLinkState& links, orv::MapViewHost& host, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      ui(new Ui::TForm5),
      links_(links),
      host_(host) {
  ui->setupUi(this);
  setFixedSize(396, 144);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  // A choice runs on every change of the selection (by keyboard too) and on a click, also on the line
  // already chosen: its area is framed and brought into view again.
  connect(ui->ListBox1, &QListWidget::itemSelectionChanged, this, &TForm5::ListBox1Click);
  connect(ui->ListBox1, &QListWidget::itemClicked, this, &TForm5::ListBox1Click);
  connect(ui->Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
}

TForm5::~TForm5() {
  delete ui;
}

void TForm5::FillMapLinksList() {
  const QSignalBlocker quiet(ui->ListBox1);
  ui->ListBox1->clear();
  const orv::MapLinkStore& links = links_.store;
  for (std::size_t i = 0; i < links.size(); ++i)
    ui->ListBox1->addItem(orv::FromBytes(links.at(i).statusText));
}

int TForm5::SelectedLine() const {
  const auto selected = ui->ListBox1->selectionModel()->selectedRows();
  if (selected.isEmpty()) return -1;
  const int line = selected.first().row();
  return line < static_cast<int>(links_.store.size()) ? line : -1;
}

void TForm5::FormShow() {
  links_.HighlightRect = orv::LinkRect{};
}

void TForm5::ListBox1Click() {
  const int line = SelectedLine();
  if (line < 0) return;
  // The old highlight goes and the selected area is framed; a record whose corners are not numbers
  // gets no frame and the view stays where it is.
  const auto middle = orv::HighlightLink(host_.Session().Picture(), links_.HighlightRect,
                                         links_.store.at(static_cast<std::size_t>(line)).record);
  host_.RenderView();
  if (!middle) return;
  // The area's middle into the middle of the view, as far as the scroll range allows; where this
  // window then hides part of the area, the view moves on to show the area beside the window.
  host_.CenterViewOn(host_.Viewport().PictureToZoomed(*middle));
  const orv::MapViewport& view = host_.Viewport();
  const QRect covered(host_.MapArea()->mapFromGlobal(frameGeometry().topLeft()), frameGeometry().size());
  const orv::Point origin = orv::ScrollAreaIntoView(
      links_.HighlightRect, {view.ZoomPercent(), view.Origin(), view.AreaWidth(), view.AreaHeight()}, covered,
      {0, 0}, {view.MaxOriginX(), view.MaxOriginY()});
  if (origin != view.Origin())
    host_.CenterViewOn({origin.x + view.AreaWidth() / 2, origin.y + view.AreaHeight() / 2});
}

void TForm5::Button1Click() {
  const int line = SelectedLine();
  if (line < 0) return;
  // The store's change refills the list, and the removal is saved about a second later.
  links_.store.Remove(static_cast<std::size_t>(line));
  orv::ClearHighlight(host_.Session().Picture(), links_.HighlightRect);
  host_.RenderView();
}

void TForm5::FormClose() {
  // Marked as gone at once, so nothing can remove it a second time while the window is hidden.
  if (orv::ClearHighlight(host_.Session().Picture(), links_.HighlightRect)) host_.RenderView();
}

void TForm5::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TForm5::closeEvent(QCloseEvent* event) {
  FormClose();
  QWidget::closeEvent(event);
}
