#pragma once
// The world every map shows: terrain, water, places, roads and the sights bookmarked on the maps.
#include <QPointF>
#include <QRectF>
#include <vector>

#include "features.h"
#include "terrain.h"

namespace samplemaps {

// The regional map covers this part of the world at one picture pixel per world unit.
const QRectF RegionWorld(2300, 1500, 1200, 950);
// The town map of Orrin's Ford covers this part of the regional map's area, at DetailScale picture
// pixels per world unit.
const QRectF DetailWorld(2700, 2000, 450, 350);
constexpr int DetailScale = 2;

struct Sight {
  const char* name;
  QPointF world;
};

struct World {
  Terrain terrain;
  Hydrology hydro;
  std::vector<River> rivers;
  std::vector<Sight> worldSights, regionSights, detailSights;  // bookmarked points of each map
  std::vector<Place> places;  // towns (rank 0, 1) over the whole world, villages (rank 2) in the region
  std::vector<std::vector<QPointF>> mainRoads, localRoads;
};

World BuildWorld();

}  // namespace samplemaps
