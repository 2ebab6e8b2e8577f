// Loading a large map picture, beside the plain decoder doing the same work.
//
// Makes one 8192 x 6554 JPEG (a textured picture, quality 85) in a temporary directory, then times:
//   LoadPicture            what a map load does: a new picture, decoded straight into it
//   djpeg                  the command-line decoder, decoding the same file to nothing (a subprocess)
//   DecodeIntoAllocated    TurboJPEG into a buffer allocated and touched beforehand
//   DecodeIntoFreshQImage  TurboJPEG into a QImage allocated for each decode
// and prints LoadPicture / djpeg (aim: 1.15 or below). Then a fresh copy of this program loads the
// picture once and reports its peak memory beside the decoded picture's size (aim: at most 64 MiB
// more than the picture).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/jpeg.h"
#include "core/jpegwrite.h"
#include "view/picture.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int Width = 8192, Height = 6554;
std::string PicturePath;

// Smooth shapes with fine grain on top, so that the file is about as hard to decode as a real map.
bool MakePicture(const std::string& path) {
  std::vector<unsigned char> px(std::size_t(Width) * Height * 4);
  uint32_t noise = 12345;
  for (int y = 0; y < Height; ++y) {
    for (int x = 0; x < Width; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const int grain = int(noise >> 28) - 8;
      const double a = std::sin(x * 0.013) * std::cos(y * 0.017) + std::sin((x + y) * 0.0041);
      unsigned char* p = &px[(std::size_t(y) * Width + x) * 4];
      p[0] = static_cast<unsigned char>(std::clamp(int(140 + 60 * a) + grain, 0, 255));
      p[1] = static_cast<unsigned char>(std::clamp(int(150 + 50 * std::sin(y * 0.006 + a)) + grain, 0, 255));
      p[2] = static_cast<unsigned char>(std::clamp(int(120 + 70 * std::cos(x * 0.004 - a)) + grain, 0, 255));
      p[3] = 0;
    }
  }
  return orv::WriteJpegFile(path, px.data(), Width, Height, std::size_t(Width) * 4,
                            {.quality = 85, .chroma = orv::JpegChroma::Half});
}

// Runs a program and waits for it; its exit status, or -1 when it could not be started.
int Run(const std::vector<std::string>& args, bool quiet) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (quiet) posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void LoadPictureBench(benchmark::State& state) {
  for (auto _ : state) {
    QImage picture;
    if (orv::LoadPicture(PicturePath, picture) != orv::JpegResult::Ok)
      state.SkipWithError("LoadPicture failed");
    benchmark::DoNotOptimize(picture.constBits());
  }
}

void DjpegBench(benchmark::State& state) {
  for (auto _ : state) {
    if (Run({"djpeg", "-outfile", "/dev/null", PicturePath}, true) != 0) {
      state.SkipWithError("djpeg could not be run (package libjpeg-turbo-progs)");
      break;
    }
  }
}

void DecodeIntoAllocatedBench(benchmark::State& state) {
  std::vector<uint8_t> buffer(std::size_t(Width) * Height * 4, 1);
  for (auto _ : state) {
    orv::JpegFile file;
    if (file.Open(PicturePath) != orv::JpegResult::Ok ||
        file.DecodeInto(buffer.data(), std::size_t(Width) * 4) != orv::JpegResult::Ok)
      state.SkipWithError("decoding failed");
    benchmark::DoNotOptimize(buffer.data());
  }
}

void DecodeIntoFreshQImageBench(benchmark::State& state) {
  for (auto _ : state) {
    orv::JpegFile file;
    if (file.Open(PicturePath) != orv::JpegResult::Ok) state.SkipWithError("decoding failed");
    QImage image(Width, Height, QImage::Format_RGB32);
    if (file.DecodeInto(image.bits(), std::size_t(image.bytesPerLine())) != orv::JpegResult::Ok)
      state.SkipWithError("decoding failed");
    benchmark::DoNotOptimize(image.constBits());
  }
}

