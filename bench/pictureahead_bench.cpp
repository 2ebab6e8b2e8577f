// Stopping a picture decoded ahead that is not wanted after all (a start that hands its request to
// the running copy, or a start that asks for another map than the last one), beside decoding it.
//
// Makes one 6000 x 6000 progressive JPEG (textured, quality 85) in a temporary directory, then times:
//   DecodeWhole   starting the decode ahead and taking its picture
//   StopAtOnce    starting the decode ahead and forgetting it at once
// and prints StopAtOnce / DecodeWhole (aim: 0.1 or below; a progressive picture is read whole before
// its first row, so a stop looked at only between rows waits for most of the decode).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_picture.h"
#include "core/pictureahead.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSide = 6000;
std::string PicturePath;

bool MakeProgressiveJpeg(const std::string& path) {
  const std::string plain = path + ".plain.jpg";
  if (!orv::bench::MakeTexturedJpeg(plain, kSide, kSide)) return false;
  orv::JpegFile file;
  std::vector<uint8_t> pixels(std::size_t(kSide) * kSide * 4);
  if (file.Open(plain) != orv::JpegResult::Ok ||
      file.DecodeInto(pixels.data(), std::size_t(kSide) * 4) != orv::JpegResult::Ok)
    return false;
  fs::remove(plain);
  return orv::WriteJpegFile(path, pixels.data(), kSide, kSide, std::size_t(kSide) * 4,
                            {.quality = 85, .chroma = orv::JpegChroma::Half, .progressive = true});
}

void DecodeWhole(benchmark::State& state) {
  for (auto _ : state) {
    orv::PictureAhead ahead;
    ahead.Start(PicturePath);
    const auto taken = ahead.Take(PicturePath);
    if (!taken || taken->result != orv::JpegResult::Ok) state.SkipWithError("decode failed");
  }
}
void StopAtOnce(benchmark::State& state) {
  for (auto _ : state) {
    orv::PictureAhead ahead;
    ahead.Start(PicturePath);
    ahead.Forget();
  }
}
}  // namespace

int main(int argc, char** argv) {
  const fs::path dir = fs::temp_directory_path() / ("orvantis-ahead-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  PicturePath = (dir / "progressive.jpg").string();
  if (!MakeProgressiveJpeg(PicturePath)) {
    std::fprintf(stderr, "could not make the test picture\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  orv::bench::RepeatedOnce(benchmark::RegisterBenchmark("DecodeWhole", &DecodeWhole), 5);
  orv::bench::RepeatedOnce(benchmark::RegisterBenchmark("StopAtOnce", &StopAtOnce), 5);
  orv::bench::Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  std::printf("StopAtOnce / DecodeWhole: median %.4f, min %.4f (aim: 0.1 or below)\n",
              collector.Ratio("median", "StopAtOnce", "DecodeWhole"),
              collector.Ratio("min", "StopAtOnce", "DecodeWhole"));
  fs::remove_all(dir);
  return 0;
}
