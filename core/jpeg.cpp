// JPEG pictures through libjpeg-turbo's row-by-row decoder. The file is read through a small buffer
// (never held whole), the header is checked before the caller allocates anything, and the decoded rows
// are written straight into the caller's buffer.
#include "core/jpeg.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <utility>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>
// After jpeglib.h, whose types its macros use.
#include <jerror.h>

namespace orv {
namespace {

// What the decoder reads from the file at a time.
constexpr std::size_t ReadBufferBytes = std::size_t(256) << 10;
// Every scan walks the whole picture, even one that holds no data, so a damaged or hostile file of
// hundreds of scans could keep the decoder busy for minutes: the larger the picture, the fewer scans
// are allowed. Real progressive files have about ten.
constexpr int MaxScans = 500;  // for pictures of up to a million pixels
constexpr int MinScanLimit = 32;
constexpr uint64_t ScanPixels = uint64_t(MaxScans) << 20;  // scans times pixels walked at most

int ScanLimit(uint64_t pixels) {
  return int(std::clamp<uint64_t>(ScanPixels / std::max<uint64_t>(pixels, 1), MinScanLimit, MaxScans));
}
// Rows handed to the decoder per call.
constexpr JDIMENSION RowBatch = 16;
// Put in place of the missing rest of a file cut short, so that the decoder ends the picture there.
const JOCTET EndOfImage[2] = {0xFF, JPEG_EOI};

// Errors end the pass through the jump; warnings (corrupt or missing data the decoder works around)
// are only noted. Nothing is printed: the caller reports the result.
struct Errors {
  jpeg_error_mgr pub;  // first, so that the decoder's pointer is also a pointer to this
  std::jmp_buf jump;
  bool warned;
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<Errors*>(cinfo->err)->jump, 1);
}

void OnMessage(j_common_ptr cinfo, int level) {
  if (level < 0) reinterpret_cast<Errors*>(cinfo->err)->warned = true;
}

void PrintNothing(j_common_ptr) {}

struct Progress {
  jpeg_progress_mgr pub;  // first, as with Errors
  int maxScans;
  const std::atomic<bool>* stop;
};

// Called as the decoder goes, also while it reads every scan of a progressive picture before the
// first row: a decode nobody wants any more (the map is not loaded after all) ends there.
void WatchProgress(j_common_ptr cinfo) {
  const auto* progress = reinterpret_cast<const Progress*>(cinfo->progress);
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > progress->maxScans ||
      (progress->stop && progress->stop->load(std::memory_order_relaxed)))
    OnError(cinfo);
}

// What the decoder holds besides the rows: for a picture coded in several scans (a progressive one),
// every coefficient of the whole picture, 64 of two bytes for each 8 x 8 block of each component.
uint64_t CoefficientBytes(j_decompress_ptr cinfo) {
  if (!jpeg_has_multiple_scans(cinfo)) return 0;
  uint64_t bytes = 0;
  for (int i = 0; i < cinfo->num_components; ++i) {
    const jpeg_component_info& component = cinfo->comp_info[i];
    bytes += uint64_t(component.width_in_blocks) * component.height_in_blocks * DCTSIZE2 * sizeof(JCOEF);
  }
  return bytes;
}

// The compressed bytes: an open file read through buffer from its start, or bytes in memory given
// at once.
struct Source {
  jpeg_source_mgr pub;  // first, as with Errors
  int fd;               // -1 for bytes in memory
  const unsigned char* bytes;
  std::size_t size;
  off_t offset;  // where the next read of the file starts; for bytes in memory, how many were given
  unsigned char* buffer;
};

void StartSource(j_decompress_ptr) {}
void EndSource(j_decompress_ptr) {}

