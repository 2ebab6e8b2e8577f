#include "maps.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "drawing.h"

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

}  // namespace samplemaps
