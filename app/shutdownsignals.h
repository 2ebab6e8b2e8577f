#pragma once
// Turns SIGTERM, SIGINT and SIGHUP (a logout, a closed terminal, Ctrl+C, kill) into a Qt signal on
// the event loop, so that the program ends through its normal close and saves what it holds.
//
// The signal handler only writes the signal's number into a pipe; a socket notifier on the event
// loop reads it. Each handler is good for one signal: the same signal again ends the program at
// once, the way it would without this object, in case the normal close hangs.
#include <QObject>

class QSocketNotifier;

namespace orv {

class ShutdownSignals : public QObject {
  Q_OBJECT

 public:
  // Catches the three signals from now on, except those the program was started to ignore. Only one
  // object catches them at a time; a second one made while the first lives catches nothing.
  explicit ShutdownSignals(QObject* parent = nullptr);
  // Gives the signals back the handling they had before.
  ~ShutdownSignals() override;

  // 0 until a signal has arrived, then 128 plus its number: the status a program ended by that
  // signal reports to the shell or session that started it.
  int exitStatus() const { return firstSignal_ ? 128 + firstSignal_ : 0; }

 signals:
  // Once, for the first of the signals to arrive.
  void shutdownRequested(int signalNumber);

 private:
  void readSignals();

  bool installed_ = false;
  int readFd_ = -1;
  int firstSignal_ = 0;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace orv
