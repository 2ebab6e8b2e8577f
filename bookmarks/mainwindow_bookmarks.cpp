// Stand-in for the bookmark handlers until their own code lands; replaced wholesale by it.
#include "view/mainwindow.h"

void TForm1::CurrentMap1Click() {}
void TForm1::Global1Click() {}
void TForm1::ShowBookmarkNameEdit() {}
bool TForm1::Edit3KeyPress(QKeyEvent*) {
  return false;
}
void TForm1::BookmarkFontSetup1Click() {}
void TForm1::ShowBookmarksWindow1Click() {}
void TForm1::DrawBookmarks(int, int) {}
void TForm1::BookmarksChanged() {
  bookmarkSaveTimer_.start();
}
