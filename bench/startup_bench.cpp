// Start-up with a large last map: from launching the real program to its first frame on screen,
// beside `djpeg` decoding the same picture to nothing.
//
// Makes an 8192 x 6554 map (a textured JPEG, quality 85, and its .dem) in a temporary directory with
// a copy of the program and a settings file that names the map as the last one. Then, interleaved,
// several times each: the program started on the offscreen platform with ORVANTIS_FIRST_FRAME_EXIT
// (it prints a line once its first frame is shown, and ends), timed from launch to that line; and
// djpeg of the same file to /dev/null. Prints the shortest and median times and the ratio of the
// shortest, of the medians and the median of each start over the djpeg run after it (aim: 1.1 or
// below).
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_picture.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int Width = 8192, Height = 6554;
constexpr int Runs = 15;

// Starts args[0] (searched on PATH) with extra environment variables; stdout goes to outFd (or
// /dev/null when -1), stderr to /dev/null. The child's id, or -1.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv, int outFd) {
  std::vector<std::string> envStrings;
  for (char** e = environ; *e; ++e) envStrings.emplace_back(*e);
  envStrings.insert(envStrings.end(), extraEnv.begin(), extraEnv.end());
  std::vector<char*> env, argv;
  for (std::string& e : envStrings) env.push_back(e.data());
  env.push_back(nullptr);
  std::vector<std::string> argCopies = args;
  for (std::string& a : argCopies) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (outFd >= 0)
    posix_spawn_file_actions_adddup2(&actions, outFd, 1);
  else
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

bool Succeeded(pid_t pid) {
  int status = 0;
  return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Milliseconds from launching the program to its first-frame line; negative when it did not come.
double TimeToFirstFrame(const fs::path& program, const fs::path& dir) {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return -1;
  const std::string runtime = (dir / "runtime").string();
  const Clock::time_point start = Clock::now();
  const pid_t pid =
      Spawn({program.string()},
            {"QT_QPA_PLATFORM=offscreen", "ORVANTIS_FIRST_FRAME_EXIT=1", "XDG_RUNTIME_DIR=" + runtime,
             "XDG_CONFIG_HOME=" + dir.string(), "HOME=" + dir.string()},
            pipeFds[1]);
  ::close(pipeFds[1]);
  std::string out;
  char buffer[256];
  double ms = -1;
  while (true) {
    const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    out.append(buffer, std::size_t(n));
    if (out.find("first frame:") != std::string::npos && out.find('\n') != std::string::npos) {
      ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      break;
    }
  }
  ::close(pipeFds[0]);
  return Succeeded(pid) ? ms : -1;
}

double TimeDjpeg(const fs::path& picture) {
  const Clock::time_point start = Clock::now();
  if (!Succeeded(Spawn({"djpeg", "-outfile", "/dev/null", picture.string()}, {}, -1))) return -1;
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Writes the map (picture and .dem), a copy of the program (and of its windows' module) and its
// settings file naming the map.
bool MakeStartFolder(const fs::path& dir, const fs::path& program) {
  std::error_code ec;
  fs::create_directories(dir / "runtime", ec);
  fs::permissions(dir / "runtime", fs::perms::owner_all, ec);
  if (ec || !fs::copy_file(program, dir / "orvantis", ec)) return false;
  if (!fs::copy_file(program.parent_path() / "orvantis-window.so", dir / "orvantis-window.so", ec))
    return false;
  if (!orv::bench::MakeTexturedJpeg((dir / "map.JPG").string(), Width, Height)) return false;
  std::ofstream(dir / "map.dem", std::ios::binary)
      << "[Map Dimensions]\r\nUpperLeft_X=0\r\nUpperLeft_Y=0\r\nUpperRight_X=8192\r\nUpperRight_Y=0\r\n"
         "LowerLeft_X=0\r\nLowerLeft_Y=6554\r\nLowerRight_X=8192\r\nLowerRight_Y=6554\r\n"
         "[General]\r\nVersion=v2.2\r\n";
  std::ofstream(dir / "orvantis.ini", std::ios::binary)
      << "[General]\r\nLastMapFilename=" << (dir / "map.dem").string() << "\r\n";
  return true;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main() {
  const fs::path program = fs::read_symlink("/proc/self/exe").parent_path() / "orvantis";
  if (!fs::exists(program)) {
    std::fprintf(stderr, "the program is not built: %s\n", program.c_str());
    return 1;
  }
  const fs::path dir = fs::temp_directory_path() / ("orv_startup_" + std::to_string(::getpid()));
  if (!MakeStartFolder(dir, program)) {
    std::fprintf(stderr, "could not make the start folder\n");
    fs::remove_all(dir);
    return 1;
  }
  std::printf("last map: %d x %d, %.1f MiB as JPEG; %d runs each, interleaved\n", Width, Height,
              double(fs::file_size(dir / "map.JPG")) / (1024.0 * 1024.0), Runs);
  // One start first, untimed: it writes the settings every later start reads, as a second start would.
  TimeToFirstFrame(dir / "orvantis", dir);
  std::vector<double> starts, djpegs;
  for (int i = 0; i < Runs; ++i) {
    const double start = TimeToFirstFrame(dir / "orvantis", dir);
    const double djpeg = TimeDjpeg(dir / "map.JPG");
    if (start < 0 || djpeg < 0) {
      std::fprintf(stderr, start < 0 ? "the program showed no first frame\n"
                                     : "djpeg could not be run (package libjpeg-turbo-progs)\n");
      fs::remove_all(dir);
      return 1;
    }
    starts.push_back(start);
    djpegs.push_back(djpeg);
  }
  const double shortestStart = *std::min_element(starts.begin(), starts.end());
  const double shortestDjpeg = *std::min_element(djpegs.begin(), djpegs.end());
  std::printf("  launch to first frame  shortest %7.1f ms  median %7.1f ms\n", shortestStart, Median(starts));
  std::printf("  djpeg of the same file shortest %7.1f ms  median %7.1f ms\n", shortestDjpeg, Median(djpegs));
  // Each start and the djpeg run right after it share the machine's load of that moment, so the
  // ratio within each pair drifts less than the times themselves.
  std::vector<double> paired;
  for (std::size_t i = 0; i < starts.size(); ++i) paired.push_back(starts[i] / djpegs[i]);
  std::printf(
      "  start-up / djpeg: %.2f (shortest), %.2f (median), %.2f (median of the pairs)"
      "  (aim: 1.1 or below)\n",
      shortestStart / shortestDjpeg, Median(starts) / Median(djpegs), Median(paired));
  fs::remove_all(dir);
  return 0;
}
