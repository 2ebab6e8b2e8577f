// Making the overview thumbnail of a large map, beside decoding that map.
//
// Makes one 8192 x 6554 JPEG (a textured picture, quality 85) in a temporary directory, then times:
//   Decode        the program's decoder (JpegFile) into a picture allocated and touched beforehand
//   MakeOverview  the thumbnail of the decoded picture
// and prints MakeOverview / Decode (aim: 0.10 or below).
#include <unistd.h>

#include <QImage>
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_picture.h"
#include "core/jpeg.h"
#include "view/overview.h"

namespace {

namespace fs = std::filesystem;

constexpr int Width = 8192, Height = 6554;
std::string PicturePath;
QImage Picture;

void DecodeBench(benchmark::State& state) {
  QImage target(Width, Height, QImage::Format_RGB32);
  target.fill(Qt::black);
  for (auto _ : state) {
    orv::JpegFile file;
    if (file.Open(PicturePath) != orv::JpegResult::Ok ||
        file.DecodeInto(target.bits(), std::size_t(target.bytesPerLine())) != orv::JpegResult::Ok)
      state.SkipWithError("decoding failed");
    benchmark::DoNotOptimize(target.constBits());
  }
}

void MakeOverviewBench(benchmark::State& state) {
  for (auto _ : state) {
    const orv::Overview overview = orv::MakeOverview(Picture);
    if (overview.isNull()) state.SkipWithError("no thumbnail");
    benchmark::DoNotOptimize(overview.thumbnail.constBits());
  }
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path dir = fs::temp_directory_path() / ("orv_overview_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  PicturePath = (dir / "large.JPG").string();
  if (!orv::bench::MakeTexturedJpeg(PicturePath, Width, Height)) {
    std::fprintf(stderr, "could not make the test picture\n");
    return 1;
  }
  {
    orv::JpegFile file;
    Picture = QImage(Width, Height, QImage::Format_RGB32);
    if (file.Open(PicturePath) != orv::JpegResult::Ok ||
        file.DecodeInto(Picture.bits(), std::size_t(Picture.bytesPerLine())) != orv::JpegResult::Ok) {
      std::fprintf(stderr, "could not decode the test picture\n");
      return 1;
    }
  }

  std::vector<char*> args(argv, argv + argc);
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, interleave.data());
  int count = int(args.size());
  benchmark::Initialize(&count, args.data());
  orv::bench::RepeatedOnce(benchmark::RegisterBenchmark("Decode", &DecodeBench), 11);
  orv::bench::RepeatedOnce(benchmark::RegisterBenchmark("MakeOverview", &MakeOverviewBench), 11);
  orv::bench::Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);

  std::printf(
      "\nthumbnail of %d x %d beside decoding it (median, shortest): %.3f  %.3f x decode (aim: 0.10 or "
      "below)\n",
      Width, Height, collector.Ratio("median", "MakeOverview", "Decode"),
      collector.Ratio("min", "MakeOverview", "Decode"));
  fs::remove_all(dir);
  return 0;
}
