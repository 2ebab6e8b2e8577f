// The map link layer: drawing a new link area with the pointer, naming it and choosing its target,
// the hover that finds the link under the pointer, following a link and going back.
//
// The state of a new link moves idle -> awaiting corner (LinkSelecting, after "Add Map Link") ->
// naming (the text panel shows, after the second-corner press) -> idle (Enter in the text box, or a
// press on the map that cancels). While an area is drawn its frame is inverted into the picture;
// NewLinkFrameDrawn says whether it is there, so every way out of the naming state leaves the picture
// as it was.
#include "maplinks/maplinklayer.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>

#include "core/mapinfo.h"
#include "maplinks/linkframe.h"
#include "view/dialogs.h"
#include "view/storabletext.h"
#include "view/text.h"

namespace orv {

MapLinkLayer::MapLinkLayer(MapLinkState& links, MapViewHost& host, const MapLinkControls& controls)
    : links_(links), host_(host), controls_(controls) {
  storeChanged_ = QObject::connect(&links_.store, &MapLinkStore::changed,
                                   [this] { areas_ = LinkAreaIndex::OfRecords(links_.store.MapLinks()); });
  areas_ = LinkAreaIndex::OfRecords(links_.store.MapLinks());
}

MapLinkLayer::~MapLinkLayer() {
  QObject::disconnect(storeChanged_);
}

bool MapLinkLayer::AwaitingText() const {
  return controls_.textPanel->isVisible();
}

void MapLinkLayer::InvertFrame(int X1, int Y1, int X2, int Y2) {
  orv::InvertFrame(host_.Session().Picture(), X1, Y1, X2, Y2);
}

void MapLinkLayer::AddMapLink1Click() {
  links_.LinkSelecting = true;
  const orv::Point corner = host_.Viewport().ZoomedToPicture(host_.PopupPoint());
  links_.NewLinkRect = {corner.x, corner.y, -1, -1};
  links_.NewLinkFrameDrawn = false;
}

void MapLinkLayer::LinkRubberBand(int X, int Y) {
  const orv::Point corner = host_.Viewport().ViewToPicture({X, Y});
  orv::LinkRect& r = links_.NewLinkRect;
  if (links_.NewLinkFrameDrawn) InvertFrame(r.x1, r.y1, r.x2, r.y2);
  InvertFrame(r.x1, r.y1, corner.x, corner.y);
  r.x2 = corner.x;
  r.y2 = corner.y;
  links_.NewLinkFrameDrawn = true;
  host_.RenderView();
}

void MapLinkLayer::LinkSecondCorner(int X, int Y) {
  links_.LinkSelecting = false;
  const orv::Point corner = host_.Viewport().ViewToPicture({X, Y});
  orv::LinkRect& r = links_.NewLinkRect;
  // The frame must stand where the area ends, so that removing it later restores the picture: a press
  // before any pointer movement has no frame yet, and a press away from the last movement's position
  // would leave the drawn frame behind.
  if (!links_.NewLinkFrameDrawn || r.x2 != corner.x || r.y2 != corner.y) {
    if (links_.NewLinkFrameDrawn) InvertFrame(r.x1, r.y1, r.x2, r.y2);
    InvertFrame(r.x1, r.y1, corner.x, corner.y);
    links_.NewLinkFrameDrawn = true;
    r.x2 = corner.x;
    r.y2 = corner.y;
    host_.RenderView();
  }

  // The panel centred on the press, kept inside the map area (the right and bottom limits first).
  QWidget* panel = controls_.textPanel;
  const MapViewport& viewport = host_.Viewport();
  int left = X - panel->width() / 2;
  if (left > viewport.AreaWidth() - panel->width()) left = viewport.AreaWidth() - panel->width();
  if (left < 0) left = 0;
  int top = Y - panel->height() / 2;
  if (top > viewport.AreaHeight() - panel->height()) top = viewport.AreaHeight() - panel->height();
  if (top < 0) top = 0;
  panel->move(host_.MapArea()->mapTo(panel->parentWidget(), QPoint(left, top)));

  QLineEdit* box = controls_.textBox;
  if (!box->validator()) box->setValidator(new orv::StorableTextValidator(box));
  box->clear();
  panel->show();
  panel->raise();
  box->setFocus();
}

void MapLinkLayer::CancelPendingLink() {
  if (links_.NewLinkFrameDrawn)
    InvertFrame(links_.NewLinkRect.x1, links_.NewLinkRect.y1, links_.NewLinkRect.x2, links_.NewLinkRect.y2);
  links_.NewLinkFrameDrawn = false;
  HideTextPanel();
  host_.RenderView();
}

void MapLinkLayer::HideTextPanel() {
  // The keyboard goes back to the map area, not on to the next box of the window.
  if (controls_.textPanel->isAncestorOf(controls_.textPanel->window()->focusWidget()))
    host_.MapArea()->setFocus();
  controls_.textPanel->hide();
}

bool MapLinkLayer::Edit8KeyPress(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
  HideTextPanel();
  const std::string text = orv::RecordBytes(controls_.textBox->text());

  orv::OpenFileRequest request;
  request.title = "Link to Map";
  request.filter = "Orvantis Map Info Files (*.dem)";
  request.initialName = "*.dem";
  if (!links_.LinkDialogFile.empty()) {
    request.startDirectory = QFileInfo(QFile::decodeName(links_.LinkDialogFile.c_str())).absolutePath();
  }
  const unsigned drawnOn = picturesForgotten_;
  const std::optional<QString> chosen = host_.dialogs().OpenFile(host_.DialogParent(), request);
  // Another map came in while the dialog was open (a later start handed one over): the area was drawn
  // on the map left, and its frame went with that map's picture.
  if (picturesForgotten_ != drawnOn) {
    if (chosen)
      host_.dialogs().ShowMessage(
          host_.DialogParent(),
          "Another map was opened while the link was being made: the link was not added.");
    host_.RenderView();
    return true;
  }
  if (chosen) {
    links_.LinkDialogFile = PathBytes(*chosen);
    const QString fileName = QFileInfo(*chosen).fileName();
    // A name with the separator or a line break in it would break the record and the map info file.
    if (orv::FitsInRecord(fileName)) {
      links_.store.Add(orv::MakeMapLinkRecord(links_.NewLinkRect, orv::RecordBytes(fileName), text));
    } else {
      host_.dialogs().ShowMessage(
          host_.DialogParent(),
          "Unable to link to '" + fileName + "'. Its name holds characters that a map link cannot store.");
    }
  }

  if (links_.NewLinkFrameDrawn)
    InvertFrame(links_.NewLinkRect.x1, links_.NewLinkRect.y1, links_.NewLinkRect.x2, links_.NewLinkRect.y2);
  links_.NewLinkFrameDrawn = false;
  host_.RenderView();
  return true;
}

const MapLink* MapLinkLayer::LinkAt(int X, int Y) const {
  const auto found = areas_.FirstHolding(host_.Viewport().ViewToPicture({X, Y}));
  return found ? &links_.store.at(*found) : nullptr;
}

void MapLinkLayer::FindLinkUnderPointer(int X, int Y) {
  ShowHover(LinkAt(X, Y), true);
}

void MapLinkLayer::RefreshLinkUnderPointer(int X, int Y) {
  const MapLink* link = LinkAt(X, Y);
  if ((link ? link->statusText : std::string()) == hoverText_) return;
  ShowHover(link, link || host_.StatusText(0) == orv::FromBytes(hoverText_));
}

void MapLinkLayer::ShowHover(const MapLink* link, bool setText) {
  hoverText_ = link ? link->statusText : std::string();
  if (link) links_.HoverLinkFile = link->targetFile;
  if (setText) host_.SetStatusText(0, orv::FromBytes(hoverText_));
  const bool overLink = !hoverText_.empty();
  if (overLink) {
    host_.MapArea()->setCursor(Qt::PointingHandCursor);
  } else {
    host_.MapArea()->unsetCursor();
  }
  controls_.loadItem->setVisible(overLink);
  controls_.loadSeparator->setVisible(overLink);
}

void MapLinkLayer::DrawLinkAreas(QImage& view, int ScrollX, int ScrollY) const {
  if (showAreas_) DrawLinkOutlines(view, areas_, host_.Viewport().ZoomPercent(), {ScrollX, ScrollY});
}

void MapLinkLayer::LoadMapforMapLink1Click() {
  // The target is looked for beside the current map info file, whatever directory it was chosen in.
  const std::string& current = host_.Session().CurrentMapFile();
  const std::string directory = current.substr(0, current.rfind('/') + 1);
  host_.LoadMap(ExistingFileAnyCase(directory + PathBytes(orv::FromBytes(links_.HoverLinkFile))));
}

void MapLinkLayer::gobackClick() {
  // A copy: the load moves the current map into PreviousMapFile while it still reads its path.
  const std::string previous = host_.Session().PreviousMapFile();
  if (!previous.empty()) host_.LoadMap(previous);
}

void MapLinkLayer::ForgetMapLeft() {
  ++picturesForgotten_;
  if (!hoverText_.empty()) ShowHover(nullptr, host_.StatusText(0) == orv::FromBytes(hoverText_));
  links_.HighlightRect = orv::LinkRect{};
  links_.NewLinkFrameDrawn = false;
  if (links_.LinkSelecting || !controls_.textPanel->isHidden()) {
    links_.LinkSelecting = false;
    links_.NewLinkRect = orv::LinkRect{};
    HideTextPanel();
  }
}

}  // namespace orv
