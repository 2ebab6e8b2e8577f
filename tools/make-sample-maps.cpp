// Draws the pictures that ship with Orvantis: the two sample maps of the invented continent Veldrane
// (a world map and a regional map of the Thornmere lowlands, each a ".dem" and ".JPG" pair that link
// to each other), the magnifying-glass marker with its two-colour mask, and the program icon.
//
//   make-sample-maps ASSETS_DIR
//
// writes ASSETS_DIR/maps/{Veldrane,Thornmere}.{dem,JPG}, ASSETS_DIR/glass.png,
// ASSETS_DIR/glass-mask.png, ASSETS_DIR/orvantis.png and ASSETS_DIR/orvantis-32.png.
//
// Everything is deterministic: the terrain is a fixed function of the world position built from
// seeded noise, so both maps show the same coasts, rivers and towns, each through the same bilinear
// corner mapping that the program uses to place world points on a picture. The labels use the DejaVu
// fonts (Debian's fonts-dejavu-core).
#include <turbojpeg.h>

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <queue>
#include <string>
#include <vector>

#include "core/transform.h"

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double WorldW = 5120.0;
constexpr double WorldH = 4096.0;
constexpr char Sep = '\xB3';  // field separator of stored records

double Clamp01(double v) {
  return std::clamp(v, 0.0, 1.0);
}
double SmoothStep(double a, double b, double v) {
  const double t = Clamp01((v - a) / (b - a));
  return t * t * (3.0 - 2.0 * t);
}
double Lerp(double a, double b, double t) {
  return a + (b - a) * t;
}

struct Rgb {
  double r, g, b;
};
Rgb Mix(Rgb a, Rgb b, double t) {
  return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t)};
}
Rgb Scale(Rgb a, double s) {
  return {a.r * s, a.g * s, a.b * s};
}
QRgb ToQRgb(Rgb c) {
  auto ch = [](double v) { return int(std::lround(std::clamp(v, 0.0, 255.0))); };
  return qRgb(ch(c.r), ch(c.g), ch(c.b));
}

// ---------------------------------------------------------------------------------------------
// Noise: seeded gradient noise and its fractal sums. No state, no clock: the same input always gives
// the same value.

uint32_t Hash(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h = seed * 0x9E3779B1u + 0x7F4A7C15u;
  h ^= uint32_t(x) * 0x85EBCA6Bu;
  h = (h << 13) | (h >> 19);
  h *= 0xC2B2AE35u;
  h ^= uint32_t(y) * 0x27D4EB2Fu;
  h = (h << 15) | (h >> 17);
  h *= 0x165667B1u;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

double Unit(uint32_t h) {
  return double(h) / 4294967295.0;
}

// Gradient noise, roughly -1..1.
double Noise(double x, double y, uint32_t seed) {
  const double fx = std::floor(x), fy = std::floor(y);
  const int32_t ix = int32_t(fx), iy = int32_t(fy);
  const double dx = x - fx, dy = y - fy;
  static const auto directions = [] {
    std::array<std::array<double, 2>, 64> d{};
    for (int k = 0; k < 64; ++k) d[k] = {std::cos(k * Pi / 32), std::sin(k * Pi / 32)};
    return d;
  }();
  auto grad = [&](int32_t cx, int32_t cy, double ox, double oy) {
    const auto& g = directions[Hash(cx, cy, seed) >> 26];
    return g[0] * ox + g[1] * oy;
  };
  const double n00 = grad(ix, iy, dx, dy);
  const double n10 = grad(ix + 1, iy, dx - 1, dy);
  const double n01 = grad(ix, iy + 1, dx, dy - 1);
  const double n11 = grad(ix + 1, iy + 1, dx - 1, dy - 1);
  auto fade = [](double t) { return t * t * t * (t * (t * 6 - 15) + 10); };
  const double u = fade(dx), v = fade(dy);
  return 1.41 * Lerp(Lerp(n00, n10, u), Lerp(n01, n11, u), v);
}

// Fractal sum of octaves, each rotated a little so that no axis shows through.
double Fbm(double x, double y, uint32_t seed, int octaves, double gain = 0.5) {
  double sum = 0, amp = 1, norm = 0;
  const double c = std::cos(0.6), s = std::sin(0.6);
  for (int i = 0; i < octaves; ++i) {
    sum += amp * Noise(x, y, seed + uint32_t(i) * 101u);
    norm += amp;
    const double nx = (c * x - s * y) * 2.03 + 17.1, ny = (s * x + c * y) * 2.03 - 9.7;
    x = nx;
    y = ny;
    amp *= gain;
  }
  return sum / norm;
}

// Sharp crests where the noise crosses zero: mountain ridges, 0..1.
double Ridged(double x, double y, uint32_t seed, int octaves) {
  double sum = 0, amp = 1, norm = 0, weight = 1;
  const double c = std::cos(0.9), s = std::sin(0.9);
  for (int i = 0; i < octaves; ++i) {
    double n = 1.0 - std::fabs(Noise(x, y, seed + uint32_t(i) * 131u));
    n *= n;
    sum += amp * n * weight;
    norm += amp;
    weight = Clamp01(n * 1.6);
    const double nx = (c * x - s * y) * 2.1 + 3.3, ny = (s * x + c * y) * 2.1 + 5.9;
    x = nx;
    y = ny;
    amp *= 0.5;
  }
  return sum / norm;
}

// ---------------------------------------------------------------------------------------------
// The continent, as functions of the world position (x 0..5120, y 0..4096, y growing southward).

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

// ---------------------------------------------------------------------------------------------
// Corner mapping: the picture positions of the world's four corners, and the bilinear interpolation
// between them that places a world point on the picture. Integer picture coordinates are pixel
// centres, as in the program.

struct Corners {
  QPointF ul, ur, ll, lr;

  QPointF ToPicture(QPointF w) const {
    const double u = w.x() / WorldW, v = w.y() / WorldH;
    const QPointF top = ul + (ur - ul) * u;
    const QPointF bottom = ll + (lr - ll) * u;
    return top + (bottom - top) * v;
  }

  // The world point shown at picture position p: Newton's method on the bilinear mapping.
  QPointF ToWorld(QPointF p) const {
    double u = (p.x() - ul.x()) / (ur.x() - ul.x()), v = (p.y() - ul.y()) / (ll.y() - ul.y());
    for (int i = 0; i < 8; ++i) {
      const QPointF top = ul + (ur - ul) * u, bottom = ll + (lr - ll) * u;
      const QPointF at = top + (bottom - top) * v;
      const QPointF du = (ur - ul) * (1 - v) + (lr - ll) * v;  // derivative along u
      const QPointF dv = bottom - top;                         // derivative along v
      const QPointF r = p - at;
      const double det = du.x() * dv.y() - du.y() * dv.x();
      if (std::fabs(det) < 1e-12) break;
      const double su = (r.x() * dv.y() - r.y() * dv.x()) / det;
      const double sv = (du.x() * r.y() - du.y() * r.x()) / det;
      u += su;
      v += sv;
      if (std::fabs(su) + std::fabs(sv) < 1e-12) break;
    }
    return {u * WorldW, v * WorldH};
  }

  // Picture pixels per world unit, horizontally.
  double PixelsPerUnit() const { return (ur.x() - ul.x()) / WorldW; }
};

// ---------------------------------------------------------------------------------------------
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
    const auto [level, i] = open.top();
    open.pop();
    const int gx = i % GridW, gy = i / GridW;
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const int nx = gx + dx, ny = gy + dy;
        if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= GridW || ny >= GridH) continue;
        const int j = Hydrology::Index(nx, ny);
        if (done[j]) continue;
        done[j] = 1;
        h.filled[j] = std::max(double(h.height[j]), level + Rise);
        open.push({h.filled[j], j});
      }
    }
  }
  // Each land cell drains to its steepest neighbour on the filled surface.
  for (int i = 0; i < n; ++i) {
    if (h.IsSea(i)) continue;
    const int gx = i % GridW, gy = i / GridW;
    double best = 0;
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const int nx = gx + dx, ny = gy + dy;
        if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= GridW || ny >= GridH) continue;
        const int j = Hydrology::Index(nx, ny);
        const double drop = (h.filled[i] - h.filled[j]) / std::hypot(dx, dy);
        if (drop > best) {
          best = drop;
          h.down[i] = j;
        }
      }
    }
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

