#pragma once
// The program's command line:
//   orvantis [MAP.dem] [--where X Y | --sextant "37 15 N 12 5 E"] [--follow JOURNAL]
//   orvantis --help | --version
// Read before any window exists, so that --help and --version need no display.
#include <QString>
#include <QStringList>
#include <optional>

#include "core/geometry.h"

namespace orv {

// What one start of the program asks for. Paths are absolute, so that a copy of the program running
// in another working directory can act on them.
struct StartRequest {
  QString mapFile;             // map info file to open instead of the last map; empty: the last map
  std::optional<Point> where;  // world point for the cross
  QString sextant;             // sextant reading for the cross, as typed; empty: none
  QString journal;             // file to follow; empty: none
  friend bool operator==(const StartRequest&, const StartRequest&) = default;
};

struct CommandLine {
  enum class Action { Start, ShowHelp, ShowVersion, Fail };

  Action action = Action::Start;
  StartRequest request;  // for Start
  QString error;         // for Fail: one line saying what is wrong

  // Reads the arguments that follow the program's name; relative paths are taken from workingDir.
  static CommandLine Parse(const QStringList& args, const QString& workingDir);
  // Arguments that make Parse give request again, in any working directory.
  static QStringList ToArguments(const StartRequest& request);
  static QString HelpText();
  static QString VersionText();
};

// The map info file of a path that names a map info file or the map's picture (".JPG" beside it); for a
// picture, the existing ".dem" in any of its usual letter cases, or the lower-case name when none exists.
QString MapInfoFileFor(const QString& path);

}  // namespace orv
