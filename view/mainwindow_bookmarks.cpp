// The Map menu's "Bookmarks" submenu: the bookmarks window's export and import, for when that window
// is not open.
#include <QMenu>

#include "bookmarks/bookmarkswindow.h"
#include "ui_mainwindow.h"
#include "view/mainwindow.h"

void TForm1::BuildBookmarksMenu() {
  QMenu* menu = ui->Map1->addMenu(QStringLiteral("Bookmarks"));
  menu->setObjectName("Bookmarks1");
  QAction* exportItem = menu->addAction(QStringLiteral("Export..."));
  exportItem->setObjectName("ExportBookmarks1");
  QAction* importItem = menu->addAction(QStringLiteral("Import..."));
  importItem->setObjectName("ImportBookmarks1");
  connect(exportItem, &QAction::triggered, this, [this] { form3_->ExportBookmarks(this); });
  connect(importItem, &QAction::triggered, this, [this] { form3_->ImportBookmarks(this); });
}
