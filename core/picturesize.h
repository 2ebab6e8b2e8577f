#pragma once
// The size of a map picture from its JPEG header, without decoding the picture.
#include <optional>
#include <string>

#include "core/jpeg.h"

namespace orv {

// Width and height in picture pixels of the JPEG file at path, reading only as much of the file as
// its header takes (usually a few kilobytes). No value when the file cannot be read, is not a JPEG,
// or holds a picture the map load would refuse (for its size, its scans or a damaged header).
std::optional<JpegHeader> ReadPictureSize(const std::string& path);

}  // namespace orv
