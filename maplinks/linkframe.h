#pragma once
// Link frames: rectangles drawn into the map picture with an inverting pen, so that drawing the same
// frame again restores every pixel. Frames, the map links window's highlight and the corner outline
// only ever invert pixels, so any of them can be drawn and removed in any order.
#include <QImage>
#include <optional>
#include <string>

#include "core/geometry.h"
#include "maplinks/maplinkstore.h"

namespace orv {

// Inverts a frame 4 pixels wide centred on the lines through the corners (x1, y1) and (x2, y2) of
// image (picture pixels). Every pixel under the frame is inverted exactly once, corners included.
// Does nothing on a null image.
void InvertFrame(QImage& image, int x1, int y1, int x2, int y2);
inline void InvertFrame(QImage& image, const LinkRect& r) {
  InvertFrame(image, r.x1, r.y1, r.x2, r.y2);
}

// Removes the highlight when one is drawn and marks none drawn. True when a frame was removed.
bool ClearHighlight(QImage& image, LinkRect& highlight);
// Moves the highlight onto the area of record: the old one is removed, the new one drawn. A record
// whose corners are not integers gets no highlight. Returns the middle of the highlighted area in
// picture pixels, or nothing when none was drawn.
std::optional<Point> HighlightLink(QImage& image, LinkRect& highlight, const std::string& record);

}  // namespace orv
