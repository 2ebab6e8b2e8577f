#pragma once
// Small JPEG pictures for tests that need map pictures of a given size.
#include <turbojpeg.h>

#include <fstream>
#include <string>
#include <vector>

namespace orv::testing {

// A grey picture of width x height pixels as JPEG bytes.
inline std::string JpegBytes(int width, int height) {
  const std::vector<unsigned char> pixels(std::size_t(width) * height * 3, 128);
  tjhandle handle = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  tjCompress2(handle, pixels.data(), width, width * 3, height, TJPF_RGB, &out, &size, TJSAMP_420, 75, 0);
  std::string bytes(reinterpret_cast<const char*>(out), size);
  tjFree(out);
  tjDestroy(handle);
  return bytes;
}

// The same JPEG without its quantisation tables: the header still reads, but no row can be decoded.
inline std::vector<unsigned char> WithoutQuantisationTables(std::vector<unsigned char> bytes) {
  std::size_t at = 2;  // after the start-of-image marker
  while (at + 4 <= bytes.size() && bytes[at] == 0xFF && bytes[at + 1] != 0xDA) {
    const std::size_t length = 2 + (std::size_t(bytes[at + 2]) << 8 | bytes[at + 3]);
    if (bytes[at + 1] == 0xDB) {
      bytes.erase(bytes.begin() + std::ptrdiff_t(at), bytes.begin() + std::ptrdiff_t(at + length));
    } else {
      at += length;
    }
  }
  return bytes;
}

}  // namespace orv::testing
