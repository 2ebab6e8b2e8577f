#pragma once
// Seeded gradient noise and its fractal sums. No state, no clock: the same input always gives the
// same value.
#include <cstdint>

namespace samplemaps {

uint32_t Hash(int32_t x, int32_t y, uint32_t seed);
// A hash as a number from 0 to 1.
double Unit(uint32_t h);
// Gradient noise, roughly -1..1.
double Noise(double x, double y, uint32_t seed);
// Fractal sum of octaves, each rotated a little so that no axis shows through.
double Fbm(double x, double y, uint32_t seed, int octaves, double gain = 0.5);
// Sharp crests where the noise crosses zero: mountain ridges, 0..1.
double Ridged(double x, double y, uint32_t seed, int octaves);

}  // namespace samplemaps
