#pragma once
// Raw file access and a child process without root rights for the storage tests.
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tempdir.h"

namespace orv::testing {

// A temporary directory that a child without root rights may also create files in.
class SharedTempDir : public TempDir {
 public:
  SharedTempDir() { ::chmod(path().c_str(), 0777); }
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline bool Exists(const std::string& path) {
  return std::filesystem::exists(path);
}

// Runs check in a child process and returns its exit status: 0 for true, 1 for false, 2 when the
// child could not drop root rights. With unprivileged set, a child of root becomes "nobody" (a member
// of groups), so that file permissions apply to it as they do to a user.
inline int RunInChild(const std::function<bool()>& check, bool unprivileged, std::vector<gid_t> groups = {}) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (unprivileged && ::geteuid() == 0 &&
        (::setgroups(groups.size(), groups.data()) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
      ::_exit(2);
    ::_exit(check() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 3;
}

}  // namespace orv::testing
