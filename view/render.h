#pragma once
// Composing the map view: the visible part of the picture, scaled to the zoom by nearest pixel, on a
// grey background.
#include <QImage>
#include <cstdint>

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

}  // namespace orv
