#pragma once
// Names on the maps: fonts, text with a halo, and placing labels where they do not cover each other.
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <array>
#include <vector>

#include "corners.h"
#include "features.h"

namespace samplemaps {

QFont MapFont(double pixelSize, bool bold = false, bool italic = false, const char* family = "DejaVu Serif");

// Text with a pale halo, so that it stays legible on any ground. at is the baseline start.
void HaloText(QPainter& p, QPointF at, const QString& text, const QFont& font, QColor colour,
              QColor halo = QColor(250, 246, 232, 215), double haloWidth = 3.0, double letterSpacing = 0);

QRectF TextBox(QPointF at, const QString& text, const QFont& font, double letterSpacing = 0);

// Keeps labels and decorations from covering each other.
struct Occupancy {
  std::vector<QRectF> boxes;
  bool Free(const QRectF& r) const {
    for (const QRectF& b : boxes)
      if (b.intersects(r)) return false;
    return true;
  }
};

enum class AreaKind { Sea, Lake, Land };

// Writes the place names beside their markers, on the first free side.
void LabelPlaces(QPainter& p, Occupancy& used, const Corners& corners, const std::vector<Place>& places,
                 const std::array<double, 3>& sizes, double markerSize);

// A spaced-out italic name for a sea, a lake or a range, centred on a world point: pale on the deep
// sea, dark blue on lakes, dark brown with a halo on land.
void AreaLabel(QPainter& p, Occupancy& used, const Corners& corners, QPointF world, const QString& text,
               double size, AreaKind kind, double spacing);

void CentredText(QPainter& p, const QRectF& r, double baseline, const QString& text, const QFont& font,
                 QColor colour, double spacing = 0);

// Names of seas, lakes, ranges and woods, written across them.
struct AreaName {
  const char* name;
  QPointF world;
  double size;
  AreaKind kind;
  double spacing;
};

void LabelAreas(QPainter& p, Occupancy& used, const Corners& corners, const std::vector<AreaName>& names);

}  // namespace samplemaps