struct River {
  std::vector<QPointF> points;  // world points, from the source down
  std::vector<float> flow;      // flow at each point
};

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

// ---------------------------------------------------------------------------------------------
// Towns and roads.

struct Place {
  const char* name;
  QPointF world;
  int rank;  // 0 capital, 1 town, 2 village
};

// Picks town sites: dry lowland near rivers or coasts, no two closer than spacing, highest score first.
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
    const auto [f, i] = open.top();
    open.pop();
    if (i == goal) break;
    if (f - estimate(i) > cost[i] + 1e-3f) continue;
    const int gx = i % GridW, gy = i / GridW;
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const int nx = gx + dx, ny = gy + dy;
        if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= GridW || ny >= GridH) continue;
        const int j = Hydrology::Index(nx, ny);
        if ((h.IsSea(j) || h.lake[j]) && j != goal) continue;
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
      }
    }
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

// ---------------------------------------------------------------------------------------------
// Painting the terrain of one picture.

Rgb LandColour(double h) {
  struct Stop {
    double h;
    Rgb c;
  };
  static const std::array<Stop, 8> stops{{{0.00, {170, 200, 128}},
                                          {0.07, {138, 182, 106}},
                                          {0.18, {170, 188, 114}},
                                          {0.30, {204, 190, 136}},
                                          {0.44, {178, 148, 108}},
                                          {0.58, {146, 128, 112}},
                                          {0.72, {178, 174, 172}},
                                          {0.84, {246, 246, 250}}}};
  if (h <= stops.front().h) return stops.front().c;
  for (std::size_t i = 1; i < stops.size(); ++i) {
    if (h < stops[i].h)
      return Mix(stops[i - 1].c, stops[i].c, (h - stops[i - 1].h) / (stops[i].h - stops[i - 1].h));
  }
  return stops.back().c;
}

Rgb SeaColour(double depth) {
  if (depth < 0.05) return Mix({146, 196, 222}, {106, 162, 204}, depth / 0.05);
  if (depth < 0.20) return Mix({106, 162, 204}, {74, 128, 180}, (depth - 0.05) / 0.15);
  return Mix({74, 128, 180}, {50, 96, 150}, Clamp01((depth - 0.20) / 0.35));
}

const Rgb LakeColour{126, 180, 214};
const Rgb CoastLine{58, 84, 110};
const Rgb Parchment{236, 224, 190};

