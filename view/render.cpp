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

// Steps through first + floor(d * span / count) for d = 0, 1, 2, ... without dividing at each step.
class SourceSteps {
 public:
  SourceSteps(int64_t first, int64_t span, int64_t count)
      : index_(first),
        whole_(count > 0 ? span / count : 0),
        part_(count > 0 ? span % count : 0),
        count_(count) {}
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
  int64_t index_, whole_, part_, count_, rest_ = 0;
};

void FillGrey(QRgb* row, int from, int to) {
  std::fill(row + from, row + to, ViewGrey);
}

}  // namespace

void ComposeView(QImage& view, const QImage& picture, const SourceRect& src, int32_t dw, int32_t dh) {
  if (view.isNull()) return;
  const int viewW = view.width(), viewH = view.height();
  dw = std::clamp(dw, 0, viewW);
  dh = std::clamp(dh, 0, viewH);
  const int pw = picture.isNull() ? 0 : picture.width();
  const int ph = picture.isNull() ? 0 : picture.height();
  const int64_t srcW = std::max(0, src.width), srcH = std::max(0, src.height);

  // Columns: the view columns whose picture column lies inside the picture form one run [dx0, dx1),
  // because the mapping never decreases.
  thread_local std::vector<int32_t> columns;
  columns.resize(static_cast<std::size_t>(dw));
  int dx0 = dw, dx1 = 0;
  SourceSteps column(src.left, srcW, dw);
  for (int dx = 0; dx < dw; ++dx, column.Next()) {
    const int64_t sx = column.index();
    if (sx >= 0 && sx < pw) {
      columns[static_cast<std::size_t>(dx)] = static_cast<int32_t>(sx);
      dx0 = std::min(dx0, dx);
      dx1 = dx + 1;
    }
  }
  const bool plainCopy = dx0 < dx1 && srcW == dw;  // one picture column per view column

  const uchar* pictureBits = pw > 0 ? picture.constBits() : nullptr;
  const qsizetype pictureStride = pw > 0 ? picture.bytesPerLine() : 0;
  const int32_t* cols = columns.data();
  int64_t previousRow = -1;
  SourceSteps row(src.top, srcH, dh);
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
    } else {
      for (int dx = dx0; dx < dx1; ++dx) out[dx] = in[cols[dx]];
    }
  }
}

}  // namespace orv
