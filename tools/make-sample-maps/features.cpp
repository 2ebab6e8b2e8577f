#include "features.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <queue>

namespace samplemaps {
namespace {

// Smooths a polyline by corner cutting, keeping its ends.
template <typename T>
void Chaikin(std::vector<QPointF>& pts, std::vector<T>* values, int rounds) {
  for (int r = 0; r < rounds && pts.size() > 2; ++r) {
    std::vector<QPointF> out{pts.front()};
    std::vector<T> vout;
    if (values) vout.push_back(values->front());
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
      out.push_back(pts[i] * 0.75 + pts[i + 1] * 0.25);
      out.push_back(pts[i] * 0.25 + pts[i + 1] * 0.75);
      if (values) {
        vout.push_back((*values)[i] * T(0.75) + (*values)[i + 1] * T(0.25));
        vout.push_back((*values)[i] * T(0.25) + (*values)[i + 1] * T(0.75));
      }
    }
    out.push_back(pts.back());
    if (values) {
      vout.push_back(values->back());
      *values = std::move(vout);
    }
    pts = std::move(out);
  }
}

// A cell centre moved a little by noise, so that rivers and roads do not follow the grid.
QPointF Wobble(int i) {
  const QPointF c = Hydrology::Centre(i);
  const double ox = Fbm(c.x() / 90.0, c.y() / 90.0, 71, 3) * CellUnits * 0.9;
  const double oy = Fbm(c.x() / 90.0 + 7.7, c.y() / 90.0 - 3.3, 72, 3) * CellUnits * 0.9;
  return c + QPointF(ox, oy);
}

}  // namespace

std::vector<River> TraceRivers(const Hydrology& h, float minFlow) {
  const int n = GridW * GridH;
  std::vector<uint8_t> isRiver(n, 0), hasUpstream(n, 0), used(n, 0);
  for (int i = 0; i < n; ++i) isRiver[i] = !h.IsSea(i) && h.flow[i] >= minFlow;
  for (int i = 0; i < n; ++i) {
    if (isRiver[i] && h.down[i] >= 0) hasUpstream[h.down[i]] = 1;
  }
  std::vector<int> sources;
  for (int i = 0; i < n; ++i) {
    if (isRiver[i] && !hasUpstream[i]) sources.push_back(i);
  }
  // Longest rivers first, so that tributaries end where they join them.
  std::sort(sources.begin(), sources.end(),
            [&](int a, int b) { return h.filled[a] != h.filled[b] ? h.filled[a] > h.filled[b] : a < b; });
  std::vector<River> rivers;
  auto finish = [&](River& river) {
    if (river.points.size() >= 4) {
      Chaikin(river.points, &river.flow, 3);
      rivers.push_back(std::move(river));
    }
    river = River{};
  };
  for (int s : sources) {
    // Down to the sea or to a river already traced; a river ends at a lake's shore and leaves it
    // again at the outflow.
    River river;
    int previous = -1;
    for (int i = s; i >= 0; previous = i, i = h.down[i]) {
      if (h.lake[i]) {
        if (!river.points.empty()) {
          river.points.push_back(Wobble(i));
          river.flow.push_back(h.flow[i]);
          finish(river);
        }
        if (used[i]) break;
        used[i] = 1;
        continue;
      }
      if (river.points.empty() && previous >= 0) {
        river.points.push_back(Wobble(previous));
        river.flow.push_back(h.flow[previous]);
      }
      river.points.push_back(Wobble(i));
      river.flow.push_back(h.flow[i]);
      if (used[i] || h.IsSea(i)) break;
      used[i] = 1;
    }
    finish(river);
  }
  return rivers;
}

std::vector<QPointF> ChooseSites(const Hydrology& h, QRectF area, double spacing, int count,
                                 const std::vector<QPointF>& taken, uint32_t seed) {
  struct Candidate {
    double score;
    QPointF at;
  };
  std::vector<Candidate> candidates;
  for (int gy = 2; gy < GridH - 2; gy += 2) {
    for (int gx = 2; gx < GridW - 2; gx += 2) {
      const int i = Hydrology::Index(gx, gy);
      const QPointF c = Hydrology::Centre(i);
      if (!area.contains(c) || h.IsSea(i) || h.lake[i]) continue;
      const double height = h.height[i];
      if (height < 0.01 || height > 0.32) continue;
      double river = 0, coast = 0;
      for (int dy = -3; dy <= 3; ++dy) {
        for (int dx = -3; dx <= 3; ++dx) {
          const int j = Hydrology::Index(gx + dx, gy + dy);
          if (h.IsSea(j) || h.lake[j]) coast = 1;
          if (!h.IsSea(j)) river = std::max(river, std::log10(1.0 + h.flow[j]));
        }
      }
      const double score = river + 1.2 * coast - 2.0 * height + 0.6 * Unit(Hash(gx, gy, seed));
      candidates.push_back({score, c});
    }
  }
  std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
    return a.score != b.score ? a.score > b.score
                              : (a.at.x() != b.at.x() ? a.at.x() < b.at.x() : a.at.y() < b.at.y());
  });
  std::vector<QPointF> sites;
  std::vector<QPointF> all = taken;
  for (const Candidate& c : candidates) {
    if (int(sites.size()) == count) break;
    bool near = false;
    for (const QPointF& p : all) near = near || std::hypot(p.x() - c.at.x(), p.y() - c.at.y()) < spacing;
    if (near) continue;
    sites.push_back(c.at);
    all.push_back(c.at);
  }
  return sites;
}

