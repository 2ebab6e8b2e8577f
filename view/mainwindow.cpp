#include "view/mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <limits>

#include "bookmarks/bookmarklayer.h"
#include "bookmarks/bookmarkswindow.h"
#include "core/mapinfo.h"
#include "core/numbers.h"
#include "maplinks/maplinklayer.h"
#include "maplinks/maplinkswindow.h"
#include "storage/inifile.h"
#include "storage/recentmaps.h"
#include "ui_mainwindow.h"
#include "view/atlasmenu.h"
#include "view/calibrationtool.h"
#include "view/directionswindow.h"
#include "view/fonts.h"
#include "view/inputmarks.h"
#include "view/mapnavigation.h"
#include "view/paintbox.h"
#include "view/positionfollowing.h"
#include "view/render.h"
#include "view/startfolderdialogs.h"
#include "view/text.h"
#include "view/zoomdialog.h"

// The glass pictures are resources of the application library; a static library must register them.
static void InitOrvantisResources() {
  Q_INIT_RESOURCE(orvantis);
}

namespace {

constexpr int kClientWidth = 601;  // the window's designed client area, below the menu bar
constexpr int kClientHeight = 349;

}  // namespace

// Sees the key presses of the main window before the focused control and hands them to FormKeyDown;
// the key then goes on to the control.
class TForm1::KeyPreview : public QObject {
 public:
  explicit KeyPreview(TForm1& form) : form_(form) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != &form_) return false;
    // A key press that the focused control leaves unused travels on to its parents; it is the same
    // event, and the window has seen it already at its first stop. A new event may reuse the address
    // of the last one (Ctrl pressed, then S, to the same box), so only a stop at a parent of the
    // first receiver counts as the same event.
    if (event == lastEvent_ && lastTarget_ && widget != lastTarget_ && widget->isAncestorOf(lastTarget_))
      return false;
    lastEvent_ = event;
    lastTarget_ = widget;
    const auto* key = static_cast<QKeyEvent*>(event);
    form_.FormKeyDown(key->key(), key->modifiers());
    return false;
  }

 private:
  TForm1& form_;
  const QEvent* lastEvent_ = nullptr;
  QPointer<QWidget> lastTarget_;
};

TForm1::TForm1(const orv::TForm1Config& config, QWidget* parent)
    : QMainWindow(parent),
      ui(new Ui::TForm1),
      startFolderDialogs_(std::make_unique<orv::StartFolderDialogs>(
          *config.dialogs, [this] { return session_.CurrentMapFile(); },
          config.rememberState ? config.settingsFile : std::string())),
      dialogs_(*startFolderDialogs_),
      pictureAhead_(config.pictureAhead),
      rememberState_(config.rememberState) {
  ui->setupUi(this);
  // The designed texts must fit their designed widths in whatever face this system has.
  orv::FitFontToWidth(ui->StatusPanel1, ".where  x: 5120  y: 4096", 126);
  orv::FitFontToWidth(ui->Label1, ui->Label1->text(), ui->Panel4->width() - 8);

  // The initial state: no map, zoom 100, the default corners, empty lists.
  random_.seed(config.randomSeed);
  closing_ = false;
  viewport_.SetCross({0, 0});
  viewport_.SetZoom(100);
  session_.SetCorners(orv::MapCorners{});
  settingsFile_ = config.settingsFile;

  LoadGlassPictures();
  BuildPopupMenu();
  bookmarkLayer_ = std::make_unique<orv::BookmarkLayer>(bookmarks_, *this, ui->Edit3, random_, [this] {
    form3_->FillBookmarkLists();
    BookmarksChanged();
  });
  mapLinkLayer_ = std::make_unique<orv::MapLinkLayer>(
      links_, *this, orv::MapLinkControls{ui->Panel4, ui->Edit8, LoadMapforMapLink1, N4});
  ui->PaintBox1->SetBuffer(&viewBuffer_);
  ConnectHandlers();
  navigation_ = std::make_unique<orv::MapNavigation>(
      *this, orv::NavigationControls{ui->PaintBox1, ui->StatusBar, ui->goback, ui->View1});
  BuildMapMakingMenu();
  inputMarks_ = std::make_unique<orv::InputMarks>(PanelBoxes());
  BuildFollowMenu();
  BuildOverview();
  BuildMapMenuItems();
  BuildFindAndViewItems();

  // The client area below the menu bar has the designed size; the window opens centred.
  resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
  if (QScreen* screen = this->screen())
    move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
  if (layout()) layout()->activate();
  FormResize();

  // The secondary windows, in the designed order. They live as long as this window and are only
  // shown and hidden; closing this window ends the program whatever they show.
  form2_ = new TForm2(this);
  form5_ = new TForm5(links_, *this, this);
  // The map links window lists the links as they are after every change; the user's own changes are
  // saved about a second later.
  connect(&links_.store, &orv::MapLinkStore::changed, form5_, &TForm5::FillMapLinksList);
  connect(&links_.store, &orv::MapLinkStore::edited, this, &TForm1::MapLinksChanged);
  form4_ = new TForm4(dialogs_, this);
  form3_ = new TForm3(
      bookmarks_, *this, [this] { BookmarksChanged(); }, random_, this);
  // The names drawn and the find box follow every change of the bookmarks; the user's own changes are
  // saved about a second later.
  connect(&bookmarks_, &orv::BookmarkStore::changed, this, &TForm1::BookmarkListsChanged);
  connect(&bookmarks_, &orv::BookmarkStore::edited, this, [this] { bookmarkSave_.Schedule(); });
  BuildBookmarksMenu();
  ArrangeMenus();
  for (QWidget* w : {static_cast<QWidget*>(form2_), static_cast<QWidget*>(form5_),
                     static_cast<QWidget*>(form4_), static_cast<QWidget*>(form3_)}) {
    if (!w->isWindow()) w->setWindowFlag(Qt::Window);
    w->setAttribute(Qt::WA_QuitOnClose, false);
  }
  if (rememberState_) RestoreWindowPlaces();
}

