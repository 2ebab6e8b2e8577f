#pragma once
// A map's corners as the drawing uses them: the world's corners in picture pixels, and the program's
// own bilinear mapping between world positions and picture positions, kept in fractions so that
// lines and labels fall between pixels where they should.
#include <QPointF>

#include "core/transform.h"

namespace samplemaps {

struct Corners {
  orv::MapCorners values;  // the picture pixels the map info file names

  QPointF ul() const { return At(values.upperLeft); }
  QPointF ur() const { return At(values.upperRight); }
  QPointF ll() const { return At(values.lowerLeft); }
  QPointF lr() const { return At(values.lowerRight); }

  // Picture position of a world position.
  QPointF ToPicture(QPointF world) const {
    const orv::RealPoint p = orv::WorldToPicturePosition(values, {world.x(), world.y()});
    return {p.x, p.y};
  }
  // World position shown at a picture position.
  QPointF ToWorld(QPointF picture) const {
    const orv::RealPoint w = orv::PictureToWorldPosition(values, {picture.x(), picture.y()});
    return {w.x, w.y};
  }
  // Picture pixels per world unit, horizontally.
  double PixelsPerUnit() const { return double(values.upperRight.x - values.upperLeft.x) / orv::WorldWidth; }

 private:
  static QPointF At(orv::Point p) { return QPointF(p.x, p.y); }
};

}  // namespace samplemaps
