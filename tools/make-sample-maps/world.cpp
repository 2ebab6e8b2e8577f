#include "world.h"

#include <cmath>

namespace samplemaps {
namespace {

// The highest ground within radius of a world point (cell centres).
QPointF HighestNear(const Hydrology& h, QPointF at, double radius) {
  QPointF best = at;
  double top = -1e9;
  for (int i = 0; i < GridW * GridH; ++i) {
    const QPointF c = Hydrology::Centre(i);
    if (std::hypot(c.x() - at.x(), c.y() - at.y()) <= radius && h.height[i] > top) {
      top = h.height[i];
      best = c;
    }
  }
  return best;
}

// The dry cell nearest to a world point that has the sea (or a lake) beside it.
QPointF ShoreNear(const Hydrology& h, QPointF at, bool lake) {
  QPointF best = at;
  double nearest = 1e30;
  for (int gy = 1; gy < GridH - 1; ++gy) {
    for (int gx = 1; gx < GridW - 1; ++gx) {
      const int i = Hydrology::Index(gx, gy);
      if (h.IsSea(i) || h.lake[i]) continue;
      bool shore = false;
      for (int d = 0; d < 4; ++d) {
        const int j = Hydrology::Index(gx + (d == 0) - (d == 1), gy + (d == 2) - (d == 3));
        shore = shore || (lake ? bool(h.lake[j]) : h.IsSea(j));
      }
      const QPointF c = Hydrology::Centre(i);
      const double distance = std::hypot(c.x() - at.x(), c.y() - at.y());
      if (shore && distance < nearest) {
        nearest = distance;
        best = c;
      }
    }
  }
  return best;
}

}  // namespace

World BuildWorld() {
  World w;
  w.terrain.detail = 7;
  w.hydro = BuildHydrology(w.terrain);
  w.rivers = TraceRivers(w.hydro, 260.0f);
  static const char* townNames[] = {
      "Aldermoor", "Cresthaven",    "Duskwater", "Ebonford",  "Fallowmere",  "Gildenport",   "Harrowgate",
      "Ivybridge", "Kestrel Point", "Lanthorn",  "Marrowick", "Northbarrow", "Orrin's Ford", "Pellmarsh"};
  static const char* villageNames[] = {"Ashby Cross", "Bramblecote", "Cinderwell", "Dovecombe",
                                       "Elmstead",    "Fernhollow",  "Greyling",   "Hobbs End",
                                       "Inchmoor",    "Juniper Hill"};
  const QRectF land(300, 250, WorldW - 600, WorldH - 500);
  const std::vector<QPointF> towns = ChooseSites(w.hydro, land, 520, 14, {}, 7);
  for (std::size_t i = 0; i < towns.size(); ++i) w.places.push_back({townNames[i], towns[i], i == 0 ? 0 : 1});
  // Villages of the regional map, kept away from its edges so that their names fit.
  std::vector<QPointF> taken = towns;
  const std::vector<QPointF> villages =
      ChooseSites(w.hydro, RegionWorld.adjusted(60, 60, -60, -60), 170, 10, taken, 9);
  for (std::size_t i = 0; i < villages.size(); ++i) w.places.push_back({villageNames[i], villages[i], 2});

  w.worldSights = {{"Dragon's Tooth", HighestNear(w.hydro, {2560, 2048}, 6000)},
                   {"Old Lighthouse", ShoreNear(w.hydro, {1270, 600}, false)},
                   {"Stone Circle", HighestNear(w.hydro, {1250, 2450}, 250)},
                   {"Sunken Abbey", ShoreNear(w.hydro, {1860, 3780}, false)}};
  w.detailSights = {{"Ferry Landing", ShoreNear(w.hydro, {2880, 2140}, true)},
                    {"Boathouse", ShoreNear(w.hydro, {3020, 2160}, true)},
                    {"Beacon Hill", HighestNear(w.hydro, {2790, 2290}, 60)}};
  w.regionSights = {{"Ferry Landing", ShoreNear(w.hydro, {2880, 2140}, true)},
                    {"Watchtower", HighestNear(w.hydro, RegionWorld.center(), 420)},
                    {"Hermit's Cave", HighestNear(w.hydro, {2450, 2300}, 150)}};

  for (auto [a, b] : RoadPairs(w.places, 1, 1300))
    if (auto road = FindRoad(w.hydro, w.places[a].world, w.places[b].world, 260.0f); !road.empty())
      w.mainRoads.push_back(std::move(road));
  // Each village joins the nearest town or village that lies before it.
  for (std::size_t i = 0; i < w.places.size(); ++i) {
    if (w.places[i].rank != 2) continue;
    double best = 1e30;
    int to = -1;
    for (std::size_t j = 0; j < w.places.size(); ++j) {
      if (j == i || (w.places[j].rank == 2 && j > i)) continue;
      const QPointF d = w.places[j].world - w.places[i].world;
      if (std::hypot(d.x(), d.y()) < best) {
        best = std::hypot(d.x(), d.y());
        to = int(j);
      }
    }
    if (to >= 0)
      if (auto road = FindRoad(w.hydro, w.places[i].world, w.places[to].world, 260.0f); !road.empty())
        w.localRoads.push_back(std::move(road));
  }
  return w;
}

}  // namespace samplemaps
