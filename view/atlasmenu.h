#pragma once
// The atlas on the main window: Map > Maps Folders..., the pop-up submenu "Maps Showing This Point",
// and the same list offered in the status line when an Update goes to a point outside the picture.
// Choosing a map loads it with the cross on the same world point.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/atlas.h"
#include "core/geometry.h"
#include "core/transform.h"

class QMenu;
class QToolButton;
class QWidget;

namespace orv {

class MapViewHost;

// The folders the atlas indexes: the ones chosen under Maps Folders, or while none are chosen the
// folder of the current map (so the maps that came with it are found from the first start).
std::vector<std::string> AtlasFolders(const std::vector<std::string>& chosen, const std::string& currentMap);

// Whether the picture pixel of the world point (at 100 percent) lies outside a picture of width by
// height picture pixels. A point without a picture pixel lies outside.
bool OutsidePicture(const MapCorners& corners, int width, int height, Point world);

// What Maps Folders... tells once the folders are indexed: the maps found, and the map info files that
// could not be used with the reason. A long list (a folder of elevation models, which share the
// extension) is cut after its first kSkippedListed files, with the number left out.
inline constexpr std::size_t kSkippedListed = 20;
QString MapsFoundText(std::size_t found, const std::vector<SkippedMap>& skipped);

class AtlasMenu : public QObject {
 public:
  // openMap loads a map info file and puts the cross on the world point.
  AtlasMenu(MapViewHost& host, std::string settingsFile,
            std::function<void(const std::string& mapInfoPath, Point world)> openMap);
  ~AtlasMenu() override;

  // Map > Maps Folders...: the folders chosen replace the ones before; they are indexed at once and
  // the maps that could not be indexed are listed.
  void ChooseFolders();
  // Fills menu with the maps whose picture shows the world point, most detailed first; returns how
  // many.
  int FillMenu(QMenu* menu, Point world);
  // A new submenu "Maps Showing This Point" for the world point that worldAt gives when it opens.
  QMenu* NewSubmenu(QWidget* parent, std::function<Point()> worldAt);

  // After an Update: when the world point lies outside the current picture, the status line offers the
  // maps that show it; otherwise an offer standing is taken back, with its status text.
  void OfferAfterUpdate(Point world);
  // After the map or its corners changed: an offer whose point the current picture now shows is taken
  // back, with its status text.
  void RecheckOffer();
  // The status line's button, hidden while nothing is offered.
  QToolButton* OfferButton() const { return offer_; }
  // Puts the button over the status panel, just left of neighbour (a control over the panel's right
  // end, in the same parent), and keeps it there as the two are laid out anew.
  void PlaceOffer(QWidget* statusPanel, QWidget* neighbour);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void MoveOffer();
  bool OutsideCurrentPicture(Point world) const;
  void TakeBackOffer();

  // The atlas of the current folders, refreshed (only changed map files are read again).
  Atlas& RefreshedAtlas();

  MapViewHost& host_;
  std::string settingsFile_;
  std::function<void(const std::string&, Point)> openMap_;
  std::unique_ptr<Atlas> atlas_;
  QToolButton* offer_ = nullptr;
  QMenu* offerMenu_ = nullptr;
  QWidget* statusPanel_ = nullptr;
  QWidget* neighbour_ = nullptr;
  Point offered_{};    // the point of the offer standing
  QString offerText_;  // the status text that came with it
};

}  // namespace orv
