#pragma once
// JPEG pictures through TurboJPEG, decoded straight into a buffer the caller owns.
#include <cstddef>
#include <cstdint>
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

// The largest decoded picture accepted: 4 GiB of 32-bit pixels.
inline constexpr uint64_t MaxDecodedBytes = 4ull << 30;

// Reads the file and its header. Fails (Unreadable) for a missing file, a file that is not a JPEG,
// or a picture whose decoded size would exceed MaxDecodedBytes; nothing large is allocated then.
class JpegFile {
 public:
  JpegResult Open(const std::string& path);
  // The same for a file already read into memory.
  JpegResult OpenBytes(std::vector<unsigned char> data);
  const JpegHeader& header() const { return header_; }
  // Decodes into pixels (width x height 32-bit pixels, B, G, R, 0xFF in memory order, that is
  // QImage::Format_RGB32 on little-endian machines), rows strideBytes apart.
  JpegResult DecodeInto(uint8_t* pixels, std::size_t strideBytes);

 private:
  std::vector<unsigned char> data_;
  JpegHeader header_;
};

}  // namespace orv