// Keeps the console output, and the median and shortest time of each benchmark. On a shared machine
// the shortest time is the one least disturbed by other work.
class Collector : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Aggregate)
        times[r.aggregate_name][r.run_name.function_name] = r.GetAdjustedRealTime();
  }
  std::map<std::string, std::map<std::string, double>> times;
};

long StatusKiB(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
  return -1;
}

// Child mode: load the picture once and print the resident memory before and the peak after.
int PeakMemory(const std::string& path) {
  const long before = StatusKiB("VmRSS:");
  QImage picture;
  const orv::JpegResult result = orv::LoadPicture(path, picture);
  const long peak = StatusKiB("VmHWM:");
  std::printf("%ld %ld %lld %d\n", before, peak, static_cast<long long>(picture.sizeInBytes()),
              result == orv::JpegResult::Ok ? 1 : 0);
  return 0;
}

void ReportPeakMemory(const std::string& self) {
  const fs::path out = fs::path(PicturePath).parent_path() / "peak.txt";
  std::string command = "'" + self + "' --peak-memory '" + PicturePath + "' > '" + out.string() + "'";
  if (Run({"sh", "-c", command}, false) != 0) {
    std::printf("peak memory: could not be measured\n");
    return;
  }
  long before = 0, peak = 0;
  long long pictureBytes = 0;
  int ok = 0;
  std::ifstream(out) >> before >> peak >> pictureBytes >> ok;
  const double mib = 1024.0;
  const double extra = (peak - before) / mib - pictureBytes / (1024.0 * 1024.0);
  std::printf(
      "peak memory of one load: %.1f MiB (program before loading %.1f MiB, decoded picture %.1f MiB)\n",
      peak / mib, before / mib, pictureBytes / (1024.0 * 1024.0));
  std::printf("  memory beyond the picture during the load: %.1f MiB (aim: at most 64)%s\n", extra,
              ok ? "" : "  [the load failed]");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--peak-memory") == 0) return PeakMemory(argv[2]);

  const fs::path dir = fs::temp_directory_path() / ("orv_mapload_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  PicturePath = (dir / "large.JPG").string();
  if (!MakePicture(PicturePath)) {
    std::fprintf(stderr, "could not make the test picture\n");
    return 1;
  }
  std::printf("test picture: %d x %d, %.1f MiB as JPEG\n", Width, Height,
              double(fs::file_size(PicturePath)) / (1024.0 * 1024.0));

  // The repetitions of the four benchmarks run interleaved, so that other work on a shared machine
  // disturbs them alike and their ratios stay meaningful.
  std::vector<char*> args(argv, argv + argc);
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, interleave.data());
  int count = int(args.size());
  benchmark::Initialize(&count, args.data());
  for (auto [name, fn] : {std::pair{"LoadPicture", &LoadPictureBench}, std::pair{"djpeg", &DjpegBench},
                          std::pair{"DecodeIntoAllocated", &DecodeIntoAllocatedBench},
                          std::pair{"DecodeIntoFreshQImage", &DecodeIntoFreshQImageBench}}) {
    benchmark::RegisterBenchmark(name, fn)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1)
        ->Repetitions(11)
        ->ComputeStatistics(
            "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
        ->ReportAggregatesOnly(true);
  }
  Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);

  auto ratio = [&](const char* statistic, const char* a, const char* b) {
    const auto& m = collector.times[statistic];
    return m.count(a) && m.count(b) && m.at(b) > 0 ? m.at(a) / m.at(b) : NAN;
  };
  std::printf("\nbeside djpeg decoding the same file (median, shortest):\n");
  for (const char* name : {"LoadPicture", "DecodeIntoAllocated", "DecodeIntoFreshQImage"})
    std::printf("  %-22s %.2f  %.2f x djpeg%s\n", name, ratio("median", name, "djpeg"),
                ratio("min", name, "djpeg"),
                std::strcmp(name, "LoadPicture") == 0 ? "  (aim: 1.15 or below)" : "");
  ReportPeakMemory(fs::read_symlink("/proc/self/exe").string());
  fs::remove_all(dir);
  return 0;
}
