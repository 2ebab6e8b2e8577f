#include "noise.h"

#include <array>
#include <cmath>

#include "maths.h"

namespace samplemaps {

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
double Fbm(double x, double y, uint32_t seed, int octaves, double gain) {
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

}  // namespace samplemaps
