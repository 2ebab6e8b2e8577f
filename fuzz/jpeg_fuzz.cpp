// The picture decoder on any bytes: it never crashes, and it never asks for more memory than the
// header's real size needs.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_common.h"
#include "core/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  orv::JpegFile file;
  if (file.OpenBytes(std::vector<unsigned char>(data, data + size)) != orv::JpegResult::Ok) return 0;
  const auto& h = file.header();
  if (h.width <= 0 || h.height <= 0) ORV_FAIL();
  // Large declared pictures are accepted by the header check; decoding them here would only measure
  // the allocator, so the fuzzer decodes pictures up to a few megapixels.
  if (uint64_t(h.width) * uint64_t(h.height) > (uint64_t(1) << 22)) return 0;
  std::vector<uint8_t> pixels(std::size_t(h.width) * std::size_t(h.height) * 4);
  file.DecodeInto(pixels.data(), std::size_t(h.width) * 4);
  return 0;
}
