// The map link handlers of the main window: drawing a new link area with the pointer, naming it and
// choosing its target, the hover that finds the link under the pointer, following a link and going
// back, and the map links window's entry in the pop-up menu.
//
// The state of a new link moves idle -> awaiting corner (LinkSelecting, after "Add Map Link") ->
// naming (Panel4 shows, after the second-corner press) -> idle (Enter in Edit8, or a press on the map
// that cancels). While an area is drawn its frame is inverted into MapImage; NewLinkFrameDrawn says
// whether it is there, so every way out of the naming state leaves the picture as it was.
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>

#include "maplinks/linkframe.h"
#include "maplinks/maplinkswindow.h"
#include "view/storabletext.h"
#include "storage/fields.h"
#include "view/mainwindow.h"
#include "view/mainwindow_ui.h"
#include "view/text.h"

namespace {

// The picture pixel under the view position (X, Y).
orv::Point PictureAt(TForm1& main, int X, int Y) {
  return main.Viewport().ViewToPicture({X, Y});
}

}  // namespace

void TForm1::InvertFrame(int X1, int Y1, int X2, int Y2) {
  orv::InvertFrame(MapImage(), X1, Y1, X2, Y2);
}

void TForm1::AddMapLink1Click() {
  orv::MapLinkState& links = state().links;
  links.LinkSelecting = true;
  const orv::Point corner = Viewport().ZoomedToPicture(state().PopupPoint);
  links.NewLinkRect = {corner.x, corner.y, -1, -1};
  links.NewLinkFrameDrawn = false;
}

void TForm1::LinkRubberBand(int X, int Y) {
  orv::MapLinkState& links = state().links;
  const orv::Point corner = PictureAt(*this, X, Y);
  orv::LinkRect& r = links.NewLinkRect;
  if (links.NewLinkFrameDrawn) InvertFrame(r.x1, r.y1, r.x2, r.y2);
  InvertFrame(r.x1, r.y1, corner.x, corner.y);
  r.x2 = corner.x;
  r.y2 = corner.y;
  links.NewLinkFrameDrawn = true;
  RenderView();
}

void TForm1::LinkSecondCorner(int X, int Y) {
  orv::MapLinkState& links = state().links;
  links.LinkSelecting = false;
  const orv::Point corner = PictureAt(*this, X, Y);
  orv::LinkRect& r = links.NewLinkRect;
  // The frame must stand where the area ends, so that removing it later restores the picture: a press
  // before any pointer movement has no frame yet, and a press away from the last movement's position
  // would leave the drawn frame behind.
  if (!links.NewLinkFrameDrawn || r.x2 != corner.x || r.y2 != corner.y) {
    if (links.NewLinkFrameDrawn) InvertFrame(r.x1, r.y1, r.x2, r.y2);
    InvertFrame(r.x1, r.y1, corner.x, corner.y);
    links.NewLinkFrameDrawn = true;
    r.x2 = corner.x;
    r.y2 = corner.y;
    RenderView();
  }
  state().PopupPoint = Viewport().ViewToZoomed({X, Y});

  // The panel centred on the press, kept inside the map area (the right and bottom limits first).
  QWidget* panel = ui->Panel4;
  int left = X - panel->width() / 2;
  if (left > MapAreaWidth() - panel->width()) left = MapAreaWidth() - panel->width();
  if (left < 0) left = 0;
  int top = Y - panel->height() / 2;
  if (top > MapAreaHeight() - panel->height()) top = MapAreaHeight() - panel->height();
  if (top < 0) top = 0;
  panel->move(ui->PaintBox1->mapTo(panel->parentWidget(), QPoint(left, top)));

  if (!ui->Edit8->validator()) ui->Edit8->setValidator(new orv::StorableTextValidator(ui->Edit8));
  ui->Edit8->clear();
  panel->show();
  panel->raise();
  ui->Edit8->setFocus();
}

void TForm1::CancelPendingLink() {
  orv::MapLinkState& links = state().links;
  if (links.NewLinkFrameDrawn)
    InvertFrame(links.NewLinkRect.x1, links.NewLinkRect.y1, links.NewLinkRect.x2, links.NewLinkRect.y2);
  links.NewLinkFrameDrawn = false;
  ui->Panel4->hide();
  RenderView();
}

bool TForm1::Edit8KeyPress(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
  orv::MapLinkState& links = state().links;
  ui->Panel4->hide();
  const std::string text = orv::RecordBytes(ui->Edit8->text());

  orv::OpenFileRequest request;
  request.title = "Link to Map";
  request.filter = "Orvantis Map Info Files (*.dem)";
  request.initialName = "*.dem";
  if (!links.LinkDialogFile.empty()) {
    request.startDirectory = QFileInfo(QFile::decodeName(links.LinkDialogFile.c_str())).absolutePath();
  }
  if (const std::optional<QString> chosen = dialogs().OpenFile(this, request)) {
    links.LinkDialogFile = QFile::encodeName(*chosen).toStdString();
    const QString fileName = QFileInfo(*chosen).fileName();
    // A name with the separator or a line break in it would break the record and the map info file.
    if (orv::FitsInRecord(fileName)) {
      links.MapLinks.push_back(orv::MakeMapLinkRecord(links.NewLinkRect, orv::RecordBytes(fileName), text));
      orv::SortMapLinks(links.MapLinks);
      form5()->FillMapLinksList();
      MapLinksChanged();
    } else {
      dialogs().ShowMessage(this, "Unable to link to '" + fileName +
                                      "'. Its name holds characters that a map link cannot store.");
    }
  }

  if (links.NewLinkFrameDrawn)
    InvertFrame(links.NewLinkRect.x1, links.NewLinkRect.y1, links.NewLinkRect.x2, links.NewLinkRect.y2);
  links.NewLinkFrameDrawn = false;
  RenderView();
  return true;
}

void TForm1::FindLinkUnderPointer(int X, int Y) {
  orv::MapLinkState& links = state().links;
  std::string text;
  if (const auto found = orv::FindLinkAt(links.MapLinks, PictureAt(*this, X, Y))) {
    const std::string& record = links.MapLinks[*found];
    text = orv::GetField(6, record, orv::FieldSeparator);
    links.HoverLinkFile = orv::GetField(5, record, orv::FieldSeparator);
  }
  SetStatusText(0, orv::FromBytes(text));
  const bool overLink = !text.empty();
  if (overLink) {
    ui->PaintBox1->setCursor(Qt::PointingHandCursor);
  } else {
    ui->PaintBox1->unsetCursor();
  }
  LoadMapforMapLink1->setVisible(overLink);
  N4->setVisible(overLink);
}

void TForm1::LoadMapforMapLink1Click() {
  // The target is looked for beside the current map info file, whatever directory it was chosen in.
  const std::string& current = CurrentMapFile();
  const std::string directory = current.substr(0, current.rfind('/') + 1);
  LoadMap(directory + QFile::encodeName(orv::FromBytes(state().links.HoverLinkFile)).toStdString());
}

void TForm1::gobackClick() {
  // A copy: the load moves the current map into PreviousMapFile while it still reads its path.
  const std::string previous = PreviousMapFile();
  if (!previous.empty()) LoadMap(previous);
}

void TForm1::ShowMapLinksWindow1Click() {
  form5()->show();
}

void TForm1::MapLinksChanged() {
  mapLinkSaveTimer_.start();
}
