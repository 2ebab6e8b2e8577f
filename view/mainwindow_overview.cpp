// The overview: a small picture of the whole map in a corner of the map area, with the view's
// rectangle on it, and View > Overview to show or hide it.
#include <QAction>
#include <QMenu>

#include "storage/appsettings.h"
#include "ui_mainwindow.h"
#include "view/mainwindow.h"
#include "view/overviewwidget.h"

void TForm1::BuildOverview() {
  overview_ = new orv::OverviewWidget(*this);
  overview_->SetChoice(orv::AppSettings(settingsFile_).OverviewChoice());

  Overview1 = ui->View1->addAction(QStringLiteral("Overview"));
  Overview1->setObjectName("Overview1");
  Overview1->setCheckable(true);
  Overview1->setShortcut(QKeySequence(Qt::Key_O));
  // The plain letter acts only while the map area has the keyboard, so an "O" typed into a box stays
  // a letter.
  Overview1->setShortcutContext(Qt::WidgetShortcut);
  ui->PaintBox1->addAction(Overview1);
  // The menu shows whether the overview is wanted for the map as it is now.
  connect(ui->View1, &QMenu::aboutToShow, this, [this] { Overview1->setChecked(overview_->Wanted()); });
  connect(Overview1, &QAction::triggered, this, [this] { Overview1Click(!overview_->Wanted()); });
}

void TForm1::Overview1Click(bool shown) {
  Overview1->setChecked(shown);
  overview_->SetChoice(shown);
  // A choice that cannot be kept still holds for this run.
  orv::AppSettings(settingsFile_).SetOverviewChoice(shown);
}
