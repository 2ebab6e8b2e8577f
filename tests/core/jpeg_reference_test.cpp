// The map decoder against TurboJPEG's whole-file decode of the same bytes (the accurate DCT, smooth
// upsampling and 500-scan limit it was used with): the same result and the very same pixels, over the
// ways JPEG files are written and damaged.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/jpeg.h"
#include "tempdir.h"

// jpeglib.h needs FILE declared before it.
#include <jpeglib.h>

namespace orv {
namespace {

struct Encoding {
  int lumaH = 2, lumaV = 2;  // luma sampling factors; chroma is 1 x 1
  bool grey = false;
  bool progressive = false;
  bool arithmetic = false;
  int restartMcus = 0;  // a restart marker every so many MCUs
};

// RGB pixels with detail everywhere, width x height, encoded with libjpeg as the encoding says.
std::vector<unsigned char> Encode(int width, int height, const Encoding& e) {
  std::vector<unsigned char> rgb(std::size_t(width) * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      unsigned char* p = &rgb[(std::size_t(y) * width + x) * 3];
      p[0] = static_cast<unsigned char>(x * 7 + y * 3);
      p[1] = static_cast<unsigned char>((x ^ y) * 5);
      p[2] = static_cast<unsigned char>(x * y + (x >> 3));
    }
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = JDIMENSION(width);
  cinfo.image_height = JDIMENSION(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 80, TRUE);
  if (e.grey) jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
  cinfo.comp_info[0].h_samp_factor = e.lumaH;
  cinfo.comp_info[0].v_samp_factor = e.lumaV;
  if (e.progressive) jpeg_simple_progression(&cinfo);
  cinfo.arith_code = e.arithmetic ? TRUE : FALSE;
  cinfo.restart_interval = JDIMENSION(e.restartMcus);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = &rgb[std::size_t(cinfo.next_scanline) * width * 3];
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<unsigned char> bytes(out, out + size);
  jpeg_destroy_compress(&cinfo);
  std::free(out);
  return bytes;
}

struct Decoded {
  JpegResult result = JpegResult::Unreadable;
  std::vector<unsigned char> pixels;
};

// TurboJPEG's decode of the whole file held in memory, into rows 8 bytes wider than the picture.
Decoded Reference(const std::vector<unsigned char>& bytes) {
  Decoded d;
  tjhandle handle = tjInitDecompress();
  int width = 0, height = 0, subsampling = 0, colourSpace = 0;
  if (tjDecompressHeader3(handle, bytes.data(), bytes.size(), &width, &height, &subsampling, &colourSpace) ==
      0) {
    const int stride = width * 4 + 8;
    d.pixels.assign(std::size_t(stride) * height, 0x5A);
    const int rc = tjDecompress2(handle, bytes.data(), bytes.size(), d.pixels.data(), width, stride, height,
                                 TJPF_BGRX, TJFLAG_LIMITSCANS);
    d.result = rc == 0                                   ? JpegResult::Ok
               : tjGetErrorCode(handle) == TJERR_WARNING ? JpegResult::Damaged
                                                         : JpegResult::Unreadable;
  }
  tjDestroy(handle);
  return d;
}

Decoded Ours(const std::string& path) {
  Decoded d;
  JpegFile file;
  if (file.Open(path) != JpegResult::Ok) return d;
  const std::size_t stride = std::size_t(file.header().width) * 4 + 8;
  d.pixels.assign(stride * file.header().height, 0x5A);
  d.result = file.DecodeInto(d.pixels.data(), stride);
  return d;
}

// Cuts the file to a fraction of its length.
std::vector<unsigned char> Cut(std::vector<unsigned char> bytes, double fraction) {
  bytes.resize(std::size_t(double(bytes.size()) * fraction));
  return bytes;
}

// Overwrites a run of bytes in the middle of the compressed data.
std::vector<unsigned char> Scribbled(std::vector<unsigned char> bytes) {
  for (std::size_t i = bytes.size() / 2; i < bytes.size() / 2 + 40; ++i)
    bytes[i] = static_cast<unsigned char>(i * 37);
  return bytes;
}

// Sets the length of the first Huffman table segment (DHT) beyond the file's end.
std::vector<unsigned char> BadTableLength(std::vector<unsigned char> bytes) {
  for (std::size_t i = 0; i + 3 < bytes.size(); ++i)
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC4) {
      bytes[i + 2] = 0xFF, bytes[i + 3] = 0xFF;
      break;
    }
  return bytes;
}

// Puts two stray bytes before the first Huffman table segment: a header read with a warning.
std::vector<unsigned char> StrayBytesBeforeTables(std::vector<unsigned char> bytes) {
  for (std::size_t i = 2; i + 1 < bytes.size(); ++i)
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC4) {
      bytes.insert(bytes.begin() + std::ptrdiff_t(i), {0x12, 0x34});
      break;
    }
  return bytes;
}

