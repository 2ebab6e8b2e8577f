// Orvantis: the program entry.
#include <QApplication>
#include <QIcon>
#include <chrono>

#include "core/mapinfo.h"
#include "storage/settings.h"
#include "view/fonts.h"
#include "view/mainwindow.h"
#include "view/qtdialogs.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("orvantis");
  QApplication::setApplicationVersion("2.2");
  QGuiApplication::setDesktopFileName("orvantis");
  QApplication::setFont(orv::DesignedApplicationFont());

  orv::QtDialogs dialogs;
  orv::TForm1Config config;
  config.settingsFile = orv::SettingsFile();
  config.dialogs = &dialogs;
  config.randomSeed = static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());

  TForm1 window(config);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/orvantis.png")));
  window.StartupLoading();
  window.show();
  return app.exec();
}
