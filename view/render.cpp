#include "view/render.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define ORV_AVX2_ROWS 1
#endif

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

// Writes n view pixels into each of the rows outs[0..rows), magnified by the whole factor K: view
// pixel d shows in[(phase + d) / K]. Every copy of a repeated row is written in the same pass, so the
// picture row is read once and no view row is read back.
template <int K>
void MagnifyRows(QRgb* const* outs, int rows, const QRgb* in, int n, int phase) {
  auto run = [outs, rows](int from, int to, QRgb v) {
    for (int r = 0; r < rows; ++r) std::fill(outs[r] + from, outs[r] + to, v);
  };
  int d = std::min(n, K - phase);
  run(0, d, *in++);
#ifdef __SSE2__
  if constexpr (K == 2 || K == 4 || K == 8) {
    // Four picture pixels at a time, spread over 4 * K view pixels.
    for (; d + 4 * K <= n; d += 4 * K, in += 4) {
      const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
      __m128i v[K];
      if constexpr (K == 2) {
        v[0] = _mm_unpacklo_epi32(s, s);
        v[1] = _mm_unpackhi_epi32(s, s);
      } else {
        const __m128i each[4] = {_mm_shuffle_epi32(s, 0x00), _mm_shuffle_epi32(s, 0x55),
                                 _mm_shuffle_epi32(s, 0xAA), _mm_shuffle_epi32(s, 0xFF)};
        for (int i = 0; i < K; ++i) v[i] = each[i / (K / 4)];
      }
      for (int r = 0; r < rows; ++r)
        for (int i = 0; i < K; ++i) _mm_storeu_si128(reinterpret_cast<__m128i*>(outs[r] + d + 4 * i), v[i]);
    }
  }
#endif
  for (; d + K <= n; d += K) run(d, d + K, *in++);
  if (d < n) run(d, n, *in);
}

#ifdef ORV_AVX2_ROWS
// Writes the view pixels [d, ...) of the rows outs[0..rows) in blocks of 4K, four picture pixels from
// in at a time, spread over K / 2 vectors of eight view pixels (vector j shows the picture pixels
// (8j + i) / K). Rows, when not 0, is the number of rows known at compile time: the usual case of as
// many rows as the factor then keeps every row's pointer in a register. Returns the first view pixel
// left, and in is moved past the picture pixels used.
template <int K, int Rows>
__attribute__((target("avx2"))) int SpreadBlocks(QRgb* const* outs, int rows, const QRgb*& in, int n, int d) {
  const int count = Rows ? Rows : rows;
  // The stores could alias outs as far as the compiler knows, which would reload every row's pointer
  // before each store: a local copy keeps them in registers.
  QRgb* out[Rows ? Rows : 1];
  if constexpr (Rows != 0) std::copy(outs, outs + Rows, out);
  QRgb* const* const rowsOut = Rows ? out : outs;
  __m256i spread[K / 2];
  for (int j = 0; j < K / 2; ++j)
    spread[j] = _mm256_setr_epi32((8 * j + 0) / K, (8 * j + 1) / K, (8 * j + 2) / K, (8 * j + 3) / K,
                                  (8 * j + 4) / K, (8 * j + 5) / K, (8 * j + 6) / K, (8 * j + 7) / K);
  for (; d + 4 * K <= n; d += 4 * K, in += 4) {
    const __m256i s = _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)));
    for (int j = 0; j < K / 2; ++j) {
      const __m256i v = _mm256_permutevar8x32_epi32(s, spread[j]);
      for (int r = 0; r < count; ++r)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(rowsOut[r] + d + 8 * j), v);
    }
  }
  return d;
}

