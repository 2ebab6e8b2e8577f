#include "view/overview.h"

#include <algorithm>
#include <functional>
#include <system_error>
#include <thread>
#include <vector>

#include "view/render.h"

namespace orv {
namespace {

// Adds rows [y, y1) of source to the column sums, per byte. Plain element-wise additions, which the
// compiler turns into wide vector additions; eight rows at a time, so that the sums are loaded and
// stored an eighth as often and the picture is read at close to memory speed.
void AddRows(const QImage& source, int y, int y1, uint16_t* __restrict sums) {
  const std::size_t count = std::size_t(source.width()) * 4;
  for (; y + 8 <= y1; y += 8) {
    const uint8_t* __restrict r[8];
    for (int j = 0; j < 8; ++j) r[j] = source.constScanLine(y + j);
    for (std::size_t i = 0; i < count; ++i)
      sums[i] =
          uint16_t(sums[i] + r[0][i] + r[1][i] + r[2][i] + r[3][i] + r[4][i] + r[5][i] + r[6][i] + r[7][i]);
  }
  for (; y < y1; ++y) {
    const uint8_t* __restrict r = source.constScanLine(y);
    for (std::size_t i = 0; i < count; ++i) sums[i] = uint16_t(sums[i] + r[i]);
  }
}

// Fills the thumbnail rows [tyBegin, tyEnd) with the averages of their k x k blocks of source.
// Each block row first sums its rows per byte, down the columns, then each block adds up its columns.
void AverageBlockRows(const QImage& source, int k, int tyBegin, int tyEnd, QImage& thumbnail) {
  const int w = source.width(), h = source.height(), tw = thumbnail.width();
  std::vector<uint16_t> columns(std::size_t(w) * 4);
  for (int ty = tyBegin; ty < tyEnd; ++ty) {
    std::fill(columns.begin(), columns.end(), uint16_t(0));
    const int y0 = ty * k, y1 = std::min(h, y0 + k);
    AddRows(source, y0, y1, columns.data());
    QRgb* out = reinterpret_cast<QRgb*>(thumbnail.scanLine(ty));
    for (int tx = 0; tx < tw; ++tx) {
      const int x0 = tx * k, x1 = std::min(w, x0 + k);
      uint32_t blue = 0, green = 0, red = 0;
      for (const uint16_t* c = &columns[std::size_t(x0) * 4]; c < &columns[std::size_t(x1) * 4]; c += 4)
        blue += c[0], green += c[1], red += c[2];
      const uint32_t count = uint32_t(x1 - x0) * uint32_t(y1 - y0);
      auto mean = [count](uint32_t sum) { return int((sum + count / 2) / count); };
      out[tx] = qRgb(mean(red), mean(green), mean(blue));
    }
  }
}

// The overview of a picture of size, with its thumbnail allocated but not yet filled; block 1 (the
// picture kept as it is) for a picture short enough. Null for an empty size or a picture longer than
// the column sums can hold.
Overview StartOverview(QSize size) {
  const int longer = std::max(size.width(), size.height());
  if (size.isEmpty()) return {};
  const int k = (longer + OverviewMaxSide - 1) / OverviewMaxSide;
  // A column sum of k bytes must fit 16 bits. Only pictures longer than any JPEG can be refused here.
  if (k > 65535 / 255) return {};
  Overview overview;
  overview.block = k;
  overview.pictureSize = size;
  if (k > 1) {
    overview.thumbnail =
        QImage((size.width() + k - 1) / k, (size.height() + k - 1) / k, QImage::Format_RGB32);
    if (overview.thumbnail.isNull()) return {};
  }
  return overview;
}

}  // namespace

Overview MakeOverview(const QImage& picture) {
  if (picture.isNull()) return {};
  const QImage source = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
                            ? picture
                            : picture.convertToFormat(QImage::Format_RGB32);
  Overview overview = StartOverview(source.size());
  if (overview.block <= 1) {
    // A copy of its own: sharing the picture's pixels would make the first mark drawn into the
    // picture copy it.
    if (!overview.pictureSize.isEmpty())
      overview.thumbnail = source.format() == QImage::Format_RGB32
                               ? source.copy()
                               : source.convertToFormat(QImage::Format_RGB32);
    return overview;
  }
  // The upper and lower halves are averaged side by side, on a second thread where there is one.
  const int k = overview.block, th = overview.thumbnail.height();
  const int half = th / 2;
  std::thread lower;
  try {
    lower = std::thread(AverageBlockRows, std::cref(source), k, half, th, std::ref(overview.thumbnail));
  } catch (const std::system_error&) {
    AverageBlockRows(source, k, half, th, overview.thumbnail);
  }
  AverageBlockRows(source, k, 0, half, overview.thumbnail);
  if (lower.joinable()) lower.join();
  return overview;
}

OverviewMaker::OverviewMaker(QSize pictureSize) : overview_(StartOverview(pictureSize)) {}

void OverviewMaker::RowsReady(const QImage& picture, int rows) {
  if (overview_.block <= 1 || picture.size() != overview_.pictureSize) return;
  const int whole = std::min(rows / overview_.block, overview_.thumbnail.height());
  if (whole <= blockRowsDone_) return;
  AverageBlockRows(picture, overview_.block, blockRowsDone_, whole, overview_.thumbnail);
  blockRowsDone_ = whole;
}

Overview OverviewMaker::Finish(const QImage& picture) {
  if (overview_.pictureSize.isEmpty() || picture.size() != overview_.pictureSize ||
      picture.format() != QImage::Format_RGB32) {
    return {};
  }
  if (overview_.block <= 1) return MakeOverview(picture);
  RowsReady(picture, picture.height() + overview_.block);  // the last block row may be cut short
  return overview_;
}

QRect ViewOnOverview(const Overview& overview, Point viewOrigin, QSize viewSize, int32_t zoomPercent) {
  if (overview.isNull() || zoomPercent < 1) return {};
  const int32_t w = overview.pictureSize.width(), h = overview.pictureSize.height();
  // The view shows no more than the scaled picture, as the renderer draws it.
  const int32_t dw = std::min(viewSize.width(), ScaledLength(w, zoomPercent));
  const int32_t dh = std::min(viewSize.height(), ScaledLength(h, zoomPercent));
  const SourceRect shown = ViewSource(viewOrigin.x, viewOrigin.y, dw, dh, zoomPercent);
  const int64_t left = std::clamp<int64_t>(shown.left, 0, w);
  const int64_t top = std::clamp<int64_t>(shown.top, 0, h);
  const int64_t right = std::clamp<int64_t>(int64_t(shown.left) + shown.width, 0, w);
  const int64_t bottom = std::clamp<int64_t>(int64_t(shown.top) + shown.height, 0, h);
  const int64_t k = overview.block;
  const int x0 = int(left / k), y0 = int(top / k);
  const int x1 = int((right + k - 1) / k), y1 = int((bottom + k - 1) / k);
  return QRect(x0, y0, std::max(1, x1 - x0), std::max(1, y1 - y0));
}

Point OverviewToPicture(const Overview& overview, QPoint thumbnailPos) {
  if (overview.isNull()) return {};
  const int64_t k = overview.block;
  auto axis = [k](int pos, int length) {
    return int32_t(std::clamp<int64_t>(int64_t(pos) * k + k / 2, 0, std::max(0, length - 1)));
  };
  return {axis(thumbnailPos.x(), overview.pictureSize.width()),
          axis(thumbnailPos.y(), overview.pictureSize.height())};
}

}  // namespace orv