// Fills picture with the terrain seen through the corner mapping; pixels outside the world get
// the page border colour.
QImage PaintTerrain(const Terrain& terrain, const Hydrology& hydro, const Corners& corners, int width,
                    int height, double relief) {
  const int w2 = width + 2, h2 = height + 2;
  std::vector<double> elev(std::size_t(w2) * h2);
  std::vector<QPointF> world(std::size_t(w2) * h2);
  for (int y = 0; y < h2; ++y) {
    for (int x = 0; x < w2; ++x) {
      const QPointF w = corners.ToWorld(QPointF(x - 1, y - 1));
      world[std::size_t(y) * w2 + x] = w;
      elev[std::size_t(y) * w2 + x] = terrain.Elevation(w.x(), w.y());
    }
  }
  const double unitsPerPixel = 1.0 / corners.PixelsPerUnit();
  const double lx = -0.55, ly = -0.65, lz = 0.9;
  const double ll = std::sqrt(lx * lx + ly * ly + lz * lz);

  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const std::size_t k = std::size_t(y + 1) * w2 + (x + 1);
      const QPointF w = world[k];
      const double h = elev[k];
      if (w.x() < 0 || w.y() < 0 || w.x() > WorldW || w.y() > WorldH) {
        line[x] = ToQRgb(Mix(Parchment, {200, 182, 140}, 0.5 + 0.5 * Fbm(x / 40.0, y / 40.0, 99, 3)));
        continue;
      }
      const double gx = (elev[k + 1] - elev[k - 1]) / (2 * unitsPerPixel);
      const double gy = (elev[k + w2] - elev[k - w2]) / (2 * unitsPerPixel);
      const double grad = std::hypot(gx, gy) * unitsPerPixel;  // per pixel
      Rgb c;
      std::optional<double> lakeDepth;
      if (h < 0) {
        c = SeaColour(-h);
      } else {
        c = LandColour(h);
        // Woods, with a canopy texture that shows at larger scales.
        const double canopy = 0.5 + 0.5 * Noise(w.x() / 6.0, w.y() / 6.0, 61);
        c = Mix(c, {84, 128, 74}, terrain.Forest(w.x(), w.y(), h) * (0.45 + 0.3 * canopy));
        // Hill shading: light from the north-west.
        const double nx = -gx * relief, ny = -gy * relief;
        const double nl = std::sqrt(nx * nx + ny * ny + 1.0);
        const double lit = (nx * lx + ny * ly + lz) / (nl * ll) / (lz / ll);
        c = Scale(c, std::clamp(0.62 + 0.38 * lit, 0.35, 1.25));
        if (const auto level = hydro.LakeLevel(w.x(), w.y()); level && h < *level) {
          c = LakeColour;
          lakeDepth = *level - h;
        } else if (level) {
          lakeDepth = *level - h;  // negative: dry ground beside a lake
        }
        // A narrow sandy fringe along the shore.
        c = Mix(c, {222, 208, 160}, 0.7 * (1.0 - SmoothStep(0.0, 0.012, h)));
      }
      // The shore line, about one pixel wide, from the distance to the zero height.
      if (grad > 1e-9) {
        const double distance = std::min(std::fabs(h), std::fabs(lakeDepth.value_or(1.0))) / grad;
        c = Mix(c, CoastLine, 0.85 * (1.0 - SmoothStep(0.2, 1.0, distance)));
      }
      line[x] = ToQRgb(c);
    }
  }
  return image;
}

// ---------------------------------------------------------------------------------------------
// Drawing over the terrain.

QFont MapFont(double pixelSize, bool bold = false, bool italic = false, const char* family = "DejaVu Serif") {
  QFont f(QString::fromLatin1(family));
  f.setPixelSize(std::max(1, int(std::lround(pixelSize))));
  f.setBold(bold);
  f.setItalic(italic);
  f.setHintingPreference(QFont::PreferNoHinting);
  f.setStyleStrategy(QFont::PreferAntialias);
  return f;
}

