#include "view/pictureahead.h"

#include <system_error>

#include "view/picture.h"

namespace orv {

PictureAhead::~PictureAhead() {
  Forget();
}

void PictureAhead::Forget() {
  if (decoding_.valid()) {
    stop_.store(true, std::memory_order_relaxed);
    decoding_.wait();
  }
  decoding_ = {};
  rows_.reset();
  stop_.store(false, std::memory_order_relaxed);
  path_.clear();
}

void PictureAhead::Start(const std::string& picturePath) {
  Forget();
  path_ = picturePath;
  rows_ = std::make_unique<PictureRows>();
  try {
    decoding_ = std::async(std::launch::async, [this, picturePath, rows = rows_.get()] {
      QImage picture;
      const JpegResult result = LoadPicture(picturePath, picture, &stop_, rows);
      return std::pair{result, std::move(picture)};
    });
  } catch (const std::system_error&) {
    path_.clear();  // no second thread: the load decodes the picture itself
  }
}

std::optional<JpegResult> PictureAhead::Take(const std::string& picturePath, QImage& target,
                                             Overview* overview) {
  if (!decoding_.valid() || picturePath != path_) return std::nullopt;
  std::optional<OverviewMaker> maker;
  if (overview) maker = FollowRows();
  auto [result, picture] = decoding_.get();
  path_.clear();
  if (result == JpegResult::Unreadable) return result;
  if (maker) *overview = maker->Finish(picture);
  target = std::move(picture);
  return result;
}

std::optional<OverviewMaker> PictureAhead::FollowRows() {
  std::optional<OverviewMaker> maker;
  for (int known = 0;;) {
    // Dropped before the next wait, and for good once the decode ended: a copy of the picture still
    // held would make the first mark drawn into it copy the whole picture.
    const PictureRows::Seen seen = rows_->WaitBeyond(known);
    if (seen.ended) return maker;
    if (!maker) maker.emplace(seen.picture.size());
    maker->RowsReady(seen.picture, seen.rows);
    known = seen.rows;
  }
}

}  // namespace orv
