// The bookmark layer: adding a bookmark from the map's pop-up menu through the name box, the font
// given to new bookmarks, and drawing the names.
#include "bookmarks/bookmarklayer.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QStringList>
#include <algorithm>
#include <string>

#include "storage/fields.h"
#include "view/dialogs.h"
#include "view/storabletext.h"
#include "view/text.h"

namespace orv {

BookmarkLayer::BookmarkLayer(BookmarkStore& store, MapViewHost& host, QLineEdit* nameBox,
                             std::mt19937& random, std::function<void()> listsChanged)
    : store_(store),
      host_(host),
      nameBox_(nameBox),
      random_(random),
      listsChanged_(std::move(listsChanged)) {}

void BookmarkLayer::CurrentMap1Click() {
  addingGlobal_ = false;
  ShowBookmarkNameEdit();
}

void BookmarkLayer::Global1Click() {
  addingGlobal_ = true;
  ShowBookmarkNameEdit();
}

void BookmarkLayer::ShowBookmarkNameEdit() {
  QLineEdit* edit = nameBox_;
  // The name goes into a record: the box refuses what a record cannot hold.
  if (!edit->validator()) edit->setValidator(new orv::StorableTextValidator(edit));
  // The box opens at the right-clicked point (a view position), moved left or up as far as needed to
  // stay inside the map area.
  const MapViewport& viewport = host_.Viewport();
  const orv::Point point = host_.PopupPoint();
  const int left = std::min(point.x - viewport.Origin().x, viewport.AreaWidth() - edit->width());
  const int top = std::min(point.y - viewport.Origin().y, viewport.AreaHeight() - edit->height());
  edit->move(host_.MapArea()->x() + left, host_.MapArea()->y() + top);
  edit->clear();
  edit->show();
  edit->raise();
  edit->setFocus();
}

bool BookmarkLayer::Edit3KeyPress(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
  // The keyboard goes back to the map area, not on to the next box of the window.
  host_.MapArea()->setFocus();
  nameBox_->hide();

  const orv::BookmarkFontSpec& font = font_;
  const std::string fontRecord =
      JoinFields({font.name, std::to_string(font.size), std::to_string(font.color), orv::StyleLetters(font)});
  // The box refuses every character a record cannot hold, so the name converts whole.
  const std::string name = orv::ToBytes(nameBox_->text()).value_or(std::string());
  const orv::Point world = host_.PopupWorldPoint();
  const std::string x = std::to_string(world.x);
  const std::string y = std::to_string(world.y);
  if (addingGlobal_)
    store_.Add(BookmarkPage::Global, JoinFields({orv::NewBookmarkId(random_), orv::VisibleValue, x, y, name}),
               fontRecord);
  else
    store_.Add(BookmarkPage::CurrentMap, JoinFields({orv::VisibleValue, x, y, name}), fontRecord);

  // The new name shows in this frame already (the store's change has reached the names).
  host_.RenderView();
  store_.Sort();
  // Refilling the lists also empties both notes boxes and clears both "Visible on Map" boxes.
  listsChanged_();
  // From the world point, not the right-clicked pixel: the zoom may have changed while the name was
  // typed.
  host_.RefreshCoordinatePanels(world.x, world.y, orv::PanelSource::FromWorld);
  return true;
}

void BookmarkLayer::CancelNameEdit() {
  nameBox_->hide();
  nameBox_->clear();
}

bool BookmarkLayer::BookmarkFontSetup1Click() {
  // Cancelling keeps the font; either way nothing already drawn changes.
  const auto chosen = host_.dialogs().ChooseFont(host_.DialogParent(), font_);
  if (chosen) font_ = *chosen;
  return chosen.has_value();
}

void BookmarkLayer::ComposeView(QImage& view, const QImage& picture, int ScrollX, int ScrollY, int dw, int dh,
                                const QRect& drawnUnderNames) {
  owed_ = OwedNames{names_.Compose(view, picture, store_.Lists(), host_.Session().Corners(),
                                   host_.Viewport().ZoomPercent(), ScrollX, ScrollY, dw, dh, drawnUnderNames),
                    ScrollX, ScrollY, view.size()};
}

void BookmarkLayer::DrawBookmarks(QImage& view, int ScrollX, int ScrollY) {
  const bool endsFrame =
      owed_ && owed_->scrollX == ScrollX && owed_->scrollY == ScrollY && owed_->viewSize == view.size();
  const QRegion within = endsFrame ? owed_->area : QRegion(view.rect());
  owed_.reset();
  names_.Draw(view, store_.Lists(), host_.Session().Corners(), host_.Viewport().ZoomPercent(), ScrollX,
              ScrollY, within);
  if (endsFrame) names_.FrameShown(view);
}

void BookmarkLayer::ListsChanged() {
  names_.ListsChanged();
}

void BookmarkLayer::SetOutlineNames(bool on) {
  names_.SetOptions({.halo = on, .marker = true});
}

std::optional<QString> BookmarkLayer::NotesAt(QPoint viewPosition) {
  const MapViewport& viewport = host_.Viewport();
  const orv::Point zoomed = viewport.ViewToZoomed({viewPosition.x(), viewPosition.y()});
  const auto place = names_.NameAt(store_.Lists(), host_.Session().Corners(), viewport.ZoomPercent(), zoomed);
  if (!place) return std::nullopt;
  const BookmarkPage page = place->global ? BookmarkPage::Global : BookmarkPage::CurrentMap;
  if (place->index >= store_.Records(page).size()) return std::nullopt;
  QStringList lines;
  for (const std::string& line : store_.at(page, place->index).notes) lines << FromBytes(line);
  return lines.join('\n');
}

}  // namespace orv