// Text with a pale halo, so that it stays legible on any ground. at is the baseline start.
void HaloText(QPainter& p, QPointF at, const QString& text, const QFont& font, QColor colour,
              QColor halo = QColor(250, 246, 232, 215), double haloWidth = 3.0, double letterSpacing = 0) {
  QFont f = font;
  if (letterSpacing != 0) f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
  QPainterPath path;
  path.addText(at, f, text);
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  if (haloWidth > 0) {
    p.setPen(QPen(halo, haloWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPath(path);
  p.restore();
}

QRectF TextBox(QPointF at, const QString& text, const QFont& font, double letterSpacing = 0) {
  QFont f = font;
  if (letterSpacing != 0) f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
  QFontMetricsF m(f);
  return QRectF(at.x(), at.y() - m.ascent(), m.horizontalAdvance(text), m.ascent() + m.descent());
}

// Keeps labels and decorations from covering each other.
struct Occupancy {
  std::vector<QRectF> boxes;
  bool Free(const QRectF& r) const {
    for (const QRectF& b : boxes)
      if (b.intersects(r)) return false;
    return true;
  }
};

QPainterPath WorldPath(const Corners& corners, const std::vector<QPointF>& world) {
  QPainterPath path;
  for (std::size_t i = 0; i < world.size(); ++i) {
    const QPointF p = corners.ToPicture(world[i]);
    if (i == 0)
      path.moveTo(p);
    else
      path.lineTo(p);
  }
  return path;
}

void DrawRivers(QPainter& p, const Corners& corners, const std::vector<River>& rivers, double widthScale) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QColor water(78, 134, 190);
  for (const River& r : rivers) {
    for (std::size_t i = 0; i + 1 < r.points.size(); ++i) {
      const double width = widthScale * (0.5 + 0.055 * std::sqrt(double(r.flow[i])));
      p.setPen(QPen(water, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawLine(corners.ToPicture(r.points[i]), corners.ToPicture(r.points[i + 1]));
    }
  }
  p.restore();
}

void DrawRoads(QPainter& p, const Corners& corners, const std::vector<std::vector<QPointF>>& roads,
               double width, bool casing) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  for (const auto& road : roads) {
    const QPainterPath path = WorldPath(corners, road);
    if (casing) {
      p.setPen(QPen(QColor(250, 240, 214, 200), width + 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPath(path);
    }
    p.setPen(
        QPen(QColor(150, 62, 40), width, casing ? Qt::SolidLine : Qt::DashLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
  }
  p.restore();
}

void DrawPlaceMarker(QPainter& p, QPointF at, int rank, double size) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(30, 24, 20), std::max(1.0, size * 0.3)));
  if (rank == 0) {
    p.setBrush(QColor(250, 246, 232));
    p.drawEllipse(at, size * 1.5, size * 1.5);
    p.setBrush(QColor(160, 30, 30));
    p.drawEllipse(at, size * 0.8, size * 0.8);
  } else if (rank == 1) {
    p.setBrush(QColor(160, 30, 30));
    p.drawEllipse(at, size, size);
  } else {
    p.setBrush(QColor(250, 246, 232));
    p.drawEllipse(at, size * 0.75, size * 0.75);
  }
  p.restore();
}

// Writes the place names beside their markers, on the first free side.
void LabelPlaces(QPainter& p, Occupancy& used, const Corners& corners, const std::vector<Place>& places,
                 const std::array<double, 3>& sizes, double markerSize) {
  for (const Place& place : places) {
    const QPointF at = corners.ToPicture(place.world);
    const double markerR = markerSize * (place.rank == 0 ? 1.5 : 1.0);
    used.boxes.push_back(QRectF(at - QPointF(markerR, markerR), QSizeF(2 * markerR, 2 * markerR)));
  }
  for (const Place& place : places) {
    const QPointF at = corners.ToPicture(place.world);
    const QFont font = MapFont(sizes[std::size_t(place.rank)], place.rank < 2);
    const QString name = QString::fromLatin1(place.name);
    const QRectF box = TextBox({0, 0}, name, font);
    const double gap = markerSize * 1.6 + 2;
    const std::array<QPointF, 6> offsets{{{gap, box.height() * 0.33},
                                          {-gap - box.width(), box.height() * 0.33},
                                          {-box.width() / 2, -gap},
                                          {-box.width() / 2, gap + box.height() * 0.75},
                                          {gap, -gap * 0.6},
                                          {-gap - box.width(), gap + box.height() * 0.6}}};
    for (const QPointF& off : offsets) {
      const QPointF base = at + off;
      const QRectF r = TextBox(base, name, font).adjusted(-2, -2, 2, 2);
      if (!used.Free(r) || r.left() < 4 || r.top() < 4 || r.right() > p.device()->width() - 4 ||
          r.bottom() > p.device()->height() - 4)
        continue;
      HaloText(p, base, name, font, QColor(28, 22, 18));
      used.boxes.push_back(r);
      break;
    }
  }
}

enum class AreaKind { Sea, Lake, Land };

// A spaced-out italic name for a sea, a lake or a range, centred on a world point: pale on the deep
// sea, dark blue on lakes, dark brown with a halo on land.
void AreaLabel(QPainter& p, Occupancy& used, const Corners& corners, QPointF world, const QString& text,
               double size, AreaKind kind, double spacing) {
  const QFont font = MapFont(size, false, true);
  const QRectF box = TextBox({0, 0}, text, font, spacing);
  const QPointF at = corners.ToPicture(world) - QPointF(box.width() / 2, -box.height() * 0.3);
  switch (kind) {
    case AreaKind::Sea:
      HaloText(p, at, text, font, QColor(222, 236, 248), QColor(), 0, spacing);
      break;
    case AreaKind::Lake:
      HaloText(p, at, text, font, QColor(24, 58, 108), QColor(), 0, spacing);
      break;
    case AreaKind::Land:
      HaloText(p, at, text, font, QColor(62, 42, 26), QColor(250, 246, 232, 190), 3.0, spacing);
      break;
  }
  used.boxes.push_back(TextBox(at, text, font, spacing));
}

// Thin lines of equal world coordinate every step units, numbered along the top and left edges.
void DrawGrid(QPainter& p, const Corners& corners, QRectF world, double step, double fontSize, int alpha) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 60, alpha), 1.0));
  const double x0 = std::ceil(world.left() / step) * step, y0 = std::ceil(world.top() / step) * step;
  for (double x = x0; x <= world.right() + 1e-9; x += step)
    p.drawLine(corners.ToPicture({x, world.top()}), corners.ToPicture({x, world.bottom()}));
  for (double y = y0; y <= world.bottom() + 1e-9; y += step)
    p.drawLine(corners.ToPicture({world.left(), y}), corners.ToPicture({world.right(), y}));
  p.restore();
  const QFont font = MapFont(fontSize, false, false, "DejaVu Sans");
  const QColor ink(40, 40, 60);
  for (double x = x0; x <= world.right() + 1e-9; x += step) {
    const QPointF top = corners.ToPicture({x, world.top()});
    const QString t = QString::number(int(x));
    if (top.x() < 4 || top.x() > p.device()->width() - 30) continue;
    HaloText(p, top + QPointF(3, fontSize + 3), t, font, ink, QColor(250, 246, 232, 200), 2.5);
  }
  for (double y = y0; y <= world.bottom() + 1e-9; y += step) {
    const QPointF left = corners.ToPicture({world.left(), y});
    if (left.y() < fontSize + 14 || left.y() > p.device()->height() - 4) continue;
    HaloText(p, left + QPointF(3, -3), QString::number(int(y)), font, ink, QColor(250, 246, 232, 200), 2.5);
  }
}

// A framed box on parchment, with a double border.
void Cartouche(QPainter& p, const QRectF& r) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 60));
  p.drawRoundedRect(r.translated(3, 3), 6, 6);
  p.setBrush(QColor(244, 234, 204));
  p.setPen(QPen(QColor(92, 64, 36), 2.0));
  p.drawRoundedRect(r, 6, 6);
  p.setPen(QPen(QColor(92, 64, 36), 0.8));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(r.adjusted(4, 4, -4, -4), 4, 4);
  p.restore();
}

void CentredText(QPainter& p, const QRectF& r, double baseline, const QString& text, const QFont& font,
                 QColor colour, double spacing = 0) {
  const QRectF box = TextBox({0, 0}, text, font, spacing);
  HaloText(p, {r.center().x() - box.width() / 2, baseline}, text, font, colour, QColor(), 0, spacing);
}

