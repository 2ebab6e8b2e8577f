#include "helpers.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

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
// until it is ended.
int SecondCopy(const QString& socketPath, const QStringList& args) {
  SingleInstance instance(socketPath);
  QObject::connect(&instance, &SingleInstance::argumentsReceived,
                   [](const QStringList& received) { Say("received " + received.join('|')); });
  if (instance.handOverOrListen(args)) {
    Say("handed over");
    return 0;
  }
  Say(instance.isListening() ? "listening" : "alone");
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
  if (args.value(0) == "--helper-copy") return SecondCopy(args.value(1), args.mid(2));
  if (args.value(0) == "--helper-save-on-signal") return SaveOnSignal(args.value(1), args.value(2) == "hang");
  QTextStream(stderr) << "unknown helper mode " << args.value(0) << "\n";
  return 2;
}

}  // namespace orv::testing
