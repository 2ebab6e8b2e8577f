#include "app/commandline.h"

#include <QDir>
#include <QFileInfo>

#include "core/mapinfo.h"
#include "core/positiontext.h"

namespace orv {
namespace {

CommandLine Failed(const QString& error) {
  CommandLine result;
  result.action = CommandLine::Action::Fail;
  result.error = error;
  return result;
}

std::optional<int> Integer(const QString& text) {
  bool ok = false;
  const int value = text.toInt(&ok);
  return ok ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

QString MapInfoFileFor(const QString& path) {
  const QFileInfo info(path);
  if (info.suffix().compare("jpg", Qt::CaseInsensitive) != 0) return path;
  const QString stem = path.left(path.size() - info.suffix().size());
  // Maps made on systems that ignore letter case may be "TOWN.DEM" beside "TOWN.JPG".
  for (const char* suffix : {"dem", "DEM", "Dem"}) {
    if (QFileInfo::exists(stem + suffix)) return stem + suffix;
  }
  return stem + "dem";
}

CommandLine CommandLine::Parse(const QStringList& args, const QString& workingDir) {
  const QDir base(workingDir);
  const auto absolute = [&](const QString& path) { return QDir::cleanPath(base.absoluteFilePath(path)); };
  CommandLine result;
  StartRequest& request = result.request;
  bool optionsEnded = false;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    const bool isOption = !optionsEnded && arg.startsWith('-');
    if (!isOption) {
      // An empty name (an unset variable in a script) would name the working folder.
      if (arg.isEmpty()) return Failed("The map's name is empty");
      if (!request.mapFile.isEmpty()) return Failed(QString("Only one map can be opened: '%1'").arg(arg));
      request.mapFile = MapInfoFileFor(absolute(arg));
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      result.action = Action::ShowHelp;
    } else if (arg == "--version" || arg == "-v") {
      if (result.action != Action::ShowHelp) result.action = Action::ShowVersion;
    } else if (arg == "--where") {
      if (request.where || !request.sextant.isEmpty())
        return Failed("Give the position once, with either --where or --sextant");
      const auto x = Integer(args.value(i + 1));
      const auto y = Integer(args.value(i + 2));
      if (!x || !y)
        return Failed("--where needs two whole numbers, the world position X Y: --where 1500 1200");
      request.where = Point{*x, *y};
      i += 2;
    } else if (arg == "--sextant") {
      if (request.where || !request.sextant.isEmpty())
        return Failed("Give the position once, with either --where or --sextant");
      const QString reading = args.value(i + 1).trimmed();
      if (reading.isEmpty() || reading.startsWith("--"))
        return Failed("--sextant needs the reading in quotes: --sextant \"37 15 N 12 5 E\"");
      // A reading that holds no sextant position would leave the cross where it is without a word.
      const auto found = FindLastPosition(reading.toUtf8().toStdString());
      if (!found || found->kind != TextPosition::Kind::Sextant)
        return Failed(
            QString("'%1' is no sextant reading; write it as --sextant \"37 15 N 12 5 E\"").arg(reading));
      request.sextant = reading;
      i += 1;
    } else if (arg == "--follow") {
      if (!request.journal.isEmpty()) return Failed("Only one journal can be followed");
      if (args.value(i + 1).isEmpty() || args[i + 1].startsWith("--"))
        return Failed("--follow needs the journal file to follow");
      request.journal = absolute(args[i + 1]);
      // A journal not written yet is followed from when the game creates it; a folder never is one.
      if (QFileInfo(request.journal).isDir())
        return Failed(QString("'%1' is a folder; --follow needs the journal file").arg(args[i + 1]));
      i += 1;
    } else {
      return Failed(QString("Unknown option '%1'").arg(arg));
    }
  }
  return result;
}

QStringList CommandLine::ToArguments(const StartRequest& request) {
  QStringList args;
  if (request.where)
    args << "--where" << QString::number(request.where->x) << QString::number(request.where->y);
  if (!request.sextant.isEmpty()) args << "--sextant" << request.sextant;
  if (!request.journal.isEmpty()) args << "--follow" << request.journal;
  if (!request.mapFile.isEmpty()) args << request.mapFile;
  return args;
}

QString CommandLine::HelpText() {
  return "Usage: orvantis [MAP.dem] [--where X Y | --sextant \"37 15 N 12 5 E\"] [--follow JOURNAL]\n"
         "\n"
         "Shows a map of the game world with the player's position on it.\n"
         "\n"
         "  MAP.dem             open this map instead of the last one (or name its picture)\n"
         "  --where X Y         put the cross on the world position X Y, as .where tells it\n"
         "  --sextant READING   put the cross on a sextant reading, such as \"37 15 N 12 5 E\"\n"
         "  --follow JOURNAL    follow the game's journal: each new line with a position moves the cross\n"
         "  -h, --help          show this help and end\n"
         "  -v, --version       show the version and end\n"
         "\n"
         "When Orvantis is already running, that copy comes to the front and acts on the map,\n"
         "the position and the journal given here.\n";
}

QString CommandLine::VersionText() {
  return QString(ProgramTitle) + "\n";
}

}  // namespace orv