TForm1::~TForm1() {
  FormDestroy();
  // The secondary windows hold references to the state and to this window: they go first.
  delete form3_;
  delete form4_;
  delete form5_;
  delete form2_;
  if (qApp && keyPreview_) qApp->removeEventFilter(keyPreview_.get());
  // The tools over the map area ask this window for its controls while they go: before ui does.
  calibration_.reset();
  atlasMenu_.reset();
  delete ui;
}

void TForm1::LoadGlassPictures() {
  InitOrvantisResources();
  mag_ = QImage(QStringLiteral(":/glass.png")).convertToFormat(QImage::Format_RGB32);
  magmask_ = QImage(QStringLiteral(":/glass-mask.png")).convertToFormat(QImage::Format_RGB32);
}

void TForm1::BuildPopupMenu() {
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  auto item = [this](const char* name, const char* caption) {
    QAction* action = PopupMenu1->addAction(QString::fromLatin1(caption));
    action->setObjectName(name);
    return action;
  };
  auto separator = [this](const char* name) {
    QAction* action = PopupMenu1->addSeparator();
    action->setObjectName(name);
    return action;
  };
  LoadMapforMapLink1 = item("LoadMapforMapLink1", "Load Map for Map Link");
  N4 = separator("N4");
  AddBookmark1Menu = PopupMenu1->addMenu(QStringLiteral("Add Bookmark"));
  AddBookmark1Menu->setObjectName("AddBookmark1Menu");
  AddBookmark1 = AddBookmark1Menu->menuAction();
  AddBookmark1->setObjectName("AddBookmark1");
  CurrentMap1 = AddBookmark1Menu->addAction(QStringLiteral("Current Map"));
  CurrentMap1->setObjectName("CurrentMap1");
  Global1 = AddBookmark1Menu->addAction(QStringLiteral("Global"));
  Global1->setObjectName("Global1");
  BookmarkFontSetup1 = item("BookmarkFontSetup1", "Bookmark Font Setup...");
  ShowBookmarksWindow1 = item("ShowBookmarksWindow1", "Show Bookmarks Window");
  N3 = separator("N3");
  AddMapLink1 = item("AddMapLink1", "Add Map Link");
  ShowMapLinksWindow1 = item("ShowMapLinksWindow1", "Show Map Links Window");
  N2 = separator("N2");
  DirectionstoArea1 = item("DirectionstoArea1", "Directions to Area...");
  PastePosition1 = item("PastePosition1", "Paste Position");
  CopyPosition1 = item("CopyPosition1", "Copy Position");
  N1 = separator("N1");
  ZoomInOutMap1 = item("ZoomInOutMap1", "Zoom Map In/Out...");
  // Offered only while the pointer is over a map link area.
  LoadMapforMapLink1->setVisible(false);
  N4->setVisible(false);
  // Hidden before the chosen item acts, so a map loaded or a view moved by it reads the new place.
  connect(PopupMenu1, &QMenu::aboutToHide, this, [this] { PointerAfterPopupMenu(); });
}

