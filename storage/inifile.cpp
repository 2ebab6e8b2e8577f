#include "storage/inifile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "storage/atomicfile.h"

namespace orv {
namespace {

enum class ReadOutcome { Read, Missing, Unreadable };

// A settings file of many bookmarks is a few megabytes. A larger file is some other file with the
// same extension (".dem" also names elevation models and game recordings): it is not read, and as an
// unreadable file never written over.
constexpr off_t kLargestSettingsFile = off_t{256} << 20;

ReadOutcome ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  // Without blocking, so that a named pipe in a file's place is found out by the check below instead
  // of waiting for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? ReadOutcome::Missing : ReadOutcome::Unreadable;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kLargestSettingsFile) {
    ::close(fd);
    return ReadOutcome::Unreadable;
  }
  // One byte more than the file holds, so that the read that finds its end needs no larger buffer.
  bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
  std::size_t have = 0;
  bool failed = false;
  for (;;) {
    if (have == bytes.size()) bytes.resize(bytes.size() + 4096);  // the file may have grown
    const ssize_t n = ::read(fd, bytes.data() + have, bytes.size() - have);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failed = true;
    if (n <= 0) break;
    have += static_cast<std::size_t>(n);
  }
  ::close(fd);
  bytes.resize(failed ? 0 : have);
  return failed ? ReadOutcome::Unreadable : ReadOutcome::Read;
}

}  // namespace

IniFile LoadIniFile(const std::string& path) {
  IniFile file;
  // A path holding a NUL byte names another file (the part before the NUL): it reads as missing.
  if (path.empty() || path.find('\0') != std::string::npos) return file;
  std::string bytes;
  const ReadOutcome outcome = ReadWholeFile(path, bytes);
  file.unreadable = outcome == ReadOutcome::Unreadable;
  if (outcome == ReadOutcome::Read) file.document = IniDocument(std::move(bytes));
  return file;
}

bool SaveIniFile(const IniFile& file, const std::string& path) {
  if (file.unreadable || path.empty() || path.find('\0') != std::string::npos) return false;
  std::string bytes;
  // Unchanged since it was read (a missing file left empty stays missing).
  if (!file.document.SerializeChanges(bytes)) return true;
  return ReplaceFileAtomically(path, bytes);
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return a == b || std::filesystem::equivalent(a, b, ec);
}

}  // namespace orv
