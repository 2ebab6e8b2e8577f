#pragma once
// What the program is asked to do from outside its windows: the command line of this start, the
// command lines that later starts hand over, the journal being followed, files dropped on the main
// window, and the shutdown signals. Each request goes through the main window's designed handlers
// (LoadMap, the panels' "Update"), so it acts exactly as if the user had done it by hand.
#include <QObject>
#include <QString>
#include <QUrl>

#include "app/commandline.h"

class TForm1;

namespace orv {

class ShutdownSignals;
class SingleInstance;

// The map info file to load for dropped files: the first local file that is a map info file (".dem")
// or a map's picture (".jpg" in any letter case). Empty when the drop holds neither.
QString DroppedMapFile(const QList<QUrl>& urls);

class StartRequests : public QObject {
  Q_OBJECT

 public:
  // Listens for map files dropped anywhere on form from now on.
  explicit StartRequests(TForm1& form, QObject* parent = nullptr);

  // Acts on request: loads its map (only when loadMap; at start-up the start-up loading loads it),
  // places the cross on its position, and follows its journal (as Map > Follow Journal... does).
  void Apply(const StartRequest& request, bool loadMap);
  // The arguments of a later start: acts on them and brings the main window to the front.
  void ActOnHandOver(const QStringList& args);
  // Later starts hand their arguments to this copy through single.
  void AcceptHandOvers(SingleInstance& single);
  // While this start's own request waits (a message of the start-up loading runs an event loop of its
  // own, in which later starts are answered), hand-overs are kept; ApplyOwn then acts on the start's
  // request first and on the kept ones after it, in the order they came, so the latest one stands.
  void HoldHandOvers() { holding_ = true; }
  void ApplyOwn(const StartRequest& request);
  // The shutdown signals close the main window, so that its designed shutdown saves run.
  void CloseOn(ShutdownSignals& shutdown);

  void BringToFront();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TForm1& form_;
  bool holding_ = false;
  QList<QStringList> held_;
};

}  // namespace orv
