// What the program remembers between runs besides the maps' own data: where its windows were, how
// each map was last viewed and the recently loaded maps; with them Map > Open Recent and Map > Quit,
// and the status line letting go of the pointer's position when the pointer leaves the map.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <array>
#include <filesystem>
#include <utility>

#include "bookmarks/bookmarkswindow.h"
#include "maplinks/maplinkswindow.h"
#include "storage/recentmaps.h"
#include "storage/windowstate.h"
#include "ui_mainwindow.h"
#include "view/directionswindow.h"
#include "view/mainwindow.h"
#include "view/overviewwidget.h"
#include "view/text.h"
#include "view/zoomsteps.h"

namespace {

orv::DesktopRect ToDesktop(const QRect& r) {
  return {r.x(), r.y(), r.width(), r.height()};
}

// The area each screen leaves to windows, the primary screen first.
std::vector<orv::DesktopRect> AvailableScreens() {
  std::vector<orv::DesktopRect> screens;
  QScreen* primary = QGuiApplication::primaryScreen();
  if (primary) screens.push_back(ToDesktop(primary->availableGeometry()));
  for (QScreen* screen : QGuiApplication::screens())
    if (screen != primary) screens.push_back(ToDesktop(screen->availableGeometry()));
  return screens;
}

// The secondary windows whose places are kept, under their keys.
std::array<std::pair<std::string_view, QWidget*>, 3> SecondaryWindows(TForm1& form) {
  return {{{orv::DirectionsWindowKey, form.form2()},
           {orv::BookmarksWindowKey, form.form3()},
           {orv::MapLinksWindowKey, form.form5()}}};
}

// How the viewport shows the map now: its zoom and the picture pixel at the middle of the map area.
// Nothing for a zoom outside what the zoom dialog accepts.
std::optional<orv::MapView> ViewNow(const orv::MapViewport& viewport) {
  const int32_t zoom = viewport.ZoomPercent();
  if (zoom < orv::MinZoomPercent || zoom > orv::MaxZoomPercent) return std::nullopt;
  // The middle of the area, kept on the picture when the picture is smaller than the area.
  auto middle = [](int32_t origin, int32_t area, int32_t scaled) {
    return std::clamp<int64_t>(int64_t(origin) + area / 2, 0, std::max(0, scaled - 1));
  };
  const orv::Point zoomed{
      int32_t(middle(viewport.Origin().x, viewport.AreaWidth(), viewport.ScaledWidth())),
      int32_t(middle(viewport.Origin().y, viewport.AreaHeight(), viewport.ScaledHeight()))};
  return orv::MapView{zoom, viewport.ZoomedToPicture(zoomed)};
}

// Sees the pointer leave the map area.
class PointerLeave : public QObject {
 public:
  PointerLeave(QWidget* area, std::function<void()> left) : QObject(area), left_(std::move(left)) {
    area->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Leave) left_();
    return false;
  }

 private:
  std::function<void()> left_;
};

// Keeps the view centred on a picture pixel while the window takes its size at its first showing (a
// window manager maximises a window only once it is shown). It lets go at the user's first press, key
// or wheel in the window, or once something else has moved the view.
class StartCentre : public QObject {
 public:
  StartCentre(TForm1& form, QWidget* area, orv::Point centre)
      : QObject(&form), form_(form), area_(area), centre_(centre), expected_(form.Viewport().Origin()) {
    area->installEventFilter(this);
    qApp->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::Resize:
        // After the window's own handling of the new size.
        if (watched == area_) QTimer::singleShot(0, this, [this] { Recentre(); });
        break;
      case QEvent::MouseButtonPress:
      case QEvent::KeyPress:
      case QEvent::Wheel:
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->window() == &form_)
          deleteLater();
        break;
      default:
        break;
    }
    return false;
  }

 private:
  void Recentre() {
    const orv::MapViewport& view = form_.Viewport();
    // A resize only pulls the origin back into range; any other origin was chosen by someone else.
    const orv::Point resized{std::min(expected_.x, view.MaxOriginX()),
                             std::min(expected_.y, view.MaxOriginY())};
    if (!(view.Origin() == resized)) {
      deleteLater();
      return;
    }
    form_.CenterViewOn(view.PictureToZoomed(centre_));
    expected_ = view.Origin();
  }

  TForm1& form_;
  QWidget* area_;
  orv::Point centre_;    // picture pixel
  orv::Point expected_;  // the view origin as last centred, zoomed map pixels
};

}  // namespace

// ---- menus ---------------------------------------------------------------------------------------

void TForm1::BuildMapMenuItems() {
  // Open Recent follows Load...; Quit ends the menu.
  OpenRecent1Menu = new QMenu(QStringLiteral("Open Recent"), this);
  OpenRecent1Menu->setObjectName("OpenRecent1Menu");
  OpenRecent1Menu->menuAction()->setObjectName("OpenRecent1");
  const QList<QAction*> items = ui->Map1->actions();
  const qsizetype load = items.indexOf(ui->Load1);
  ui->Map1->insertMenu(load + 1 < items.size() ? items[load + 1] : nullptr, OpenRecent1Menu);
  FillOpenRecentMenu();

  ui->Map1->addSeparator();
  Quit1 = ui->Map1->addAction(QStringLiteral("Quit"));
  Quit1->setObjectName("Quit1");
  Quit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(Quit1, &QAction::triggered, this, &QWidget::close);

  new PointerLeave(ui->PaintBox1, [this] { SetStatusText(1, QString()); });
}

