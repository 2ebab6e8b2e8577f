#pragma once
// Bookmark names that stay legible on any picture. A name is drawn once, with a thin halo in a
// colour that contrasts with its letters and a small marker at the bookmark's point, into a label
// picture that the drawing code keeps and copies into every frame: copying a picture costs far less
// than laying out and drawing the letters (and the halo around them) again at each frame.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QString>

namespace orv {

// The halo's colour around letters of textColor: white around dark letters, black around light
// ones, by the letters' luminance.
QColor HaloColorFor(const QColor& textColor);

struct NameLabelOptions {
  bool halo = true;    // the setting "Outline Bookmark Names"
  bool marker = true;  // the marker at the bookmark's point
};

// A name as drawn once: letters, halo and marker on a transparent premultiplied picture.
struct NameLabel {
  QImage picture;
  QPoint offset;  // of the picture's top-left corner from the bookmark's point, in view pixels
  // Where the picture lands for a bookmark whose point is at the view position `point`.
  QRect AreaAt(QPoint point) const { return QRect(point + offset, picture.size()); }
};

// The most letters of a name a label shows: a length that no screen shows whole.
inline constexpr int NameLabelMostLetters = 8192;

// Draws name in font and color with the top-left corner of its text box at the bookmark's point.
// Names are cut to NameLabelMostLetters, so a hand-edited megabyte name cannot make a picture of
// gigabytes.
NameLabel MakeNameLabel(const QString& name, const QFont& font, const QColor& color,
                        const NameLabelOptions& options = {});

// Copies a label into the painter's view for a bookmark whose point is at the view position `point`.
inline void DrawNameLabel(QPainter& painter, const NameLabel& label, QPoint point) {
  painter.drawImage(point + label.offset, label.picture);
}

// The marker alone, centred on the view position `point`: a dot 5 pixels across in color inside a
// 1-pixel ring of HaloColorFor(color), so it shows on dark and light pictures alike.
void DrawPointMarker(QPainter& painter, QPoint point, const QColor& color);

// How far the marker reaches from its centre, in pixels.
inline constexpr int PointMarkerRadius = 3;

}  // namespace orv
