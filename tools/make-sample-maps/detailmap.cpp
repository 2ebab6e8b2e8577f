// The town map of Orrin's Ford, where the river leaves Thorn Mere: two picture pixels per world unit,
// the most detailed of the sample maps, lying inside both the regional map and the world map.
#include <QPainter>
#include <cmath>

#include "drawing.h"
#include "lettering.h"
#include "maps.h"
#include "noise.h"
#include "paint.h"

namespace samplemaps {
namespace {

// Houses around a town: small blocks, turned a little each, on dry ground only.
void DrawHouses(QPainter& p, const Corners& corners, const World& w, QPointF town, int count, double radius) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(70, 40, 30), 0.8));
  p.setBrush(QColor(176, 92, 70));
  for (int i = 0; i < count; ++i) {
    const double angle = 2 * Pi * Unit(Hash(i, 1, 301));
    const double distance = radius * std::sqrt(Unit(Hash(i, 2, 301)));
    const QPointF at = town + QPointF(std::cos(angle), std::sin(angle)) * distance;
    const double h = w.terrain.Elevation(at.x(), at.y());
    const auto lake = w.hydro.LakeLevel(at.x(), at.y());
    if (h < 0.012 || (lake && h < *lake + 0.004)) continue;
    p.save();
    p.translate(corners.ToPicture(at));
    p.rotate(90.0 * Unit(Hash(i, 3, 301)) - 45.0);
    const double size = 5.0 + 4.0 * Unit(Hash(i, 4, 301));
    p.drawRect(QRectF(-size / 2, -size * 0.35, size, size * 0.7));
    p.restore();
  }
  p.restore();
}

}  // namespace

MapOutput DrawDetailMap(World& w) {
  MapOutput out = StartScaledMap(w, DetailWorld, DetailScale, {11, 2.2, 2.4, 3.6, 50});
  const Corners corners = CornersAtScale(DetailWorld, DetailScale);
  const int width = out.picture.width(), height = out.picture.height();
  QPainter p(&out.picture);
  p.translate(0.5, 0.5);

  Occupancy used;
  out.links.push_back(BackLinkBox(p, used, QRect(10, 26, 188, 34), QStringLiteral("Back to Thornmere"),
                                  "Thornmere.dem", "Back to Thornmere: open the regional map"));

  std::vector<Place> inside;
  for (const Place& pl : w.places)
    if (DetailWorld.adjusted(-10, -10, 10, 10).contains(pl.world)) inside.push_back(pl);
  for (const Place& pl : inside)
    if (pl.rank < 2) DrawHouses(p, corners, w, pl.world, 70, 38.0);
  for (const Place& pl : inside) DrawPlaceMarker(p, corners.ToPicture(pl.world), pl.rank, 5.0);

  const QRectF title(width - 290, height - 112, 260, 90);
  TitleBox(p, used, title, {QStringLiteral("ORRIN'S FORD"), 24, 38}, 3,
           {QStringLiteral("A town map of Veldrane"), 13, 59},
           {{QStringLiteral("2 pixels = 1 step \u00b7 grid every 50"), 10, 78}});

  LabelAreas(p, used, corners, {{"THORN MERE", {2960, 2060}, 28, AreaKind::Lake, 8}});
  LabelPlaces(p, used, corners, inside, {22, 19, 15}, 5.0);
  AddSights(p, corners, w.detailSights, 8.0, out.bookmarks);
  return out;
}

}  // namespace samplemaps
