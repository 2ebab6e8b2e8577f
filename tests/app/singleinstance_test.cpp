#include "app/singleinstance.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "helpers.h"
#include "tempdir.h"

namespace orv {
namespace {

using orv::testing::WaitFor;

// Another copy of the program, run as a child process: the test program in its helper mode.
class Copy {
 public:
  // startingMs: how long its start takes after it listens before its event loop runs.
  Copy(const QString& socketPath, const QStringList& args, int startingMs = 0) {
    const QStringList mode =
        startingMs > 0 ? QStringList{"--helper-copy-starting", socketPath, QString::number(startingMs)}
                       : QStringList{"--helper-copy", socketPath};
    process_.start(QCoreApplication::applicationFilePath(), mode + args);
  }
  ~Copy() {
    if (process_.processId() > 0) ::kill(process_.processId(), SIGCONT);  // a stopped copy, to end it
    process_.kill();
    process_.waitForFinished();
  }
  // Waits until the copy has said text on its output.
  bool Said(const QString& text) {
    return WaitFor([&] { return Output().contains(text + "\n"); });
  }
  // What the copy has said so far.
  QString Output() {
    output_ += QString::fromUtf8(process_.readAllStandardOutput());
    return output_;
  }
  bool Ended() {
    return WaitFor([&] { return process_.state() == QProcess::NotRunning; });
  }
  QProcess& process() { return process_; }

