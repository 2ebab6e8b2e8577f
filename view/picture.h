#pragma once
// Map pictures (JPEG files) as the QImage that the view composes from.
#include <QImage>
#include <atomic>
#include <optional>
#include <string>

#include "core/jpeg.h"
#include "core/pictureahead.h"
#include "core/picturepixels.h"
#include "view/overview.h"

namespace orv {

// A Format_RGB32 QImage over picture's memory, without a copy; the memory lives as long as the image
// (and its copies) do. Null for a null picture.
QImage PictureImage(const PicturePixels& picture);

// DecodePicture into a QImage: target is replaced unless the result is Unreadable.
JpegResult LoadPicture(const std::string& path, QImage& target, const std::atomic<bool>* stop = nullptr);

// The picture ahead started for picturePath, as LoadPicture would have decoded it (target is
// replaced unless the result is Unreadable); nothing when ahead holds no such picture. With overview
// given, this thread makes the picture's overview while the rows come, and sets it along with target.
std::optional<JpegResult> TakePicture(PictureAhead& ahead, const std::string& picturePath, QImage& target,
                                      Overview* overview = nullptr);

}  // namespace orv
