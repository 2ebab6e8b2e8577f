#pragma once
// The shared state of the program: one object, owned by the main window and passed to whatever needs
// it. Coordinate spaces are named on every member.
#include <QImage>
#include <cstdint>
#include <random>
#include <string>

#include "bookmarks/bookmarkstore.h"
#include "core/transform.h"
#include "maplinks/maplinkstore.h"
#include "storage/bookmarkfont.h"

namespace orv {

struct AppState {
  std::string settingsFile;      // the program's settings file, chosen at start

  QImage ViewBuffer;             // the composed view, the size of the map area

  Point PopupPoint;              // zoomed map pixel of the last right click
  Point PopupWorldPoint;         // world point of the last right click

  BookmarkLists bookmarks;
  BookmarkFontSpec BookmarkFont; // the font given to new bookmarks
  bool AddingGlobalBookmark = false;

  MapLinkState links;

  std::mt19937 random;           // seeded from the clock at start; tests seed it themselves
};

}  // namespace orv
