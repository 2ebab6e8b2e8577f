#include "core/picturesize.h"

namespace orv {

std::optional<JpegHeader> ReadPictureSize(const std::string& path) {
  // The map load's own opening of the picture, which reads up to the first scan: a map made or listed
  // from this size is one the load accepts, and one the load refuses is never offered.
  JpegFile picture;
  if (picture.Open(path) != JpegResult::Ok) return std::nullopt;
  return picture.header();
}

}  // namespace orv