// Least-cost path over the grid between two world points: gentle ground is cheap, steep ground
// dear, rivers crossed by bridges at a price, and the sea and lakes not at all.
std::vector<QPointF> FindRoad(const Hydrology& h, QPointF from, QPointF to, float riverFlow) {
  auto cellOf = [](QPointF p) {
    return Hydrology::Index(std::clamp(int(p.x() / CellUnits), 0, GridW - 1),
                            std::clamp(int(p.y() / CellUnits), 0, GridH - 1));
  };
  const int start = cellOf(from), goal = cellOf(to);
  const int n = GridW * GridH;
  std::vector<float> cost(n, 1e30f);
  std::vector<int32_t> prev(n, -1);
  using Item = std::pair<float, int>;
  std::priority_queue<Item, std::vector<Item>, std::greater<Item>> open;
  const QPointF g = Hydrology::Centre(goal);
  auto estimate = [&](int i) {
    const QPointF c = Hydrology::Centre(i);
    return float(std::hypot(c.x() - g.x(), c.y() - g.y()) / CellUnits);
  };
  cost[start] = 0;
  open.push({estimate(start), start});
  while (!open.empty()) {
    const float f = open.top().first;
    const int i = open.top().second;
    open.pop();
    if (i == goal) break;
    if (f - estimate(i) > cost[i] + 1e-3f) continue;
    Hydrology::ForEachNeighbour(i, [&](int j, int dx, int dy) {
      if ((h.IsSea(j) || h.lake[j]) && j != goal) return;
      const double run = std::hypot(dx, dy);
      const double slope = std::fabs(h.height[j] - h.height[i]) / (run * CellUnits) * 300.0;
      double step = run * (1.0 + 6.0 * slope * slope + 1.5 * std::max(0.0, double(h.height[j]) - 0.3));
      if (h.flow[j] >= riverFlow) step += 6.0;
      const float c = cost[i] + float(step);
      if (c < cost[j]) {
        cost[j] = c;
        prev[j] = i;
        open.push({c + estimate(j), j});
      }
    });
  }
  std::vector<QPointF> path;
  if (prev[goal] < 0 && goal != start) return path;
  path.push_back(to);
  for (int i = prev[goal]; i >= 0 && i != start; i = prev[i]) path.push_back(Wobble(i));
  path.push_back(from);
  std::reverse(path.begin(), path.end());
  // Thin out the grid steps before smoothing, so roads run in long easy curves.
  std::vector<QPointF> sparse;
  for (std::size_t k = 0; k < path.size(); ++k) {
    if (k == 0 || k + 1 == path.size() || k % 3 == 0) sparse.push_back(path[k]);
  }
  Chaikin<float>(sparse, nullptr, 3);
  return sparse;
}

// Roads joining each place to its nearest neighbours among the places before it: a connected network
// without a road between every pair.
std::vector<std::pair<int, int>> RoadPairs(const std::vector<Place>& places, int maxRank, double maxLength) {
  std::vector<std::pair<int, int>> pairs;
  for (int i = 1; i < int(places.size()); ++i) {
    if (places[i].rank > maxRank) continue;
    std::vector<std::pair<double, int>> near;
    for (int j = 0; j < i; ++j) {
      if (places[j].rank > maxRank) continue;
      const QPointF d = places[i].world - places[j].world;
      near.push_back({std::hypot(d.x(), d.y()), j});
    }
    std::sort(near.begin(), near.end());
    for (std::size_t k = 0; k < near.size() && k < 2; ++k) {
      if (k == 0 || near[k].first < maxLength) pairs.push_back({near[k].second, i});
    }
  }
  return pairs;
}

}  // namespace samplemaps
