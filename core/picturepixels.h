#pragma once
// Map pictures decoded into memory of their own, without the window toolkit: the program starts
// decoding the last map before the toolkit's libraries are even loaded.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "core/jpeg.h"

namespace orv {

// Decoded pixels, B, G, R, 0xFF each (QImage::Format_RGB32 on little-endian machines), rows stride
// bytes apart, in memory shared by the copies of this value and freed with the last of them.
class PicturePixels {
 public:
  bool isNull() const { return pixels_ == nullptr; }
  uint8_t* pixels() const { return pixels_; }
  int width() const { return width_; }
  int height() const { return height_; }
  std::size_t stride() const { return stride_; }

  // Memory for width x height pixels, uninitialised; null when it cannot be had. Large pictures get
  // a mapping of their own that asks for huge pages.
  static PicturePixels Allocate(int width, int height);

 private:
  std::shared_ptr<void> memory_;
  uint8_t* pixels_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  std::size_t stride_ = 0;
};

// The rows of a picture while it is being decoded, for a thread that follows the decoder (the
// overview of a map is made this way while its picture decodes). Rows counted are final: the decoder
// does not write them again.
class PictureRows {
 public:
  struct Seen {
    PicturePixels picture;  // the picture being decoded; null until its memory exists
    int rows = 0;           // rows [0, rows) of it are decoded
    bool ended = false;
  };
  // Waits until more than known rows are decoded, or the decode ended.
  Seen WaitBeyond(int known);

  // The decoder's side. End drops the picture given to Begin.
  void Begin(const PicturePixels& picture);
  void Decoded(int rows);
  void End();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  Seen seen_;
};

// Decodes the JPEG file at path into target, a picture of the file's full size, decoded once,
// straight into the new picture's memory.
// - Ok: target holds the new picture.
// - Damaged: target holds the new picture, of its full size, but parts may be missing (for example
//   a file cut short; the decoder fills what it could not read).
// - Unreadable: the file is missing, empty, not a JPEG, refused for its size (see MaxDecodedBytes),
//   or could not be decoded; target is left exactly as it was, so the caller keeps its old map.
// While a large picture decodes, a second thread makes its pages present ahead of the decoder. When
// stop (if given) becomes set, the decode ends early as Unreadable. rows (if given) is told of the
// decoded rows and, in every case, of the decode's end.
JpegResult DecodePicture(const std::string& path, PicturePixels& target,
                         const std::atomic<bool>* stop = nullptr, PictureRows* rows = nullptr);

}  // namespace orv
