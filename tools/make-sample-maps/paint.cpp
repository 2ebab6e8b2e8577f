#include "paint.h"

#include <array>
#include <cmath>
#include <optional>

namespace samplemaps {
namespace {

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

}  // namespace

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

}  // namespace samplemaps
