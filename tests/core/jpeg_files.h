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

}  // namespace orv::testing