void CompassRose(QPainter& p, QPointF c, double r) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(60, 44, 30), 1.0));
  p.setBrush(QColor(244, 234, 204, 220));
  p.drawEllipse(c, r * 0.62, r * 0.62);
  for (int k = 0; k < 8; ++k) {
    const double a = k * Pi / 4 - Pi / 2;
    const double len = (k % 2 == 0) ? r : r * 0.55;
    const QPointF tip = c + QPointF(std::cos(a), std::sin(a)) * len;
    const QPointF left = c + QPointF(std::cos(a - Pi / 2), std::sin(a - Pi / 2)) * (r * 0.12);
    const QPointF right = c + QPointF(std::cos(a + Pi / 2), std::sin(a + Pi / 2)) * (r * 0.12);
    QPolygonF half1{c, left, tip}, half2{c, right, tip};
    p.setBrush(QColor(60, 44, 30));
    p.drawPolygon(half1);
    p.setBrush(QColor(244, 234, 204));
    p.drawPolygon(half2);
  }
  p.restore();
  HaloText(p, c + QPointF(-r * 0.16, -r - 4), QStringLiteral("N"), MapFont(r * 0.4, true), QColor(60, 44, 30),
           QColor(250, 246, 232, 200), 2.5);
}

// ---------------------------------------------------------------------------------------------
// Output files.

bool WriteJpeg(const QImage& image, const QString& path, int quality) {
  tjhandle handle = tjInitCompress();
  if (!handle) return false;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  const int rc =
      tjCompress2(handle, image.constBits(), image.width(), int(image.bytesPerLine()), image.height(),
                  TJPF_BGRX, &buffer, &size, TJSAMP_420, quality, TJFLAG_ACCURATEDCT);
  bool ok = rc == 0;
  if (ok) {
    QFile f(path);
    ok = f.open(QIODevice::WriteOnly) &&
         f.write(reinterpret_cast<const char*>(buffer), qint64(size)) == qint64(size);
  }
  tjFree(buffer);
  tjDestroy(handle);
  return ok;
}

struct Bookmark {
  int x, y;
  const char* name;
};

struct LinkArea {
  int x1, y1, x2, y2;  // opposite corners in picture pixels; the area lies strictly between them
  const char* target;
  const char* text;
};

// The map info file: corners, version, bookmarks of this map and its link areas, in CRLF lines.
bool WriteMapInfo(const QString& path, const std::array<int, 8>& corners, std::vector<Bookmark> bookmarks,
                  const std::vector<LinkArea>& links) {
  static const char* keys[8] = {"UpperLeft_X", "UpperLeft_Y", "UpperRight_X", "UpperRight_Y",
                                "LowerLeft_X", "LowerLeft_Y", "LowerRight_X", "LowerRight_Y"};
  std::string text = "[Map Dimensions]\r\n";
  for (int i = 0; i < 8; ++i) text += std::string(keys[i]) + "=" + std::to_string(corners[i]) + "\r\n";
  text += "[General]\r\nVersion=v2.2\r\n";
  std::sort(bookmarks.begin(), bookmarks.end(),
            [](const Bookmark& a, const Bookmark& b) { return std::string(a.name) < b.name; });
  text += "[Map Bookmarks]\r\n";
  for (std::size_t i = 0; i < bookmarks.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    const Bookmark& b = bookmarks[i];
    text +=
        "bookmark" + n + "=V" + Sep + std::to_string(b.x) + Sep + std::to_string(b.y) + Sep + b.name + "\r\n";
    text += "bookmark" + n + "font=Arial" + Sep + "10" + Sep + "0" + Sep + "b\r\n";
  }
  text += "\r\n[Map Links]\r\n";  // as the program writes a section it adds anew
  for (std::size_t i = 0; i < links.size(); ++i) {
    const LinkArea& l = links[i];
    text += "maplink" + std::to_string(i + 1) + "=" + std::to_string(l.x1) + Sep + std::to_string(l.y1) +
            Sep + std::to_string(l.x2) + Sep + std::to_string(l.y2) + Sep + l.target + Sep + l.text + "\r\n";
  }
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(text.data(), qint64(text.size())) == qint64(text.size());
}

// ---------------------------------------------------------------------------------------------
// The magnifying glass: an 80 x 82 picture on white and its two-colour mask. The ring is centred on
// (26, 26) with its outer edge on columns and rows 0..52; the handle runs down to the lower right corner.

constexpr int GlassW = 80, GlassH = 82;
constexpr double RingCx = 26, RingCy = 26, RingInner = 21.5, RingOuter = 26.5;

struct GlassPixel {
  double coverage;  // 0..1 of the pixel covered by the glass
  Rgb colour;       // mean colour of the covered part
};

// Colour of the glass at a sub-pixel position, if the glass is there.
std::optional<Rgb> GlassAt(double x, double y) {
  const double dx = x - RingCx, dy = y - RingCy;
  const double r = std::hypot(dx, dy);
  // Light from the upper left, slightly in front.
  const double lx = -0.55, ly = -0.6, lz = 0.58;
  if (r >= RingInner && r <= RingOuter) {
    const double mid = (RingInner + RingOuter) / 2, half = (RingOuter - RingInner) / 2;
    const double t = std::clamp((r - mid) / half, -1.0, 1.0);
    const double nx = t * dx / r, ny = t * dy / r, nz = std::sqrt(1 - t * t);
    const double lit = Clamp01(nx * lx + ny * ly + nz * lz);
    return Mix({104, 78, 0}, {225, 202, 0}, std::pow(lit, 0.8));
  }
  // Axis of the handle from the ring's centre towards the lower right corner.
  const double ax = 52.0, ay = 55.0, al = std::hypot(ax, ay);
  const double ux = ax / al, uy = ay / al, px = uy, py = -ux;
  const double s = dx * ux + dy * uy, q = dx * px + dy * py;
  if (s >= 24.0 && s <= 33.5 && std::fabs(q) <= 6.5) {
    // The collar: an orange cylinder across the axis, with darker rims at both ends.
    const double tq = q / 6.5;
    const double nz = std::sqrt(std::max(0.0, 1 - tq * tq));
    const double lit = Clamp01(tq * (px * lx + py * ly) + nz * lz + 0.15);
    Rgb c = Mix({150, 62, 0}, {255, 152, 32}, lit);
    if (s < 25.5 || s > 32.0) c = Scale(c, 0.72);
    return c;
  }
  const double handleEnd = 71.5, handleR = 4.2;
  const bool inShaft = s > 33.5 && s <= handleEnd && std::fabs(q) <= handleR;
  const bool inCap = std::hypot(s - handleEnd, q) <= handleR;
  if (inShaft || inCap) {
    // Black with a thin grey highlight along its upper side.
    if (q > 1.2 && q < 2.4 && s > 35.5 && s < handleEnd) return Rgb{150, 150, 150};
    return Mix({12, 12, 12}, {44, 44, 44}, Clamp01(0.5 + q / (2 * handleR)));
  }
  return std::nullopt;
}