boolean FillInput(j_decompress_ptr cinfo) {
  auto* source = reinterpret_cast<Source*>(cinfo->src);
  std::size_t got = 0;
  if (source->fd >= 0) {
    ssize_t n = 0;
    do {
      n = ::pread(source->fd, source->buffer, ReadBufferBytes, source->offset);
    } while (n < 0 && errno == EINTR);
    if (n > 0) {
      got = std::size_t(n);
      source->offset += n;
      source->pub.next_input_byte = source->buffer;
    }
  } else if (source->offset == 0 && source->size > 0) {
    got = source->size;
    source->offset = off_t(got);
    source->pub.next_input_byte = source->bytes;
  }
  if (got == 0) {
    // The file ends (or cannot be read further) before the picture does: a warning, and the
    // picture ends here with the rows not reached filled by the decoder.
    WARNMS(cinfo, JWRN_JPEG_EOF);
    source->pub.next_input_byte = EndOfImage;
    got = sizeof EndOfImage;
  }
  source->pub.bytes_in_buffer = got;
  return TRUE;
}

void SkipInput(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr& source = *cinfo->src;
  while (std::size_t(count) > source.bytes_in_buffer) {
    count -= long(source.bytes_in_buffer);
    source.fill_input_buffer(cinfo);
  }
  source.next_input_byte += count;
  source.bytes_in_buffer -= std::size_t(count);
}

Source NewSource(int fd, const std::vector<unsigned char>& data, unsigned char* buffer) {
  Source source{};
  source.pub.init_source = StartSource;
  source.pub.fill_input_buffer = FillInput;
  source.pub.skip_input_data = SkipInput;
  source.pub.resync_to_restart = jpeg_resync_to_restart;
  source.pub.term_source = EndSource;
  source.fd = fd;
  source.bytes = data.data();
  source.size = data.size();
  source.buffer = buffer;
  return source;
}

// Print tools write CMYK pictures; the decoder gives them as C, M, Y, K bytes, in the place of the
// B, G, R, X bytes of the same pixels. Turned into colours as image viewers show them: the ink
// amounts are taken as stored inverted (255 for no ink), as Adobe's tools write them.
void CmykToBgrx(uint8_t* row, JDIMENSION width) {
  for (uint8_t* p = row; p != row + std::size_t(width) * 4; p += 4) {
    const unsigned c = p[0], m = p[1], y = p[2], k = p[3];
    p[0] = uint8_t((y * k + 127) / 255);
    p[1] = uint8_t((m * k + 127) / 255);
    p[2] = uint8_t((c * k + 127) / 255);
    p[3] = 0xFF;
  }
}

bool KnownColourSpace(J_COLOR_SPACE space) {
  return space == JCS_GRAYSCALE || space == JCS_RGB || space == JCS_YCbCr || space == JCS_CMYK ||
         space == JCS_YCCK;
}

