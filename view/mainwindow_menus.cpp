// The order of the menu bar's menus. Each part of the window adds its own items as it is built; this
// puts them into one order that groups them by what the user is doing, with separators between the
// groups.
#include <QMenu>

#include "ui_mainwindow.h"
#include "view/mainwindow.h"

namespace {

// The object name an item is known by: its own, or its submenu's.
QString ItemName(const QAction* action) {
  if (!action->objectName().isEmpty()) return action->objectName();
  return action->menu() ? action->menu()->objectName() : QString();
}

// Lays out menu's items in the order of names; "-" is a separator. Items not named keep their order
// and go after the named ones, before the last group, so nothing added is ever lost.
void Arrange(QMenu* menu, const QStringList& names) {
  const QList<QAction*> items = menu->actions();
  for (QAction* action : items) menu->removeAction(action);
  QList<QAction*> unnamed;
  for (QAction* action : items) {
    if (action->isSeparator())
      action->deleteLater();
    else if (!names.contains(ItemName(action)))
      unnamed.push_back(action);
  }
  auto find = [&items](const QString& name) -> QAction* {
    for (QAction* action : items)
      if (!action->isSeparator() && ItemName(action) == name) return action;
    return nullptr;
  };
  auto separate = [menu] {
    if (!menu->actions().isEmpty() && !menu->actions().last()->isSeparator()) menu->addSeparator();
  };
  const qsizetype lastGroup = names.lastIndexOf(QStringLiteral("-"));
  for (qsizetype i = 0; i < names.size(); ++i) {
    if (i == lastGroup) menu->addActions(unnamed);
    if (names[i] == QLatin1String("-"))
      separate();
    else if (QAction* action = find(names[i]))
      menu->addAction(action);
  }
}

}  // namespace

void TForm1::ArrangeMenus() {
  Arrange(ui->Map1, {"Load1", "OpenRecent1", "-", "NewMapFromPicture1", "CalibrateMap1", "MapsFolders1", "-",
                     "MapPastePosition1", "FollowJournal1", "FollowClipboard1", "-", "FindBookmark1",
                     "Bookmarks1", "-", "Quit1"});
  Arrange(ui->View1, {"ZoomIn1", "ZoomOut1", "FittoWindow1", "ActualSize1", "-", "Back1", "Forward1", "-",
                      "Overview1", "ShowLinkAreas1", "OutlineBookmarkNames1"});
}