// The thin white crescent of light inside the upper left of the lens.
bool InGlint(int x, int y) {
  return std::hypot(x - RingCx, y - RingCy) <= 16.0 && std::hypot(x - RingCx - 3.5, y - RingCy - 3.7) > 17.7;
}

void MakeGlass(QImage& picture, QImage& mask) {
  picture = QImage(GlassW, GlassH, QImage::Format_RGB888);
  mask = QImage(GlassW, GlassH, QImage::Format_Mono);
  mask.setColorCount(2);
  mask.setColor(0, qRgb(255, 255, 255));
  mask.setColor(1, qRgb(0, 0, 0));
  constexpr int Sub = 4;
  for (int y = 0; y < GlassH; ++y) {
    for (int x = 0; x < GlassW; ++x) {
      Rgb sum{0, 0, 0};
      int covered = 0;
      for (int sy = 0; sy < Sub; ++sy) {
        for (int sx = 0; sx < Sub; ++sx) {
          const auto c = GlassAt(x - 0.5 + (sx + 0.5) / Sub, y - 0.5 + (sy + 0.5) / Sub);
          if (!c) continue;
          sum = {sum.r + c->r, sum.g + c->g, sum.b + c->b};
          ++covered;
        }
      }
      const double coverage = double(covered) / (Sub * Sub);
      const bool drawn = coverage >= 0.5 || InGlint(x, y);
      Rgb colour{255, 255, 255};
      if (covered > 0) {
        const Rgb mean = Scale(sum, 1.0 / covered);
        // Pixels the mask draws get the glass's own colour; the soft fringe outside the mask fades
        // to the white background and is never drawn.
        colour = coverage >= 0.5 ? mean : Mix({255, 255, 255}, mean, coverage);
      }
      picture.setPixel(x, y, ToQRgb(colour));
      mask.setPixel(x, y, drawn ? 1 : 0);
    }
  }
}

// The icon: a corner of the world map on a folded sheet, with the glass over it.
QImage MakeIcon(const QImage& worldMap, const QImage& glass, const QImage& glassMask, int size) {
  QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
  icon.fill(Qt::transparent);
  QPainter p(&icon);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  const double s = size / 64.0;
  const QRectF sheet(4 * s, 6 * s, 54 * s, 50 * s);
  QPainterPath clip;
  clip.addRoundedRect(sheet, 4 * s, 4 * s);
  p.save();
  p.setClipPath(clip);
  // The continent with its coasts, shrunk onto the sheet.
  const QRect source(worldMap.width() / 12, worldMap.height() / 14, worldMap.width() * 5 / 6,
                     worldMap.height() * 6 / 7);
  p.drawImage(sheet, worldMap.copy(source).scaled(sheet.size().toSize() * 2, Qt::IgnoreAspectRatio,
                                                  Qt::SmoothTransformation));
  // Folds of the sheet.
  for (int k = 1; k < 3; ++k) {
    const double x = sheet.left() + sheet.width() * k / 3;
    p.fillRect(QRectF(x - 0.6 * s, sheet.top(), 1.2 * s, sheet.height()), QColor(0, 0, 0, 40));
  }
  p.restore();
  p.setPen(QPen(QColor(70, 50, 30), 1.2 * s));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(sheet, 4 * s, 4 * s);
  // The glass, its mask turned into transparency.
  QImage marker = glass.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < marker.height(); ++y)
    for (int x = 0; x < marker.width(); ++x)
      if (glassMask.pixelIndex(x, y) == 0) marker.setPixel(x, y, qRgba(0, 0, 0, 0));
  const double gs = 44 * s / GlassW;
  p.drawImage(QRectF(18 * s, 12 * s, GlassW * gs, GlassH * gs),
              marker.scaled(int(GlassW * gs * 2), int(GlassH * gs * 2), Qt::KeepAspectRatio,
                            Qt::SmoothTransformation));
  p.end();
  return icon;
}

// ---------------------------------------------------------------------------------------------
// The two maps.

// Names of seas, lakes, ranges and woods, written across them.
struct AreaName {
  const char* name;
  QPointF world;
  double size;
  AreaKind kind;
  double spacing;
};

void LabelAreas(QPainter& p, Occupancy& used, const Corners& corners, const std::vector<AreaName>& names) {
  for (const AreaName& a : names)
    AreaLabel(p, used, corners, a.world, QString::fromLatin1(a.name), a.size, a.kind, a.spacing);
}

// The regional map covers this part of the world at one picture pixel per world unit.
const QRectF RegionWorld(2300, 1500, 1200, 950);

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

QRect Bounds(const Corners& corners, const QRectF& world) {
  const std::array<QPointF, 4> pts{corners.ToPicture(world.topLeft()), corners.ToPicture(world.topRight()),
                                   corners.ToPicture(world.bottomLeft()),
                                   corners.ToPicture(world.bottomRight())};
  double x1 = 1e9, y1 = 1e9, x2 = -1e9, y2 = -1e9;
  for (const QPointF& p : pts) {
    x1 = std::min(x1, p.x());
    y1 = std::min(y1, p.y());
    x2 = std::max(x2, p.x());
    y2 = std::max(y2, p.y());
  }
  return QRect(QPoint(int(std::lround(x1)), int(std::lround(y1))),
               QPoint(int(std::lround(x2)), int(std::lround(y2))));
}

