#include "core/jpegwrite.h"

#include <turbojpeg.h>

#include <climits>
#include <fstream>
#include <memory>

namespace orv {

std::vector<unsigned char> EncodeJpeg(const uint8_t* pixels, int width, int height, std::size_t strideBytes,
                                      const JpegEncoding& encoding) {
  if (!pixels || width <= 0 || height <= 0 || strideBytes < std::size_t(width) * 4 || strideBytes > INT_MAX)
    return {};
  const std::unique_ptr<void, int (*)(tjhandle)> handle(tjInitCompress(), tjDestroy);
  if (!handle) return {};
  unsigned char* out = nullptr;
  unsigned long size = 0;
  const int format = encoding.pixels == JpegPixels::Cmyk ? TJPF_CMYK : TJPF_BGRX;
  const int sampling = encoding.chroma == JpegChroma::Half ? TJSAMP_420 : TJSAMP_444;
  const int rc = tjCompress2(
      handle.get(), pixels, width, int(strideBytes), height, format, &out, &size, sampling, encoding.quality,
      (encoding.accurateDct ? TJFLAG_ACCURATEDCT : 0) | (encoding.progressive ? TJFLAG_PROGRESSIVE : 0));
  std::vector<unsigned char> bytes;
  if (rc == 0) bytes.assign(out, out + size);
  tjFree(out);
  return bytes;
}

bool WriteJpegFile(const std::string& path, const uint8_t* pixels, int width, int height,
                   std::size_t strideBytes, const JpegEncoding& encoding) {
  const std::vector<unsigned char> bytes = EncodeJpeg(pixels, width, height, strideBytes, encoding);
  if (bytes.empty()) return false;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  out.close();
  return bool(out);
}

}  // namespace orv