void TForm1::FillOpenRecentMenu() {
  OpenRecent1Menu->clear();
  const std::vector<std::string> paths = orv::RecentMaps(settingsFile_).Paths();
  for (std::size_t i = 0; i < paths.size(); ++i) {
    // "&1" to "&9" and "1&0" choose by key; an "&" of the path itself is shown as it is.
    const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
    const QString shown = orv::MenuText(QDir::toNativeSeparators(orv::PathText(paths[i])));
    QAction* item = OpenRecent1Menu->addAction(number + ' ' + shown);
    item->setObjectName(QStringLiteral("OpenRecentMap%1").arg(i + 1));
    connect(item, &QAction::triggered, this, [this, path = paths[i]] { OpenRecentMap(path); });
  }
  OpenRecent1Menu->setEnabled(!paths.empty());
}

void TForm1::OpenRecentMap(const std::string& path) {
  std::error_code error;
  if (path.find('\0') == std::string::npos && std::filesystem::exists(path, error)) {
    LoadMap(path);
    return;
  }
  orv::RecentMaps(settingsFile_).Remove(path);
  FillOpenRecentMenu();
  dialogs_.ShowMessage(this,
                       QStringLiteral("The map '") + orv::PathText(path) +
                           QStringLiteral("' is no longer there. It has been removed from Open Recent."));
}

// ---- loads ---------------------------------------------------------------------------------------

void TForm1::MapPictureLoaded(const std::string& leftMap, const orv::Overview& overview) {
  if (rememberState_ && !leftMap.empty()) {
    // The viewport still shows the map being left.
    if (const auto view = ViewNow(viewport_)) orv::WindowState(settingsFile_).RememberView(leftMap, *view);
  }
  overview_->PictureLoaded(overview);
}

void TForm1::MapShown(const std::string& path) {
  if (!rememberState_) return;
  // Kept at once, like the last map; a failure shows at the shutdown saves, which write the file again.
  orv::RecentMaps(settingsFile_).Add(path);
  FillOpenRecentMenu();
}

void TForm1::RestoreMapView(const std::string& path) {
  if (!rememberState_) return;
  const std::optional<orv::MapView> view = orv::WindowState(settingsFile_).ViewOf(path);
  if (!view) return;
  // As a zoom chosen in the zoom dialog: the cross keeps its world point.
  viewport_.ChangeZoomKeepingCross(view->zoomPercent, MapCorners());
  UpdateScrollRanges();
  CenterViewOn(viewport_.PictureToZoomed(view->centre));
  if (!isVisible()) new StartCentre(*this, ui->PaintBox1, view->centre);
}

// ---- windows -------------------------------------------------------------------------------------

void TForm1::RestoreWindowPlaces() {
  const orv::WindowState state(settingsFile_);
  const std::vector<orv::DesktopRect> screens = AvailableScreens();
  const std::optional<orv::WindowPlace> main = state.Place(orv::MainWindowKey);
  const orv::DesktopRect area =
      orv::MainWindowGeometry(main ? std::optional(main->normal) : std::nullopt, screens);
  setGeometry(area.x, area.y, area.width, area.height);
  if (main && main->maximised) setWindowState(windowState() | Qt::WindowMaximized);
  // The map area takes the new size now, so that a map loaded before the window shows is centred in it.
  // (A hidden window gets no resize events; its layout is redone by hand.)
  if (layout()) {
    layout()->invalidate();
    layout()->activate();
  }
  FormResize();

  // The secondary windows keep their designed sizes; a place no screen shows is not taken.
  for (const auto& [key, window] : SecondaryWindows(*this)) {
    const std::optional<orv::WindowPlace> place = state.Place(key);
    if (!place) continue;
    const orv::DesktopRect at{place->normal.x, place->normal.y, window->width(), window->height()};
    if (orv::LiesOnScreens(at, screens)) window->setGeometry(at.x, at.y, at.width, at.height);
  }
}

std::vector<std::pair<std::string_view, QRect>> TForm1::SecondaryPlaces() {
  std::vector<std::pair<std::string_view, QRect>> places;
  // A window never shown keeps the place remembered before.
  for (const auto& [key, window] : SecondaryWindows(*this))
    if (window->testAttribute(Qt::WA_WState_Created)) places.emplace_back(key, window->geometry());
  return places;
}

void TForm1::SaveRememberedState() {
  if (!rememberState_) return;
  orv::WindowState state(settingsFile_);
  const bool maximised = isMaximized();
  bool written =
      state.SetPlace(orv::MainWindowKey, {ToDesktop(maximised ? normalGeometry() : geometry()), maximised});
  for (const auto& [key, place] : closing_ ? placesAtClose_ : SecondaryPlaces())
    written = state.SetPlace(key, {ToDesktop(place), false}) && written;
  if (!CurrentMapFile().empty())
    if (const auto view = ViewNow(viewport_))
      written = state.RememberView(CurrentMapFile(), *view) && written;
  if (!written) ReportFailedSave(settingsFile_);
}
