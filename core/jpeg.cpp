// JPEG pictures through TurboJPEG: the file is mapped into memory (or read once where it cannot be
// mapped), the header is checked before the caller allocates anything, and the pixels are decoded
// straight into the caller's buffer.
#include "core/jpeg.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <utility>

namespace orv {
namespace {

struct TjDestroy {
  void operator()(void* handle) const { tjDestroy(handle); }
};
using TjHandle = std::unique_ptr<void, TjDestroy>;

// Guards against pathological progressive files whose hundreds of scans take minutes to decode.
constexpr int DecodeFlags = TJFLAG_LIMITSCANS;

struct FdCloser {
  int fd;
  ~FdCloser() {
    if (fd >= 0) ::close(fd);
  }
};

// The whole of an open file in memory, read in pieces; false when a read fails or the file turns
// out shorter than it said.
bool ReadWhole(int fd, std::size_t size, std::vector<unsigned char>& out) {
  out.resize(size);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::read(fd, out.data() + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += std::size_t(got);
  }
  return true;
}

}  // namespace

JpegFile::~JpegFile() {
  Clear();
}

JpegFile::JpegFile(JpegFile&& other) noexcept {
  *this = std::move(other);
}

JpegFile& JpegFile::operator=(JpegFile&& other) noexcept {
  if (this != &other) {
    Clear();
    data_ = std::move(other.data_);
    mapped_ = std::exchange(other.mapped_, nullptr);
    mappedSize_ = std::exchange(other.mappedSize_, 0);
    header_ = std::exchange(other.header_, {});
  }
  return *this;
}

void JpegFile::Clear() {
  if (mapped_) munmap(const_cast<unsigned char*>(mapped_), mappedSize_);
  mapped_ = nullptr;
  mappedSize_ = 0;
  data_.clear();
  header_ = {};
}

JpegResult JpegFile::Open(const std::string& path) {
  Clear();
  // Without waiting: opening a pipe for reading would otherwise block until something writes to it.
  const FdCloser file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
  struct stat info {};
  if (file.fd < 0 || ::fstat(file.fd, &info) != 0) return JpegResult::Unreadable;
  // Only plain files: a directory or a pipe is no picture, and a file too large to be a picture that
  // could be accepted is not looked at.
  if (!S_ISREG(info.st_mode) || info.st_size <= 0 || uint64_t(info.st_size) > MaxDecodedBytes)
    return JpegResult::Unreadable;
  const std::size_t size = std::size_t(info.st_size);

  void* mapping = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file.fd, 0);
  if (mapping != MAP_FAILED) {
    // The decoder reads the bytes once, front to back.
    ::madvise(mapping, size, MADV_SEQUENTIAL);
    mapped_ = static_cast<const unsigned char*>(mapping);
    mappedSize_ = size;
    const JpegResult result = ReadHeader(mapped_, mappedSize_);
    if (result != JpegResult::Ok) Clear();
    return result;
  }
  std::vector<unsigned char> data;
  if (!ReadWhole(file.fd, size, data)) return JpegResult::Unreadable;
  return OpenBytes(std::move(data));
}

JpegResult JpegFile::OpenBytes(std::vector<unsigned char> data) {
  Clear();
  const JpegResult result = ReadHeader(data.data(), data.size());
  if (result == JpegResult::Ok) data_ = std::move(data);
  return result;
}

JpegResult JpegFile::ReadHeader(const unsigned char* bytes, std::size_t size) {
  header_ = {};
  if (size == 0) return JpegResult::Unreadable;
  TjHandle handle(tjInitDecompress());
  if (!handle) return JpegResult::Unreadable;
  int width = 0, height = 0, subsampling = 0, colorspace = 0;
  if (tjDecompressHeader3(handle.get(), bytes, static_cast<unsigned long>(size), &width, &height,
                          &subsampling, &colorspace) != 0) {
    return JpegResult::Unreadable;
  }
  if (width <= 0 || height <= 0) return JpegResult::Unreadable;
  const uint64_t decodedBytes = uint64_t(width) * uint64_t(height) * 4u;
  if (decodedBytes > MaxDecodedBytes) return JpegResult::Unreadable;
  header_ = {width, height};
  return JpegResult::Ok;
}

JpegResult JpegFile::DecodeInto(uint8_t* pixels, std::size_t strideBytes) {
  if (header_.width == 0 || pixels == nullptr) return JpegResult::Unreadable;
  const std::size_t rowBytes = std::size_t(header_.width) * 4u;
  // TurboJPEG takes the pitch as an int; a JPEG row is at most 65535 pixels, so any real stride fits.
  if (strideBytes < rowBytes || strideBytes > std::size_t(1) << 30) return JpegResult::Unreadable;

  TjHandle handle(tjInitDecompress());
  if (!handle) return JpegResult::Unreadable;
  const int rc =
      tjDecompress2(handle.get(), bytes(), static_cast<unsigned long>(size()), pixels, header_.width,
                    static_cast<int>(strideBytes), header_.height, TJPF_BGRX, DecodeFlags);
  if (rc == 0) return JpegResult::Ok;
  // A warning (for example a file cut short) still leaves a whole picture, with the missing part
  // filled by the decoder; anything else means the pixels cannot be trusted.
  return tjGetErrorCode(handle.get()) == TJERR_WARNING ? JpegResult::Damaged : JpegResult::Unreadable;
}

}  // namespace orv
