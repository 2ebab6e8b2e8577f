// Map pictures decoded straight into a QImage's own memory.
//
// A world map picture easily takes a few hundred megabytes once decoded. Making that much fresh
// memory present page by page costs about a third of the decoding time when the decoder itself
// takes each page fault. Large pictures therefore live in their own mapping that asks for huge pages,
// and a second thread makes its pages present, front to back, while the decoder fills the rows; the
// faulting is then done by the time the decoder gets there.
#include "view/picture.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <system_error>
#include <thread>

namespace orv {
namespace {

// Below this decoded size a plain QImage is cheap enough; above it the mapping below pays off.
constexpr qsizetype LargePictureBytes = qsizetype(32) << 20;
constexpr std::size_t HugePageBytes = std::size_t(2) << 20;
// The faulting thread works in steps of this size so that it can stop early when decoding fails.
constexpr std::size_t FaultStepBytes = std::size_t(16) << 20;

struct Mapping {
  void* base = nullptr;
  std::size_t length = 0;
};

void ReleaseMapping(void* info) {
  auto* mapping = static_cast<Mapping*>(info);
  munmap(mapping->base, mapping->length);
  delete mapping;
}

// Makes the pages of [begin, begin + length) present and writable without changing their contents,
// so it may run while the decoder writes into the same range.
void FaultInPages(uint8_t* begin, std::size_t length, const std::atomic<bool>& stop) {
#ifdef MADV_POPULATE_WRITE
  for (std::size_t done = 0; done < length && !stop.load(std::memory_order_relaxed); done += FaultStepBytes) {
    const std::size_t step = std::min(FaultStepBytes, length - done);
    // Older kernels do not know the request; the decoder then takes the faults itself.
    if (madvise(begin + done, step, MADV_POPULATE_WRITE) != 0) return;
  }
#else
  (void)begin;
  (void)length;
  (void)stop;
#endif
}

// A width x height RGB32 picture in its own huge-page mapping; null when the memory is not there.
QImage NewMappedImage(int width, int height, uint8_t*& pixels, std::size_t& pixelBytes) {
  const std::size_t rowBytes = std::size_t(width) * 4u;
  pixelBytes = rowBytes * std::size_t(height);
  const std::size_t rounded = (pixelBytes + HugePageBytes - 1) / HugePageBytes * HugePageBytes;
  // One extra huge page lets the pixels start on a huge-page boundary.
  const std::size_t length = rounded + HugePageBytes;
  void* base = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) return {};
  const auto address = reinterpret_cast<uintptr_t>(base);
  pixels = reinterpret_cast<uint8_t*>((address + HugePageBytes - 1) & ~uintptr_t(HugePageBytes - 1));
#ifdef MADV_HUGEPAGE
  madvise(pixels, rounded, MADV_HUGEPAGE);  // a hint only: without huge pages it still works
#endif
  auto* mapping = new Mapping{base, length};
  QImage image(pixels, width, height, qsizetype(rowBytes), QImage::Format_RGB32, ReleaseMapping, mapping);
  if (image.isNull()) ReleaseMapping(mapping);
  return image;
}

// Decodes file into pixels, the memory of image, telling rows (if given) as they come.
JpegResult DecodeRows(JpegFile& file, const QImage& image, uint8_t* pixels, const std::atomic<bool>* stop,
                      PictureRows* rows) {
  if (!rows) return file.DecodeInto(pixels, std::size_t(image.bytesPerLine()), stop);
  rows->Begin(image);
  return file.DecodeInto(pixels, std::size_t(image.bytesPerLine()), stop,
                         [rows](int n) { rows->Decoded(n); });
}

JpegResult DecodeLarge(JpegFile& file, QImage& target, const std::atomic<bool>* stop, PictureRows* rows) {
  const JpegHeader& header = file.header();
  uint8_t* pixels = nullptr;
  std::size_t pixelBytes = 0;
  QImage image = NewMappedImage(header.width, header.height, pixels, pixelBytes);
  if (image.isNull()) return JpegResult::Unreadable;

  std::atomic<bool> decoded{false};
  std::thread faulting;
  try {
    faulting = std::thread(FaultInPages, pixels, pixelBytes, std::cref(decoded));
  } catch (const std::system_error&) {
    // No thread to be had: the decoder takes the page faults itself, a little slower.
  }
  const JpegResult result = DecodeRows(file, image, pixels, stop, rows);
  decoded.store(true, std::memory_order_relaxed);
  if (faulting.joinable()) faulting.join();
  if (result != JpegResult::Unreadable) target = std::move(image);
  return result;
}

JpegResult DecodeSmall(JpegFile& file, QImage& decoded, const std::atomic<bool>* stop, PictureRows* rows) {
  const JpegHeader& header = file.header();
  QImage image(header.width, header.height, QImage::Format_RGB32);
  if (image.isNull()) return JpegResult::Unreadable;
  // Taken before the rows' copy exists: asked for with a copy around, the pixels would be copied.
  uint8_t* pixels = image.bits();
  const JpegResult result = DecodeRows(file, image, pixels, stop, rows);
  if (result != JpegResult::Unreadable) decoded = std::move(image);
  return result;
}

}  // namespace

PictureRows::Seen PictureRows::WaitBeyond(int known) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return seen_.ended || seen_.rows > known; });
  return seen_;
}

void PictureRows::Begin(const QImage& picture) {
  const std::lock_guard lock(mutex_);
  seen_.picture = picture;
}

void PictureRows::Decoded(int rows) {
  {
    const std::lock_guard lock(mutex_);
    seen_.rows = rows;
  }
  changed_.notify_all();
}

void PictureRows::End() {
  {
    const std::lock_guard lock(mutex_);
    seen_.picture = QImage();
    seen_.ended = true;
  }
  changed_.notify_all();
}

JpegResult LoadPicture(const std::string& path, QImage& target, const std::atomic<bool>* stop,
                       PictureRows* rows) {
  struct EndRows {
    PictureRows* rows;
    ~EndRows() {
      if (rows) rows->End();
    }
  } endRows{rows};
  JpegFile file;
  if (file.Open(path) != JpegResult::Ok) return JpegResult::Unreadable;
  const JpegHeader& header = file.header();
  const qsizetype decodedBytes = qsizetype(header.width) * header.height * 4;

  // The new picture is decoded beside the old one and replaces it only when it could be read, so a
  // failed load leaves the current map as it was.
  QImage decoded;
  const JpegResult result = decodedBytes >= LargePictureBytes ? DecodeLarge(file, decoded, stop, rows)
                                                              : DecodeSmall(file, decoded, stop, rows);
  if (result == JpegResult::Unreadable) return result;
  target = std::move(decoded);
  return result;
}

}  // namespace orv