void TForm1::ConnectHandlers() {
  connect(ui->Load1, &QAction::triggered, this, [this] { Load1Click(); });
  MapPastePosition1 = ui->Map1->addAction(QStringLiteral("Paste Position"));
  MapPastePosition1->setObjectName("MapPastePosition1");
  MapPastePosition1->setShortcut(QKeySequence::Paste);
  // The key itself is seen by the key preview, which leaves Ctrl+V to the text boxes.
  MapPastePosition1->setShortcutContext(Qt::WidgetShortcut);
  connect(MapPastePosition1, &QAction::triggered, this, [this] { PastePosition(); });
  connect(PastePosition1, &QAction::triggered, this, [this] { PastePosition(); });
  connect(CopyPosition1, &QAction::triggered, this, [this] { CopyPosition1Click(); });

  TPaintBox* box = ui->PaintBox1;
  // A click (or Tab) gives the map area the keyboard, so keys meant for the map stay out of the boxes.
  box->setFocusPolicy(Qt::StrongFocus);
  box->onPaint = [this] { PaintBox1Paint(); };
  box->onMouseDown = [this](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y) {
    PaintBox1MouseDown(button, modifiers, x, y);
  };
  box->onMouseMove = [this](Qt::KeyboardModifiers modifiers, int x, int y) {
    PaintBox1MouseMove(modifiers, x, y);
  };

  connect(
      ui->xscroll, &TPropScrollbar::Scroll, this,
      [this](orv::ScrollCode code, int& pos) { pos = xscrollScroll(code, pos); }, Qt::DirectConnection);
  connect(
      ui->yscroll, &TPropScrollbar::Scroll, this,
      [this](orv::ScrollCode code, int& pos) { pos = yscrollScroll(code, pos); }, Qt::DirectConnection);

  connect(ui->Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(ui->Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
  connect(ui->Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
  connect(ui->Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
  connect(ui->goback, &QPushButton::clicked, this, [this] { gobackClick(); });

  connect(LoadMapforMapLink1, &QAction::triggered, this, [this] { LoadMapforMapLink1Click(); });
  connect(CurrentMap1, &QAction::triggered, this, [this] { CurrentMap1Click(); });
  connect(Global1, &QAction::triggered, this, [this] { Global1Click(); });
  connect(BookmarkFontSetup1, &QAction::triggered, this, [this] { BookmarkFontSetup1Click(); });
  connect(ShowBookmarksWindow1, &QAction::triggered, this, [this] { ShowBookmarksWindow1Click(); });
  connect(AddMapLink1, &QAction::triggered, this, [this] { AddMapLink1Click(); });
  connect(ShowMapLinksWindow1, &QAction::triggered, this, [this] { ShowMapLinksWindow1Click(); });
  connect(DirectionstoArea1, &QAction::triggered, this, [this] { DirectionstoArea1Click(); });
  connect(ZoomInOutMap1, &QAction::triggered, this, [this] { ZoomInOutMap1Click(); });

  // Layout follows the client area; the two edit boxes over the map pass their keys to the window.
  ui->centralwidget->installEventFilter(this);
  ui->Edit3->installEventFilter(this);
  ui->Edit8->installEventFilter(this);
  keyPreview_ = std::make_unique<KeyPreview>(*this);
  qApp->installEventFilter(keyPreview_.get());
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui->centralwidget && event->type() == QEvent::Resize) {
    FormResize();
    return false;
  }
  if (event->type() == QEvent::KeyPress) {
    if (watched == ui->Edit3) return bookmarkLayer_->Edit3KeyPress(static_cast<QKeyEvent*>(event));
    if (watched == ui->Edit8) return mapLinkLayer_->Edit8KeyPress(static_cast<QKeyEvent*>(event));
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::CloseUnasked() {
  closeUnasked_ = true;
  close();
}

void TForm1::closeEvent(QCloseEvent* event) {
  // Work that only lives in a window is kept or dropped as the user says; a close nobody can answer
  // (a signal from the session) asks nothing.
  if (!closeUnasked_ && calibration_ && !calibration_->MayEnd()) {
    event->ignore();
    return;
  }
  // From here on the layout stays as it is.
  placesAtClose_ = SecondaryPlaces();
  closing_ = true;
  event->accept();
}

// ---- messages ------------------------------------------------------------------------------------

namespace {

// Holds the messages of one operation until it has finished, so that the user reads them with the
// window in its final state.
class MessageHold {
 public:
  MessageHold(int& depth, std::vector<QString>& pending, std::function<void(const QString&)> show)
      : depth_(depth), pending_(pending), show_(std::move(show)) {
    ++depth_;
  }
  ~MessageHold() {
    if (--depth_ > 0) return;
    std::vector<QString> messages;
    messages.swap(pending_);
    for (const QString& text : messages) show_(text);
  }

 private:
  int& depth_;
  std::vector<QString>& pending_;
  std::function<void(const QString&)> show_;
};

}  // namespace

void TForm1::ShowPendingMessages() {
  std::vector<QString> messages;
  messages.swap(pendingMessages_);
  for (const QString& text : messages) dialogs_.ShowMessage(isVisible() ? this : nullptr, text);
}

// ---- start-up and shutdown -----------------------------------------------------------------------

void TForm1::StartupLoading(const std::string& mapFile) {
  // Runs once every window exists (the designed program ran it as the bookmarks window's creation
  // step, the last of all); main() calls it before showing the window, so a message from loading the
  // last map comes before the window.
  const std::string& settings = settingsFile_;
  BookmarkFont() = orv::ReadBookmarkFont(settings);
  const orv::IniFile settingsRead = orv::LoadIniFile(settings);
  const orv::IniDocument& settingsDoc = settingsRead.document;
  // A settings file that exists but cannot be read (a folder or a pipe in its place, no permission)
  // is never written over: the user learns why the global bookmarks are missing and changes fail.
  if (settingsRead.unreadable) {
    pendingMessages_.push_back(QStringLiteral("Unable to read '") + orv::PathText(settings) +
                               QStringLiteral("'. The global bookmarks and settings it holds are not shown, "
                                              "and it is not written over."));
    ShowPendingMessages();
  }
  bookmarks_.LoadGlobal(settingsDoc, random_);
  const std::string last = mapFile.empty() ? orv::LastMap(settingsDoc) : mapFile;
  std::error_code error;
  // A name holding a NUL byte names no file (the system would stop reading it at that byte). A map
  // asked for by name is loaded even when missing, so that the user is told.
  if (!mapFile.empty() ||
      (!last.empty() && last.find('\0') == std::string::npos && std::filesystem::exists(last, error))) {
    // A corner value that is not an integer ends the map's loading with its message; the lists
    // below are still sorted and shown, so the global bookmarks are not hidden until the next load.
    if (LoadMap(last) == orv::LoadOutcome::Loaded) RestoreMapView(last);
  } else {
    viewport_.SetZoom(100);
    ui->PaintBox1->hide();
    session_.SetCorners(orv::MapCorners{});
  }
  bookmarks_.Sort();
  form3_->FillBookmarkLists();
  links_.store.Sort();
  following_->Resume();
}

void TForm1::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  const bool bookmarksPending = bookmarkSave_.Pending();
  bookmarkSave_.Cancel();
  mapLinkSave_.Cancel();

  MessageHold hold(messageHold_, pendingMessages_,
                   [this](const QString& text) { dialogs_.ShowMessage(nullptr, text); });
  reportedSaves_.clear();
  const std::string& settings = settingsFile_;
  const std::string& map = CurrentMapFile();
  if (!map.empty()) {
    if (!orv::WriteLastMap(settings, map)) ReportFailedSave(settings);
    SaveMapAndBookmarksTo(map);
  } else if (bookmarksPending) {
    // Global bookmarks changed while no map was loaded: their half of the save still runs.
    SaveBookmarksTo(map);
  }
  SaveRememberedState();
  if (!orv::WriteBookmarkFont(settings, BookmarkFont())) ReportFailedSave(settings);
}

// ---- loading a map -------------------------------------------------------------------------------

orv::LoadOutcome TForm1::LoadMap(std::string path) {
  MessageHold hold(messageHold_, pendingMessages_,
                   [this](const QString& text) { dialogs_.ShowMessage(isVisible() ? this : nullptr, text); });
  if (!LeaveCurrentMap()) return orv::LoadOutcome::Declined;
  const orv::MapLoadResult result = session_.Load(path, pictureAhead_);
  if (result.outcome == orv::LoadOutcome::Loaded) ShowLoadedMap(path, result);
  for (const std::string& text : result.messages) pendingMessages_.push_back(orv::PathText(text));
  return result.outcome;
}

void TForm1::ShowLoadedMap(const std::string& path, const orv::MapLoadResult& loaded) {
  const std::string& left = loaded.leftMap;
  MapPictureLoaded(left, loaded.overview);
  reportedSaves_.clear();
  mapLinkLayer_->ForgetMapLeft();
  bookmarkLayer_->CancelNameEdit();
  // Hidden while the new map is put in place; hiding takes the keyboard from it, which it gets back.
  const bool hadKeyboard = ui->PaintBox1->hasFocus();
  ui->PaintBox1->hide();
  viewport_.SetZoom(100);

  // The bookmarks and links of the map being left went into its own file before the load
  // (LeaveCurrentMap). The new map's bookmarks and links come from the file as read by the load,
  // unless that file is the one just saved (the current map loaded again).
  if (!left.empty() && orv::SameFile(left, path)) {
    const orv::IniDocument saved = orv::LoadIniFile(path).document;
    bookmarks_.LoadMap(saved);
    links_.store.Load(saved);
  } else {
    bookmarks_.LoadMap(loaded.document);
    links_.store.Load(loaded.document);
  }
  // Remembered at once: a run that ends without its shutdown saves still starts with this map. A
  // failure is told by the shutdown save, which writes the same key again.
  orv::WriteLastMap(settingsFile_, path);

  viewport_.SetPictureSize(MapImage().width(), MapImage().height());
  UpdateScrollRanges();
  setWindowTitle(orv::PathText(orv::MapWindowTitle(path)));
  bookmarks_.Sort();
  form3_->FillBookmarkLists();
  links_.store.Sort();
  ui->PaintBox1->show();
  if (hadKeyboard) ui->PaintBox1->setFocus();

  // The cross goes to the world point of the .where boxes.
  const orv::Point world{orv::IntOr(ui->Edit1->text().toStdString(), 0),
                         orv::IntOr(ui->Edit2->text().toStdString(), 0)};
  viewport_.SetCrossWorld(world, MapCorners());
  CenterViewOnCross();
  RefreshCoordinatePanels(0, 0, orv::PanelSource::FromWhereFields);
  atlasMenu_->RecheckOffer();  // an offer made on the map left stands only if this one lacks its point
  MapShown(path);
  navigation_->Jumped();
}

void TForm1::Load1Click() {
  orv::OpenFileRequest request;
  request.title = QStringLiteral("Load Map");
  request.filter = QStringLiteral("Orvantis Map Info Files (*.dem)");
  request.initialName = QStringLiteral("*.dem");
  if (const auto chosen = dialogs_.OpenFile(this, request)) LoadMap(orv::PathBytes(*chosen));
}

void TForm1::SetStatusText(int panel, const QString& text) {
  if (panel == 0) {
    statusHint_ = text;
    ui->StatusPanel0->setText(text.isEmpty() ? statusRest_ : text);
    return;
  }
  ui->StatusPanel1->setText(text);
}

QString TForm1::StatusText(int panel) const {
  return (panel == 0 ? ui->StatusPanel0 : ui->StatusPanel1)->text();
}
