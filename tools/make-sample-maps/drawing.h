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
#include "lettering.h"

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

// A line of a title box: its text, the size of its letters and its baseline below the box's top.
struct TitleLine {
  QString text;
  double size;
  double baseline;
};
// The title box of a map: its name in bold spaced letters, a subtitle in italics, then small print,
// each line centred; the box is kept free of other names.
void TitleBox(QPainter& p, Occupancy& used, const QRectF& box, const TitleLine& name, double nameSpacing,
              const TitleLine& subtitle, std::initializer_list<TitleLine> smallPrint);

void CompassRose(QPainter& p, QPointF c, double r);

// Marks a point of interest with a small symbol; its name comes from the bookmark drawn there.
void PointOfInterest(QPainter& p, QPointF at, double size);

}  // namespace samplemaps
