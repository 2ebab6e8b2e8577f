#include "view/render.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "core/numbers.h"

namespace orv {

int32_t ScaledLength(int32_t length, int32_t zoomPercent) {
  const long double z = zoomPercent * 0.01L;
  const long double scaled = length * z;
  if (scaled >= static_cast<long double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  return std::max(0, TruncToInt(scaled));
}

SourceRect ViewSource(int32_t x, int32_t y, int32_t dw, int32_t dh, int32_t zoomPercent) {
  const long double inv = 100.0L / zoomPercent;
  return {TruncToInt(x * inv), TruncToInt(y * inv), TruncToInt(dw * inv), TruncToInt(dh * inv)};
}

namespace {

// One axis of a composition: view pixel d shows picture pixel first + floor((rest + d * span) / count),
// with 0 <= rest < count.
struct AxisMap {
  int64_t first = 0, rest = 0, span = 0, count = 1;
};

// The designed stretch of a source rectangle's side of span picture pixels onto count view pixels.
AxisMap StretchAxis(int64_t first, int64_t span, int64_t count) {
  return {first, 0, std::max<int64_t>(span, 0), std::max<int64_t>(count, 1)};
}

// View pixel d at the zoomed map pixel origin + d shows picture pixel floor((origin + d) * 100 / zoom),
// so a view origin that falls inside a picture pixel (zooms above 100) shifts the view by that part.
AxisMap ZoomedAxis(int64_t origin, int32_t zoomPercent) {
  const int64_t zoom = std::max(zoomPercent, 1);
  const int64_t scaled = origin * 100;
  int64_t first = scaled / zoom, rest = scaled % zoom;
  if (rest < 0) {  // floor division for origins left of or above the picture
    rest += zoom;
    --first;
  }
  return {first, rest, 100, zoom};
}

// Steps through the picture pixels of an axis for d = 0, 1, 2, ... without dividing at each step.
class SourceSteps {
 public:
  explicit SourceSteps(const AxisMap& axis)
      : index_(axis.first),
        whole_(axis.span / axis.count),
        part_(axis.span % axis.count),
        count_(axis.count),
        rest_(axis.rest) {}
  int64_t index() const { return index_; }
  void Next() {
    index_ += whole_;
    rest_ += part_;
    if (rest_ >= count_) {
      rest_ -= count_;
      ++index_;
    }
  }

 private:
  int64_t index_, whole_, part_, count_, rest_;
};

void FillGrey(QRgb* row, int from, int to) {
  std::fill(row + from, row + to, ViewGrey);
}

// Writes n view pixels of a row magnified by the whole factor K: view pixel d shows in[(phase + d) / K].
template <int K>
void MagnifyRow(QRgb* out, const QRgb* in, int n, int phase) {
  int d = std::min(n, K - phase);
  std::fill(out, out + d, *in++);
  for (; d + K <= n; d += K) {
    const QRgb v = *in++;
    for (int j = 0; j < K; ++j) out[d + j] = v;
  }
  if (d < n) std::fill(out + d, out + n, *in);
}

using MagnifyFn = void (*)(QRgb*, const QRgb*, int, int);

// A row writer for the whole factors of the usual zooms (200 to 800 percent); none for the others.
MagnifyFn MagnifierFor(const AxisMap& axis) {
  if (axis.span == 0 || axis.count % axis.span != 0) return nullptr;
  switch (axis.count / axis.span) {
    case 2:
      return MagnifyRow<2>;
    case 3:
      return MagnifyRow<3>;
    case 4:
      return MagnifyRow<4>;
    case 6:
      return MagnifyRow<6>;
    case 8:
      return MagnifyRow<8>;
    default:
      return nullptr;
  }
}

void Compose(QImage& view, const QImage& picture, const AxisMap& colAxis, const AxisMap& rowAxis, int32_t dw,
             int32_t dh) {
  if (view.isNull()) return;
  const int viewW = view.width(), viewH = view.height();
  dw = std::clamp(dw, 0, viewW);
  dh = std::clamp(dh, 0, viewH);
  const int pw = picture.isNull() ? 0 : picture.width();
  const int ph = picture.isNull() ? 0 : picture.height();

  // Columns: the view columns whose picture column lies inside the picture form one run [dx0, dx1),
  // because the mapping never decreases.
  thread_local std::vector<int32_t> columns;
  columns.resize(static_cast<std::size_t>(dw));
  int dx0 = dw, dx1 = 0;
  SourceSteps column(colAxis);
  for (int dx = 0; dx < dw; ++dx, column.Next()) {
    const int64_t sx = column.index();
    if (sx >= 0 && sx < pw) {
      columns[static_cast<std::size_t>(dx)] = static_cast<int32_t>(sx);
      dx0 = std::min(dx0, dx);
      dx1 = dx + 1;
    }
  }
  // One picture column per view column, or whole blocks of view columns per picture column.
  const bool plainCopy = dx0 < dx1 && colAxis.span == colAxis.count;
  const MagnifyFn magnify = dx0 < dx1 ? MagnifierFor(colAxis) : nullptr;
  // Where view column dx0 falls within its block of view columns.
  const int phase =
      magnify ? static_cast<int>((colAxis.rest + int64_t(dx0) * colAxis.span) % colAxis.count / colAxis.span)
              : 0;

  const uchar* pictureBits = pw > 0 ? picture.constBits() : nullptr;
  const qsizetype pictureStride = pw > 0 ? picture.bytesPerLine() : 0;
  const int32_t* cols = columns.data();
  int64_t previousRow = -1;
  SourceSteps row(rowAxis);
  for (int dy = 0; dy < viewH; ++dy, row.Next()) {
    QRgb* out = reinterpret_cast<QRgb*>(view.scanLine(dy));
    const int64_t sy = dy < dh ? row.index() : -1;
    if (sy < 0 || sy >= ph || dx0 >= dx1) {
      FillGrey(out, 0, viewW);
      previousRow = -1;
      continue;
    }
    if (sy == previousRow) {
      std::memcpy(out, view.constScanLine(dy - 1), static_cast<std::size_t>(viewW) * sizeof(QRgb));
      continue;
    }
    previousRow = sy;
    FillGrey(out, 0, dx0);
    FillGrey(out, dx1, viewW);
    const QRgb* in = reinterpret_cast<const QRgb*>(pictureBits + sy * pictureStride);
    if (plainCopy) {
      std::memcpy(out + dx0, in + cols[dx0], static_cast<std::size_t>(dx1 - dx0) * sizeof(QRgb));
    } else if (magnify) {
      magnify(out + dx0, in + cols[dx0], dx1 - dx0, phase);
    } else {
      for (int dx = dx0; dx < dx1; ++dx) out[dx] = in[cols[dx]];
    }
  }
}

}  // namespace

void ComposeView(QImage& view, const QImage& picture, const SourceRect& src, int32_t dw, int32_t dh) {
  Compose(view, picture, StretchAxis(src.left, src.width, dw), StretchAxis(src.top, src.height, dh), dw, dh);
}

void ComposeZoomedView(QImage& view, const QImage& picture, Point origin, int32_t zoomPercent, int32_t dw,
                       int32_t dh) {
  Compose(view, picture, ZoomedAxis(origin.x, zoomPercent), ZoomedAxis(origin.y, zoomPercent), dw, dh);
}

}  // namespace orv
