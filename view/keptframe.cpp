#include "view/keptframe.h"

#include <cstdlib>
#include <cstring>

namespace orv {

QRegion KeptFrame::Begin(QImage& view, const Frame& frame) {
  const QRect whole = view.rect();
  const std::optional<Frame> last = finished_;
  const bool stillThere = last && view.cacheKey() == viewKey_;
  finished_.reset();
  begun_ = frame;
  if (!stillThere) return whole;
  const int64_t dx = int64_t{frame.scrollX} - last->scrollX;
  const int64_t dy = int64_t{frame.scrollY} - last->scrollY;
  const bool covered = frame.dw == whole.width() && frame.dh == whole.height();
  const bool sameDrawing = frame.zoom == last->zoom && frame.pictureKey == last->pictureKey &&
                           frame.drawn == last->drawn && frame.dw == last->dw && frame.dh == last->dh;
  // A frame at the same place is composed whole, as a repaint always was.
  if (!covered || !sameDrawing || (dx == 0 && dy == 0) || std::abs(dx) >= whole.width() ||
      std::abs(dy) >= whole.height())
    return whole;
  ShiftView(view, static_cast<int>(dx), static_cast<int>(dy));
  const QRect kept = whole & whole.translated(static_cast<int>(-dx), static_cast<int>(-dy));
  QRegion stale = QRegion(whole) - QRegion(kept);
  stale += last->drawnUnderNames.translated(static_cast<int>(-dx), static_cast<int>(-dy)) & whole;
  stale += frame.drawnUnderNames & whole;
  return stale;
}

void KeptFrame::Finished(const QImage& view) {
  finished_ = begun_;
  begun_.reset();
  viewKey_ = view.cacheKey();
}

void KeptFrame::Forget() {
  begun_.reset();
  finished_.reset();
}

void ShiftView(QImage& view, int dx, int dy) {
  const int w = view.width(), h = view.height();
  if (std::abs(dx) >= w || std::abs(dy) >= h) return;
  const int toX = dx < 0 ? -dx : 0, fromX = dx < 0 ? 0 : dx;
  const auto bytes = static_cast<std::size_t>(w - std::abs(dx)) * 4;
  const int rows = h - std::abs(dy);
  uchar* bits = view.bits();
  const qsizetype stride = view.bytesPerLine();
  // Rows are taken in the order that reads each source row before it is written over.
  for (int k = 0; k < rows; ++k) {
    const int to = dy >= 0 ? k : h - 1 - k;
    std::memmove(bits + to * stride + toX * 4, bits + (to + dy) * stride + fromX * 4, bytes);
  }
}

}  // namespace orv
