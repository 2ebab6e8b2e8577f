#pragma once
// Small arithmetic and colour helpers shared by the drawing code.
#include <QColor>
#include <algorithm>
#include <cmath>

#include "core/geometry.h"

namespace samplemaps {

constexpr double Pi = 3.14159265358979323846;
constexpr double WorldW = orv::WorldWidth;
constexpr double WorldH = orv::WorldHeight;

inline double Clamp01(double v) {
  return std::clamp(v, 0.0, 1.0);
}
inline double SmoothStep(double a, double b, double v) {
  const double t = Clamp01((v - a) / (b - a));
  return t * t * (3.0 - 2.0 * t);
}
inline double Lerp(double a, double b, double t) {
  return a + (b - a) * t;
}

struct Rgb {
  double r, g, b;
};
inline Rgb Mix(Rgb a, Rgb b, double t) {
  return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t)};
}
inline Rgb Scale(Rgb a, double s) {
  return {a.r * s, a.g * s, a.b * s};
}
inline QRgb ToQRgb(Rgb c) {
  auto ch = [](double v) { return int(std::lround(std::clamp(v, 0.0, 255.0))); };
  return qRgb(ch(c.r), ch(c.g), ch(c.b));
}

}  // namespace samplemaps
