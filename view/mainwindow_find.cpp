// The main window's ways to find and read bookmarks and to see link areas: the find box over the
// map (Ctrl+F), a bookmark's notes in a tip when the pointer rests on its name, the halo around the
// names and the outlines of the link areas (View menu, both remembered in the settings file).
#include <QAction>
#include <QHelpEvent>
#include <QMenu>
#include <QToolTip>
#include <algorithm>

#include "bookmarks/bookmarklayer.h"
#include "bookmarks/findbox.h"
#include "maplinks/maplinklayer.h"
#include "storage/appsettings.h"
#include "ui_mainwindow.h"
#include "view/mainwindow.h"
#include "view/text.h"

// Shows the notes of the bookmark under the pointer when the map area asks for a tip.
class TForm1::NotesTip : public QObject {
 public:
  NotesTip(orv::BookmarkLayer& layer, QObject* parent) : QObject(parent), layer_(layer) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ToolTip) return false;
    const auto* help = static_cast<QHelpEvent*>(event);
    const auto notes = layer_.NotesAt(help->pos());
    if (notes && !notes->isEmpty()) {
      QToolTip::showText(help->globalPos(), orv::PlainTip(*notes), qobject_cast<QWidget*>(watched));
    } else {
      QToolTip::hideText();
    }
    return true;
  }

 private:
  orv::BookmarkLayer& layer_;
};

void TForm1::BuildFindAndViewItems() {
  const orv::AppSettings settings(settingsFile_);

  FindBookmark1 = ui->Map1->addAction(QStringLiteral("Find Bookmark..."));
  FindBookmark1->setObjectName("FindBookmark1");
  FindBookmark1->setShortcut(QKeySequence::Find);
  connect(FindBookmark1, &QAction::triggered, this, [this] { FindBookmark1Click(); });
  findBox_ = new orv::FindBox(bookmarks_.Lists(), ui->centralwidget);
  connect(findBox_, &orv::FindBox::chosen, this, [this](orv::Point world) {
    // The cross goes onto the bookmark: the panels, the directions and Ctrl+C then start from it.
    MoveCrossToWorld(world, orv::CrossView::Centre);
    RefreshCoordinatePanels(world.x, world.y, orv::PanelSource::FromWorld);
    ui->PaintBox1->setFocus();
  });

  OutlineBookmarkNames1 = ui->View1->addAction(QStringLiteral("Outline Bookmark Names"));
  OutlineBookmarkNames1->setObjectName("OutlineBookmarkNames1");
  OutlineBookmarkNames1->setCheckable(true);
  OutlineBookmarkNames1->setChecked(settings.OutlineBookmarkNames());
  bookmarkLayer_->SetOutlineNames(OutlineBookmarkNames1->isChecked());
  connect(OutlineBookmarkNames1, &QAction::toggled, this, [this](bool on) { SetOutlineBookmarkNames(on); });

  ShowLinkAreas1 = ui->View1->addAction(QStringLiteral("Show Link Areas"));
  ShowLinkAreas1->setObjectName("ShowLinkAreas1");
  ShowLinkAreas1->setCheckable(true);
  ShowLinkAreas1->setShortcut(QKeySequence(Qt::Key_L));
  connect(ShowLinkAreas1, &QAction::toggled, this, [this](bool on) { SetShowLinkAreas(on); });

  notesTip_ = new NotesTip(*bookmarkLayer_, this);
  ui->PaintBox1->installEventFilter(notesTip_);
}

void TForm1::FindBookmark1Click() {
  // Over the top right of the map area, inside it as far as it fits.
  const QWidget* area = ui->PaintBox1;
  findBox_->resize(findBox_->width(), std::clamp(area->height() - 16, 90, 260));
  const QPoint corner = area->mapTo(ui->centralwidget, QPoint(area->width() - findBox_->width() - 8, 8));
  findBox_->move(std::max(0, corner.x()), std::max(0, corner.y()));
  findBox_->Open();
}

void TForm1::BookmarkListsChanged() {
  bookmarkLayer_->ListsChanged();
  findBox_->ListsChanged();
}

void TForm1::SetOutlineBookmarkNames(bool on) {
  bookmarkLayer_->SetOutlineNames(on);
  // A failure is not worth a message: the choice holds for this run.
  orv::AppSettings(settingsFile_).SetOutlineBookmarkNames(on);
  RenderView();
}

void TForm1::SetShowLinkAreas(bool on) {
  mapLinkLayer_->SetShowLinkAreas(on);
  RenderView();
}

void TForm1::DrawLinkAreas(int ScrollX, int ScrollY) {
  mapLinkLayer_->DrawLinkAreas(viewBuffer_, ScrollX, ScrollY);
}
