#pragma once
// The cross and its magnifying glass as the map view shows them at the cross point.
#include <QImage>
#include <QRect>

namespace orv {

// Where the cross point lies in the glass picture, and how far each stroke of the cross reaches.
inline constexpr int GlassCrossX = 26;
inline constexpr int GlassCrossY = 27;
inline constexpr int CrossReach = 5;

// The view positions of a view of viewSize that the glass (of glassSize) and the cross drawn at the
// view position (x, y) touch; empty when nothing of them reaches the view. x and y may lie far outside
// the view.
QRect LocationCrossArea(long long x, long long y, QSize glassSize, QSize viewSize);

// The glass laid through its mask so that the view position (x, y) sits in its lens, then two white
// diagonals of 11 pixels crossing there, all clipped to view (RGB32).
void DrawLocationCross(QImage& view, long long x, long long y, const QImage& glass, const QImage& mask);

// Lays picture over the rectangle of target at (left, top) through mask (both the size of picture):
// the picture's pixel where the mask is not white, the target's own pixel where it is white. Only
// that rectangle of target is read or written; parts outside target are skipped.
void BlitMasked(QImage& target, int left, int top, const QImage& picture, const QImage& mask);

}  // namespace orv
