#pragma once
// What the app tests share: waiting on a condition, and the helper modes of the test program that
// tests start as a second process.
#include <QStringList>
#include <QTest>
#include <functional>
#include <ostream>

// Readable texts in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace orv::testing {

// Runs the event loop until done() holds, for at most five seconds; true when it held.
inline bool WaitFor(const std::function<bool()>& done) {
  return QTest::qWaitFor(done, 5000);
}

// Runs one helper mode: args[0] names it ("--helper-..."), the rest are its arguments. Returns the
// process's exit status.
int RunHelper(const QStringList& args);

}  // namespace orv::testing
