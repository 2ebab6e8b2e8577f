#include "app/shutdownsignals.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QProcess>
#include <vector>

#include "helpers.h"
#include "tempdir.h"

namespace orv {
namespace {

using orv::testing::WaitFor;

// A child program that saves when asked to end gets the signals; it must have saved, and its exit
// status must tell which signal ended it.
TEST(ShutdownSignals, ASignalRunsTheSaveBeforeTheProgramEnds) {
  const struct {
    std::vector<int> sent;
    bool hang;  // the child's close never finishes
    QProcess::ExitStatus status;
    int exitCode;
    const char* saved;
  } cases[] = {
    {{SIGTERM}, false, QProcess::NormalExit, 128 + SIGTERM, "saved after signal 15"},
    {{SIGINT}, false, QProcess::NormalExit, 128 + SIGINT, "saved after signal 2"},
    {{SIGHUP}, false, QProcess::NormalExit, 128 + SIGHUP, "saved after signal 1"},
#if !defined(__SANITIZE_ADDRESS__) && !(defined(__has_feature) && __has_feature(address_sanitizer))
    // A logout sends SIGTERM and SIGHUP together: one close, for the first. (Under the address
    // sanitizer the slower child may have restored the default handlers before the second arrives.)
    {{SIGTERM, SIGHUP}, false, QProcess::NormalExit, 128 + SIGTERM, "saved after signal 15"},
    // Asked twice by the same signal, a program whose close hangs ends all the same. (Under the
    // address sanitizer the child's runtime takes the second signal itself.)
    {{SIGTERM, SIGTERM}, true, QProcess::CrashExit, -1, "saved after signal 15"},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sent.size() * 100 + c.sent.front());
    orv::testing::TempDir dir;
    const QString savePath = QString::fromStdString(dir / "saved.txt");
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {"--helper-save-on-signal", savePath, c.hang ? "hang" : "end"});
    ASSERT_TRUE(WaitFor([&] { return child.canReadLine() && child.readLine() == "ready\n"; }));
    for (const int signal : c.sent) {
      ::kill(child.processId(), signal);
      if (c.hang) WaitFor([&] { return !orv::testing::ReadFile(dir / "saved.txt").empty(); });
    }
    ASSERT_TRUE(WaitFor([&] { return child.state() == QProcess::NotRunning; }));
    EXPECT_EQ(child.exitStatus(), c.status);
    if (c.status == QProcess::NormalExit) EXPECT_EQ(child.exitCode(), c.exitCode);
    EXPECT_EQ(orv::testing::ReadFile(dir / "saved.txt"), c.saved);
  }
}

// Started under nohup, or in the background by a shell, the program keeps ignoring what it was
// started to ignore; the other signals are still caught.
TEST(ShutdownSignals, ASignalIgnoredAtStartStaysIgnored) {
  for (const int ignored : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(ignored);
    const int other = ignored == SIGHUP ? SIGTERM : SIGHUP;
    struct sigaction before {};
    ::sigaction(ignored, nullptr, &before);
    ::signal(ignored, SIG_IGN);
    std::vector<int> requests;
    {
      ShutdownSignals catcher;
      QObject::connect(&catcher, &ShutdownSignals::shutdownRequested,
                       [&](int number) { requests.push_back(number); });
      ::raise(ignored);
      QCoreApplication::processEvents();
      EXPECT_TRUE(requests.empty());
      ::raise(other);
      EXPECT_TRUE(WaitFor([&] { return !requests.empty(); }));
      EXPECT_EQ(requests, std::vector<int>{other});
    }
    struct sigaction after {};
    ::sigaction(ignored, nullptr, &after);
    EXPECT_EQ(after.sa_handler, SIG_IGN);
    ::sigaction(ignored, &before, nullptr);
  }
}

}  // namespace
}  // namespace orv
