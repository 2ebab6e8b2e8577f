#pragma once
// The terrain of one picture: land and sea colours, woods, hill shading, lakes and the shore line.
#include <QImage>

#include "corners.h"
#include "terrain.h"

namespace samplemaps {

// Fills picture with the terrain seen through the corner mapping; pixels outside the world get
// the page border colour.
QImage PaintTerrain(const Terrain& terrain, const Hydrology& hydro, const Corners& corners, int width,
                    int height, double relief);

}  // namespace samplemaps
