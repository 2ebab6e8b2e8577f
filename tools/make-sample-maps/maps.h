#pragma once
// The sample maps: each drawn from the world through its corners, with the bookmarks and link areas
// its map info file gets.
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRectF>
#include <vector>

#include "core/transform.h"
#include "corners.h"
#include "lettering.h"
#include "world.h"

namespace samplemaps {

struct Bookmark {
  int x, y;
  const char* name;
};

struct LinkArea {
  int x1, y1, x2, y2;  // opposite corners in picture pixels; the area lies strictly between them
  const char* target;
  const char* text;
};

struct MapOutput {
  bool agrees = false;  // drawn where the program places world points
  QImage picture;
  orv::MapCorners corners;
  std::vector<Bookmark> bookmarks;
  std::vector<LinkArea> links;
};

MapOutput DrawWorldMap(World& w);
MapOutput DrawRegionalMap(World& w);
MapOutput DrawDetailMap(World& w);

// The terrain of a width x height picture seen through corners, at the given detail (noise octaves)
// and relief (strength of the hill shading); the rest is drawn over it.
MapOutput StartMap(const World& w, const Corners& corners, int width, int height, int detail, double relief);

// Line widths and grid of a map at a fixed scale.
struct ScaledMapStyle {
  int detail;
  double riverWidth, localRoadWidth, mainRoadWidth;
  double gridStep;  // world units
};
// A map whose picture shows the world rectangle area at pixelsPerUnit: its terrain, rivers, roads
// and grid; the names and marks are drawn over it.
MapOutput StartScaledMap(const World& w, const QRectF& area, int pixelsPerUnit, const ScaledMapStyle& style);

// Corners of a map whose picture shows the world rectangle at pixelsPerUnit picture pixels per world
// unit, its upper left corner on the picture's first pixel.
Corners CornersAtScale(const QRectF& world, int pixelsPerUnit);

// Picture rectangle around the world rectangle's corners.
QRect Bounds(const Corners& corners, const QRectF& world);

// The drawing places world points with sub-pixel precision; the program rounds to whole pixels on the
// way. True when the two agree within a pixel all over the world, so that what the user types lands
// on what the picture shows there.
bool AgreesWithProgram(const Corners& c);

// Marks the sights on the picture and bookmarks them on the map: the program writes each name
// beside its mark.
void AddSights(QPainter& p, const Corners& corners, const std::vector<Sight>& sights, double size,
               std::vector<Bookmark>& bookmarks);

// Outlines another map's world rectangle with a dashed frame, names it in its upper left corner, and
// gives the link area that opens that map.
LinkArea OutlineMapArea(QPainter& p, Occupancy& used, const Corners& corners, const QRectF& world,
                        const QString& name, const QString& kind, const char* target, const char* text);

// A framed box with an arrow and a caption: the link area back to the map this one was opened from.
LinkArea BackLinkBox(QPainter& p, Occupancy& used, const QRect& box, const QString& caption,
                     const char* target, const char* text);

}  // namespace samplemaps
