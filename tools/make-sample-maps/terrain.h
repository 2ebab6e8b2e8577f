#pragma once
// The continent as functions of the world position (x 0..5120, y 0..4096, y growing southward), and
// the water that runs over it.
#include <QPointF>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "maths.h"
#include "noise.h"

namespace samplemaps {

struct Terrain {
  // Octaves of the finest detail: more for maps that show more of it.
  int detail = 8;

  // Height above the sea: below 0 is water, about 1 the highest peaks.
  double Elevation(double wx, double wy) const {
    // A strong, slow warp bends the outline of the continent into bays and capes; the hills get only
    // a gentle one, since a strong warp would stretch them into streaks.
    const double qx = wx + 440.0 * Fbm(wx / 1400.0, wy / 1400.0, 11, 4);
    const double qy = wy + 440.0 * Fbm(wx / 1400.0 + 5.2, wy / 1400.0 + 1.3, 12, 4);
    const double rx = wx + 90.0 * Fbm(wx / 700.0 - 3.7, wy / 700.0 + 8.1, 13, 3);
    const double ry = wy + 90.0 * Fbm(wx / 700.0 + 6.4, wy / 700.0 - 2.9, 14, 3);
    const double dx = (qx - 2580.0) / 2450.0, dy = (qy - 2060.0) / 1950.0;
    const double d2 = dx * dx + dy * dy;
    const double base = 0.36 - 0.60 * d2 * std::sqrt(d2);
    const double hills = 0.40 * Fbm(rx / 760.0, ry / 760.0, 21, detail, 0.52);
    // A scatter of islands off the coasts.
    const double isles = 0.5 * std::max(0.0, Fbm(qx / 260.0 - 7.3, qy / 260.0 + 2.2, 81, 4) - 0.22) *
                         SmoothStep(0.55, 0.9, d2) * (1.0 - SmoothStep(1.3, 1.7, d2));
    const double land = base + hills + isles;
    // Mountains rise where a slow noise field is high, and only on land.
    const double range = SmoothStep(0.05, 0.38, Fbm(qx / 1700.0 + 3.1, qy / 1700.0 - 2.4, 41, 3));
    const double ridges = Ridged(rx / 640.0, ry / 640.0, 31, std::min(5, detail - 2));
    const double height = land + 0.78 * range * ridges * SmoothStep(-0.02, 0.16, land);
    // The sea floor falls away faster than the land rises, so that shallows stay near the coasts.
    return height < 0 ? height * 1.8 : height;
  }

  // 0..1: how much of the ground is woodland.
  double Forest(double wx, double wy, double h) const {
    const double f = Fbm(wx / 420.0 + 8.8, wy / 420.0 - 4.1, 51, 5);
    return SmoothStep(0.04, 0.16, f) * SmoothStep(0.015, 0.05, h) * (1.0 - SmoothStep(0.30, 0.42, h));
  }
};

// Water: a coarse height grid over the whole world, its depressions filled so that every cell
// drains to the sea, the flow gathered downhill, and the cells that gather enough of it become rivers.

constexpr int CellUnits = 8;
constexpr int GridW = int(WorldW) / CellUnits;
constexpr int GridH = int(WorldH) / CellUnits;

struct Hydrology {
  std::vector<float> height;   // terrain at the cell centre
  std::vector<double> filled;  // lowest level from which the cell can drain to the sea
  std::vector<int32_t> down;   // the cell it drains into, -1 for the sea
  std::vector<float> flow;     // cells draining through it, itself included
  std::vector<uint8_t> lake;   // part of a lake

  static int Index(int gx, int gy) { return gy * GridW + gx; }
  static QPointF Centre(int i) { return {(i % GridW + 0.5) * CellUnits, (i / GridW + 0.5) * CellUnits}; }
  bool IsSea(int i) const { return height[i] < 0.0f; }

  // Calls visit(j, dx, dy) for each of the up to eight cells j around cell i, row by row.
  template <typename Visit>
  static void ForEachNeighbour(int i, Visit visit) {
    const int gx = i % GridW, gy = i / GridW;
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const int nx = gx + dx, ny = gy + dy;
        if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= GridW || ny >= GridH) continue;
        visit(Index(nx, ny), dx, dy);
      }
    }
  }

  // The surface of a lake next to a world point, if there is one; the ground below it is water.
  std::optional<double> LakeLevel(double wx, double wy) const {
    const int gx = int(std::floor(wx / CellUnits)), gy = int(std::floor(wy / CellUnits));
    std::optional<double> level;
    for (int y = std::max(0, gy - 1); y <= std::min(GridH - 1, gy + 1); ++y)
      for (int x = std::max(0, gx - 1); x <= std::min(GridW - 1, gx + 1); ++x)
        if (const int i = Index(x, y); lake[i]) level = std::max(level.value_or(-1.0), double(filled[i]));
    return level;
  }
};

Hydrology BuildHydrology(const Terrain& terrain);

}  // namespace samplemaps
