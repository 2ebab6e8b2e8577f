#pragma once
// Helpers of the robustness tests: an unprivileged user for permission faults, a small file system
// that fills up, the peak memory of the process, and bookmark and link records to save.
#include <fcntl.h>
#include <grp.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bookmarks/bookmarkstore.h"
#include "storage/fields.h"
#include "view/mainwindow_fixture.h"

namespace orv::testing {

inline constexpr uid_t kNobody = 65534;

// Gives every file and folder below path (and path itself) to the user "nobody".
inline void GiveToNobody(const std::string& path) {
  (void)!::lchown(path.c_str(), kNobody, kNobody);
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(path, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
    (void)!::lchown(it->path().c_str(), kNobody, kNobody);
}

// While it lives, a process started as root works as the user "nobody", so that file permissions
// stop its writes as they stop a user's (root writes through any permission). The real and effective
// user and group change (access() checks the real one); root is kept as the saved user, so that it
// comes back afterwards. Does nothing for other users.
class UnprivilegedScope {
 public:
  UnprivilegedScope() {
    if (::geteuid() != 0) return;
    switched_ = ::setresgid(kNobody, kNobody, 0) == 0 && ::setresuid(kNobody, kNobody, 0) == 0;
    if (!switched_) (void)!::setresgid(0, 0, 0);
  }
  ~UnprivilegedScope() { Leave(); }
  void Leave() {
    if (!switched_) return;
    (void)!::setresuid(0, 0, 0);
    (void)!::setresgid(0, 0, 0);
    switched_ = false;
  }
  // True when permissions now apply to this process.
  bool Effective() const { return ::geteuid() != 0; }

 private:
  bool switched_ = false;
};

// A tmpfs of the given size mounted on dir (created if needed) for one test; unmounted when it goes.
// Needs root; Mounted() says whether it worked, Why() why not.
class SmallDisk {
 public:
  SmallDisk(const std::string& dir, const char* size) : dir_(dir) {
    std::filesystem::create_directories(dir_);
    if (::geteuid() != 0) {
      why_ = "a small file system can only be mounted by root";
      return;
    }
    const std::string options = std::string("size=") + size + ",mode=0777";
    if (::mount("tmpfs", dir_.c_str(), "tmpfs", 0, options.c_str()) != 0) {
      why_ = std::string("mounting a tmpfs failed: ") + std::strerror(errno);
      return;
    }
    mounted_ = true;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool Mounted() const { return mounted_; }
  const std::string& Why() const { return why_; }

  // Fills the file system up to its last byte with a file named filler.
  void Fill() {
    const std::string path = dir_ + "/filler";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (fd < 0) return;
    const std::string block(4096, 'f');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    while (::write(fd, block.data(), 1) > 0) {
    }
    ::close(fd);
  }
  void Free() { std::filesystem::remove(dir_ + "/filler"); }

 private:
  std::string dir_;
  bool mounted_ = false;
  std::string why_;
};

// The largest resident size of this process so far (VmHWM), in bytes; ResetPeakMemory starts the
// count again from the present size.
inline long long PeakMemoryBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
  return -1;
}
inline bool ResetPeakMemory() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.flush();
  return static_cast<bool>(clear);
}

inline std::string Fields(std::initializer_list<std::string> fields) {
  std::string out;
  bool first = true;
  for (const std::string& f : fields) {
    if (!first) out += FieldSeparator;
    out += f;
    first = false;
  }
  return out;
}

inline std::string ArialFont() {
  return Fields({"Arial", "10", "0", "b"});
}

// Adds a current-map bookmark and a global one named after n to the lists.
inline void AddBookmarkPair(BookmarkLists& lists, int n) {
  const std::string x = std::to_string(100 + n), y = std::to_string(200 + n);
  lists.CurrentMapBookmarks.push_back(Fields({"V", x, y, "Inn " + std::to_string(n)}));
  lists.CurrentMapBookmarkFonts.push_back(ArialFont());
  lists.GlobalBookmarks.push_back(
      Fields({"Id" + std::to_string(n) + "abcdef", "V", x, y, "Bank " + std::to_string(n), "open,late"}));
  lists.GlobalBookmarkFonts.push_back(ArialFont());
}

}  // namespace orv::testing
