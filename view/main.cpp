// Orvantis: the windows' entry, called by the program's launcher once it has loaded this module.
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QIcon>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/commandline.h"
#include "app/shutdownsignals.h"
#include "app/singleinstance.h"
#include "core/mapinfo.h"
#include "core/pictureahead.h"
#include "launcher/launch.h"
#include "storage/recentmaps.h"
#include "storage/settings.h"
#include "view/fonts.h"
#include "view/mainwindow.h"
#include "view/qtdialogs.h"
#include "view/startrequests.h"
#include "view/text.h"

namespace {

// The map the start-up loading will open: the command line's, or the last map of the previous run.
std::string FirstMap(const orv::StartRequest& request, const std::string& settingsFile) {
  if (!request.mapFile.isEmpty()) return orv::PathBytes(request.mapFile);
  return orv::ReadLastMap(settingsFile);
}

// The arguments that are the program's own: the toolkit's options ("-style fusion", "-reverse") are
// left to the toolkit, which reads them from argv itself.
QStringList OwnArguments(int argc, char** argv) {
  static const QStringList withValue = {
      "-platform",    "-platformpluginpath", "-platformtheme", "-plugin", "-qwindowgeometry",
      "-qwindowicon", "-qwindowtitle",       "-session",       "-style",  "-stylesheet",
      "-display",     "-geometry",           "-name",          "-title"};
  static const QStringList alone = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"};
  QStringList args;
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (withValue.contains(arg) && i + 1 < argc) {
      ++i;
    } else if (!alone.contains(arg) && !arg.startsWith("-style=") && !arg.startsWith("-stylesheet=")) {
      args << arg;
    }
  }
  return args;
}

// With ORVANTIS_FIRST_FRAME_EXIT set, the program prints how long after its start the map area was
// first on screen ("first frame: N ms") and ends: the start-up benchmark measures with it.
class FirstFrameReport : public QObject {
 public:
  FirstFrameReport(const QWidget& window, std::chrono::steady_clock::time_point start)
      : window_(window), start_(start) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    // The window is painted first, its controls and the map area right after it, in the same frame.
    if (!seen_ && event->type() == QEvent::Paint && watched == &window_) {
      seen_ = true;
      // Queued, so that it runs once the whole frame has reached the screen.
      QTimer::singleShot(0, this, [this] {
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start_;
        std::printf("first frame: %.1f ms\n", elapsed.count());
        std::fflush(stdout);
        QCoreApplication::exit(0);
      });
    }
    return false;
  }

 private:
  const QWidget& window_;
  std::chrono::steady_clock::time_point start_;
  bool seen_ = false;
};

}  // namespace

int OrvantisWindowMain(int argc, char** argv, orv::Launch* launch) {
  const auto started = launch->started;
  // The command line is read before the toolkit starts, so --help and --version need no display.
  const orv::CommandLine line = orv::CommandLine::Parse(OwnArguments(argc, argv), QDir::currentPath());
  switch (line.action) {
    case orv::CommandLine::Action::ShowHelp:
      std::fputs(orv::CommandLine::HelpText().toLocal8Bit().constData(), stdout);
      return 0;
    case orv::CommandLine::Action::ShowVersion:
      std::fputs(orv::CommandLine::VersionText().toLocal8Bit().constData(), stdout);
      return 0;
    case orv::CommandLine::Action::Fail:
      std::fprintf(stderr, "orvantis: %s\nTry 'orvantis --help'.\n", line.error.toLocal8Bit().constData());
      return 2;
    case orv::CommandLine::Action::Start:
      break;
  }

  // The first map's picture is decoded while the toolkit starts and the windows are created:
  // decoding a large map takes longer than both, so it starts before them. The launcher started the
  // last map's; a start that asks for another map decodes that one instead.
  const std::string settingsFile = orv::SettingsFile();
  orv::PictureAhead& pictureAhead = *launch->ahead;
  const std::string firstMap = FirstMap(line.request, settingsFile);
  const auto firstPicture = firstMap.empty() ? std::nullopt : orv::FindPicture(firstMap);
  if (!firstPicture) {
    pictureAhead.Forget();
  } else if (pictureAhead.Path() != *firstPicture) {
    pictureAhead.Start(*firstPicture);
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName("orvantis");
  QApplication::setApplicationVersion("2.2");
  QGuiApplication::setDesktopFileName("orvantis");
  QApplication::setFont(orv::DesignedApplicationFont());

  // A copy already running takes this start's request; this one then ends.
  orv::SingleInstance single(orv::SingleInstance::DefaultSocketPath(orv::PathText(settingsFile)));
  if (single.handOverOrListen(orv::CommandLine::ToArguments(line.request))) {
    pictureAhead.Forget();  // the other copy loads the map; this one stops decoding at once
    return 0;
  }
  orv::ShutdownSignals shutdownSignals;

  orv::QtDialogs dialogs;
  orv::TForm1Config config;
  config.settingsFile = settingsFile;
  config.dialogs = &dialogs;
  config.rememberState = true;
  config.randomSeed = static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());

  config.pictureAhead = &pictureAhead;

  TForm1 window(config);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/orvantis.png")));
  orv::StartRequests requests(window);
  requests.AcceptHandOvers(single);
  requests.HoldHandOvers();
  requests.CloseOn(shutdownSignals);
  window.StartupLoading(orv::PathBytes(line.request.mapFile));
  pictureAhead.Forget();
  // A signal that arrived while a message of the start-up loading was shown ends the run here.
  if (shutdownSignals.exitStatus()) return shutdownSignals.exitStatus();
  requests.ApplyOwn(line.request);
  FirstFrameReport firstFrame(window, started);
  if (std::getenv("ORVANTIS_FIRST_FRAME_EXIT")) app.installEventFilter(&firstFrame);
  window.show();
  const int status = app.exec();
  // The window is closed: the saves that run as it is destroyed may show messages, whose event loops
  // would otherwise take requests of later starts that nothing is left to act on.
  single.stopListening();
  // Ended by a signal: the shell or session sees it as the signal's status, after the saves that
  // run as the window is destroyed on the way out.
  return shutdownSignals.exitStatus() ? shutdownSignals.exitStatus() : status;
}
