#include "storage/atomicfile.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace orv {

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

namespace {

bool WriteAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

// Removes the temporary files of target that a copy of the program killed while saving left behind
// (".name.<pid>.<n>.tmp" of a process that no longer runs); those of a running copy stay.
void RemoveLeftoverTemporaries(const std::string& dir, const std::string& base) {
  const std::string prefix = "." + base + ".";
  std::error_code ec;
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() <= prefix.size() + 4 || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - 4, 4, ".tmp") != 0) {
      continue;
    }
    const std::string rest = name.substr(prefix.size());
    char* afterPid = nullptr;
    const long pid = std::strtol(rest.c_str(), &afterPid, 10);
    if (pid <= 0 || *afterPid != '.' || pid == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) ::unlink(it->path().c_str());
  }
}

}  // namespace

bool ReplaceFileAtomically(const std::string& file, std::string_view bytes) {
  std::string target = file;
  struct stat old;
  bool exists = ::lstat(file.c_str(), &old) == 0;
  if (exists && S_ISLNK(old.st_mode)) {
    // Write through a symbolic link to the file it names, leaving the link in place.
    char resolved[PATH_MAX];
    if (!::realpath(file.c_str(), resolved)) return false;
    target = resolved;
    exists = ::lstat(target.c_str(), &old) == 0;
  }
  if (exists && (!S_ISREG(old.st_mode) || ::access(target.c_str(), W_OK) != 0)) return false;

  const std::string dir = DirectoryOf(target);
  const std::size_t slash = target.rfind('/');
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  static unsigned counter = 0;
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = dir + "/." + base + "." + std::to_string(::getpid()) + "." + std::to_string(++counter) + ".tmp";
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  bool ok = true;
  if (exists) {
    // The owner can be kept only with privileges; the group also by any member of it, so that a
    // file in a folder shared by a group stays the group's. Best effort.
    if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) && ::fchown(fd, old.st_uid, old.st_gid) != 0)
      (void)!::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    ok = ::fchmod(fd, old.st_mode & 07777) == 0;
  }
  ok = ok && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  RemoveLeftoverTemporaries(dir, base);
  return true;
}

}  // namespace orv
