#pragma once
// The map link layer of the map view: drawing a new link area with the pointer, naming it and
// choosing its target, the hover that finds the link under the pointer, following a link and going
// back. It sees the main window only through MapViewHost.
#include <QImage>
#include <QObject>
#include <string>

#include "maplinks/linkoutlines.h"
#include "maplinks/maplinkstore.h"
#include "view/mapviewhost.h"

class QAction;
class QKeyEvent;
class QLineEdit;
class QWidget;

namespace orv {

// The main window's controls that belong to the layer.
struct MapLinkControls {
  QWidget* textPanel = nullptr;      // Panel4: asks for the status text of a new link
  QLineEdit* textBox = nullptr;      // Edit8, inside it
  QAction* loadItem = nullptr;       // "Load Map for Map Link", offered over a link area
  QAction* loadSeparator = nullptr;  // the separator below it
};

class MapLinkLayer {
 public:
  // A link added here goes into the store, which announces the change.
  MapLinkLayer(MapLinkState& links, MapViewHost& host, const MapLinkControls& controls);
  ~MapLinkLayer();
  MapLinkLayer(const MapLinkLayer&) = delete;
  MapLinkLayer& operator=(const MapLinkLayer&) = delete;

  void AddMapLink1Click();
  // A new area awaits its opposite corner.
  bool Selecting() const { return links_.LinkSelecting; }
  // A new area waits for its text.
  bool AwaitingText() const;
  // The press that sets the opposite corner of a new link area, at the view position (X, Y).
  void LinkSecondCorner(int X, int Y);
  // The frame of the new link area follows the pointer at the view position (X, Y).
  void LinkRubberBand(int X, int Y);
  // Drops the link waiting for its text: removes its frame and hides the panel.
  void CancelPendingLink();
  // Key presses in the text box; true swallows the key.
  bool Edit8KeyPress(QKeyEvent* event);
  // The hover at the view position (X, Y): status text, pointer shape, the link pop-up items.
  void FindLinkUnderPointer(int X, int Y);
  // The view moved under the pointer resting at the view position (X, Y): when that brought the
  // pointer onto a link area or off the one it was over, the hover follows as a movement would. Off a
  // link area, a message that has since replaced the link's text stays.
  void RefreshLinkUnderPointer(int X, int Y);
  // Inverts a 4-pixel frame with the corners (X1, Y1), (X2, Y2) (picture pixels) in the picture.
  void InvertFrame(int X1, int Y1, int X2, int Y2);
  void LoadMapforMapLink1Click();
  void gobackClick();
  // "Show Link Areas": every link area outlined faintly in the view.
  void SetShowLinkAreas(bool on) { showAreas_ = on; }
  bool ShowLinkAreas() const { return showAreas_; }
  // The outlines into view, whose top-left pixel shows the zoomed map pixel (ScrollX, ScrollY), when
  // they are to be shown.
  void DrawLinkAreas(QImage& view, int ScrollX, int ScrollY) const;
  // Another map was loaded. Its picture carries none of the frames drawn into the old one, and the
  // pointer rests on none of the old map's areas: the highlight, a link area being drawn or named
  // and the hover (its status text, cursor and menu entry) are forgotten.
  void ForgetMapLeft();

 private:
  // Hides the panel of the link text, giving the keyboard back to the map area if the panel held it.
  void HideTextPanel();
  MapLinkState& links_;
  MapViewHost& host_;
  MapLinkControls controls_;
  const MapLink* LinkAt(int X, int Y) const;  // the link area under the view position, if any
  void ShowHover(const MapLink* link, bool setText);
  // The areas by where they lie, made again at every change of the store: the hover and the
  // outlines look only at the areas near the pointer or in view.
  LinkAreaIndex areas_;
  std::string hoverText_;           // status text of the link area the hover last found; "" for none
  unsigned picturesForgotten_ = 0;  // counts ForgetMapLeft: a map loaded while a link is being named
  bool showAreas_ = false;
  QMetaObject::Connection storeChanged_;
};

}  // namespace orv