// One pass over the compressed bytes. Without pixels it reads the header into header and checks it;
// with pixels it decodes every row into them, provided the picture still has header's size. Only
// plain data lives in this frame, so that the decoder's error jump leaves nothing undestroyed.
JpegResult Pass(Source& source, JpegHeader& header, uint8_t* pixels, std::size_t strideBytes,
                const std::atomic<bool>* stop, const std::function<void(int)>& rowsDone) {
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  Errors errors;
  cinfo.err = jpeg_std_error(&errors.pub);
  errors.pub.error_exit = OnError;
  errors.pub.emit_message = OnMessage;
  errors.pub.output_message = PrintNothing;
  errors.warned = false;
  Progress progress{};
  progress.pub.progress_monitor = WatchProgress;
  progress.maxScans = MaxScans;
  progress.stop = stop;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return JpegResult::Unreadable;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.src = &source.pub;
  cinfo.progress = &progress.pub;
  jpeg_read_header(&cinfo, TRUE);
  const uint64_t pixelCount = uint64_t(cinfo.image_width) * cinfo.image_height;
  progress.maxScans = ScanLimit(pixelCount);

  JpegResult result = JpegResult::Ok;
  if (!pixels) {
    const uint64_t decodedBytes = pixelCount * 4u + CoefficientBytes(&cinfo);
    // A header that needed the decoder to work around damage is not trusted either.
    if (errors.warned || cinfo.image_width == 0 || cinfo.image_height == 0 ||
        decodedBytes > MaxDecodedBytes || !KnownColourSpace(cinfo.jpeg_color_space)) {
      result = JpegResult::Unreadable;
    } else {
      header = {int(cinfo.image_width), int(cinfo.image_height)};
    }
  } else {
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_start_decompress(&cinfo);
    // The file may have been replaced since it was opened: rows of another size do not fit.
    if (cinfo.output_width != JDIMENSION(header.width) || cinfo.output_height != JDIMENSION(header.height)) {
      result = JpegResult::Unreadable;
    } else {
      while (cinfo.output_scanline < cinfo.output_height) {
        if (stop && stop->load(std::memory_order_relaxed)) break;
        JSAMPROW rows[RowBatch];
        const JDIMENSION first = cinfo.output_scanline;
        const JDIMENSION count = std::min(RowBatch, cinfo.output_height - first);
        for (JDIMENSION i = 0; i < count; ++i) rows[i] = pixels + std::size_t(first + i) * strideBytes;
        jpeg_read_scanlines(&cinfo, rows, count);
        if (cmyk)
          for (JDIMENSION i = 0; i < cinfo.output_scanline - first; ++i)
            CmykToBgrx(rows[i], cinfo.output_width);
        if (rowsDone) rowsDone(int(cinfo.output_scanline));
      }
      if (cinfo.output_scanline < cinfo.output_height) {
        result = JpegResult::Unreadable;  // stopped
      } else {
        jpeg_finish_decompress(&cinfo);
        if (errors.warned) result = JpegResult::Damaged;
      }
    }
  }
  jpeg_destroy_decompress(&cinfo);
  return result;
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
    fd_ = std::exchange(other.fd_, -1);
    data_ = std::move(other.data_);
    header_ = std::exchange(other.header_, {});
  }
  return *this;
}

void JpegFile::Clear() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  data_.clear();
  header_ = {};
}

JpegResult JpegFile::Open(const std::string& path) {
  Clear();
  // Without waiting: opening a pipe for reading would otherwise block until something writes to it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return JpegResult::Unreadable;
  fd_ = fd;
  struct stat info {};
  // Only plain files: a directory or a pipe is no picture, and a file too large to be a picture that
  // could be accepted is not looked at.
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0 ||
      uint64_t(info.st_size) > MaxDecodedBytes) {
    Clear();
    return JpegResult::Unreadable;
  }
  // The decoder reads the file once, front to back.
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  std::vector<unsigned char> buffer(ReadBufferBytes);
  Source source = NewSource(fd_, data_, buffer.data());
  const JpegResult result = Pass(source, header_, nullptr, 0, nullptr, {});
  if (result != JpegResult::Ok) Clear();
  return result;
}

JpegResult JpegFile::OpenBytes(std::vector<unsigned char> data) {
  Clear();
  Source source = NewSource(-1, data, nullptr);
  const JpegResult result = Pass(source, header_, nullptr, 0, nullptr, {});
  if (result == JpegResult::Ok) data_ = std::move(data);
  return result;
}

JpegResult JpegFile::DecodeInto(uint8_t* pixels, std::size_t strideBytes, const std::atomic<bool>* stop,
                                const std::function<void(int)>& rowsDone) {
  if (header_.width == 0 || pixels == nullptr) return JpegResult::Unreadable;
  if (strideBytes < std::size_t(header_.width) * 4u) return JpegResult::Unreadable;
  std::vector<unsigned char> buffer(fd_ >= 0 ? ReadBufferBytes : 0);
  Source source = NewSource(fd_, data_, buffer.data());
  return Pass(source, header_, pixels, strideBytes, stop, rowsDone);
}

}  // namespace orv
