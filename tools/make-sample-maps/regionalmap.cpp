// The regional map of the Thornmere lowlands: one picture pixel per world unit.
#include <QPainter>

#include "drawing.h"
#include "lettering.h"
#include "maps.h"
#include "paint.h"

namespace samplemaps {

MapOutput DrawRegionalMap(World& w) {
  MapOutput out = StartScaledMap(w, RegionWorld, 1, {10, 1.1, 1.4, 2.2, 100});
  const Corners corners = CornersAtScale(RegionWorld, 1);
  const int width = out.picture.width(), height = out.picture.height();
  QPainter p(&out.picture);
  p.translate(0.5, 0.5);

  Occupancy used;
  // The way back to the world map: a box in the upper left corner, which is the link area.
  out.links.push_back(BackLinkBox(p, used, QRect(10, 26, 178, 34), QStringLiteral("Back to Veldrane"),
                                  "Veldrane.dem", "Back to Veldrane: open the world map"));

  // The town map's area, outlined and named: the link area that opens it.
  out.links.push_back(OutlineMapArea(p, used, corners, DetailWorld, QStringLiteral("Orrin's Ford"),
                                     QStringLiteral("(town map)"), "Orrinsford.dem",
                                     "Orrin's Ford: open the town map"));

  std::vector<Place> inside;
  for (const Place& pl : w.places)
    if (RegionWorld.adjusted(-20, -20, 20, 20).contains(pl.world)) inside.push_back(pl);
  for (const Place& pl : inside) DrawPlaceMarker(p, corners.ToPicture(pl.world), pl.rank, 4.0);

  const QRectF title(width - 300, height - 120, 270, 96);
  TitleBox(p, used, title, {QStringLiteral("THORNMERE"), 28, 40}, 4,
           {QStringLiteral("A regional map of Veldrane"), 13, 62},
           {{QStringLiteral("1 pixel = 1 step \u00b7 grid every 100"), 10, 82}});

  LabelAreas(p, used, corners,
             {{"THORN MERE", {2950, 1960}, 30, AreaKind::Lake, 10},
              {"Harl Moor", {2480, 1880}, 20, AreaKind::Land, 6},
              {"Kettle Downs", {3330, 2000}, 18, AreaKind::Land, 5},
              {"Cobb's Heath", {2560, 2390}, 16, AreaKind::Land, 4}});
  LabelPlaces(p, used, corners, inside, {19, 16, 13}, 4.0);
  AddSights(p, corners, w.regionSights, 7.0, out.bookmarks);
  return out;
}

}  // namespace samplemaps
