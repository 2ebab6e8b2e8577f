// Memory of loading a 16384 x 16384 map picture: the peak resident size beyond the decoded picture.
//
// Makes one 16384 x 16384 JPEG (textured, quality 85, 4:2:0) in a temporary directory, then starts a
// fresh copy of this program for each way of loading it, which reports its resident size before the
// load and its peak (VmHWM) after:
//   LoadPicture      what a map load does: the file read through a small buffer, rows decoded
//                    straight into the new picture
//   whole-file       the file mapped whole and decoded by TurboJPEG in one call into a picture of the
//                    same size, as loading worked before
// and prints, for each, the peak minus the size before minus the picture's bytes (aim: 64 MiB).
#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_picture.h"
#include "view/picture.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int Side = 16384;
constexpr double GoalMiB = 64;

// The file mapped whole and decoded in one TurboJPEG call into a fresh picture; its bytes, or 0.
long long DecodeWholeFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info {};
  if (fd < 0 || ::fstat(fd, &info) != 0) return 0;
  const std::size_t size = std::size_t(info.st_size);
  void* file = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  ::close(fd);
  if (file == MAP_FAILED) return 0;
  ::madvise(file, size, MADV_SEQUENTIAL);
  long long pictureBytes = 0;
  tjhandle handle = tjInitDecompress();
  int width = 0, height = 0, subsampling = 0, colourSpace = 0;
  const auto* bytes = static_cast<const unsigned char*>(file);
  if (tjDecompressHeader3(handle, bytes, size, &width, &height, &subsampling, &colourSpace) == 0) {
    QImage picture(width, height, QImage::Format_RGB32);
    if (!picture.isNull() &&
        tjDecompress2(handle, bytes, size, picture.bits(), width, int(picture.bytesPerLine()), height,
                      TJPF_BGRX, TJFLAG_LIMITSCANS) == 0)
      pictureBytes = picture.sizeInBytes();
  }
  tjDestroy(handle);
  ::munmap(file, size);
  return pictureBytes;
}

// Child mode: one load the given way; prints the resident size before, the peak after (KiB) and the
// picture's bytes (0 when the load failed).
int MeasureOneLoad(const std::string& way, const std::string& path) {
  const long before = orv::bench::StatusKiB("VmRSS:");
  long long pictureBytes = 0;
  if (way == "whole-file") {
    pictureBytes = DecodeWholeFile(path);
  } else {
    QImage picture;
    if (orv::LoadPicture(path, picture) == orv::JpegResult::Ok) pictureBytes = picture.sizeInBytes();
  }
  std::printf("%ld %ld %lld\n", before, orv::bench::StatusKiB("VmHWM:"), pictureBytes);
  return 0;
}

// Runs this program in child mode with its output into outPath; false when it could not run.
bool RunChild(const std::string& self, const std::string& way, const std::string& path,
              const std::string& outPath) {
  std::vector<std::string> args = {self, "--measure", way, path};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  return rc == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The memory beyond the picture of one load the given way, in MiB; negative when not measured.
double BeyondPictureMiB(const std::string& self, const std::string& way, const fs::path& picture) {
  const std::string out = (picture.parent_path() / (way + ".txt")).string();
  long before = 0, peak = 0;
  long long pictureBytes = 0;
  if (!RunChild(self, way, picture.string(), out)) return -1;
  std::ifstream(out) >> before >> peak >> pictureBytes;
  if (pictureBytes == 0) return -1;
  return double(peak - before) / 1024.0 - double(pictureBytes) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--measure") == 0) return MeasureOneLoad(argv[2], argv[3]);

  const fs::path dir = fs::temp_directory_path() / ("orv_mapmemory_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path picture = dir / "huge.JPG";
  if (!orv::bench::MakeTexturedJpeg(picture.string(), Side, Side)) {
    std::fprintf(stderr, "could not make the test picture\n");
    fs::remove_all(dir);
    return 1;
  }
  std::printf("test picture: %d x %d, %.1f MiB as JPEG, %.1f MiB decoded\n", Side, Side,
              double(fs::file_size(picture)) / (1024.0 * 1024.0),
              double(Side) * Side * 4 / (1024.0 * 1024.0));
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  const double streamed = BeyondPictureMiB(self, "LoadPicture", picture);
  const double whole = BeyondPictureMiB(self, "whole-file", picture);
  std::printf("peak resident memory beyond the decoded picture during one load:\n");
  std::printf("  LoadPicture (file read through a buffer)  %7.1f MiB  (aim: at most %.0f)%s\n", streamed,
              GoalMiB, streamed < 0 ? "  [the load failed]" : "");
  std::printf("  whole file mapped, one TurboJPEG call     %7.1f MiB%s\n", whole,
              whole < 0 ? "  [the load failed]" : "");
  if (streamed >= 0 && whole > 0) std::printf("  LoadPicture / whole-file: %.2f\n", streamed / whole);
  fs::remove_all(dir);
  return 0;
}
