#include "view/startrequests.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <utility>

#include "app/shutdownsignals.h"
#include "app/singleinstance.h"
#include "core/positiontext.h"
#include "view/mainwindow.h"
#include "view/positionfollowing.h"
#include "view/text.h"

namespace orv {
QString DroppedMapFile(const QList<QUrl>& urls) {
  for (const QUrl& url : urls) {
    if (!url.isLocalFile()) continue;
    const QString path = url.toLocalFile();
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare("dem", Qt::CaseInsensitive) == 0 || suffix.compare("jpg", Qt::CaseInsensitive) == 0)
      return MapInfoFileFor(path);
  }
  return {};
}

StartRequests::StartRequests(TForm1& form, QObject* parent) : QObject(parent), form_(form) {
  form_.setAcceptDrops(true);
  // On the application, so that a map dropped on an edit box of the window loads too, instead of
  // the box taking the file's name as text.
  qApp->installEventFilter(this);
}

void StartRequests::Apply(const StartRequest& request, bool loadMap) {
  if (loadMap && !request.mapFile.isEmpty()) form_.LoadMap(PathBytes(request.mapFile));
  if (request.where) {
    TextPosition position;
    position.where = *request.where;
    form_.ShowPosition(position);
  } else if (!request.sextant.isEmpty()) {
    // The command line only lets through readings that hold a sextant position.
    if (const auto position = PositionIn(request.sextant)) form_.ShowPosition(*position);
  }
  if (!request.journal.isEmpty()) form_.Following().FollowJournal(request.journal);
}

void StartRequests::ApplyOwn(const StartRequest& request) {
  Apply(request, false);
  holding_ = false;
  for (const QStringList& args : std::exchange(held_, {})) ActOnHandOver(args);
}

void StartRequests::ActOnHandOver(const QStringList& args) {
  if (holding_) {
    held_.append(args);
    return;
  }
  // The handing copy made every path absolute; a request it could not have sent is only a wake-up.
  const CommandLine line = CommandLine::Parse(args, QDir::rootPath());
  if (line.action == CommandLine::Action::Start) Apply(line.request, true);
  BringToFront();
}

void StartRequests::AcceptHandOvers(SingleInstance& single) {
  connect(&single, &SingleInstance::argumentsReceived, this, &StartRequests::ActOnHandOver);
}

void StartRequests::CloseOn(ShutdownSignals& shutdown) {
  connect(&shutdown, &ShutdownSignals::shutdownRequested, this, [this] {
    form_.CloseUnasked();
    // Also ends any dialog's own event loop, which would otherwise keep the program waiting.
    QCoreApplication::exit(0);
  });
}

void StartRequests::BringToFront() {
  if (form_.isMinimized()) form_.showNormal();
  form_.show();
  form_.raise();
  form_.activateWindow();
}

bool StartRequests::eventFilter(QObject* watched, QEvent* event) {
  const auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != &form_) return false;
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDropEvent*>(event);
      if (!drag->mimeData() || DroppedMapFile(drag->mimeData()->urls()).isEmpty()) return false;
      drag->acceptProposedAction();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const QString map = drop->mimeData() ? DroppedMapFile(drop->mimeData()->urls()) : QString();
      if (map.isEmpty()) return false;
      drop->acceptProposedAction();
      form_.LoadMap(PathBytes(map));
      return true;
    }
    default:
      return false;
  }
}

}  // namespace orv