 private:
  QProcess process_;
  QString output_;
};

class SingleInstanceTest : public ::testing::Test {
 protected:
  orv::testing::TempDir dir;
  QString socketPath = QString::fromStdString(dir / "orvantis.socket");
};

TEST_F(SingleInstanceTest, ALaterStartHandsItsArgumentsToTheRunningCopy) {
  SingleInstance running(socketPath);
  QSignalSpy received(&running, &SingleInstance::argumentsReceived);
  ASSERT_FALSE(running.handOverOrListen({}));
  ASSERT_TRUE(running.isListening());

  const QStringList args = {"--where", "1500", "1200", "/maps/Nörth wood.dem", ""};
  Copy second(socketPath, args);
  ASSERT_TRUE(second.Said("handed over"));
  ASSERT_TRUE(second.Ended());
  EXPECT_EQ(second.process().exitCode(), 0);
  ASSERT_TRUE(WaitFor([&] { return received.size() == 1; }));
  EXPECT_EQ(received.at(0).at(0).toStringList(), args);
}

TEST_F(SingleInstanceTest, ThisStartHandsOverToARunningChildCopy) {
  Copy running(socketPath, {});
  ASSERT_TRUE(running.Said("listening"));
  SingleInstance second(socketPath);
  EXPECT_TRUE(second.handOverOrListen({"--follow", "/j/journal.txt"}));
  EXPECT_FALSE(second.isListening());
  EXPECT_TRUE(running.Said("received --follow|/j/journal.txt"));
}

// A copy still starting when a later start asks, for longer than the later start waits for an
// answer: the later start waits for its turn and hands over all the same.
TEST_F(SingleInstanceTest, ALaterStartWaitsForACopyThatIsStillStarting) {
  Copy starting(socketPath, {}, 1500);
  ASSERT_TRUE(starting.Said("listening"));
  SingleInstance second(socketPath);
  EXPECT_TRUE(second.handOverOrListen({"c.dem"}, 300));
  EXPECT_FALSE(second.isListening());
  EXPECT_TRUE(starting.Said("received c.dem"));
}

// Copies started at the same moment: one runs, the others hand over to it.
TEST_F(SingleInstanceTest, OfCopiesStartedTogetherOneListens) {
  std::vector<std::unique_ptr<Copy>> copies;
  for (int i = 0; i < 4; ++i) copies.push_back(std::make_unique<Copy>(socketPath, QStringList{}));
  int listening = 0;
  int handedOver = 0;
  ASSERT_TRUE(WaitFor([&] {
    listening = handedOver = 0;
    for (auto& copy : copies) {
      listening += copy->Output().contains("listening\n") ? 1 : 0;
      handedOver += copy->Output().contains("handed over\n") ? 1 : 0;
    }
    return listening + handedOver == int(copies.size());
  }));
  EXPECT_EQ(listening, 1);
}

// A copy killed without cleaning up leaves its socket behind; a stopped copy never answers. Either
// way the new start takes the socket over, and later starts hand over to it.
TEST_F(SingleInstanceTest, TakesOverFromACopyThatDoesNotAnswer) {
  for (const int signal : {SIGKILL, SIGSTOP}) {
    SCOPED_TRACE(signal);
    Copy gone(socketPath, {});
    ASSERT_TRUE(gone.Said("listening"));
    ::kill(gone.process().processId(), signal);
    if (signal == SIGKILL) ASSERT_TRUE(gone.Ended());
    ASSERT_TRUE(QFileInfo::exists(socketPath));

    SingleInstance fresh(socketPath);
    QSignalSpy received(&fresh, &SingleInstance::argumentsReceived);
    EXPECT_FALSE(fresh.handOverOrListen({"a.dem"}, 300, 600));
    ASSERT_TRUE(fresh.isListening());
    Copy later(socketPath, {"b.dem"});
    EXPECT_TRUE(later.Said("handed over"));
    EXPECT_TRUE(WaitFor([&] { return received.size() == 1; }));
  }
}

// A running copy busy for longer than a start waits for the connection (a large map loading keeps
// its event loop from running) answers when it is done: the start hands over instead of starting a
// second copy on the same files.
TEST_F(SingleInstanceTest, ALaterStartWaitsForABusyCopy) {
  Copy busy(socketPath, {});
  ASSERT_TRUE(busy.Said("listening"));
  const qint64 pid = busy.process().processId();
  ::kill(pid, SIGSTOP);
  std::thread wake([pid] {
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    ::kill(pid, SIGCONT);
  });
  SingleInstance second(socketPath);
  EXPECT_TRUE(second.handOverOrListen({"b.dem"}, 300, 20000));
  wake.join();
  EXPECT_FALSE(second.isListening());
  EXPECT_TRUE(busy.Said("received b.dem"));
}

// A closing copy takes no more requests: a later start waits until it has ended, then starts anew.
TEST_F(SingleInstanceTest, ALaterStartWaitsForAClosingCopyToEnd) {
  auto closing = std::make_unique<SingleInstance>(socketPath);
  ASSERT_FALSE(closing->handOverOrListen({}));
  QCoreApplication::processEvents();  // its event loop runs: it gives up the start turn
  closing->stopListening();
  EXPECT_FALSE(closing->isListening());
  Copy later(socketPath, {"b.dem"});
  QTest::qWait(800);
  EXPECT_EQ(later.Output(), "");  // still waiting for its turn
  closing.reset();
  EXPECT_TRUE(later.Said("listening"));
}

// Copies of the program in different folders keep different settings files: they listen on sockets
// of their own, and each spelling of one settings file names the same socket.
TEST(SingleInstanceSocket, EachSettingsFileHasItsOwnSocket) {
  orv::testing::TempDir dir;
  QDir(QString::fromStdString(dir.path())).mkpath("a/sub");
  QDir(QString::fromStdString(dir.path())).mkpath("b");
  const QString root = QString::fromStdString(dir.path());
  const QString a = SingleInstance::DefaultSocketPath(root + "/a/orvantis.ini");
  ASSERT_FALSE(a.isEmpty());
  EXPECT_TRUE(a.startsWith(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + "/"));
  EXPECT_EQ(SingleInstance::DefaultSocketPath(root + "/a/sub/../orvantis.ini"), a);
  EXPECT_EQ(SingleInstance::DefaultSocketPath(root + "/a//orvantis.ini"), a);
  EXPECT_NE(SingleInstance::DefaultSocketPath(root + "/b/orvantis.ini"), a);
  EXPECT_NE(SingleInstance::DefaultSocketPath(root + "/a/other.ini"), a);
}

// Whatever connects and sends something else is turned away without a crash or a request.
TEST_F(SingleInstanceTest, IgnoresWhatIsNotARequest) {
  SingleInstance running(socketPath);
  QSignalSpy received(&running, &SingleInstance::argumentsReceived);
  ASSERT_FALSE(running.handOverOrListen({}));
  for (const QByteArray& junk : {QByteArray("GET / HTTP/1.0\r\n\r\n"), QByteArray("ORV1\xff\xff\xff\xff")}) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    ASSERT_TRUE(socket.waitForConnected(2000));
    socket.write(junk);
    EXPECT_TRUE(WaitFor([&] { return socket.state() == QLocalSocket::UnconnectedState; }));
  }
  EXPECT_EQ(received.size(), 0);
}

}  // namespace
}  // namespace orv
