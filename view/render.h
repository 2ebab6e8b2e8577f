#pragma once
// Composing the map view: the visible part of the picture, scaled to the zoom by nearest pixel, on a
// grey background.
#include <QImage>
#include <cstdint>

#include "core/geometry.h"

namespace orv {

// The grey of the view where the picture does not reach.
inline constexpr QRgb ViewGrey = 0xFF808080u;

// A length of the picture at the zoom: TruncToInt(length * z) with z = zoomPercent * 0.01 taken
// first. Lengths too large for 32 bits are clamped to the largest one; never negative.
int32_t ScaledLength(int32_t length, int32_t zoomPercent);

// A rectangle of the picture, in picture pixels.
struct SourceRect {
  int32_t left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const SourceRect&, const SourceRect&) = default;
};

// The part of the picture that a view of dw x dh pixels shows with its top-left pixel at the zoomed
// map pixel (x, y): left TruncToInt(x * inv), top TruncToInt(y * inv), width TruncToInt(dw * inv),
// height TruncToInt(dh * inv), with inv = 100 / zoomPercent.
SourceRect ViewSource(int32_t x, int32_t y, int32_t dw, int32_t dh, int32_t zoomPercent);

// Fills view (RGB32) grey and stretches src of picture (RGB32) onto the rectangle (0, 0, dw, dh) of
// view by nearest pixel, without smoothing: view column dx shows picture column
// src.left + floor(dx * src.width / dw), and view row dy picture row src.top + floor(dy * src.height / dh).
// View pixels whose picture pixel lies outside the picture stay grey. Only the rows of src are read;
// rows that repeat (zooms above 100) are copied from the row above instead of being scaled again.
void ComposeView(QImage& view, const QImage& picture, const SourceRect& src, int32_t dw, int32_t dh);

// The view as the map area shows it: fills view (RGB32) grey and draws the picture (RGB32) at the zoom
// on the rectangle (0, 0, dw, dh) of view, whose top-left pixel is the zoomed map pixel origin. View
// pixel (dx, dy) shows the picture pixel under the zoomed map pixel (origin.x + dx, origin.y + dy),
// that is floor((origin.x + dx) * 100 / zoomPercent) and the same for y, computed exactly. Unlike the
// stretch of a truncated source rectangle, this keeps the part of a picture pixel that the origin
// falls into at zooms above 100, so that the view moves by every zoomed map pixel the origin moves.
void ComposeZoomedView(QImage& view, const QImage& picture, Point origin, int32_t zoomPercent, int32_t dw,
                       int32_t dh);

}  // namespace orv
