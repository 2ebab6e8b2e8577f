// Stand-in for the bookmarks window until its own code lands; replaced wholesale by it.
#include "bookmarks/bookmarkswindow.h"

TForm3::TForm3(orv::AppState&, TForm1&, QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle("Map Bookmarks");
}

void TForm3::FillBookmarkLists() {}
