#include "core/pictureahead.h"

#include <system_error>

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
      Taken taken;
      taken.result = DecodePicture(picturePath, taken.picture, &stop_, rows);
      return taken;
    });
  } catch (const std::system_error&) {
    path_.clear();  // no second thread: the load decodes the picture itself
  }
}

std::optional<PictureAhead::Taken> PictureAhead::Take(
    const std::string& picturePath, const std::function<void(const PictureRows::Seen&)>& follow) {
  if (!decoding_.valid() || picturePath != path_) return std::nullopt;
  if (follow) {
    for (int known = 0;;) {
      const PictureRows::Seen seen = rows_->WaitBeyond(known);
      if (seen.ended) break;
      follow(seen);
      known = seen.rows;
    }
  }
  Taken taken = decoding_.get();
  path_.clear();
  return taken;
}

}  // namespace orv
