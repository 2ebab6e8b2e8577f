// Stand-in for picture loading until its own code lands; replaced wholesale by it.
#include "view/picture.h"

namespace orv {

JpegResult LoadPicture(const std::string& path, QImage& target) {
  JpegFile file;
  if (file.Open(path) != JpegResult::Ok) return JpegResult::Unreadable;
  QImage image(file.header().width, file.header().height, QImage::Format_RGB32);
  if (image.isNull()) return JpegResult::Unreadable;
  const JpegResult r = file.DecodeInto(image.bits(), static_cast<std::size_t>(image.bytesPerLine()));
  if (r == JpegResult::Unreadable) return r;
  target = std::move(image);
  return r;
}

}  // namespace orv
