// The main window's handlers of the bookmark and map link layers and their windows: each hands the
// event to its layer or shows its window.
#include "bookmarks/bookmarklayer.h"
#include "bookmarks/bookmarkswindow.h"
#include "maplinks/maplinklayer.h"
#include "maplinks/maplinkswindow.h"
#include "storage/bookmarkfont.h"
#include "ui_mainwindow.h"
#include "view/mainwindow.h"

QWidget* TForm1::MapArea() {
  return ui->PaintBox1;
}

orv::BookmarkFontSpec& TForm1::BookmarkFont() {
  return bookmarkLayer_->BookmarkFont();
}

void TForm1::CurrentMap1Click() {
  bookmarkLayer_->CurrentMap1Click();
}

void TForm1::Global1Click() {
  bookmarkLayer_->Global1Click();
}

void TForm1::BookmarkFontSetup1Click() {
  // Remembered at once, not only at the end of the run; a failure is told by the shutdown save, which
  // writes the font again.
  if (bookmarkLayer_->BookmarkFontSetup1Click()) orv::WriteBookmarkFont(settingsFile_, BookmarkFont());
}

void TForm1::ShowBookmarksWindow1Click() {
  form3_->show();
}

void TForm1::DrawBookmarks(int ScrollX, int ScrollY) {
  bookmarkLayer_->DrawBookmarks(viewBuffer_, ScrollX, ScrollY);
}

void TForm1::BookmarksChanged() {
  RenderView();
  // Restarted at every change: a burst of changes (typing notes) is saved once, about a second after
  // the last of them.
  bookmarkSave_.Schedule();
}

void TForm1::AddMapLink1Click() {
  mapLinkLayer_->AddMapLink1Click();
}

void TForm1::LoadMapforMapLink1Click() {
  mapLinkLayer_->LoadMapforMapLink1Click();
}

void TForm1::gobackClick() {
  mapLinkLayer_->gobackClick();
}

void TForm1::ShowMapLinksWindow1Click() {
  form5_->show();
}

void TForm1::MapLinksChanged() {
  mapLinkSave_.Schedule();
}
