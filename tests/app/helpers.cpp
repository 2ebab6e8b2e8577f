#include "helpers.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include "app/shutdownsignals.h"
#include "app/singleinstance.h"

namespace orv::testing {
namespace {

void Say(const QString& text) {
  QTextStream out(stdout);
  out << text << "\n";
  out.flush();
}

// A copy of the program: hands its arguments over, or listens and reports each request it receives
// until it is ended. With startingMs, its start takes that long after it listens before its event
// loop runs (and it says so at once); otherwise it says so once its event loop runs.
int SecondCopy(const QString& socketPath, const QStringList& args, int startingMs) {
  SingleInstance instance(socketPath);
  QObject::connect(&instance, &SingleInstance::argumentsReceived,
                   [](const QStringList& received) { Say("received " + received.join('|')); });
  if (instance.handOverOrListen(args)) {
    Say("handed over");
    return 0;
  }
  const QString state = instance.isListening() ? "listening" : "alone";
  if (startingMs > 0) {
    Say(state);
    QThread::msleep(startingMs);
  } else {
    QTimer::singleShot(0, [state] { Say(state); });
  }
  return QCoreApplication::exec();
}

// A program that saves into savePath when a shutdown signal arrives, then ends through its event
// loop; with "hang" it saves but never ends by itself.
int SaveOnSignal(const QString& savePath, bool hang) {
  ShutdownSignals shutdown;
  QObject::connect(&shutdown, &ShutdownSignals::shutdownRequested, [&](int number) {
    QFile file(savePath);
    if (file.open(QIODevice::WriteOnly))
      file.write(QByteArray("saved after signal ") + QByteArray::number(number));
    file.close();
    if (!hang) QCoreApplication::quit();
  });
  Say("ready");
  QCoreApplication::exec();
  return shutdown.exitStatus();
}

}  // namespace

int RunHelper(const QStringList& args) {
  if (args.value(0) == "--helper-copy") return SecondCopy(args.value(1), args.mid(2), 0);
  if (args.value(0) == "--helper-copy-starting")
    return SecondCopy(args.value(1), args.mid(3), args.value(2).toInt());
  if (args.value(0) == "--helper-save-on-signal") return SaveOnSignal(args.value(1), args.value(2) == "hang");
  QTextStream(stderr) << "unknown helper mode " << args.value(0) << "\n";
  return 2;
}

}  // namespace orv::testing
