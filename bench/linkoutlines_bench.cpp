// Link area outlines over 10,000 links spread on a 4000 x 3000 picture, each figure beside the time
// of copying one 1920 x 1080 view out of the picture, the least work any frame does.
//
//   Frame/Copy            baseline: copying 1920 x 1080 RGB32 pixels out of the picture
//   Outlines/InView       the outlines reaching a 1920 x 1080 view at zoom 100 (about a sixth of them)
//   Outlines/InView1000   the same view over 1,000 links (about 240 in view)
//   Outlines/LinesOnly    as InView, the lines without the fill
//   Outlines/NoneInView   the same view past the links' extent: nothing to draw
//   Outlines/WholeMap     zoom 25, the whole map in view: all 10,000 outlines
//   Index/Build           indexing the 10,000 records, once per change of the links
//   Hover/Index           the area under the pointer through the index
//   Hover/List            the area under the pointer by reading every record (FindLinkAt)
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench_frames.h"
#include "bench_times.h"
#include "maplinks/linkoutlines.h"
#include "maplinks/maplinkstore.h"

namespace {

std::vector<std::string> ManyLinks(int count = 10000) {
  std::mt19937 random(42);
  std::uniform_int_distribution<int> x(0, 3800), y(0, 2800), size(20, 200);
  std::vector<std::string> links;
  for (int i = 0; i < count; ++i) {
    const int x1 = x(random), y1 = y(random);
    links.push_back(orv::MakeMapLinkRecord({x1 + size(random), y1 + size(random), x1, y1},
                                           "Region" + std::to_string(i) + ".dem",
                                           "To region " + std::to_string(i)));
  }
  orv::SortMapLinks(links);
  return links;
}

void FrameCopy(benchmark::State& state) {
  QImage picture(4000, 3000, QImage::Format_RGB32);
  picture.fill(0xff336699u);
  orv::bench::TimeFrameCopy(state, picture);
}
BENCHMARK(FrameCopy)->Name("Frame/Copy")->Unit(benchmark::kMicrosecond);

void Outlines(benchmark::State& state, int32_t zoom, orv::Point origin, int links = 10000,
              orv::LinkOutlineStyle style = {}) {
  const orv::LinkAreaIndex index = orv::LinkAreaIndex::OfRecords(ManyLinks(links));
  QImage view(1920, 1080, QImage::Format_RGB32);
  view.fill(0xff336699u);
  for (auto _ : state) {
    orv::DrawLinkOutlines(view, index, zoom, origin, style);
    benchmark::DoNotOptimize(view.constBits());
  }
}
BENCHMARK_CAPTURE(Outlines, InView, 100, orv::Point{700, 500})
    ->Name("Outlines/InView")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Outlines, InView1000, 100, orv::Point{700, 500}, 1000)
    ->Name("Outlines/InView1000")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Outlines, LinesOnly, 100, orv::Point{700, 500}, 10000,
                  orv::LinkOutlineStyle{.fill = QColor(0, 0, 0, 0)})
    ->Name("Outlines/LinesOnly")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Outlines, NoneInView, 100, orv::Point{6000, 5000})
    ->Name("Outlines/NoneInView")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Outlines, WholeMap, 25, orv::Point{0, 0})
    ->Name("Outlines/WholeMap")
    ->Unit(benchmark::kMicrosecond);

void IndexBuild(benchmark::State& state) {
  const auto links = ManyLinks();
  for (auto _ : state) benchmark::DoNotOptimize(orv::LinkAreaIndex::OfRecords(links));
}
BENCHMARK(IndexBuild)->Name("Index/Build")->Unit(benchmark::kMicrosecond);

// The pointer over no link, where both ways look hardest.
void HoverIndex(benchmark::State& state) {
  const orv::LinkAreaIndex index = orv::LinkAreaIndex::OfRecords(ManyLinks());
  for (auto _ : state) benchmark::DoNotOptimize(index.FirstHolding({3990, 2995}));
}
BENCHMARK(HoverIndex)->Name("Hover/Index")->Unit(benchmark::kMicrosecond);

void HoverList(benchmark::State& state) {
  const auto links = ManyLinks();
  for (auto _ : state) benchmark::DoNotOptimize(orv::FindLinkAt(links, {3990, 2995}));
}
BENCHMARK(HoverList)->Name("Hover/List")->Unit(benchmark::kMicrosecond);

// Prints each figure beside the frame copy of the same run, and the ratio.

// Every figure beside the frame copy.
void PrintRatios(const orv::bench::TimesReporter& reporter) {
  const char* baseline = "Frame/Copy";
  const auto frame = reporter.Time(baseline);
  if (!frame || *frame <= 0) return;
  for (const auto& [name, time] : reporter.Times())
    if (name != baseline)
      std::printf("%-20s %10.3f us = %7.3f x %s (%.1f us)\n", name.c_str(), time, time / *frame, baseline,
                  *frame);
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  return orv::bench::RunThenPrint(argc, argv, PrintRatios);
}
