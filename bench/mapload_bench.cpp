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
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "bench_picture.h"
#include "core/jpeg.h"
#include "view/picture.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int Width = 8192, Height = 6554;
std::string PicturePath;

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

// Child mode: load the picture once and print the resident memory before, the peak after, and the
// peaks of anonymous memory and of file pages mapped into the process sampled while loading (the
// program and its libraries; the picture file itself is read through a buffer, not mapped); the
// anonymous peak is what the load itself allocates.
int PeakMemory(const std::string& path) {
  const long before = orv::bench::StatusKiB("VmRSS:");
  const long anonBefore = orv::bench::StatusKiB("RssAnon:");
  std::atomic<bool> done{false};
  long anonPeak = anonBefore, filePeak = orv::bench::StatusKiB("RssFile:");
  std::thread sampler([&] {
    while (!done.load()) {
      anonPeak = std::max(anonPeak, orv::bench::StatusKiB("RssAnon:"));
      filePeak = std::max(filePeak, orv::bench::StatusKiB("RssFile:"));
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
  });
  QImage picture;
  const orv::JpegResult result = orv::LoadPicture(path, picture);
  done.store(true);
  sampler.join();
  const long peak = orv::bench::StatusKiB("VmHWM:");
  std::printf("%ld %ld %lld %d %ld %ld\n", before, peak, static_cast<long long>(picture.sizeInBytes()),
              result == orv::JpegResult::Ok ? 1 : 0, anonPeak - anonBefore, filePeak);
  return 0;
}

void ReportPeakMemory(const std::string& self) {
  const fs::path out = fs::path(PicturePath).parent_path() / "peak.txt";
  std::string command = "'" + self + "' --peak-memory '" + PicturePath + "' > '" + out.string() + "'";
  if (Run({"sh", "-c", command}, false) != 0) {
    std::printf("peak memory: could not be measured\n");
    return;
  }
  long before = 0, peak = 0, anonGrowth = 0, filePeak = 0;
  long long pictureBytes = 0;
  int ok = 0;
  std::ifstream(out) >> before >> peak >> pictureBytes >> ok >> anonGrowth >> filePeak;
  const double mib = 1024.0, pictureMiB = pictureBytes / (1024.0 * 1024.0);
  std::printf(
      "peak memory of one load: %.1f MiB (program before loading %.1f MiB, decoded picture %.1f MiB)\n",
      peak / mib, before / mib, pictureMiB);
  std::printf("  memory beyond the picture during the load: %.1f MiB (aim: at most 64)%s\n",
              (peak - before) / mib - pictureMiB, ok ? "" : "  [the load failed]");
  std::printf(
      "  of it allocated by the load beyond the picture: %.1f MiB; file pages mapped at most %.1f MiB\n",
      anonGrowth / mib - pictureMiB, filePeak / mib);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--peak-memory") == 0) return PeakMemory(argv[2]);

  const fs::path dir = fs::temp_directory_path() / ("orv_mapload_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  PicturePath = (dir / "large.JPG").string();
  if (!orv::bench::MakeTexturedJpeg(PicturePath, Width, Height)) {
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
    orv::bench::RepeatedOnce(benchmark::RegisterBenchmark(name, fn), 11);
  }
  orv::bench::Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);

  std::printf("\nbeside djpeg decoding the same file (median, shortest):\n");
  for (const char* name : {"LoadPicture", "DecodeIntoAllocated", "DecodeIntoFreshQImage"})
    std::printf("  %-22s %.2f  %.2f x djpeg%s\n", name, collector.Ratio("median", name, "djpeg"),
                collector.Ratio("min", name, "djpeg"),
                std::strcmp(name, "LoadPicture") == 0 ? "  (aim: 1.15 or below)" : "");
  ReportPeakMemory(fs::read_symlink("/proc/self/exe").string());
  fs::remove_all(dir);
  return 0;
}
