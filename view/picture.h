#pragma once
// Loading a map picture (a JPEG file) into the QImage that the view composes from.
#include <QImage>
#include <atomic>
#include <string>

#include "core/jpeg.h"

namespace orv {

// Decodes the JPEG file at path into target as a Format_RGB32 picture of the file's full size.
// The pixels are decoded once, straight into the new picture's own memory, with no copy.
// - Ok: target holds the new picture.
// - Damaged: target holds the new picture, of its full size, but parts may be missing (for example
//   a file cut short; the decoder fills what it could not read).
// - Unreadable: the file is missing, empty, not a JPEG, refused for its size (see MaxDecodedBytes),
//   or could not be decoded; target is left exactly as it was, so the caller keeps its old map.
// Large pictures are placed in memory that asks for huge pages and whose pages are made present by a
// second thread while the decoder fills the first rows. When stop (if given) becomes set, the decode
// ends early as Unreadable.
JpegResult LoadPicture(const std::string& path, QImage& target, const std::atomic<bool>* stop = nullptr);

}  // namespace orv
