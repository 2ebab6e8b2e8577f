#pragma once
// The texts of the directions window: world and reading texts, and the conclusion sentence.
#include <string>

#include "core/geometry.h"
#include "core/sextant.h"

namespace orv {

// "x y" of a world point.
std::string WorldText(Point world);
// "<lat>degrees <min>minutes <letter>   <lon>degrees <min>minutes <letter>".
std::string ReadingText(const TSextantreading& reading);
// The sentence telling how to walk from start to target (world points). When they are equal, one of
// the five fixed messages: standingMessage picks it, 1 to 5 (values outside are taken as the nearest).
std::string DirectionsConclusion(Point startWorld, Point targetWorld, int standingMessage);

}  // namespace orv