TEST(JpegReference, DecodesLikeTurboJpegTheSameBytes) {
  struct Case {
    const char* name;
    std::vector<unsigned char> bytes;
    JpegResult expected;
  };
  const Encoding e420, e422{.lumaH = 2, .lumaV = 1}, e444{.lumaH = 1, .lumaV = 1},
      e440{.lumaH = 1, .lumaV = 2}, e411{.lumaH = 4, .lumaV = 1};
  const Case cases[] = {
      {"4:2:0", Encode(200, 120, e420), JpegResult::Ok},
      {"4:2:2", Encode(200, 120, e422), JpegResult::Ok},
      {"4:4:4", Encode(200, 120, e444), JpegResult::Ok},
      {"4:4:0", Encode(200, 120, e440), JpegResult::Ok},
      {"4:1:1", Encode(200, 120, e411), JpegResult::Ok},
      {"greyscale", Encode(200, 120, {.grey = true}), JpegResult::Ok},
      {"progressive", Encode(200, 120, {.progressive = true}), JpegResult::Ok},
      {"progressive 4:4:4", Encode(200, 120, {.lumaH = 1, .lumaV = 1, .progressive = true}), JpegResult::Ok},
      {"arithmetic coding", Encode(200, 120, {.arithmetic = true}), JpegResult::Ok},
      {"restart markers", Encode(200, 120, {.restartMcus = 3}), JpegResult::Ok},
      {"odd size 4:2:0", Encode(1, 1, e420), JpegResult::Ok},
      {"odd size 4:2:2", Encode(37, 23, e422), JpegResult::Ok},
      {"odd size 4:2:0 wide", Encode(1023, 17, e420), JpegResult::Ok},
      {"odd size progressive", Encode(61, 95, {.progressive = true}), JpegResult::Ok},
      {"cut in half", Cut(Encode(200, 120, e420), 0.5), JpegResult::Damaged},
      {"cut before the last rows", Cut(Encode(200, 120, e444), 0.97), JpegResult::Damaged},
      {"progressive cut in half", Cut(Encode(200, 120, {.progressive = true}), 0.5), JpegResult::Damaged},
      {"restart markers cut", Cut(Encode(200, 120, {.restartMcus = 2}), 0.6), JpegResult::Damaged},
      {"scribbled data", Scribbled(Encode(200, 120, e420)), JpegResult::Damaged},
      // Not every scribble can be noticed: these bytes happen to decode as valid data.
      {"scribbled data, restart markers", Scribbled(Encode(200, 120, {.restartMcus = 1})), JpegResult::Ok},
      {"scribbled progressive data", Scribbled(Encode(200, 120, {.progressive = true})), JpegResult::Damaged},
      {"stray bytes in the header", StrayBytesBeforeTables(Encode(64, 64, e420)), JpegResult::Unreadable},
      {"header cut", Cut(Encode(200, 120, e420), 0.02), JpegResult::Unreadable},
      {"Huffman table longer than the file", BadTableLength(Encode(64, 64, e420)), JpegResult::Unreadable},
  };
  testing::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Decoded expected = Reference(c.bytes);
    const Decoded decoded = Ours(dir.Write("map.jpg", std::string(c.bytes.begin(), c.bytes.end())));
    EXPECT_EQ(decoded.result, c.expected);
    EXPECT_EQ(decoded.result, expected.result);
    // Whatever was decoded, damaged or not, is pixel for pixel what TurboJPEG makes of it, and the
    // bytes past each row are left alone.
    if (expected.result != JpegResult::Unreadable) EXPECT_TRUE(decoded.pixels == expected.pixels);
  }
}

}  // namespace
}  // namespace orv