std::array<int, 8> CornerValues(const Corners& c) {
  auto r = [](double v) { return int(std::lround(v)); };
  return {r(c.ul.x()), r(c.ul.y()), r(c.ur.x()), r(c.ur.y()),
          r(c.ll.x()), r(c.ll.y()), r(c.lr.x()), r(c.lr.y())};
}

// The drawing places world points with sub-pixel precision; the program rounds to whole pixels on the
// way. True when the two agree within a pixel all over the world, so that what the user types lands
// on what the picture shows there.
bool AgreesWithProgram(const Corners& c) {
  const std::array<int, 8> v = CornerValues(c);
  const orv::MapCorners corners{{v[0], v[1]}, {v[2], v[3]}, {v[4], v[5]}, {v[6], v[7]}};
  for (int wy = 0; wy <= int(WorldH); wy += 64) {
    for (int wx = 0; wx <= int(WorldW); wx += 64) {
      const auto pixel = orv::WorldToMapPixel(corners, 100, {wx, wy});
      const QPointF drawn = c.ToPicture(QPointF(wx, wy));
      if (!pixel || std::fabs(pixel->x - drawn.x()) > 1.0 || std::fabs(pixel->y - drawn.y()) > 1.0) {
        std::fprintf(stderr, "world (%d, %d) is drawn at (%.1f, %.1f) but shown at another pixel\n", wx, wy,
                     drawn.x(), drawn.y());
        return false;
      }
    }
  }
  return true;
}

// Marks a point of interest with a small symbol; its name comes from the bookmark drawn there.
void PointOfInterest(QPainter& p, QPointF at, double size) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(30, 24, 20), 1.0));
  p.setBrush(QColor(230, 190, 40));
  QPolygonF star;
  for (int k = 0; k < 10; ++k) {
    const double a = k * Pi / 5 - Pi / 2, r = (k % 2 == 0) ? size : size * 0.45;
    star << at + QPointF(std::cos(a) * r, std::sin(a) * r);
  }
  p.drawPolygon(star);
  p.restore();
}

// Marks the sights on the picture and bookmarks them on the map: the program writes each name
// beside its mark.
void AddSights(QPainter& p, const Corners& corners, const std::vector<Sight>& sights, double size,
               std::vector<Bookmark>& bookmarks) {
  for (const Sight& s : sights) {
    const int x = int(std::lround(s.world.x())), y = int(std::lround(s.world.y()));
    PointOfInterest(p, corners.ToPicture(QPointF(x, y)), size);
    bookmarks.push_back({x, y, s.name});
  }
}

struct MapOutput {
  bool agrees = false;  // drawn where the program places world points
  QImage picture;
  std::array<int, 8> corners;
  std::vector<Bookmark> bookmarks;
  std::vector<LinkArea> links;
};

MapOutput DrawWorldMap(World& w) {
  const Corners corners{{14, 12}, {2036, 16}, {10, 1626}, {2034, 1622}};
  const int width = 2048, height = 1638;
  Terrain terrain = w.terrain;
  terrain.detail = 8;
  MapOutput out;
  out.corners = CornerValues(corners);
  out.agrees = AgreesWithProgram(corners);
  out.picture = PaintTerrain(terrain, w.hydro, corners, width, height, 260.0);
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
  p.drawPolygon(QPolygonF{corners.ul, corners.ur, corners.lr, corners.ll});
  p.restore();

  Occupancy used;
  // The regional map's area, outlined and named: the link area that opens it.
  const QRect region = Bounds(corners, RegionWorld);
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(120, 30, 30), 1.6, Qt::DashLine));
  p.drawPolygon(QPolygonF{corners.ToPicture(RegionWorld.topLeft()), corners.ToPicture(RegionWorld.topRight()),
                          corners.ToPicture(RegionWorld.bottomRight()),
                          corners.ToPicture(RegionWorld.bottomLeft())});
  p.restore();
  {
    const QFont f = MapFont(13, true, true);
    const QString t = QStringLiteral("Thornmere");
    const QPointF at = corners.ToPicture(RegionWorld.topLeft()) + QPointF(6, 18);
    HaloText(p, at, t, f, QColor(120, 30, 30));
    used.boxes.push_back(TextBox(at, t, f));
    const QFont small = MapFont(10, false, true);
    const QPointF at2 = at + QPointF(0, 13);
    HaloText(p, at2, QStringLiteral("(regional map)"), small, QColor(120, 30, 30));
    used.boxes.push_back(TextBox(at2, QStringLiteral("(regional map)"), small));
  }
  out.links.push_back({region.left(), region.top(), region.right(), region.bottom(), "Thornmere.dem",
                       "Thornmere: open the regional map"});

  std::vector<Place> towns;
  for (const Place& pl : w.places)
    if (pl.rank < 2) towns.push_back(pl);
  for (const Place& pl : towns) DrawPlaceMarker(p, corners.ToPicture(pl.world), pl.rank, 3.2);

  // Title and compass.
  const QRectF title(40, height - 190, 330, 150);
  Cartouche(p, title);
  used.boxes.push_back(title);
  CentredText(p, title, title.top() + 48, QStringLiteral("VELDRANE"), MapFont(34, true), QColor(92, 40, 24),
              6);
  CentredText(p, title, title.top() + 76, QStringLiteral("The Known World"), MapFont(15, false, true),
              QColor(60, 44, 30));
  CentredText(p, title, title.top() + 104, QStringLiteral("World positions 0 \u2013 5120 by 0 \u2013 4096"),
              MapFont(11, false, false, "DejaVu Sans"), QColor(60, 44, 30));
  CentredText(p, title, title.top() + 124, QStringLiteral("Grid every 512 steps"),
              MapFont(11, false, false, "DejaVu Sans"), QColor(60, 44, 30));
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

