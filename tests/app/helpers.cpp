#include "helpers.h"

#include <QCoreApplication>
#include <QTextStream>

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

}  // namespace

int RunHelper(const QStringList& args) {
  if (args.value(0) == "--helper-copy") return SecondCopy(args.value(1), args.mid(2));
  QTextStream(stderr) << "unknown helper mode " << args.value(0) << "\n";
  return 2;
}

}  // namespace orv::testing
