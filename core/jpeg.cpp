// Stand-in for JPEG decoding until its own code lands; replaced wholesale by it.
#include "core/jpeg.h"

#include <turbojpeg.h>

#include <fstream>
#include <iterator>

namespace orv {

JpegResult JpegFile::Open(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return JpegResult::Unreadable;
  data_.assign(std::istreambuf_iterator<char>(in), {});
  tjhandle h = tjInitDecompress();
  int w = 0, ht = 0, sub = 0, cs = 0;
  const int rc = tjDecompressHeader3(h, data_.data(), data_.size(), &w, &ht, &sub, &cs);
  tjDestroy(h);
  if (rc != 0 || w <= 0 || ht <= 0) return JpegResult::Unreadable;
  if (static_cast<uint64_t>(w) * static_cast<uint64_t>(ht) * 4 > MaxDecodedBytes)
    return JpegResult::Unreadable;
  header_ = {w, ht};
  return JpegResult::Ok;
}

JpegResult JpegFile::DecodeInto(uint8_t* pixels, std::size_t strideBytes) {
  tjhandle h = tjInitDecompress();
  const int rc = tjDecompress2(h, data_.data(), data_.size(), pixels, header_.width,
                               static_cast<int>(strideBytes), header_.height, TJPF_BGRX, 0);
  JpegResult result = JpegResult::Ok;
  if (rc != 0) result = tjGetErrorCode(h) == TJERR_WARNING ? JpegResult::Damaged : JpegResult::Unreadable;
  tjDestroy(h);
  return result;
}

}  // namespace orv
