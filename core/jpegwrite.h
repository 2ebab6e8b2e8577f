#pragma once
// Writing JPEG pictures through TurboJPEG: the sample maps, and the pictures tests and benchmarks
// make for themselves.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orv {

// How the 32-bit source pixels are laid out in memory.
enum class JpegPixels {
  Bgrx,  // B, G, R, unused: QImage::Format_RGB32 on little-endian machines
  Cmyk,  // C, M, Y, K (a CMYK JPEG)
};

// Colour resolution of the compressed picture.
enum class JpegChroma {
  Full,  // 4:4:4, every pixel keeps its colour
  Half,  // 4:2:0, colour at half the resolution each way (smaller files, as cameras and editors write)
};

struct JpegEncoding {
  int quality = 95;  // 1 to 100
  JpegChroma chroma = JpegChroma::Full;
  JpegPixels pixels = JpegPixels::Bgrx;
  bool accurateDct = false;  // slower, slightly more faithful transform
  bool progressive = false;  // in several scans, coarse to fine, as pictures for the web are written
};

// The JPEG file of width x height pixels of 4 bytes each, rows strideBytes apart. Empty when
// TurboJPEG refuses the picture (no pixels, a stride shorter than a row).
std::vector<unsigned char> EncodeJpeg(const uint8_t* pixels, int width, int height, std::size_t strideBytes,
                                      const JpegEncoding& encoding = {});

// EncodeJpeg written to path. False when encoding or writing fails.
bool WriteJpegFile(const std::string& path, const uint8_t* pixels, int width, int height,
                   std::size_t strideBytes, const JpegEncoding& encoding = {});

}  // namespace orv
