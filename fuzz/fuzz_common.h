#pragma once
// Shared pieces of the fuzz targets: a scratch directory and a reader that takes values from the
// fuzzer's bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// A broken promise: say which one, then stop so the fuzzer keeps the input.
#define ORV_FAIL() (std::fprintf(stderr, "broken at %s:%d\n", __FILE__, __LINE__), std::abort())
#define ORV_CHECK(ok) ((ok) ? (void)0 : ORV_FAIL())

namespace orv::fuzzing {

// One scratch directory per fuzzing process, removed at exit.
inline const std::string& ScratchDir() {
  static const std::string dir = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvantis-fuzz-XXXXXX").string();
    std::string made = mkdtemp(pattern.data());
    static struct Remover {
      std::string path;
      ~Remover() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
      }
    } remover{made};
    return made;
  }();
  return dir;
}

inline std::string WriteScratch(const std::string& name, const std::string& bytes) {
  const std::string path = ScratchDir() + "/" + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  return path;
}

// Takes numbers and strings from the front of the input.
class Input {
 public:
  Input(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return pos_ >= size_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  // A string of at most maxLength bytes: a length byte, then the bytes.
  std::string String(std::size_t maxLength) {
    const std::size_t n = std::min<std::size_t>(Byte() % (maxLength + 1), size_ - std::min(pos_, size_));
    std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return s;
  }
  // Everything not taken yet.
  std::string Rest() {
    std::string s(reinterpret_cast<const char*>(data_ + std::min(pos_, size_)), size_ - std::min(pos_, size_));
    pos_ = size_;
    return s;
  }

 private:
  const uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace orv::fuzzing
