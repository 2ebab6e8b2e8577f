#pragma once
// The last finished frame of the map area, kept in the view buffer, and what the next frame can take
// from it while the view scrolls.
//
// Outside the area drawn under the names (the cross and its glass), a finished frame's pixel depends
// only on the zoomed map pixel it shows and on what is drawn (zoom, picture, names), as long as the
// picture covers the whole view. So a frame that only moves the view by less than its size moves the
// pixels it shares with the last one and composes the strips that come into view and the cross areas
// of both frames; the rest is as a full composition would write it.
#include <QImage>
#include <QRegion>
#include <cstdint>
#include <optional>

namespace orv {

class KeptFrame {
 public:
  // What a frame shows, as far as its pixels go.
  struct Frame {
    int32_t zoom;
    int32_t scrollX, scrollY;  // zoomed map pixel at the view's top-left
    int32_t dw, dh;            // the part of the view that shows the picture
    qint64 pictureKey;
    uint64_t drawn;         // changes whenever what is drawn over the picture changes
    QRect drawnUnderNames;  // view positions
  };

  // Begins a frame in view. When view still holds the last finished frame, the two differ only in
  // the scroll position, by less than the view's size and not by nothing, and the picture covers the
  // view in both, shifts the shared pixels into place and returns the view positions still to be
  // composed; otherwise returns the whole view.
  QRegion Begin(QImage& view, const Frame& frame);
  // The view now holds the frame last begun, finished: nothing will be drawn into it until the next
  // Begin.
  void Finished(const QImage& view);
  // Begins a frame that is composed whole and not kept.
  void Forget();

 private:
  std::optional<Frame> begun_, finished_;
  qint64 viewKey_ = 0;  // the view's cacheKey when it was finished: any write to it changes it
};

// Moves the pixels of view (32 bits each) so that the pixel at (x + dx, y + dy) comes to (x, y); the
// pixels that come from outside are left as they were.
void ShiftView(QImage& view, int dx, int dy);

}  // namespace orv
