#include "view/mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <limits>

#include "bookmarks/bookmarkswindow.h"
#include "core/mapinfo.h"
#include "core/numbers.h"
#include "maplinks/maplinkswindow.h"
#include "storage/settings.h"
#include "view/fonts.h"
#include "ui_mainwindow.h"
#include "ui_zoomdialog.h"
#include "view/directionswindow.h"
#include "view/paintbox.h"
#include "view/picture.h"
#include "view/pictureahead.h"
#include "view/render.h"
#include "view/zoomdialog.h"

// The glass pictures are resources of the application library; a static library must register them.
static void InitOrvantisResources() {
  Q_INIT_RESOURCE(orvantis);
}

namespace {

constexpr int kClientWidth = 601;  // the window's designed client area, below the menu bar
constexpr int kClientHeight = 349;
constexpr int kPanel1Height = 109;  // the coordinate panels, aligned to the bottom

// Where the cross point lies in the glass picture, and how far each stroke of the cross reaches.
constexpr int kGlassCrossX = 26;
constexpr int kGlassCrossY = 27;
constexpr int kCrossReach = 5;
constexpr QRgb kCrossColour = 0xFFFFFFFFu;

// Paths are kept as bytes in the file system's own encoding.
QString PathText(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}
std::string PathBytes(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

int ClampToInt(long long v) {
  return static_cast<int>(
      std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// Max and PageSize of a scroll bar for a scaled picture length S and a map area length V.
void SetScrollRange(TPropScrollbar* bar, int32_t S, int32_t V, bool setPageAlways) {
  const int page = S / 6;
  if (S < V) {
    if (setPageAlways) bar->SetPageSize(page);
    bar->SetMax(0);
    return;
  }
  bar->SetPageSize(page);
  bar->SetMax(ClampToInt(static_cast<long long>(S) - V + page));
}

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
    : QMainWindow(parent), ui(new Ui::TForm1), dialogs_(*config.dialogs), pictureAhead_(config.pictureAhead) {
  ui->setupUi(this);
  // The designed texts must fit their designed widths in whatever face this system has.
  orv::FitFontToWidth(ui->StatusPanel1, ".where  x: 5120  y: 4096", 126);
  orv::FitFontToWidth(ui->Label1, ui->Label1->text(), ui->Panel4->width() - 8);

  // The initial state: no map, zoom 100, the default corners, empty lists.
  state_.random.seed(config.randomSeed);
  closing_ = false;
  state_.BookmarkFont = orv::BookmarkFontSpec{};
  state_.links = orv::MapLinkState{};
  state_.ViewBuffer = QImage();
  state_.MapImage = QImage();
  state_.bookmarks = orv::BookmarkLists{};
  state_.PreviousMapFile.clear();
  state_.CurrentMapFile.clear();
  state_.CrossX = 0;
  state_.CrossY = 0;
  state_.ZoomPercent = 100;
  state_.MapOutlineVisible = false;
  state_.links.LinkSelecting = false;
  state_.MapCorners = orv::MapCorners{};
  state_.settingsFile = config.settingsFile;

  LoadGlassPictures();
  BuildPopupMenu();
  ui->PaintBox1->SetBuffer(&state_.ViewBuffer);
  ConnectHandlers();

  bookmarkSaveTimer_.setSingleShot(true);
  bookmarkSaveTimer_.setInterval(1000);
  connect(&bookmarkSaveTimer_, &QTimer::timeout, this, &TForm1::SaveBookmarksNow);
  mapLinkSaveTimer_.setSingleShot(true);
  mapLinkSaveTimer_.setInterval(1000);
  connect(&mapLinkSaveTimer_, &QTimer::timeout, this, &TForm1::SaveMapLinksNow);

  // The client area below the menu bar has the designed size; the window opens centred.
  resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
  if (QScreen* screen = this->screen())
    move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
  if (layout()) layout()->activate();
  FormResize();

  // The secondary windows, in the designed order. They live as long as this window and are only
  // shown and hidden; closing this window ends the program whatever they show.
  form2_ = new TForm2(this);
  form5_ = new TForm5(state_, *this, this);
  form4_ = new TForm4(this);
  form3_ = new TForm3(state_, *this, this);
  for (QWidget* w : {static_cast<QWidget*>(form2_), static_cast<QWidget*>(form5_),
                     static_cast<QWidget*>(form4_), static_cast<QWidget*>(form3_)}) {
    if (!w->isWindow()) w->setWindowFlag(Qt::Window);
    w->setAttribute(Qt::WA_QuitOnClose, false);
  }
}

TForm1::~TForm1() {
  FormDestroy();
  // The secondary windows hold references to the state and to this window: they go first.
  delete form3_;
  delete form4_;
  delete form5_;
  delete form2_;
  if (qApp && keyPreview_) qApp->removeEventFilter(keyPreview_.get());
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
  N1 = separator("N1");
  ZoomInOutMap1 = item("ZoomInOutMap1", "Zoom Map In/Out...");
  // Offered only while the pointer is over a map link area.
  LoadMapforMapLink1->setVisible(false);
  N4->setVisible(false);
}

void TForm1::ConnectHandlers() {
  connect(ui->Load1, &QAction::triggered, this, [this] { Load1Click(); });

  TPaintBox* box = ui->PaintBox1;
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
    if (watched == ui->Edit3) return Edit3KeyPress(static_cast<QKeyEvent*>(event));
    if (watched == ui->Edit8) return Edit8KeyPress(static_cast<QKeyEvent*>(event));
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  // From here on the layout stays as it is.
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

void TForm1::ReportFailedSave(const std::string& path) {
  if (!reportedSaves_.insert(path).second) return;
  const QString text = QStringLiteral("Unable to save '") + PathText(path) +
                       QStringLiteral("'. Your changes to it could not be written.");
  pendingMessages_.push_back(text);
  if (messageHold_ == 0) ShowPendingMessages();
}

bool TForm1::SaveBookmarksTo(const std::string& mapFile) {
  std::string failed;
  if (orv::SaveBookmarks(state_.bookmarks, mapFile, state_.settingsFile, &failed)) return true;
  ReportFailedSave(failed.empty() ? state_.settingsFile : failed);
  return false;
}

// A save that reaches its files ends the loss the user was told about: the next failure of the same
// file is a new loss and is reported again.
void TForm1::SaveBookmarksNow() {
  if (!SaveBookmarksTo(state_.CurrentMapFile)) return;
  reportedSaves_.erase(state_.CurrentMapFile);
  reportedSaves_.erase(state_.settingsFile);
}

void TForm1::SaveMapLinksNow() {
  const std::string& map = state_.CurrentMapFile;
  if (map.empty()) return;
  if (orv::SaveMapLinks(state_.links.MapLinks, map))
    reportedSaves_.erase(map);
  else
    ReportFailedSave(map);
}

// ---- start-up and shutdown -----------------------------------------------------------------------

void TForm1::StartupLoading(const std::string& mapFile) {
  // Runs once every window exists (the designed program ran it as the bookmarks window's creation
  // step, the last of all); main() calls it before showing the window, so a message from loading the
  // last map comes before the window.
  const std::string& settings = state_.settingsFile;
  state_.BookmarkFont = orv::ReadBookmarkFont(settings);
  orv::LoadGlobalBookmarks(state_.bookmarks, settings, state_.random);
  const std::string last =
      mapFile.empty() ? orv::ReadSetting("General", "LastMapFilename", settings) : mapFile;
  std::error_code error;
  // A name holding a NUL byte names no file (the system would stop reading it at that byte). A map
  // asked for by name is loaded even when missing, so that the user is told.
  if (!mapFile.empty() ||
      (!last.empty() && last.find('\0') == std::string::npos && std::filesystem::exists(last, error))) {
    // A corner value that is not an integer ends the map's loading with its message; the lists
    // below are still sorted and shown, so the global bookmarks are not hidden until the next load.
    LoadMap(last);
  } else {
    state_.ZoomPercent = 100;
    ui->PaintBox1->hide();
    state_.MapCorners = orv::MapCorners{};
  }
  orv::SortBookmarks(state_.bookmarks);
  form3_->FillBookmarkLists();
  orv::SortMapLinks(state_.links.MapLinks);
  form5_->FillMapLinksList();
}

void TForm1::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  const bool bookmarksPending = bookmarkSaveTimer_.isActive();
  bookmarkSaveTimer_.stop();
  mapLinkSaveTimer_.stop();

  MessageHold hold(messageHold_, pendingMessages_,
                   [this](const QString& text) { dialogs_.ShowMessage(nullptr, text); });
  reportedSaves_.clear();
  const std::string& settings = state_.settingsFile;
  const std::string& map = state_.CurrentMapFile;
  if (!map.empty()) {
    if (!orv::WriteSetting("General", "LastMapFilename", settings, map)) ReportFailedSave(settings);
    SaveBookmarksTo(map);
    if (!orv::SaveMapLinks(state_.links.MapLinks, map)) ReportFailedSave(map);
  } else if (bookmarksPending) {
    // Global bookmarks changed while no map was loaded: their half of the save still runs.
    SaveBookmarksTo(map);
  }
  if (!orv::WriteBookmarkFont(settings, state_.BookmarkFont)) ReportFailedSave(settings);
}

// ---- loading a map -------------------------------------------------------------------------------

orv::LoadOutcome TForm1::LoadMap(std::string path) {
  MessageHold hold(messageHold_, pendingMessages_,
                   [this](const QString& text) { dialogs_.ShowMessage(isVisible() ? this : nullptr, text); });
  auto tell = [this](const std::string& text) { pendingMessages_.push_back(PathText(text)); };

  // The map info file: its first corner value, the picture beside it, then the other corners.
  const orv::MapInfo info = orv::ReadMapInfo(path, state_.MapCorners);
  if (info.status == orv::MapInfoStatus::NotAnInteger) {
    state_.MapCorners = info.corners;  // the values read before the bad one stay
    tell(info.message);
    return orv::LoadOutcome::CornerNotAnInteger;
  }
  if (info.status != orv::MapInfoStatus::Ok) {
    tell(info.message);
    return orv::LoadOutcome::Refused;
  }

  // The picture is decoded before anything else changes: one that cannot be read leaves the current
  // map loaded with its bookmarks and links.
  QImage picture;
  const auto ahead = pictureAhead_ ? pictureAhead_->Take(info.picturePath, picture) : std::nullopt;
  const orv::JpegResult decoded = ahead ? *ahead : orv::LoadPicture(info.picturePath, picture);
  if (decoded == orv::JpegResult::Unreadable || picture.isNull()) {
    tell("Unable to load image '" + orv::PictureNameForMessages(path) + "'. The picture could not be read.");
    return orv::LoadOutcome::Refused;
  }

  reportedSaves_.clear();
  state_.MapCorners = info.corners;
  state_.MapOutline = orv::OutlineOf(state_.MapCorners);
  // The new picture carries none of the marks drawn into the old one: no outline, no highlight of the
  // map links window, no frame of a link area being drawn or named.
  state_.MapOutlineVisible = false;
  state_.links.HighlightRect = orv::LinkRect{};
  ui->PaintBox1->hide();
  state_.ZoomPercent = 100;
  if (state_.links.LinkSelecting || !ui->Panel4->isHidden()) {
    state_.links.LinkSelecting = false;
    state_.links.NewLinkRect = orv::LinkRect{};
    ui->Panel4->hide();
  }

  // The bookmarks and links of the map being left go into its own file before the new ones load.
  const std::string left = state_.CurrentMapFile;
  if (!left.empty()) SaveBookmarksTo(left);
  orv::LoadMapBookmarks(state_.bookmarks, path);
  if (!left.empty() && !orv::SaveMapLinks(state_.links.MapLinks, left)) ReportFailedSave(left);
  orv::LoadMapLinks(state_.links.MapLinks, path);
  if (!left.empty()) state_.PreviousMapFile = left;
  state_.CurrentMapFile = path;
  // Remembered at once: a run that ends without its shutdown saves still starts with this map. A
  // failure is told by the shutdown save, which writes the same key again.
  orv::WriteSetting("General", "LastMapFilename", state_.settingsFile, path);

  state_.MapImage = std::move(picture);
  UpdateScrollRanges();
  setWindowTitle(PathText(orv::MapWindowTitle(path)));
  orv::SortBookmarks(state_.bookmarks);
  form3_->FillBookmarkLists();
  orv::SortMapLinks(state_.links.MapLinks);
  form5_->FillMapLinksList();
  ui->PaintBox1->show();

  // The cross goes to the world point of the .where boxes.
  const orv::Point world{orv::IntOr(ui->Edit1->text().toStdString(), 0),
                         orv::IntOr(ui->Edit2->text().toStdString(), 0)};
  if (const auto pixel = orv::WorldToMapPixel(state_.MapCorners, state_.ZoomPercent, world)) {
    state_.CrossX = pixel->x;
    state_.CrossY = pixel->y;
  }
  CenterViewOnCross();
  RefreshCoordinatePanels(0, 0, FromWhereFields);

  if (decoded == orv::JpegResult::Damaged)
    tell("The picture '" + orv::PictureNameForMessages(path) + "' is damaged; parts of it may be missing.");
  return orv::LoadOutcome::Loaded;
}

void TForm1::Load1Click() {
  orv::OpenFileRequest request;
  request.title = QStringLiteral("Load Map");
  request.filter = QStringLiteral("Orvantis Map Info Files (*.dem)");
  request.initialName = QStringLiteral("*.dem");
  if (const auto chosen = dialogs_.OpenFile(this, request)) LoadMap(PathBytes(*chosen));
}

// ---- the view ------------------------------------------------------------------------------------

int TForm1::MapAreaWidth() const {
  return ui->PaintBox1->width();
}
int TForm1::MapAreaHeight() const {
  return ui->PaintBox1->height();
}
int TForm1::ScrollX() const {
  return ui->xscroll->Position();
}
int TForm1::ScrollY() const {
  return ui->yscroll->Position();
}

void TForm1::SetStatusText(int panel, const QString& text) {
  (panel == 0 ? ui->StatusPanel0 : ui->StatusPanel1)->setText(text);
}

QString TForm1::StatusText(int panel) const {
  return (panel == 0 ? ui->StatusPanel0 : ui->StatusPanel1)->text();
}

void TForm1::RenderView(int X, int Y) {
  if (X == -1) {
    X = ScrollX();
    Y = ScrollY();
  }
  const int areaW = std::max(0, MapAreaWidth());
  const int areaH = std::max(0, MapAreaHeight());
  QImage& view = state_.ViewBuffer;
  if (view.width() != areaW || view.height() != areaH || view.format() != QImage::Format_RGB32)
    view = QImage(areaW, areaH, QImage::Format_RGB32);

  // Pictures put into the state by other means than a load are brought to the view's pixel format.
  QImage& picture = state_.MapImage;
  if (!picture.isNull() && picture.format() != QImage::Format_RGB32) picture.convertTo(QImage::Format_RGB32);

  const int32_t zoom = state_.ZoomPercent;
  const int32_t DW = std::min(areaW, orv::ScaledLength(picture.width(), zoom));
  const int32_t DH = std::min(areaH, orv::ScaledLength(picture.height(), zoom));
  orv::ComposeView(view, picture, orv::ViewSource(X, Y, DW, DH, zoom), DW, DH);
  DrawLocationCross(X, Y);
  DrawBookmarks(X, Y);
  ui->PaintBox1->ShowBuffer();
}

void TForm1::PaintBox1Paint() {
  RenderView(-1, 0);
}

int TForm1::MaxUsefulX() const {
  const int32_t S = orv::ScaledLength(state_.MapImage.width(), state_.ZoomPercent);
  return std::max(0, S - MapAreaWidth());
}

int TForm1::MaxUsefulY() const {
  const int32_t S = orv::ScaledLength(state_.MapImage.height(), state_.ZoomPercent);
  return std::max(0, S - MapAreaHeight());
}

void TForm1::UpdateScrollRanges() {
  const int32_t zoom = state_.ZoomPercent;
  SetScrollRange(ui->xscroll, orv::ScaledLength(state_.MapImage.width(), zoom), MapAreaWidth(), false);
  SetScrollRange(ui->yscroll, orv::ScaledLength(state_.MapImage.height(), zoom), MapAreaHeight(), false);
}

void TForm1::ScrollViewTo(int X, int Y) {
  X = std::min(std::max(X, 0), MaxUsefulX());
  Y = std::min(std::max(Y, 0), MaxUsefulY());
  ui->xscroll->SetPosition(X);
  ui->yscroll->SetPosition(Y);
  RenderView(-1, 0);
}

void TForm1::CenterViewOnCross() {
  ScrollViewTo(ClampToInt(static_cast<long long>(state_.CrossX) - MapAreaWidth() / 2),
               ClampToInt(static_cast<long long>(state_.CrossY) - MapAreaHeight() / 2));
}

int TForm1::xscrollScroll(orv::ScrollCode, int pos) {
  pos = std::max(0, std::min(pos, MaxUsefulX()));
  RenderView(pos, ScrollY());
  return pos;
}

int TForm1::yscrollScroll(orv::ScrollCode, int pos) {
  pos = std::max(0, std::min(pos, MaxUsefulY()));
  RenderView(ScrollX(), pos);
  return pos;
}

void TForm1::FormResize() {
  const int clientW = ui->centralwidget->width();
  const int clientH = ui->centralwidget->height();
  // The coordinate panels stay aligned to the bottom edge.
  ui->Panel1->setGeometry(0, clientH - kPanel1Height, clientW, kPanel1Height);
  if (closing_) return;

  // A window smaller than the fixed margins gives empty controls, never negative sizes.
  QFrame* panel2 = ui->Panel2;
  const int left = panel2->x(), top = panel2->y();
  const int panelW = std::max(0, clientW - left - 24);
  const int panelH = std::max(0, ui->Panel1->y() - top - 52);
  panel2->setGeometry(left, top, panelW, panelH);
  ui->PaintBox1->setGeometry(1, 1, std::max(0, panelW - 2), std::max(0, panelH - 2));

  ui->xscroll->setGeometry(left + 1, top + panelH + 1, std::max(0, panelW - 2), 16);
  ui->yscroll->setGeometry(left + panelW + 1, top + 1, 16, std::max(0, panelH - 2));

  const int statusTop = ui->xscroll->y() + 20;
  const int statusW = ui->yscroll->x() - left + 16;
  const int firstW = std::max(0, statusW - 130);
  ui->StatusBar->setGeometry(left, statusTop, statusW, 20);
  ui->StatusPanel0->setGeometry(0, 0, firstW, 20);
  // The last panel of a status line takes what the first one leaves.
  ui->StatusPanel1->setGeometry(firstW + 2, 0, std::max(0, statusW - firstW - 2), 20);
  ui->goback->setGeometry(left + firstW - 49, statusTop + 3, 48, 16);

  const int32_t zoom = state_.ZoomPercent;
  const int32_t SX = orv::ScaledLength(state_.MapImage.width(), zoom);
  const int32_t SY = orv::ScaledLength(state_.MapImage.height(), zoom);
  SetScrollRange(ui->xscroll, SX, MapAreaWidth(), true);
  SetScrollRange(ui->yscroll, SY, MapAreaHeight(), true);
  if (ScrollX() > MaxUsefulX()) ui->xscroll->SetPosition(MaxUsefulX());
  if (ScrollY() > MaxUsefulY()) ui->yscroll->SetPosition(MaxUsefulY());
}

// ---- zoom ----------------------------------------------------------------------------------------

void TForm1::ZoomInOutMap1Click() {
  form4_->ui->Edit1->setText(QString::number(state_.ZoomPercent));
  if (form4_->exec() == QDialog::Accepted) ApplyZoom(form4_->ui->Edit1->text());
}

void TForm1::ApplyZoom(const QString& text) {
  const int32_t oldZoom = state_.ZoomPercent;
  const orv::Point oldCross{state_.CrossX, state_.CrossY};
  const auto world = orv::MapPixelToWorld(state_.MapCorners, oldZoom, oldCross);

  // Zooms below 1 cannot be drawn; like text that is not a number they give 100.
  const auto typed = orv::ParseInt(text.toStdString());
  state_.ZoomPercent = typed && *typed >= 1 ? *typed : 100;
  UpdateScrollRanges();

  std::optional<orv::Point> cross;
  if (world) cross = orv::WorldToMapPixel(state_.MapCorners, state_.ZoomPercent, *world);
  if (!cross) {
    // Corners without a usable world conversion, or a pixel beyond 32 bits: the cross keeps its
    // picture pixel instead.
    const long double factor = static_cast<long double>(state_.ZoomPercent) / oldZoom;
    cross = orv::Point{ClampToInt(static_cast<long long>(oldCross.x * factor)),
                       ClampToInt(static_cast<long long>(oldCross.y * factor))};
  }
  state_.CrossX = cross->x;
  state_.CrossY = cross->y;
  CenterViewOnCross();
}

// ---- the cross and the glass ---------------------------------------------------------------------

void TForm1::DrawLocationCross(int scrollX, int scrollY) {
  QImage& view = state_.ViewBuffer;
  if (view.isNull()) return;
  const long long vx = static_cast<long long>(state_.CrossX) - scrollX;
  const long long vy = static_cast<long long>(state_.CrossY) - scrollY;
  // Nothing of the glass reaches the view from further away than its own size.
  const long long reach = std::max(mag_.width(), mag_.height()) + kCrossReach;
  if (vx < -reach || vy < -reach || vx > view.width() + reach || vy > view.height() + reach) return;
  const int x = static_cast<int>(vx), y = static_cast<int>(vy);

  DrawMagnifierGlass(x, y, view);

  // Two white diagonals of 11 pixels crossing at the cross point, clipped to the view.
  auto plot = [&view](int px, int py) {
    if (px < 0 || py < 0 || px >= view.width() || py >= view.height()) return;
    reinterpret_cast<QRgb*>(view.scanLine(py))[px] = kCrossColour;
  };
  for (int i = -kCrossReach; i <= kCrossReach; ++i) {
    plot(x + i, y + i);
    plot(x + i, y - i);
  }
}

void TForm1::DrawMagnifierGlass(int x, int y, QImage& target) {
  BlitMasked(target, x - kGlassCrossX, y - kGlassCrossY, mag_, magmask_);
}

void TForm1::BlitMasked(QImage& target, int left, int top, const QImage& picture, const QImage& mask) {
  if (target.isNull() || picture.isNull() || mask.size() != picture.size() || target.depth() != 32) return;
  const QImage pic =
      picture.format() == QImage::Format_RGB32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
  const QImage msk =
      mask.format() == QImage::Format_RGB32 ? mask : mask.convertToFormat(QImage::Format_RGB32);
  const long long w = pic.width(), h = pic.height();
  const long long x0 = std::max(0LL, -static_cast<long long>(left));
  const long long y0 = std::max(0LL, -static_cast<long long>(top));
  const long long x1 = std::min(w, static_cast<long long>(target.width()) - left);
  const long long y1 = std::min(h, static_cast<long long>(target.height()) - top);
  for (long long r = y0; r < y1; ++r) {
    const QRgb* p = reinterpret_cast<const QRgb*>(pic.constScanLine(static_cast<int>(r)));
    const QRgb* m = reinterpret_cast<const QRgb*>(msk.constScanLine(static_cast<int>(r)));
    QRgb* t = reinterpret_cast<QRgb*>(target.scanLine(static_cast<int>(top + r))) + left;
    for (long long c = x0; c < x1; ++c) {
      // White in the mask lets the view show through; any other colour lays the picture's pixel.
      if ((m[c] & 0x00FFFFFFu) != 0x00FFFFFFu) t[c] = p[c] | 0xFF000000u;
    }
  }
}
