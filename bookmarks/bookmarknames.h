#pragma once
// The bookmark names of the map view as a layer that is kept between frames.
//
// What the lists say about drawing (which bookmarks are visible, where, in which font) is worked out
// when the lists change, not at every frame: the owner calls ListsChanged() after every change.
// The names are drawn, each with its halo and marker (bookmarks/namehalo.h), into tiles of zoomed map
// pixels that are kept while the zoom, the corners, the options and the drawn names stay the same; a
// frame copies the tiles it shows. So a frame costs about the same however many names the map holds
// and however many reach the view; a tile costs the names on it once, when it first comes into view.
//
// A frame may also take the picture from the layer (Compose): below 200 percent, where composing the
// picture reads scattered picture pixels, tiles that hold names are kept a second time composed with
// the picture at the zoom under them, so that where names are, the frame copies opaque pixels instead
// of composing the picture and blending the names over it. Such tiles go with the names tiles, and
// when the picture changes (any edit of a QImage gives it a new cacheKey).
#include <QImage>
#include <QRegion>
#include <cstdint>
#include <memory>
#include <optional>

#include "bookmarks/bookmarkstore.h"
#include "bookmarks/drawnnames.h"
#include "bookmarks/namehalo.h"
#include "core/transform.h"

namespace orv {

class BookmarkNames {
 public:
  BookmarkNames();
  ~BookmarkNames();
  BookmarkNames(const BookmarkNames&) = delete;
  BookmarkNames& operator=(const BookmarkNames&) = delete;

  // The lists changed: the next Draw or NameAt works out the names again. Tiles are kept when what is
  // drawn stays the same (a change of notes, of a hidden bookmark).
  void ListsChanged();
  // Halo and marker; tiles made with other options are dropped.
  void SetOptions(const NameLabelOptions& options);

  // Writes the names of the bookmarks whose visibility is "V" into view, whose top-left pixel shows
  // the zoomed map pixel (scrollX, scrollY): the global bookmarks first, in list order, then the
  // current map's over them. Bookmarks whose coordinates, size or colour are not integers are left
  // out.
  void Draw(QImage& view, const BookmarkLists& lists, const MapCorners& corners, int32_t zoomPercent,
            int32_t scrollX, int32_t scrollY);
  // The same, only within the view positions of `within`.
  void Draw(QImage& view, const BookmarkLists& lists, const MapCorners& corners, int32_t zoomPercent,
            int32_t scrollX, int32_t scrollY, const QRegion& within);

  // Writes into view what ComposeZoomedView(view, picture, {scrollX, scrollY}, zoomPercent, dw, dh)
  // followed by Draw would, except within drawnUnderNames (view positions), where it writes the
  // picture alone. Returns the view positions whose names are still to be drawn, by Draw within them:
  // drawnUnderNames, and where the view shows no kept tile. Drawing something into drawnUnderNames and
  // then those names gives the same pixels as composing, drawing it and drawing all the names.
  QRegion Compose(QImage& view, const QImage& picture, const BookmarkLists& lists, const MapCorners& corners,
                  int32_t zoomPercent, int32_t scrollX, int32_t scrollY, int32_t dw, int32_t dh,
                  const QRect& drawnUnderNames);

  // The view holds the frame the last Compose began, finished (the names it owed drawn): while
  // nothing else writes into view, the next Compose that only scrolls it by less than its size keeps
  // the pixels the two frames share and composes the rest.
  void FrameShown(const QImage& view);

  // The bookmark whose drawn name (with halo and marker) covers the zoomed map pixel: the one drawn
  // last there. Nothing when no name covers it.
  std::optional<BookmarkPlace> NameAt(const BookmarkLists& lists, const MapCorners& corners,
                                      int32_t zoomPercent, Point zoomedPixel);

 private:
  struct Layer;
  std::unique_ptr<Layer> layer_;
};

}  // namespace orv
