#pragma once
// The world both maps show: terrain, water, places, roads and the sights bookmarked on the maps.
#include <QPointF>
#include <QRectF>
#include <vector>

#include "features.h"
#include "terrain.h"

namespace samplemaps {

// The regional map covers this part of the world at one picture pixel per world unit.
const QRectF RegionWorld(2300, 1500, 1200, 950);

struct Sight {
  const char* name;
  QPointF world;
};

struct World {
  Terrain terrain;
  Hydrology hydro;
  std::vector<River> rivers;
  std::vector<Sight> worldSights, regionSights;  // bookmarked points of the two maps
  std::vector<Place> places;  // towns (rank 0, 1) over the whole world, villages (rank 2) in the region
  std::vector<std::vector<QPointF>> mainRoads, localRoads;
};

World BuildWorld();

}  // namespace samplemaps
