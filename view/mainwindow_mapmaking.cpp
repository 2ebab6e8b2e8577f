// Map making on the main window: a new map from a picture, the calibration assistant, and the atlas
// of the maps in the player's maps folders.
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <filesystem>

#include "core/newmap.h"
#include "core/positiontext.h"
#include "ui_mainwindow.h"
#include "view/atlasmenu.h"
#include "view/calibrationtool.h"
#include "view/coordinatepanels.h"
#include "view/mainwindow.h"
#include "view/mapnavigation.h"
#include "view/text.h"

void TForm1::BuildMapMakingMenu() {
  calibration_ = std::make_unique<orv::CalibrationTool>(
      *this, [this] { PlaceCrossFromWhereFields(); }, [this] { ReloadMapCorners(); });
  atlasMenu_ = std::make_unique<orv::AtlasMenu>(
      *this, settingsFile_, [this](const std::string& map, orv::Point world) { LoadMapAt(map, world); });
  // Left of the zoom panel, which stands left of "Go Back" over the end of the first status panel.
  atlasMenu_->PlaceOffer(ui->StatusPanel0, navigation_->ZoomStatus());

  auto add = [this](const char* name, const char* caption, void (TForm1::*handler)()) {
    QAction* action = ui->Map1->addAction(QString::fromLatin1(caption));
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return action;
  };
  ui->Map1->addSeparator();
  add("NewMapFromPicture1", "New Map from Picture...", &TForm1::NewMapFromPicture1Click);
  add("CalibrateMap1", "Calibrate Map...", &TForm1::CalibrateMap1Click);
  add("MapsFolders1", "Maps Folders...", &TForm1::MapsFolders1Click);

  // In the map pop-up, for the world point of the right click.
  QMenu* maps = atlasMenu_->NewSubmenu(PopupMenu1, [this] { return PopupWorldPoint(); });
  MapsShowingPoint1 = PopupMenu1->insertMenu(N1, maps);
}

void TForm1::NewMapFromPicture1Click() {
  orv::OpenFileRequest request;
  request.title = QStringLiteral("New Map from Picture");
  request.filter = QStringLiteral("JPEG Pictures (*.jpg *.JPG *.Jpg)");
  request.initialName = QStringLiteral("*.jpg");
  const auto chosen = dialogs_.OpenFile(this, request);
  if (!chosen) return;
  const orv::NewMap made = orv::NewMapFromPicture(orv::PathBytes(*chosen));
  switch (made.status) {
    case orv::NewMapStatus::Created:
      if (LoadMap(made.mapInfoPath) == orv::LoadOutcome::Loaded) {
        calibration_->Open();
      } else {
        // Not opened (the user chose to stay on the map shown): the file just made goes again, so
        // that the picture can still be made into a map later.
        std::error_code error;
        std::filesystem::remove(made.mapInfoPath, error);
      }
      return;
    case orv::NewMapStatus::AlreadyExists:
      // The existing file may hold a calibration and bookmarks: it is offered, never replaced.
      if (dialogs_.Ask(this, "The map info file '" + orv::PathText(made.mapInfoPath) +
                                 "' already exists for this picture. Open it instead?"))
        LoadMap(made.mapInfoPath);
      return;
    default:
      dialogs_.ShowMessage(this, orv::PathText(made.message));
  }
}

void TForm1::CalibrateMap1Click() {
  calibration_->Open();
}

void TForm1::MapsFolders1Click() {
  atlasMenu_->ChooseFolders();
}

bool TForm1::CalibrationTakesPress(int X, int Y) {
  return calibration_ && calibration_->MapPress({X, Y});
}

void TForm1::OfferMapsShowing(orv::Point world) {
  if (atlasMenu_) atlasMenu_->OfferAfterUpdate(world);
}

void TForm1::LoadMapAt(const std::string& mapInfoPath, orv::Point world) {
  if (mapInfoPath != CurrentMapFile() && LoadMap(mapInfoPath) != orv::LoadOutcome::Loaded) return;
  orv::TextPosition position;
  position.where = world;
  ShowPosition(position);
}

void TForm1::PlaceCrossFromWhereFields() {
  // As Ctrl+R places it, but the view stays where the user is working.
  const orv::Point world{orv::PanelNumber(ui->Edit1->text(), 1), orv::PanelNumber(ui->Edit2->text(), 1)};
  if (const auto pixel = viewport_.WorldToZoomed(world, MapCorners())) viewport_.SetCross(*pixel);
  atlasMenu_->RecheckOffer();
  RenderView();
}