MapOutput DrawRegionalMap(World& w) {
  const double x0 = RegionWorld.left(), y0 = RegionWorld.top();
  const Corners corners{{-x0, -y0}, {WorldW - x0, -y0}, {-x0, WorldH - y0}, {WorldW - x0, WorldH - y0}};
  const int width = int(RegionWorld.width()), height = int(RegionWorld.height());
  Terrain terrain = w.terrain;
  terrain.detail = 10;
  MapOutput out;
  out.corners = CornerValues(corners);
  out.agrees = AgreesWithProgram(corners);
  out.picture = PaintTerrain(terrain, w.hydro, corners, width, height, 380.0);
  QPainter p(&out.picture);
  p.translate(0.5, 0.5);
  DrawRivers(p, corners, w.rivers, 1.1);
  DrawRoads(p, corners, w.localRoads, 1.4, true);
  DrawRoads(p, corners, w.mainRoads, 2.2, true);
  DrawGrid(p, corners, RegionWorld, 100, 10, 48);

  Occupancy used;
  // The way back to the world map: a box in the upper left corner, which is the link area.
  const QRect back(10, 26, 178, 34);
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(92, 64, 36), 1.6));
  p.setBrush(QColor(244, 234, 204, 235));
  p.drawRoundedRect(QRectF(back), 5, 5);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(120, 30, 30));
  const double cy = back.center().y() + 0.5;
  p.drawPolygon(
      QPolygonF{{back.left() + 10.0, cy}, {back.left() + 22.0, cy - 8}, {back.left() + 22.0, cy + 8}});
  p.restore();
  HaloText(p, {back.left() + 30.0, back.top() + 22.0}, QStringLiteral("Back to Veldrane"), MapFont(14, true),
           QColor(92, 40, 24), QColor(), 0);
  used.boxes.push_back(QRectF(back));
  out.links.push_back({back.left(), back.top(), back.left() + back.width(), back.top() + back.height(),
                       "Veldrane.dem", "Back to Veldrane: open the world map"});

  std::vector<Place> inside;
  for (const Place& pl : w.places)
    if (RegionWorld.adjusted(-20, -20, 20, 20).contains(pl.world)) inside.push_back(pl);
  for (const Place& pl : inside) DrawPlaceMarker(p, corners.ToPicture(pl.world), pl.rank, 4.0);

  const QRectF title(width - 300, height - 120, 270, 96);
  Cartouche(p, title);
  used.boxes.push_back(title);
  CentredText(p, title, title.top() + 40, QStringLiteral("THORNMERE"), MapFont(28, true), QColor(92, 40, 24),
              4);
  CentredText(p, title, title.top() + 62, QStringLiteral("A regional map of Veldrane"),
              MapFont(13, false, true), QColor(60, 44, 30));
  CentredText(p, title, title.top() + 82, QStringLiteral("1 pixel = 1 step \u00b7 grid every 100"),
              MapFont(10, false, false, "DejaVu Sans"), QColor(60, 44, 30));

  LabelAreas(p, used, corners,
             {{"THORN MERE", {2950, 1960}, 30, AreaKind::Lake, 10},
              {"Harl Moor", {2480, 1880}, 20, AreaKind::Land, 6},
              {"Kettle Downs", {3330, 2000}, 18, AreaKind::Land, 5},
              {"Cobb's Heath", {2560, 2390}, 16, AreaKind::Land, 4}});
  LabelPlaces(p, used, corners, inside, {19, 16, 13}, 4.0);
  AddSights(p, corners, w.regionSights, 7.0, out.bookmarks);
  return out;
}

bool Save(const QImage& image, const QString& path) {
  if (image.save(path, "PNG")) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2 || QString::fromLocal8Bit(argv[1]).startsWith(QLatin1Char('-'))) {
    std::fprintf(stderr, "usage: make-sample-maps ASSETS_DIR\n");
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!dir.mkpath(QStringLiteral("maps"))) {
    std::fprintf(stderr, "cannot create %s/maps\n", argv[1]);
    return 1;
  }

  QImage glass, mask;
  MakeGlass(glass, mask);
  bool ok = Save(glass, dir.filePath(QStringLiteral("glass.png"))) &&
            Save(mask, dir.filePath(QStringLiteral("glass-mask.png")));

  World world = BuildWorld();
  const MapOutput worldMap = DrawWorldMap(world);
  const MapOutput regional = DrawRegionalMap(world);
  if (!worldMap.agrees || !regional.agrees) {
    std::fprintf(stderr, "make-sample-maps: a map is not drawn where the program places world points\n");
    return 1;
  }
  const QString maps = dir.filePath(QStringLiteral("maps"));
  ok = ok && WriteJpeg(worldMap.picture, maps + QStringLiteral("/Veldrane.JPG"), 85) &&
       WriteMapInfo(maps + QStringLiteral("/Veldrane.dem"), worldMap.corners, worldMap.bookmarks,
                    worldMap.links) &&
       WriteJpeg(regional.picture, maps + QStringLiteral("/Thornmere.JPG"), 85) &&
       WriteMapInfo(maps + QStringLiteral("/Thornmere.dem"), regional.corners, regional.bookmarks,
                    regional.links);

  ok = ok &&
       Save(MakeIcon(worldMap.picture, glass, mask, 64), dir.filePath(QStringLiteral("orvantis.png"))) &&
       Save(MakeIcon(worldMap.picture, glass, mask, 32), dir.filePath(QStringLiteral("orvantis-32.png")));
  if (!ok) {
    std::fprintf(stderr, "make-sample-maps: writing failed\n");
    return 1;
  }
  return 0;
}