// The same rows as MagnifyRows with 32-byte stores, for processors that have them: the frame's
// writes are most of a magnified frame's cost, and a wide store writes twice the pixels of a narrow one.
template <int K>
__attribute__((target("avx2"))) void MagnifyRowsWide(QRgb* const* outs, int rows, const QRgb* in, int n,
                                                     int phase) {
  static_assert(K == 2 || K == 4 || K == 8);
  auto run = [outs, rows](int from, int to, QRgb v) {
    for (int r = 0; r < rows; ++r) std::fill(outs[r] + from, outs[r] + to, v);
  };
  int d = std::min(n, K - phase);
  run(0, d, *in++);
  // Whole picture pixels one by one until the stores start on a 32-byte boundary, where none of them
  // straddles two cache lines (the rows of a view share their alignment).
  for (int i = 0; i < 8 && d + K <= n && (reinterpret_cast<uintptr_t>(outs[0] + d) & 31) != 0; ++i, d += K)
    run(d, d + K, *in++);
  d = rows == K ? SpreadBlocks<K, K>(outs, rows, in, n, d) : SpreadBlocks<K, 0>(outs, rows, in, n, d);
  for (; d + K <= n; d += K) run(d, d + K, *in++);
  if (d < n) run(d, n, *in);
}

bool HasWideStores() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

using MagnifyFn = void (*)(QRgb* const*, int, const QRgb*, int, int);

template <int K>
MagnifyFn MagnifierOf() {
#ifdef ORV_AVX2_ROWS
  if constexpr (K == 2 || K == 4 || K == 8)
    if (HasWideStores()) return MagnifyRowsWide<K>;
#endif
  return MagnifyRows<K>;
}

// A row writer for the whole factors of the usual zooms (200 to 800 percent); none for the others.
MagnifyFn MagnifierFor(const AxisMap& axis) {
  if (axis.span == 0 || axis.count % axis.span != 0) return nullptr;
  switch (axis.count / axis.span) {
    case 2:
      return MagnifierOf<2>();
    case 3:
      return MagnifierOf<3>();
    case 4:
      return MagnifierOf<4>();
    case 6:
      return MagnifierOf<6>();
    case 8:
      return MagnifierOf<8>();
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
  uchar* viewBits = view.bits();
  const qsizetype viewStride = view.bytesPerLine();
  auto viewRow = [viewBits, viewStride](int dy) {
    return reinterpret_cast<QRgb*>(viewBits + dy * viewStride);
  };
  const int32_t* cols = columns.data();
  thread_local std::vector<QRgb*> copies;  // the view rows that show one picture row, from dx0 on

  SourceSteps row(rowAxis);
  for (int dy = 0; dy < viewH;) {
    // The view rows [dy, dy + rows) show the picture row sy (none below dh).
    int64_t sy = -1;
    int rows = 1;
    if (dy < dh) {
      sy = row.index();
      for (row.Next(); dy + rows < dh && row.index() == sy; row.Next()) ++rows;
    }
    if (sy < 0 || sy >= ph || dx0 >= dx1) {
      for (int r = 0; r < rows; ++r) FillGrey(viewRow(dy + r), 0, viewW);
      dy += rows;
      continue;
    }
    const QRgb* in = reinterpret_cast<const QRgb*>(pictureBits + sy * pictureStride);
    QRgb* out = viewRow(dy);
    FillGrey(out, 0, dx0);
    FillGrey(out, dx1, viewW);
    if (magnify) {
      copies.clear();
      for (int r = 0; r < rows; ++r) {
        QRgb* copy = viewRow(dy + r);
        if (r > 0) {
          FillGrey(copy, 0, dx0);
          FillGrey(copy, dx1, viewW);
        }
        copies.push_back(copy + dx0);
      }
      magnify(copies.data(), rows, in + cols[dx0], dx1 - dx0, phase);
    } else {
      if (plainCopy) {
        std::memcpy(out + dx0, in + cols[dx0], static_cast<std::size_t>(dx1 - dx0) * sizeof(QRgb));
      } else {
        for (int dx = dx0; dx < dx1; ++dx) out[dx] = in[cols[dx]];
      }
      for (int r = 1; r < rows; ++r)
        std::memcpy(viewRow(dy + r), out, static_cast<std::size_t>(viewW) * sizeof(QRgb));
    }
    dy += rows;
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
