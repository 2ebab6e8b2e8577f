#pragma once
// MapViewHost: what the layers on the map (bookmarks, map links) and their windows see of the main
// window. They draw and react to the pointer through it and never reach the window's controls.
#include <QString>
#include <string>

#include "core/geometry.h"
#include "view/coordinatepanels.h"
#include "view/mapsession.h"
#include "view/mapviewport.h"

class QWidget;

namespace orv {

class Dialogs;

class MapViewHost {
 public:
  virtual ~MapViewHost() = default;

  // Composes the view at the viewport's origin and shows it at once.
  virtual void RenderView() = 0;
  // Zoom, view origin and cross, for the conversions between the coordinate spaces.
  virtual const MapViewport& Viewport() const = 0;
  // The current map: its files, corners and the picture into which marks are drawn.
  virtual MapSession& Session() = 0;
  // Brings the zoomed map pixel to the middle of the view as far as the scroll ranges allow, and
  // renders.
  virtual void CenterViewOn(Point zoomed) = 0;
  // Brings the world point to the middle of the map panel and shows it in the coordinate panels; the
  // cross stays where it is.
  virtual void ShowWorldPoint(Point world) = 0;
  // Fills both coordinate panels from one point (see PanelSource).
  virtual void RefreshCoordinatePanels(int a, int b, PanelSource source) = 0;
  // The zoomed map pixel and the world point of the last right click on the map.
  virtual Point PopupPoint() const = 0;
  virtual Point PopupWorldPoint() const = 0;
  // Status panel 0 (links and hints) or 1 (the pointer's world point).
  virtual void SetStatusText(int panel, const QString& text) = 0;
  virtual QString StatusText(int panel) const = 0;
  // Makes the map info file at path (file system encoding) the current map; failures are reported.
  virtual LoadOutcome LoadMap(std::string path) = 0;
  // Message boxes, file and font dialogs, and the window they belong to.
  virtual Dialogs& dialogs() = 0;
  virtual QWidget* DialogParent() = 0;
  // The map area: layers place their boxes over it and set the pointer shape on it.
  virtual QWidget* MapArea() = 0;
};

}  // namespace orv
