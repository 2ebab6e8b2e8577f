#pragma once
// Rivers traced down the drainage, town sites and the roads between them, all in world positions.
#include <QPointF>
#include <QRectF>
#include <cstdint>
#include <utility>
#include <vector>

#include "terrain.h"

namespace samplemaps {

struct River {
  std::vector<QPointF> points;  // world points, from the source down
  std::vector<float> flow;      // flow at each point
};

// Rivers from every cell whose flow reaches minFlow, longest first, each down to the sea, a lake or
// a river already traced.
std::vector<River> TraceRivers(const Hydrology& h, float minFlow);

struct Place {
  const char* name;
  QPointF world;
  int rank;  // 0 capital, 1 town, 2 village
};

// Picks town sites: dry lowland near rivers or coasts, no two closer than spacing, highest score first.
std::vector<QPointF> ChooseSites(const Hydrology& h, QRectF area, double spacing, int count,
                                 const std::vector<QPointF>& taken, uint32_t seed);

// Least-cost path over the grid between two world points: gentle ground is cheap, steep ground
// dear, rivers crossed by bridges at a price, and the sea and lakes not at all.
std::vector<QPointF> FindRoad(const Hydrology& h, QPointF from, QPointF to, float riverFlow);

// Roads joining each place to its nearest neighbours among the places before it: a connected network
// without a road between every pair.
std::vector<std::pair<int, int>> RoadPairs(const std::vector<Place>& places, int maxRank, double maxLength);

}  // namespace samplemaps
