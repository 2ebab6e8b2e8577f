#include "bookmarks/namehalo.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/pixelloop.h"

namespace orv {
namespace {

// No screen shows a label wider than this.
constexpr int kWidestLabel = 8192;
// Letters are drawn at most this many pixels tall: larger ones fill no view, and a label of them
// (a hand-edited size of 999999 points) would take minutes to outline and gigabytes to hold.
constexpr int kTallestLetters = 512;

// Relative luminance of a colour as the eye sees it, 0 (black) to 1 (white).
double LuminanceOf(const QColor& color) {
  const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
  const QColor rgb = color.toRgb();
  return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

// The halo stays thin: one pixel for the usual sizes, a little more for large letters.
int HaloWidthFor(const QFontMetrics& metrics) {
  return std::clamp(metrics.height() / 20, 1, 3);
}

// The halo of letters: every pixel within `width` pixels (across and down) of a letter pixel takes
// that letter pixel's coverage, in the halo colour. Worked out from the letters' own coverage, so
// the halo hugs each glyph whatever the font. Each pass takes the largest of whole rows shifted
// against each other, which the compiler turns into wide byte operations: a label of giant letters
// costs milliseconds, not seconds.
ORV_PIXEL_LOOP QImage HaloOf(const QImage& letters, int width, const QColor& color) {
  const int w = letters.width(), h = letters.height();
  const std::size_t stride = static_cast<std::size_t>(w) + 2 * width;  // a margin of no ink each side
  std::vector<uint8_t> alpha(stride * h, 0);
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(letters.constScanLine(y));
    uint8_t* out = &alpha[y * stride + width];
    for (int x = 0; x < w; ++x) out[x] = static_cast<uint8_t>(qAlpha(row[x]));
  }
  std::vector<uint8_t> across(static_cast<std::size_t>(w) * h, 0);
  for (int y = 0; y < h; ++y) {
    const uint8_t* in = &alpha[y * stride];
    uint8_t* out = &across[static_cast<std::size_t>(y) * w];
    for (int shift = 0; shift <= 2 * width; ++shift)
      for (int x = 0; x < w; ++x) out[x] = std::max(out[x], in[x + shift]);
  }
  std::vector<uint8_t> most(static_cast<std::size_t>(w));
  QRgb shade[256];
  const QRgb rgb = color.rgb();
  for (int a = 0; a < 256; ++a) shade[a] = qPremultiply(qRgba(qRed(rgb), qGreen(rgb), qBlue(rgb), a));
  QImage halo(w, h, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < h; ++y) {
    std::fill(most.begin(), most.end(), uint8_t{0});
    for (int j = std::max(0, y - width); j <= std::min(h - 1, y + width); ++j) {
      const uint8_t* in = &across[static_cast<std::size_t>(j) * w];
      for (int x = 0; x < w; ++x) most[x] = std::max(most[x], in[x]);
    }
    auto* out = reinterpret_cast<QRgb*>(halo.scanLine(y));
    for (int x = 0; x < w; ++x) out[x] = shade[most[x]];
  }
  return halo;
}

// Half-widths of the marker's rows from its top row down: a disc 7 pixels across and, inside it, one
// 5 pixels across.
constexpr int kRingRows[] = {1, 2, 3, 3, 3, 2, 1};
constexpr int kDotRows[] = {1, 2, 2, 2, 1};

void FillRows(QPainter& painter, QPoint centre, const int* halfWidths, int rows, const QColor& color) {
  const int top = centre.y() - rows / 2;
  for (int i = 0; i < rows; ++i)
    painter.fillRect(centre.x() - halfWidths[i], top + i, 2 * halfWidths[i] + 1, 1, color);
}

}  // namespace

QColor HaloColorFor(const QColor& textColor) {
  // Above this luminance black contrasts more with the letters than white does.
  constexpr double kEvenContrast = 0.179;
  return LuminanceOf(textColor) > kEvenContrast ? QColor(Qt::black) : QColor(Qt::white);
}

void DrawPointMarker(QPainter& painter, QPoint point, const QColor& color) {
  static_assert(std::size(kRingRows) == 2 * PointMarkerRadius + 1);
  FillRows(painter, point, kRingRows, std::size(kRingRows), HaloColorFor(color));
  FillRows(painter, point, kDotRows, std::size(kDotRows), color);
}

NameLabel MakeNameLabel(const QString& name, const QFont& font, const QColor& color,
                        const NameLabelOptions& options) {
  // Sizes are checked as given as well as measured: the metrics of a giant font may overflow.
  QFont drawn = font;
  if (font.pixelSize() > kTallestLetters || font.pointSizeF() > kTallestLetters ||
      QFontMetrics(font).height() > kTallestLetters)
    drawn.setPixelSize(kTallestLetters);
  const QFontMetrics metrics(drawn);
  const QString text = name.left(NameLabelMostLetters);
  const int halo = options.halo ? HaloWidthFor(metrics) : 0;
  // Relative to the start of the baseline: the text box (which holds underline and strikeout) and
  // the letters' ink (which italics and accents may take beyond it), with a pixel for smoothed edges.
  const QRect box(0, -metrics.ascent(), metrics.horizontalAdvance(text), metrics.height());
  QRect area = (box | metrics.boundingRect(text)).adjusted(-1 - halo, -1 - halo, 1 + halo, 1 + halo);
  if (area.width() > kWidestLabel) area.setWidth(kWidestLabel);
  if (area.height() > 2 * kTallestLetters) area.setHeight(2 * kTallestLetters);
  const QPoint point(0, -metrics.ascent());  // the bookmark's point: the text box's top-left corner
  if (options.marker) {
    const int r = PointMarkerRadius;
    area |= QRect(point - QPoint(r, r), QSize(2 * r + 1, 2 * r + 1));
  }
  const QPoint baseline = -area.topLeft();

  QImage letters(area.size(), QImage::Format_ARGB32_Premultiplied);
  letters.fill(Qt::transparent);
  {
    QPainter p(&letters);
    p.setFont(drawn);
    p.setPen(color);
    p.drawText(baseline, text);
  }
  NameLabel label;
  label.offset = area.topLeft() - point;
  label.picture =
      halo > 0 ? HaloOf(letters, halo, HaloColorFor(color)) : QImage(area.size(), letters.format());
  if (halo == 0) label.picture.fill(Qt::transparent);
  QPainter p(&label.picture);
  // The letters go over the marker, so that a name starting at its point stays readable.
  if (options.marker) DrawPointMarker(p, baseline + point, color);
  p.drawImage(0, 0, letters);
  return label;
}

}  // namespace orv
