#pragma once
// Drawing over the terrain: rivers, roads, markers, the grid of world positions, the title box and
// the compass.
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <vector>

#include "corners.h"
#include "features.h"

namespace samplemaps {

QPainterPath WorldPath(const Corners& corners, const std::vector<QPointF>& world);

void DrawRivers(QPainter& p, const Corners& corners, const std::vector<River>& rivers, double widthScale);

void DrawRoads(QPainter& p, const Corners& corners, const std::vector<std::vector<QPointF>>& roads,
               double width, bool casing);

void DrawPlaceMarker(QPainter& p, QPointF at, int rank, double size);

// Thin lines of equal world coordinate every step units, numbered along the top and left edges.
void DrawGrid(QPainter& p, const Corners& corners, QRectF world, double step, double fontSize, int alpha);

// A framed box on parchment, with a double border.
void Cartouche(QPainter& p, const QRectF& r);

void CompassRose(QPainter& p, QPointF c, double r);

// Marks a point of interest with a small symbol; its name comes from the bookmark drawn there.
void PointOfInterest(QPainter& p, QPointF at, double size);

}  // namespace samplemaps
