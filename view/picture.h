#pragma once
// Map pictures decoded into QImages.
#include <QImage>
#include <string>

#include "core/jpeg.h"

namespace orv {

// Decodes the JPEG file at path into target (RGB32). Leaves target untouched when Unreadable.
JpegResult LoadPicture(const std::string& path, QImage& target);

}  // namespace orv
