// JPEG pictures through TurboJPEG: the whole file is read once, the header is checked before the
// caller allocates anything, and the pixels are decoded straight into the caller's buffer.
#include "core/jpeg.h"

#include <turbojpeg.h>

#include <cstdio>
#include <memory>

namespace orv {
namespace {

struct TjDestroy {
  void operator()(void* handle) const { tjDestroy(handle); }
};
using TjHandle = std::unique_ptr<void, TjDestroy>;

// Guards against pathological progressive files whose hundreds of scans take minutes to decode.
constexpr int DecodeFlags = TJFLAG_LIMITSCANS;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// The whole file in one read. False when it cannot be opened or read, or is too large to be a
// picture that could be accepted anyway.
bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& out) {
  std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
  if (!f) return false;
  if (std::fseek(f.get(), 0, SEEK_END) != 0) return false;
  const long size = std::ftell(f.get());
  if (size < 0 || static_cast<uint64_t>(size) > MaxDecodedBytes) return false;
  if (std::fseek(f.get(), 0, SEEK_SET) != 0) return false;
  out.resize(static_cast<std::size_t>(size));
  return size == 0 || std::fread(out.data(), 1, out.size(), f.get()) == out.size();
}

}  // namespace

JpegResult JpegFile::Open(const std::string& path) {
  std::vector<unsigned char> data;
  if (!ReadWholeFile(path, data)) {
    data_.clear();
    header_ = {};
    return JpegResult::Unreadable;
  }
  return OpenBytes(std::move(data));
}

JpegResult JpegFile::OpenBytes(std::vector<unsigned char> data) {
  data_.clear();
  header_ = {};
  if (data.empty()) return JpegResult::Unreadable;

  TjHandle handle(tjInitDecompress());
  if (!handle) return JpegResult::Unreadable;
  int width = 0, height = 0, subsampling = 0, colorspace = 0;
  if (tjDecompressHeader3(handle.get(), data.data(), static_cast<unsigned long>(data.size()), &width, &height,
                          &subsampling, &colorspace) != 0) {
    return JpegResult::Unreadable;
  }
  if (width <= 0 || height <= 0) return JpegResult::Unreadable;
  const uint64_t decodedBytes = uint64_t(width) * uint64_t(height) * 4u;
  if (decodedBytes > MaxDecodedBytes) return JpegResult::Unreadable;

  data_ = std::move(data);
  header_ = {width, height};
  return JpegResult::Ok;
}

JpegResult JpegFile::DecodeInto(uint8_t* pixels, std::size_t strideBytes) {
  if (data_.empty() || pixels == nullptr) return JpegResult::Unreadable;
  const std::size_t rowBytes = std::size_t(header_.width) * 4u;
  // TurboJPEG takes the pitch as an int; a JPEG row is at most 65535 pixels, so any real stride fits.
  if (strideBytes < rowBytes || strideBytes > std::size_t(1) << 30) return JpegResult::Unreadable;

  TjHandle handle(tjInitDecompress());
  if (!handle) return JpegResult::Unreadable;
  const int rc =
      tjDecompress2(handle.get(), data_.data(), static_cast<unsigned long>(data_.size()), pixels,
                    header_.width, static_cast<int>(strideBytes), header_.height, TJPF_BGRX, DecodeFlags);
  if (rc == 0) return JpegResult::Ok;
  // A warning (for example a file cut short) still leaves a whole picture, with the missing part
  // filled by the decoder; anything else means the pixels cannot be trusted.
  return tjGetErrorCode(handle.get()) == TJERR_WARNING ? JpegResult::Damaged : JpegResult::Unreadable;
}

}  // namespace orv
