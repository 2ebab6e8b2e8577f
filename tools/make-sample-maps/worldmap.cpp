// The world map: the whole of Veldrane on one picture, with the regional map's area outlined.
#include <QPainter>

#include "drawing.h"
#include "lettering.h"
#include "maps.h"
#include "paint.h"

namespace samplemaps {

MapOutput DrawWorldMap(World& w) {
  const Corners corners{{{14, 12}, {2036, 16}, {10, 1626}, {2034, 1622}}};
  const int width = 2048, height = 1638;
  MapOutput out = StartMap(w, corners, width, height, 8, 260.0);
  QPainter p(&out.picture);
  p.translate(0.5, 0.5);  // picture coordinates name pixel centres
  DrawRivers(p, corners, w.rivers, 0.45);
  DrawRoads(p, corners, w.mainRoads, 1.3, false);
  DrawGrid(p, corners, QRectF(0, 0, WorldW, WorldH), 512, 11, 70);
  // The world's edge: a neat line around the mapped area.
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(70, 50, 30), 1.6));
  p.setBrush(Qt::NoBrush);
  p.drawPolygon(QPolygonF{corners.ul(), corners.ur(), corners.lr(), corners.ll()});
  p.restore();

  Occupancy used;
  // The regional map's area, outlined and named: the link area that opens it.
  out.links.push_back(OutlineMapArea(p, used, corners, RegionWorld, QStringLiteral("Thornmere"),
                                     QStringLiteral("(regional map)"), "Thornmere.dem",
                                     "Thornmere: open the regional map"));

  std::vector<Place> towns;
  for (const Place& pl : w.places)
    if (pl.rank < 2) towns.push_back(pl);
  for (const Place& pl : towns) DrawPlaceMarker(p, corners.ToPicture(pl.world), pl.rank, 3.2);

  // Title and compass.
  const QRectF title(40, height - 190, 330, 150);
  TitleBox(p, used, title, {QStringLiteral("VELDRANE"), 34, 48}, 6,
           {QStringLiteral("The Known World"), 15, 76},
           {{QStringLiteral("World positions 0 \u2013 5120 by 0 \u2013 4096"), 11, 104},
            {QStringLiteral("Grid every 512 steps"), 11, 124}});
  CompassRose(p, {width - 110.0, 120.0}, 52);
  used.boxes.push_back(QRectF(width - 170, 50, 120, 130));

  LabelAreas(p, used, corners,
             {{"The Mirror Sea", {2650, 230}, 22, AreaKind::Sea, 6},
              {"Sea of Maelis", {420, 3000}, 17, AreaKind::Sea, 3},
              {"Stormwater Reach", {2700, 3930}, 20, AreaKind::Sea, 5},
              {"Eastern Deep", {4720, 3400}, 18, AreaKind::Sea, 4},
              {"Thorn Mere", {2950, 1960}, 11, AreaKind::Lake, 1},
              {"ASHCROWN PEAKS", {3250, 3000}, 16, AreaKind::Land, 5},
              {"Brannock Hills", {1250, 2560}, 14, AreaKind::Land, 3},
              {"Grey Fells", {2030, 930}, 14, AreaKind::Land, 3},
              {"Isle of Kell", {4530, 2300}, 13, AreaKind::Land, 2}});
  LabelPlaces(p, used, corners, towns, {17, 13, 10}, 3.2);
  AddSights(p, corners, w.worldSights, 6.0, out.bookmarks);
  return out;
}

}  // namespace samplemaps
