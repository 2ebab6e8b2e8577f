#pragma once
// JPEG pictures decoded row by row straight into a buffer the caller owns.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orv {

struct JpegHeader {
  int width = 0;
  int height = 0;
};

enum class JpegResult {
  Ok,          // decoded cleanly
  Damaged,     // decoded with warnings (for example a truncated file): parts may be missing
  Unreadable,  // not a JPEG, unreadable file, or refused
};

// The most memory a picture may take to decode: 4 GiB, as many 32-bit pixels, less what the decoder
// holds for a progressive picture.
inline constexpr uint64_t MaxDecodedBytes = 4ull << 30;

// Opens the file and reads its header. Fails (Unreadable) for a missing file, a file that is not a
// JPEG, or a picture whose decoding would take more than MaxDecodedBytes; nothing large is allocated
// then. The compressed bytes are never held whole: the decoder reads the file through a small buffer
// while it writes the rows, so a large map costs hardly more memory than its decoded picture (and,
// when it is progressive, the decoder's coefficients of the whole picture).
class JpegFile {
 public:
  JpegFile() = default;
  ~JpegFile();
  JpegFile(JpegFile&& other) noexcept;
  JpegFile& operator=(JpegFile&& other) noexcept;
  JpegFile(const JpegFile&) = delete;
  JpegFile& operator=(const JpegFile&) = delete;

  JpegResult Open(const std::string& path);
  // The same for a file already read into memory.
  JpegResult OpenBytes(std::vector<unsigned char> data);
  const JpegHeader& header() const { return header_; }
  // Decodes into pixels (width x height 32-bit pixels, B, G, R, 0xFF in memory order, that is
  // QImage::Format_RGB32 on little-endian machines), rows strideBytes apart. Accurate integer DCT and
  // smooth chroma upsampling; CMYK pictures are turned into colours; progressive files of more than
  // 500 scans are refused. Unreadable also when the file no longer has the size its header had at
  // Open, and when stop (if given) is found set between rows: a decode nobody waits for any more ends
  // early. rowsDone (if given) is called on the decoding thread with the number of rows written so
  // far, after each group of rows; the decoder does not write those rows again.
  JpegResult DecodeInto(uint8_t* pixels, std::size_t strideBytes, const std::atomic<bool>* stop = nullptr,
                        const std::function<void(int)>& rowsDone = {});

 private:
  void Clear();

  int fd_ = -1;                      // the open file, read from its start by each pass
  std::vector<unsigned char> data_;  // the bytes when they were given
  JpegHeader header_;
};

}  // namespace orv
