#pragma once
// Loading a map picture (a JPEG file) into the QImage that the view composes from.
#include <QImage>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>

#include "core/jpeg.h"

namespace orv {

// The rows of a picture while it is being decoded, for a thread that follows the decoder (the
// overview of a map is made this way while its picture decodes). Rows counted are final: the decoder
// does not write them again.
class PictureRows {
 public:
  struct Seen {
    QImage picture;  // the picture being decoded, whole size; null until its memory exists
    int rows = 0;    // rows [0, rows) of it are decoded
    bool ended = false;
  };
  // Waits until more than known rows are decoded, or the decode ended. The picture it returns shares
  // the decoder's memory: drop it before the decoded picture is written into, which would copy it.
  Seen WaitBeyond(int known);

  // The decoder's side. End drops the copy of the picture taken by Begin.
  void Begin(const QImage& picture);
  void Decoded(int rows);
  void End();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  Seen seen_;
};

// Decodes the JPEG file at path into target as a Format_RGB32 picture of the file's full size.
// The pixels are decoded once, straight into the new picture's own memory, with no copy.
// - Ok: target holds the new picture.
// - Damaged: target holds the new picture, of its full size, but parts may be missing (for example
//   a file cut short; the decoder fills what it could not read).
// - Unreadable: the file is missing, empty, not a JPEG, refused for its size (see MaxDecodedBytes),
//   or could not be decoded; target is left exactly as it was, so the caller keeps its old map.
// Large pictures are placed in memory that asks for huge pages and whose pages are made present by a
// second thread while the decoder fills the first rows. When stop (if given) becomes set, the decode
// ends early as Unreadable. rows (if given) is told of the decoded rows and, in every case, of the
// decode's end.
JpegResult LoadPicture(const std::string& path, QImage& target, const std::atomic<bool>* stop = nullptr,
                       PictureRows* rows = nullptr);

}  // namespace orv
