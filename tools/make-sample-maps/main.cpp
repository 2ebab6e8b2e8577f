// Draws the pictures that ship with Orvantis: the sample maps of the invented continent Veldrane (the
// world map, the regional map of Thornmere inside it and the town map of Orrin's Ford inside that,
// each a ".dem" and ".JPG" pair, linked to each other), the magnifying-glass marker with its
// two-colour mask, and the program icon.
//
//   make-sample-maps ASSETS_DIR
//
// writes ASSETS_DIR/maps/{Veldrane,Thornmere,Orrinsford}.{dem,JPG}, ASSETS_DIR/glass.png,
// ASSETS_DIR/glass-mask.png, ASSETS_DIR/orvantis.png and ASSETS_DIR/orvantis-32.png.
//
// Everything is deterministic: the terrain is a fixed function of the world position built from
// seeded noise, so every map shows the same coasts, rivers and towns, each through the same bilinear
// corner mapping that the program uses to place world points on a picture. The labels use the DejaVu
// fonts (Debian's fonts-dejavu-core).
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "glass.h"
#include "mapfiles.h"
#include "maps.h"

namespace {

bool SavePng(const QImage& image, const QString& path) {
  if (image.save(path, "PNG")) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

// Writes name.JPG and name.dem into the maps folder.
bool WriteMap(const QDir& maps, const QString& name, const samplemaps::MapOutput& map) {
  return samplemaps::WriteJpeg(map.picture, maps.filePath(name + QStringLiteral(".JPG")).toStdString(), 85) &&
         samplemaps::WriteMapInfo(maps.filePath(name + QStringLiteral(".dem")).toStdString(), map);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  // An empty folder name (an unset variable in a script) would mean the current folder, where played
  // copies of the sample maps may stand: it is refused as a missing one is.
  if (argc != 2 || argv[1][0] == '\0' || QString::fromLocal8Bit(argv[1]).startsWith(QLatin1Char('-'))) {
    std::fprintf(stderr, "usage: make-sample-maps ASSETS_DIR\n");
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!dir.mkpath(QStringLiteral("maps"))) {
    std::fprintf(stderr, "cannot create %s/maps\n", argv[1]);
    return 1;
  }

  QImage glass, mask;
  samplemaps::MakeGlass(glass, mask);
  bool ok = SavePng(glass, dir.filePath(QStringLiteral("glass.png"))) &&
            SavePng(mask, dir.filePath(QStringLiteral("glass-mask.png")));

  samplemaps::World world = samplemaps::BuildWorld();
  const samplemaps::MapOutput worldMap = samplemaps::DrawWorldMap(world);
  const samplemaps::MapOutput regional = samplemaps::DrawRegionalMap(world);
  const samplemaps::MapOutput town = samplemaps::DrawDetailMap(world);
  if (!worldMap.agrees || !regional.agrees || !town.agrees) {
    std::fprintf(stderr, "make-sample-maps: a map is not drawn where the program places world points\n");
    return 1;
  }
  const QDir maps(dir.filePath(QStringLiteral("maps")));
  ok = ok && WriteMap(maps, QStringLiteral("Veldrane"), worldMap) &&
       WriteMap(maps, QStringLiteral("Thornmere"), regional) &&
       WriteMap(maps, QStringLiteral("Orrinsford"), town);

  ok = ok &&
       SavePng(samplemaps::MakeIcon(worldMap.picture, glass, mask, 64),
               dir.filePath(QStringLiteral("orvantis.png"))) &&
       SavePng(samplemaps::MakeIcon(worldMap.picture, glass, mask, 32),
               dir.filePath(QStringLiteral("orvantis-32.png")));
  if (!ok) {
    std::fprintf(stderr, "make-sample-maps: writing failed\n");
    return 1;
  }
  return 0;
}
