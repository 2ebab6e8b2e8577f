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

// Opens the file and reads its header. Fails (Unreadable) for a missing file, a file that is not a
// JPEG, or a picture whose decoded size would exceed MaxDecodedBytes; nothing large is allocated then.
// The compressed bytes are not copied: the file is mapped into memory read-only for as long as the
// JpegFile lives (read into memory instead where the file system cannot map it), so a large map
// costs no more memory than its decoded picture.
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
  // QImage::Format_RGB32 on little-endian machines), rows strideBytes apart.
  JpegResult DecodeInto(uint8_t* pixels, std::size_t strideBytes);
  // True while the compressed bytes are a mapping of the file rather than a copy.
  bool mapped() const { return mapped_ != nullptr; }

 private:
  void Clear();
  // Checks the header of bytes [0, size) and keeps the size; Unreadable when refused.
  JpegResult ReadHeader(const unsigned char* bytes, std::size_t size);
  const unsigned char* bytes() const { return mapped_ ? mapped_ : data_.data(); }
  std::size_t size() const { return mapped_ ? mappedSize_ : data_.size(); }

  std::vector<unsigned char> data_;        // the bytes when they were read or given
  const unsigned char* mapped_ = nullptr;  // the bytes when the file is mapped
  std::size_t mappedSize_ = 0;
  JpegHeader header_;
};

}  // namespace orv
