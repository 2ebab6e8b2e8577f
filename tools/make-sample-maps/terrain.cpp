#include "terrain.h"

#include <array>
#include <functional>
#include <queue>

namespace samplemaps {

Hydrology BuildHydrology(const Terrain& terrain) {
  Hydrology h;
  const int n = GridW * GridH;
  h.height.resize(n);
  for (int i = 0; i < n; ++i) {
    const QPointF c = Hydrology::Centre(i);
    h.height[i] = float(terrain.Elevation(c.x(), c.y()));
  }
  // Priority flood from the sea: each land cell is reached from its lowest already-reached
  // neighbour, and its level is raised just above that neighbour where it lies in a hollow.
  h.filled.assign(n, 0.0f);
  h.down.assign(n, -1);
  std::vector<uint8_t> done(n, 0);
  using Item = std::pair<double, int>;
  std::priority_queue<Item, std::vector<Item>, std::greater<Item>> open;
  for (int i = 0; i < n; ++i) {
    const int gx = i % GridW, gy = i / GridW;
    if (h.IsSea(i) || gx == 0 || gy == 0 || gx == GridW - 1 || gy == GridH - 1) {
      h.filled[i] = std::min(double(h.height[i]), 0.0);
      done[i] = 1;
      open.push({h.filled[i], i});
    }
  }
  constexpr double Rise = 1e-9;
  while (!open.empty()) {
    const double level = open.top().first;
    const int i = open.top().second;
    open.pop();
    Hydrology::ForEachNeighbour(i, [&](int j, int, int) {
      if (done[j]) return;
      done[j] = 1;
      h.filled[j] = std::max(double(h.height[j]), level + Rise);
      open.push({h.filled[j], j});
    });
  }
  // Each land cell drains to its steepest neighbour on the filled surface.
  for (int i = 0; i < n; ++i) {
    if (h.IsSea(i)) continue;
    double best = 0;
    Hydrology::ForEachNeighbour(i, [&](int j, int dx, int dy) {
      const double drop = (h.filled[i] - h.filled[j]) / std::hypot(dx, dy);
      if (drop > best) {
        best = drop;
        h.down[i] = j;
      }
    });
  }
  // Gather the flow from the highest cells down.
  std::vector<int> order(n);
  for (int i = 0; i < n; ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](int a, int b) { return h.filled[a] != h.filled[b] ? h.filled[a] > h.filled[b] : a < b; });
  h.flow.assign(n, 1.0f);
  for (int i : order) {
    if (h.down[i] >= 0) h.flow[h.down[i]] += h.flow[i];
  }
  // Lakes: whole hollows, as far as the water would stand in them, where they are deep and large
  // enough not to be mere ponds at this scale.
  h.lake.assign(n, 0);
  for (int i = 0; i < n; ++i) {
    if (!h.IsSea(i) && h.filled[i] - h.height[i] > 1e-4) h.lake[i] = 1;
  }
  std::vector<uint8_t> seen(n, 0);
  for (int i = 0; i < n; ++i) {
    if (!h.lake[i] || seen[i]) continue;
    std::vector<int> part{i};
    seen[i] = 1;
    for (std::size_t k = 0; k < part.size(); ++k) {
      const int c = part[k], gx = c % GridW, gy = c / GridW;
      const std::array<std::array<int, 2>, 4> steps{{{1, 0}, {-1, 0}, {0, 1}, {0, -1}}};
      for (const auto& d : steps) {
        const int nx = gx + d[0], ny = gy + d[1];
        if (nx < 0 || ny < 0 || nx >= GridW || ny >= GridH) continue;
        const int j = Hydrology::Index(nx, ny);
        if (h.lake[j] && !seen[j]) {
          seen[j] = 1;
          part.push_back(j);
        }
      }
    }
    double deepest = 0;
    for (int c : part) deepest = std::max(deepest, h.filled[c] - h.height[c]);
    if (part.size() < 60 || deepest < 0.035)
      for (int c : part) h.lake[c] = 0;
  }
  return h;
}

}  // namespace samplemaps
