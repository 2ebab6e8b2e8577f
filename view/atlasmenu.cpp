#include "view/atlasmenu.h"

#include <QEvent>
#include <QMenu>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <filesystem>

#include "core/atlas.h"
#include "storage/appsettings.h"
#include "view/dialogs.h"
#include "view/mapviewhost.h"
#include "view/text.h"

namespace orv {
std::vector<std::string> AtlasFolders(const std::vector<std::string>& chosen, const std::string& currentMap) {
  if (!chosen.empty() || currentMap.empty()) return chosen;
  return {std::filesystem::path(currentMap).parent_path().string()};
}

bool OutsidePicture(const MapCorners& corners, int width, int height, Point world) {
  const auto pixel = WorldToMapPixel(corners, 100, world);
  return !pixel || pixel->x < 0 || pixel->y < 0 || pixel->x >= width || pixel->y >= height;
}

AtlasMenu::AtlasMenu(MapViewHost& host, std::string settingsFile,
                     std::function<void(const std::string&, Point)> openMap)
    : host_(host), settingsFile_(std::move(settingsFile)), openMap_(std::move(openMap)) {
  offer_ = new QToolButton;
  offer_->setObjectName("MapsShowingPoint2");
  offer_->setText("Maps Showing This Point");
  offer_->setPopupMode(QToolButton::InstantPopup);
  offerMenu_ = new QMenu(offer_);
  offerMenu_->setObjectName("MapsShowingPointOffer");
  offer_->setMenu(offerMenu_);
  offer_->hide();
}

AtlasMenu::~AtlasMenu() {
  // The button belongs to the window it was placed in, unless it was never placed.
  if (offer_ && !offer_->parent()) delete offer_;
}

Atlas& AtlasMenu::RefreshedAtlas() {
  const auto folders =
      AtlasFolders(AppSettings(settingsFile_).MapsFolders(), host_.Session().CurrentMapFile());
  if (!atlas_ || atlas_->folders() != folders) atlas_ = std::make_unique<Atlas>(folders);
  atlas_->Refresh();
  return *atlas_;
}

void AtlasMenu::ChooseFolders() {
  AppSettings settings(settingsFile_);
  const auto chosen = settings.MapsFolders();
  const QString start = chosen.empty() ? QString() : PathText(chosen.front());
  const auto folders = host_.dialogs().ChooseFolders(host_.DialogParent(), "Maps Folders", start);
  if (!folders) return;
  std::vector<std::string> paths;
  for (const QString& folder : *folders) paths.push_back(PathBytes(folder));
  if (paths.size() > AppSettings::MaxMapsFolders) {
    host_.dialogs().ShowMessage(
        host_.DialogParent(),
        QString("At most %1 maps folders can be chosen. The maps folders stay as they were.")
            .arg(AppSettings::MaxMapsFolders));
    return;
  }
  if (!settings.SetMapsFolders(paths)) {
    host_.dialogs().ShowMessage(host_.DialogParent(), "Unable to save '" + PathText(settingsFile_) +
                                                          "'. The maps folders stay as they were.");
    return;
  }
  const Atlas& atlas = RefreshedAtlas();
  host_.dialogs().ShowMessage(host_.DialogParent(), MapsFoundText(atlas.maps().size(), atlas.skipped()));
}

QString MapsFoundText(std::size_t found, const std::vector<SkippedMap>& skipped) {
  QString text = QString("Maps found in the maps folders: %1.").arg(found);
  if (skipped.empty()) return text;
  text += QString("\n\n%1 map info files could not be used:").arg(skipped.size());
  for (std::size_t i = 0; i < std::min(skipped.size(), kSkippedListed); ++i)
    text += "\n" + PathText(skipped[i].mapInfoPath) + ": " + PathText(skipped[i].reason);
  if (skipped.size() > kSkippedListed)
    text += QString("\n... and %1 more.").arg(skipped.size() - kSkippedListed);
  return text;
}

int AtlasMenu::FillMenu(QMenu* menu, Point world) {
  menu->clear();
  const auto maps = RefreshedAtlas().MapsShowing(world);
  const std::string& current = host_.Session().CurrentMapFile();
  for (const AtlasMap* map : maps) {
    const std::string path = map->mapInfoPath;
    QString caption = MenuText(PathText(std::filesystem::path(path).stem().string()));
    if (path == current) caption += "  (this map)";
    QAction* action = menu->addAction(caption);
    action->setToolTip(PlainTip(PathText(path)));
    action->setStatusTip(PathText(path));
    connect(action, &QAction::triggered, this, [this, path, world] {
      TakeBackOffer();
      openMap_(path, world);
    });
  }
  if (maps.empty()) menu->addAction("No map shows this point")->setEnabled(false);
  menu->setToolTipsVisible(true);
  return static_cast<int>(maps.size());
}

QMenu* AtlasMenu::NewSubmenu(QWidget* parent, std::function<Point()> worldAt) {
  auto* menu = new QMenu("Maps Showing This Point", parent);
  menu->setObjectName("MapsShowingPoint1Menu");
  menu->menuAction()->setObjectName("MapsShowingPoint1");
  connect(menu, &QMenu::aboutToShow, this, [this, menu, worldAt] { FillMenu(menu, worldAt()); });
  return menu;
}

bool AtlasMenu::OutsideCurrentPicture(Point world) const {
  const MapSession& session = host_.Session();
  const QImage& picture = session.Picture();
  return !session.CurrentMapFile().empty() &&
         OutsidePicture(session.Corners(), picture.width(), picture.height(), world);
}

void AtlasMenu::OfferAfterUpdate(Point world) {
  if (!OutsideCurrentPicture(world)) {
    TakeBackOffer();
    return;
  }
  const int count = FillMenu(offerMenu_, world);
  offered_ = world;
  offerText_ = count == 0 ? QString("This point lies outside the map, and no other map shows it.")
                          : QString("This point lies outside the map; %1 of your maps show it.").arg(count);
  host_.SetStatusText(0, offerText_);
  offer_->setVisible(count > 0);
  offer_->raise();
}

void AtlasMenu::RecheckOffer() {
  if (!offerText_.isEmpty() && !OutsideCurrentPicture(offered_)) TakeBackOffer();
}

void AtlasMenu::TakeBackOffer() {
  offer_->hide();
  // The text goes too, unless something else has been said since.
  if (!offerText_.isEmpty() && host_.StatusText(0) == offerText_) host_.SetStatusText(0, QString());
  offerText_.clear();
}

void AtlasMenu::PlaceOffer(QWidget* statusPanel, QWidget* neighbour) {
  statusPanel_ = statusPanel;
  neighbour_ = neighbour;
  offer_->setParent(statusPanel->parentWidget());
  offer_->hide();
  statusPanel->installEventFilter(this);
  neighbour->installEventFilter(this);
  MoveOffer();
}

void AtlasMenu::MoveOffer() {
  const QRect panel = statusPanel_->geometry();
  // The button's own size leaves no room for the arrow that marks its menu, which the style draws over
  // the end of the caption.
  const QSize wanted =
      offer_->sizeHint() +
      QSize(offer_->style()->pixelMetric(QStyle::PM_MenuButtonIndicator, nullptr, offer_), 0);
  const int right = neighbour_->geometry().left() - 2;
  const QSize size = wanted.boundedTo(QSize(std::max(0, right - panel.left()), panel.height()));
  offer_->setGeometry(right - size.width(), panel.top(), size.width(), panel.height());
}

bool AtlasMenu::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == statusPanel_ || watched == neighbour_) &&
      (event->type() == QEvent::Resize || event->type() == QEvent::Move))
    MoveOffer();
  return false;
}

}  // namespace orv
