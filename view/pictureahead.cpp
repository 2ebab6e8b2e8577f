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
  stop_.store(false, std::memory_order_relaxed);
  path_.clear();
}

void PictureAhead::Start(const std::string& picturePath) {
  Forget();
  path_ = picturePath;
  try {
    decoding_ = std::async(std::launch::async, [this, picturePath] {
      QImage picture;
      const JpegResult result = LoadPicture(picturePath, picture, &stop_);
      return std::pair{result, std::move(picture)};
    });
  } catch (const std::system_error&) {
    path_.clear();  // no second thread: the load decodes the picture itself
  }
}

std::optional<JpegResult> PictureAhead::Take(const std::string& picturePath, QImage& target) {
  if (!decoding_.valid() || picturePath != path_) return std::nullopt;
  auto [result, picture] = decoding_.get();
  path_.clear();
  if (result != JpegResult::Unreadable) target = std::move(picture);
  return result;
}

}  // namespace orv
