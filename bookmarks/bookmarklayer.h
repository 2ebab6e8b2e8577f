#pragma once
// The bookmark layer of the map view: naming a new bookmark in the box over the map, the font given
// to new bookmarks, and drawing the names. It sees the main window only through MapViewHost.
#include <QImage>
#include <QRegion>
#include <functional>
#include <optional>
#include <random>

#include "bookmarks/bookmarkdraw.h"
#include "bookmarks/bookmarkrecords.h"
#include "storage/bookmarkfont.h"
#include "view/mapviewhost.h"

class QKeyEvent;
class QLineEdit;

namespace orv {

class BookmarkLayer {
 public:
  // nameBox: the hidden box over the map in which a new bookmark is named. listsChanged runs after a
  // bookmark was added, once the lists are sorted again.
  BookmarkLayer(BookmarkStore& store, MapViewHost& host, QLineEdit* nameBox, std::mt19937& random,
                std::function<void()> listsChanged);

  // "Add Bookmark" > "Current Map" and "Global": the name box opens at the right-clicked point.
  void CurrentMap1Click();
  void Global1Click();
  void ShowBookmarkNameEdit();
  // Key presses in the name box; Enter adds the bookmark. True swallows the key.
  bool Edit3KeyPress(QKeyEvent* event);
  // Another map loaded: a name being typed belonged to a point of the map left, so the box closes.
  void CancelNameEdit();
  // "Bookmark Font Setup...": the font given to new bookmarks.
  // The font dialog for new bookmarks; true when a font was chosen.
  bool BookmarkFontSetup1Click();
  BookmarkFontSpec& BookmarkFont() { return font_; }
  // The first step of a frame: the picture at the zoom as ComposeZoomedView(view, picture, {ScrollX,
  // ScrollY}, zoom, dw, dh) composes it, with the names already over it except within drawnUnderNames
  // (view positions), where the next DrawBookmarks puts them over what is drawn there meanwhile.
  void ComposeView(QImage& view, const QImage& picture, int ScrollX, int ScrollY, int dw, int dh,
                   const QRect& drawnUnderNames);
  // The visible bookmark names into view, whose top-left pixel shows the zoomed map pixel
  // (ScrollX, ScrollY): those ComposeView left out, right after it, else all of them.
  void DrawBookmarks(QImage& view, int ScrollX, int ScrollY);
  // The lists changed (a bookmark added, removed or edited, a load): the names are worked out again.
  void ListsChanged();
  // "Outline Bookmark Names": the halo around each name.
  void SetOutlineNames(bool on);
  // The notes of the bookmark whose name covers the view position, one line each; nothing when no
  // name is there.
  std::optional<QString> NotesAt(QPoint viewPosition);

 private:
  BookmarkStore& store_;
  MapViewHost& host_;
  QLineEdit* nameBox_;
  std::mt19937& random_;
  std::function<void()> listsChanged_;
  BookmarkFontSpec font_;
  bool addingGlobal_ = false;
  BookmarkNames names_;  // the names as last drawn
  // The view positions whose names the last ComposeView left to DrawBookmarks, and where it looked.
  struct OwedNames {
    QRegion area;
    int scrollX, scrollY;
    QSize viewSize;
  };
  std::optional<OwedNames> owed_;
};

}  // namespace orv
