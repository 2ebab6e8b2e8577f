#include "view/picture.h"

#include <functional>

namespace orv {
namespace {

QImage RowsImage(const PicturePixels& picture) {
  return QImage(static_cast<const uchar*>(picture.pixels()), picture.width(), picture.height(),
                qsizetype(picture.stride()), QImage::Format_RGB32);
}

}  // namespace

QImage PictureImage(const PicturePixels& picture) {
  if (picture.isNull()) return QImage();
  // The image keeps a copy of the picture, whose memory is freed with the last copy.
  auto* kept = new PicturePixels(picture);
  QImage image(
      picture.pixels(), picture.width(), picture.height(), qsizetype(picture.stride()), QImage::Format_RGB32,
      [](void* info) { delete static_cast<PicturePixels*>(info); }, kept);
  if (image.isNull()) delete kept;
  return image;
}

JpegResult LoadPicture(const std::string& path, QImage& target, const std::atomic<bool>* stop) {
  PicturePixels picture;
  const JpegResult result = DecodePicture(path, picture, stop);
  if (result == JpegResult::Unreadable) return result;
  QImage image = PictureImage(picture);
  if (image.isNull()) return JpegResult::Unreadable;
  target = std::move(image);
  return result;
}

std::optional<JpegResult> TakePicture(PictureAhead& ahead, const std::string& picturePath, QImage& target,
                                      Overview* overview) {
  std::optional<OverviewMaker> maker;
  std::function<void(const PictureRows::Seen&)> follow;
  if (overview) {
    follow = [&maker](const PictureRows::Seen& seen) {
      if (seen.picture.isNull()) return;
      const QImage rows = RowsImage(seen.picture);  // read only, over the decoder's memory
      if (!maker) maker.emplace(rows.size());
      maker->RowsReady(rows, seen.rows);
    };
  }
  std::optional<PictureAhead::Taken> taken = ahead.Take(picturePath, follow);
  if (!taken) return std::nullopt;
  if (taken->result == JpegResult::Unreadable) return taken->result;
  QImage image = PictureImage(taken->picture);
  if (image.isNull()) return JpegResult::Unreadable;
  if (overview) {
    // A decode that ended before the follower first looked (a small picture, or windows slow to
    // come) left it no rows: the whole overview is averaged now.
    if (!maker) maker.emplace(image.size());
    *overview = maker->Finish(image);
  }
  target = std::move(image);
  return taken->result;
}

}  // namespace orv
