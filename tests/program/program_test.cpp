// The real program, started as a child process: its command line, one running copy, and the shutdown
// signals. Each test runs a copy of the program in a folder of its own, where it keeps its settings
// and its socket, so nothing of the user's is touched.
#include <signal.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include "view/mainwindow_fixture.h"

namespace orv::testing {
namespace {

class ProgramTest : public MainWindowTest {
 public:
  void SetUp() override {
    MainWindowTest::SetUp();
    program = QString::fromStdString(Path("orvantis"));
    ASSERT_TRUE(QFile::copy(ORV_BINARY_DIR "/orvantis", program));
    ASSERT_TRUE(QFile::copy(ORV_BINARY_DIR "/orvantis-window.so",
                            QString::fromStdString(Path("orvantis-window.so"))));
  }

  // Starts the program with args; platform "offscreen" draws nowhere, "" leaves no platform at all.
  QProcess& Start(const QStringList& args, const QString& platform = "offscreen") {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", platform.isEmpty() ? "xcb" : platform);
    env.insert("XDG_RUNTIME_DIR", dir.path());
    env.insert("XDG_CONFIG_HOME", dir.path());
    auto& process = *children.emplace_back(std::make_unique<QProcess>());
    process.setProcessEnvironment(env);
    process.start(program, args);
    EXPECT_TRUE(process.waitForStarted(10000));
    return process;
  }

  static bool Ends(QProcess& process) {
    return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20000);
  }

  // The map the settings file names as the last one; it is written at each successful load.
  std::string LastMap() const {
    const std::string text = ReadText(settingsFile);
    const auto at = text.find("LastMapFilename=");
    if (at == std::string::npos) return {};
    const auto end = text.find_first_of("\r\n", at);
    return text.substr(at + 16, end - at - 16);
  }
  bool WaitForLastMap(const std::string& map) const {
    return QTest::qWaitFor([&] { return LastMap() == map; }, 20000);
  }

  void TearDown() override {
    for (auto& child : children) {
      child->kill();
      child->waitForFinished();
    }
    MainWindowTest::TearDown();
  }

  QString program;
  std::vector<std::unique_ptr<QProcess>> children;
};

// Without any display: a window opened by mistake would end the program with an error instead.
TEST_F(ProgramTest, AnswersOnTheCommandLineWithoutAWindow) {
  const struct {
    QStringList args;
    int status;
    std::string out, err;
  } cases[] = {
      {{"--version"}, 0, "Orvantis v2.2 by Vexmoor\n", ""},
      {{"map.dem", "--help"}, 0, "Usage: orvantis [MAP.dem]", ""},
      {{"-style", "fusion", "-reverse", "--version"}, 0, "Orvantis v2.2 by Vexmoor\n", ""},  // the toolkit's
      {{"--bogus"}, 2, "", "orvantis: Unknown option '--bogus'\nTry 'orvantis --help'.\n"},
      {{"--where", "1500"}, 2, "", "orvantis: --where needs two whole numbers"},
      {{"--sextant", "1500 1200"}, 2, "", "orvantis: '1500 1200' is no sextant reading"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    QProcess& process = Start(c.args, "");
    ASSERT_TRUE(Ends(process));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), c.status);
    const std::string out = process.readAllStandardOutput().toStdString();
    const std::string err = process.readAllStandardError().toStdString();
    EXPECT_EQ(out.rfind(c.out, 0), 0u) << out;
    EXPECT_EQ(err.rfind(c.err, 0), 0u) << err;
    if (c.out.empty()) EXPECT_EQ(out, "");
  }
  EXPECT_FALSE(QFile::exists(QString::fromStdString(settingsFile)));

  // Without the windows' module beside it, the program says so and ends.
  ASSERT_TRUE(QFile::remove(QString::fromStdString(Path("orvantis-window.so"))));
  QProcess& alone = Start({"--version"}, "");
  ASSERT_TRUE(Ends(alone));
  EXPECT_EQ(alone.exitCode(), 1);
  EXPECT_EQ(alone.readAllStandardError().toStdString(),
            "orvantis: the windows' module orvantis-window.so is missing\n");
}

// Each signal closes the window normally: the bookmark font, written only by the shutdown saves,
// reaches the settings file, and the status tells which signal ended the program.
TEST_F(ProgramTest, ShutdownSignalsRunTheShutdownSaves) {
  const std::string map = MakeMap("town", 300, 200);
  for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(number);
    QFile::remove(QString::fromStdString(settingsFile));
    QProcess& running = Start({QString::fromStdString(map)});
    ASSERT_TRUE(WaitForLastMap(map)) << running.readAllStandardError().toStdString();
    EXPECT_EQ(ReadText(settingsFile).find("[Bookmark Font]"), std::string::npos);
    ::kill(static_cast<pid_t>(running.processId()), number);
    ASSERT_TRUE(Ends(running));
    EXPECT_EQ(running.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(running.exitCode(), 128 + number);
    const std::string settings = ReadText(settingsFile);
    EXPECT_NE(settings.find("[Bookmark Font]"), std::string::npos) << settings;
    EXPECT_EQ(LastMap(), map);
  }
}

TEST_F(ProgramTest, ALaterStartHandsItsMapToTheRunningCopy) {
  const std::string first = MakeMap("town", 300, 200);
  const std::string second = MakeMap("harbour", 200, 300);
  QProcess& running = Start({QString::fromStdString(first)});
  ASSERT_TRUE(WaitForLastMap(first)) << running.readAllStandardError().toStdString();

  QProcess& later = Start({QString::fromStdString(second), "--where", "1500", "1200"});
  ASSERT_TRUE(Ends(later));
  EXPECT_EQ(later.exitCode(), 0) << later.readAllStandardError().toStdString();
  // The running copy loaded the map it was handed, and is still running.
  ASSERT_TRUE(WaitForLastMap(second));
  EXPECT_EQ(running.state(), QProcess::Running);
  ::kill(static_cast<pid_t>(running.processId()), SIGTERM);
  ASSERT_TRUE(Ends(running));
  EXPECT_EQ(LastMap(), second);
}

}  // namespace
}  // namespace orv::testing
