#include "core/picturesize.h"

#include <turbojpeg.h>

#include <fstream>
#include <memory>
#include <vector>

namespace orv {
namespace {

struct TjDestroy {
  void operator()(void* handle) const { tjDestroy(handle); }
};

// The header (everything up to the first scan) normally fits in the first read; pictures carrying
// large metadata blocks before it take the longer reads.
constexpr std::size_t kReadSizes[] = {64u << 10, 1u << 20, 16u << 20};

}  // namespace

std::optional<JpegHeader> ReadPictureSize(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;

  std::vector<unsigned char> bytes;
  for (const std::size_t wanted : kReadSizes) {
    const std::size_t had = bytes.size();
    bytes.resize(wanted);
    file.read(reinterpret_cast<char*>(bytes.data() + had), static_cast<std::streamsize>(wanted - had));
    bytes.resize(had + static_cast<std::size_t>(file.gcount()));
    // A fresh decompressor for each attempt: one that failed on a short read is left inside the header.
    std::unique_ptr<void, TjDestroy> handle(tjInitDecompress());
    if (!handle) return std::nullopt;
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    // A read that ends inside the metadata can pass as a header without a picture (no size).
    if (!bytes.empty() &&
        tjDecompressHeader3(handle.get(), bytes.data(), static_cast<unsigned long>(bytes.size()), &width,
                            &height, &subsampling, &colorspace) == 0 &&
        width > 0 && height > 0) {
      if (uint64_t(width) * uint64_t(height) * 4u > MaxDecodedBytes) return std::nullopt;
      return JpegHeader{width, height};
    }
    if (!file) return std::nullopt;  // the whole file was read and holds no header
  }
  return std::nullopt;
}

}  // namespace orv
