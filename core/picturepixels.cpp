// Map pictures decoded straight into memory of their own.
//
// A world map picture easily takes a few hundred megabytes once decoded. Making that much fresh
// memory present page by page costs about a third of the decoding time when the decoder itself
// takes each page fault. Large pictures therefore live in their own mapping that asks for huge pages,
// and a second thread makes its pages present, front to back, while the decoder fills the rows; the
// faulting is then done by the time the decoder gets there.
#include "core/picturepixels.h"

#include <sys/mman.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <system_error>
#include <thread>

namespace orv {
namespace {

// Below this decoded size plain memory is cheap enough; above it the mapping below pays off.
constexpr std::size_t LargePictureBytes = std::size_t(32) << 20;
constexpr std::size_t HugePageBytes = std::size_t(2) << 20;
// The faulting thread works in steps of this size so that it can stop early when decoding fails.
constexpr std::size_t FaultStepBytes = std::size_t(16) << 20;

// Makes the pages of [begin, begin + length) present and writable without changing their contents,
// so it may run while the decoder writes into the same range.
void FaultInPages(uint8_t* begin, std::size_t length, const std::atomic<bool>& stop) {
  // A helper only: it takes the processor time the decoder leaves over (at start-up the windows are
  // made beside the decoder as well). Linux gives each thread its own nice value; where the decoder
  // overtakes this thread, it takes the page faults itself.
  setpriority(PRIO_PROCESS, 0, 10);
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

bool IsLarge(const PicturePixels& picture) {
  return picture.stride() * std::size_t(picture.height()) >= LargePictureBytes;
}

// Decodes file into picture, telling rows (if given) as they come.
JpegResult DecodeRows(JpegFile& file, const PicturePixels& picture, const std::atomic<bool>* stop,
                      PictureRows* rows) {
  if (!rows) return file.DecodeInto(picture.pixels(), picture.stride(), stop);
  rows->Begin(picture);
  return file.DecodeInto(picture.pixels(), picture.stride(), stop, [rows](int n) { rows->Decoded(n); });
}

}  // namespace

PicturePixels PicturePixels::Allocate(int width, int height) {
  PicturePixels picture;
  if (width <= 0 || height <= 0) return picture;
  const std::size_t stride = std::size_t(width) * 4u;
  const std::size_t bytes = stride * std::size_t(height);
  if (bytes < LargePictureBytes) {
    picture.memory_ = std::shared_ptr<void>(std::malloc(bytes), std::free);
    picture.pixels_ = static_cast<uint8_t*>(picture.memory_.get());
  } else {
    const std::size_t rounded = (bytes + HugePageBytes - 1) / HugePageBytes * HugePageBytes;
    // One extra huge page lets the pixels start on a huge-page boundary.
    const std::size_t length = rounded + HugePageBytes;
    void* base = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) return picture;
    picture.memory_ = std::shared_ptr<void>(base, [length](void* p) { munmap(p, length); });
    const auto address = reinterpret_cast<uintptr_t>(base);
    picture.pixels_ =
        reinterpret_cast<uint8_t*>((address + HugePageBytes - 1) & ~uintptr_t(HugePageBytes - 1));
#ifdef MADV_HUGEPAGE
    madvise(picture.pixels_, rounded, MADV_HUGEPAGE);  // a hint only: without huge pages it still works
#endif
  }
  if (!picture.pixels_) return PicturePixels();
  picture.width_ = width;
  picture.height_ = height;
  picture.stride_ = stride;
  return picture;
}

PictureRows::Seen PictureRows::WaitBeyond(int known) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return seen_.ended || seen_.rows > known; });
  return seen_;
}

void PictureRows::Begin(const PicturePixels& picture) {
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
    seen_.picture = PicturePixels();
    seen_.ended = true;
  }
  changed_.notify_all();
}

JpegResult DecodePicture(const std::string& path, PicturePixels& target, const std::atomic<bool>* stop,
                         PictureRows* rows) {
  struct EndRows {
    PictureRows* rows;
    ~EndRows() {
      if (rows) rows->End();
    }
  } endRows{rows};
  JpegFile file;
  if (file.Open(path) != JpegResult::Ok) return JpegResult::Unreadable;
  // The new picture is decoded beside the old one and replaces it only when it could be read, so a
  // failed load leaves the current map as it was.
  const PicturePixels picture = PicturePixels::Allocate(file.header().width, file.header().height);
  if (picture.isNull()) return JpegResult::Unreadable;
  std::atomic<bool> decoded{false};
  std::thread faulting;
  if (IsLarge(picture)) {
    try {
      faulting = std::thread(FaultInPages, picture.pixels(), picture.stride() * std::size_t(picture.height()),
                             std::cref(decoded));
    } catch (const std::system_error&) {
      // No thread to be had: the decoder takes the page faults itself, a little slower.
    }
  }
  const JpegResult result = DecodeRows(file, picture, stop, rows);
  decoded.store(true, std::memory_order_relaxed);
  if (faulting.joinable()) faulting.join();
  if (result != JpegResult::Unreadable) target = picture;
  return result;
}

}  // namespace orv
