// The bookmark handlers of the main window: adding a bookmark from the map's pop-up menu through the
// name box, the font given to new bookmarks, the bookmarks window, drawing the names, and the save
// that follows every change.
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>
#include <memory>
#include <string>

#include "bookmarks/bookmarkdraw.h"
#include "bookmarks/bookmarkstore.h"
#include "bookmarks/bookmarkswindow.h"
#include "bookmarks/notesedit.h"
#include "view/storabletext.h"
#include "storage/fields.h"
#include "view/mainwindow.h"
#include "view/mainwindow_ui.h"
#include "view/text.h"

namespace {

std::string Join(std::initializer_list<std::string> fields) {
  std::string out;
  bool first = true;
  for (const auto& field : fields) {
    if (!first) out += orv::FieldSeparator;
    out += field;
    first = false;
  }
  return out;
}

}  // namespace

// What the bookmark handlers keep in the main window: the names as last drawn.
struct BookmarksExtra {
  orv::BookmarkNames names;
};

void TForm1::CurrentMap1Click() {
  state().AddingGlobalBookmark = false;
  ShowBookmarkNameEdit();
}

void TForm1::Global1Click() {
  state().AddingGlobalBookmark = true;
  ShowBookmarkNameEdit();
}

void TForm1::ShowBookmarkNameEdit() {
  QLineEdit* edit = ui->Edit3;
  // The name goes into a record: the box refuses what a record cannot hold.
  if (!edit->validator()) edit->setValidator(new orv::StorableTextValidator(edit));
  // The box opens at the right-clicked point (a view position), moved left or up as far as needed to
  // stay inside the map area.
  const orv::Point point = state().PopupPoint;
  const int left = std::min(point.x - ScrollX(), MapAreaWidth() - edit->width());
  const int top = std::min(point.y - ScrollY(), MapAreaHeight() - edit->height());
  edit->move(ui->PaintBox1->x() + left, ui->PaintBox1->y() + top);
  edit->clear();
  edit->show();
  edit->raise();
  edit->setFocus();
}

bool TForm1::Edit3KeyPress(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
  ui->Edit3->hide();

  orv::AppState& s = state();
  const orv::BookmarkFontSpec& font = s.BookmarkFont;
  const std::string fontRecord =
      Join({font.name, std::to_string(font.size), std::to_string(font.color), orv::StyleLetters(font)});
  // The box refuses every character a record cannot hold, so the name converts whole.
  const std::string name = orv::ToBytes(ui->Edit3->text()).value_or(std::string());
  const std::string x = std::to_string(s.PopupWorldPoint.x);
  const std::string y = std::to_string(s.PopupWorldPoint.y);
  if (s.AddingGlobalBookmark) {
    s.bookmarks.GlobalBookmarks.push_back(Join({orv::NewBookmarkId(s.random), "V", x, y, name}));
    s.bookmarks.GlobalBookmarkFonts.push_back(fontRecord);
  } else {
    s.bookmarks.CurrentMapBookmarks.push_back(Join({"V", x, y, name}));
    s.bookmarks.CurrentMapBookmarkFonts.push_back(fontRecord);
  }

  RenderView();
  orv::SortBookmarks(s.bookmarks);
  // Refilling the lists also empties both notes boxes and clears both "Visible on Map" boxes.
  form3()->FillBookmarkLists();
  RefreshCoordinatePanels(s.PopupPoint.x, s.PopupPoint.y, FromMapPixel);
  BookmarksChanged();
  return true;
}

void TForm1::BookmarkFontSetup1Click() {
  // Cancelling keeps the font; either way nothing already drawn changes.
  const auto chosen = dialogs().ChooseFont(this, state().BookmarkFont);
  if (!chosen) return;
  state().BookmarkFont = *chosen;
  // Remembered at once, not only at the end of the run; a failure is told by the shutdown save, which
  // writes the font again.
  orv::WriteBookmarkFont(state().settingsFile, state().BookmarkFont);
}

void TForm1::ShowBookmarksWindow1Click() {
  form3()->show();
}

void TForm1::DrawBookmarks(int ScrollX, int ScrollY) {
  if (!bookmarksExtra_) bookmarksExtra_ = std::make_shared<BookmarksExtra>();
  orv::AppState& s = state();
  bookmarksExtra_->names.Draw(s.ViewBuffer, s.bookmarks, s.MapCorners, s.ZoomPercent, ScrollX, ScrollY);
}

void TForm1::BookmarksChanged() {
  // Restarted at every change: a burst of changes (typing notes) is saved once, about a second after
  // the last of them.
  bookmarkSaveTimer_.start();
}
