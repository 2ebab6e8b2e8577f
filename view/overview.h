#pragma once
// The overview: a small picture of the whole map, made once per load, with the view's rectangle on
// it; a click or a drag on it moves the view there. No widgets: the map area draws the thumbnail and
// the rectangle, and hands clicks back through OverviewToPicture.
#include <QImage>
#include <QRect>
#include <QSize>
#include <cstdint>

#include "core/geometry.h"

namespace orv {

inline constexpr int OverviewMaxSide = 512;

struct Overview {
  QImage thumbnail;   // Format_RGB32, at most OverviewMaxSide pixels on its longer side
  int32_t block = 1;  // picture pixels per thumbnail pixel, on both axes
  QSize pictureSize;  // the picture it was made from, in picture pixels
  bool isNull() const { return thumbnail.isNull(); }
};

// The thumbnail of picture (Format_RGB32; other formats are converted first): each thumbnail pixel
// is the average colour of a square block of picture pixels, the smallest whole block that brings
// the longer side to OverviewMaxSide or below; blocks at the right and bottom edges may be cut short
// and average what they hold. A picture already small enough is kept as it is. Null for a null
// picture or one longer than 131584 pixels. Reads every pixel once, without filtering beyond the
// average, the two halves of the picture on two threads where a second one can be had.
Overview MakeOverview(const QImage& picture);

// Makes the same overview as MakeOverview a block row at a time, as the rows of a picture being
// decoded become final, so that it is ready when the decode ends.
class OverviewMaker {
 public:
  // For a Format_RGB32 picture of pictureSize.
  explicit OverviewMaker(QSize pictureSize);
  // Averages the block rows that lie wholly within the first rows rows of picture (of the size
  // given; rows once given must not change afterwards).
  void RowsReady(const QImage& picture, int rows);
  // The overview of picture, the whole of it decoded: the block rows still missing are averaged now.
  // Null when picture is not of the size given, or not Format_RGB32.
  Overview Finish(const QImage& picture);

 private:
  Overview overview_;
  int blockRowsDone_ = 0;
};

// The part of the picture that a view shows, in thumbnail pixels, rounded outwards and at least one
// pixel wide and high. viewOrigin is the view origin in zoomed map pixels, viewSize the map area's
// size in view pixels. Empty for a null overview or a zoom below 1.
QRect ViewOnOverview(const Overview& overview, Point viewOrigin, QSize viewSize, int32_t zoomPercent);

// The picture pixel at the middle of the thumbnail pixel thumbnailPos, kept inside the picture (a drag
// may leave the thumbnail): where the view centre goes for a click there.
Point OverviewToPicture(const Overview& overview, QPoint thumbnailPos);

}  // namespace orv
