#include "maps.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "drawing.h"
#include "lettering.h"
#include "paint.h"

namespace samplemaps {

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

// The drawing places world points with sub-pixel precision; the program rounds to whole pixels on the
// way. True when the two agree within a pixel all over the world, so that what the user types lands
// on what the picture shows there.
bool AgreesWithProgram(const Corners& c) {
  for (int wy = 0; wy <= int(WorldH); wy += 64) {
    for (int wx = 0; wx <= int(WorldW); wx += 64) {
      const auto pixel = orv::WorldToMapPixel(c.values, 100, {wx, wy});
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

MapOutput StartMap(const World& w, const Corners& corners, int width, int height, int detail, double relief) {
  Terrain terrain = w.terrain;
  terrain.detail = detail;
  MapOutput out;
  out.corners = corners.values;
  out.agrees = AgreesWithProgram(corners);
  out.picture = PaintTerrain(terrain, w.hydro, corners, width, height, relief);
  return out;
}

MapOutput StartScaledMap(const World& w, const QRectF& area, int pixelsPerUnit, const ScaledMapStyle& style) {
  const Corners corners = CornersAtScale(area, pixelsPerUnit);
  MapOutput out = StartMap(w, corners, int(area.width()) * pixelsPerUnit, int(area.height()) * pixelsPerUnit,
                           style.detail, 380.0);
  QPainter p(&out.picture);
  p.translate(0.5, 0.5);  // picture coordinates name pixel centres
  DrawRivers(p, corners, w.rivers, style.riverWidth);
  DrawRoads(p, corners, w.localRoads, style.localRoadWidth, true);
  DrawRoads(p, corners, w.mainRoads, style.mainRoadWidth, true);
  DrawGrid(p, corners, area, style.gridStep, 10, 48);
  return out;
}

Corners CornersAtScale(const QRectF& world, int pixelsPerUnit) {
  const int x0 = int(world.left()) * pixelsPerUnit, y0 = int(world.top()) * pixelsPerUnit;
  const int right = orv::WorldWidth * pixelsPerUnit - x0, bottom = orv::WorldHeight * pixelsPerUnit - y0;
  return Corners{{{-x0, -y0}, {right, -y0}, {-x0, bottom}, {right, bottom}}};
}

LinkArea OutlineMapArea(QPainter& p, Occupancy& used, const Corners& corners, const QRectF& world,
                        const QString& name, const QString& kind, const char* target, const char* text) {
  const QColor ink(120, 30, 30);
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(ink, 1.6, Qt::DashLine));
  p.drawPolygon(QPolygonF{corners.ToPicture(world.topLeft()), corners.ToPicture(world.topRight()),
                          corners.ToPicture(world.bottomRight()), corners.ToPicture(world.bottomLeft())});
  p.restore();
  const QFont f = MapFont(13, true, true);
  const QPointF at = corners.ToPicture(world.topLeft()) + QPointF(6, 18);
  HaloText(p, at, name, f, ink);
  used.boxes.push_back(TextBox(at, name, f));
  const QFont small = MapFont(10, false, true);
  const QPointF at2 = at + QPointF(0, 13);
  HaloText(p, at2, kind, small, ink);
  used.boxes.push_back(TextBox(at2, kind, small));
  const QRect area = Bounds(corners, world);
  return {area.left(), area.top(), area.right(), area.bottom(), target, text};
}

LinkArea BackLinkBox(QPainter& p, Occupancy& used, const QRect& box, const QString& caption,
                     const char* target, const char* text) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(92, 64, 36), 1.6));
  p.setBrush(QColor(244, 234, 204, 235));
  p.drawRoundedRect(QRectF(box), 5, 5);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(120, 30, 30));
  const double cy = box.center().y() + 0.5;
  p.drawPolygon(QPolygonF{{box.left() + 10.0, cy}, {box.left() + 22.0, cy - 8}, {box.left() + 22.0, cy + 8}});
  p.restore();
  HaloText(p, {box.left() + 30.0, box.top() + 22.0}, caption, MapFont(14, true), QColor(92, 40, 24), QColor(),
           0);
  used.boxes.push_back(QRectF(box));
  return {box.left(), box.top(), box.left() + box.width(), box.top() + box.height(), target, text};
}

}  // namespace samplemaps
