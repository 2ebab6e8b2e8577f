// The link hover runs at every pointer movement. It is measured over 1,000 and 10,000 links beside
// the time of composing one 1920 x 1080 view, the work every rendered frame does at the least.
//
//   FindLinkAt/Miss      the pointer over no link: the store's kept corners of every link are tested
//   FindLinkAt/LastHit   the pointer over the last link in the list, with its text and target read
//   Hover/...            the hover's own way: the area index finds the areas near the pointer, over
//                        a link's middle, over no link, with 1,000 and 10,000 links
//   ViewFrame/Copy       baseline: copying 1920 x 1080 RGB32 pixels out of a larger picture
//   ViewFrame/Compose    baseline: the view's own composition of a 1920 x 1080 view at zoom 100
//                        (the picture part of a frame, without the cross, glass and bookmarks)
#include <benchmark/benchmark.h>

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
#include "storage/fields.h"
#include "view/render.h"
#include "view/text.h"

namespace {

// 1,000 links of 20 to 200 pixels spread over a 4000 x 3000 picture, sorted as a map keeps them.
std::vector<std::string> ManyLinks(int count = 1000) {
  std::mt19937 random(42);
  std::uniform_int_distribution<int> x(0, 3800), y(0, 2800), size(20, 200);
  std::vector<std::string> links;
  for (int i = 0; i < count; ++i) {
    const int x1 = x(random), y1 = y(random);
    links.push_back(orv::MakeMapLinkRecord({x1, y1, x1 + size(random), y1 + size(random)},
                                           "Region" + std::to_string(i) + ".dem",
                                           "To the region number " + std::to_string(i)));
  }
  orv::SortMapLinks(links);
  return links;
}

void FindLinkAtMiss(benchmark::State& state) {
  orv::MapLinkStore store;
  store.Replace(ManyLinks());
  const orv::Point outside{5000, 5000};
  for (auto _ : state) benchmark::DoNotOptimize(store.FindAt(outside));
}
BENCHMARK(FindLinkAtMiss)->Name("FindLinkAt/Miss")->Unit(benchmark::kMicrosecond);

void FindLinkAtLastHit(benchmark::State& state) {
  auto links = ManyLinks();
  // Only the last link holds this pixel.
  links.push_back(orv::MakeMapLinkRecord({4100, 3100, 4200, 3200}, "Last.dem", "zzz The last link"));
  orv::MapLinkStore store;
  store.Replace(links);
  const orv::Point inside{4150, 3150};
  for (auto _ : state) {
    const auto found = store.FindAt(inside);
    QString text = orv::FromBytes(store.at(*found).statusText);
    std::string file = store.at(*found).targetFile;
    benchmark::DoNotOptimize(text);
    benchmark::DoNotOptimize(file);
  }
}
BENCHMARK(FindLinkAtLastHit)->Name("FindLinkAt/LastHit")->Unit(benchmark::kMicrosecond);

// The pointer moving over the picture, as the hover sees it: the first area holding the pixel, with
// its text and target read, among count links.
void Hover(benchmark::State& state, int count) {
  orv::MapLinkStore store;
  store.Replace(ManyLinks(count));
  const orv::LinkAreaIndex index = orv::LinkAreaIndex::OfRecords(store.MapLinks());
  std::mt19937 random(5);
  std::uniform_int_distribution<int> x(0, 4000), y(0, 3000);
  std::vector<orv::Point> path;
  for (int i = 0; i < 1024; ++i) path.push_back({x(random), y(random)});
  std::size_t i = 0;
  for (auto _ : state) {
    std::string text;
    if (const auto found = index.FirstHolding(path[i++ % path.size()])) {
      text = store.at(*found).statusText;
      benchmark::DoNotOptimize(store.at(*found).targetFile);
    }
    QString shown = orv::FromBytes(text);
    benchmark::DoNotOptimize(shown);
  }
}
BENCHMARK_CAPTURE(Hover, 1000, 1000)->Name("Hover/1000")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Hover, 10000, 10000)->Name("Hover/10000")->Unit(benchmark::kMicrosecond);

void FindLinkAtMiss10000(benchmark::State& state) {
  orv::MapLinkStore store;
  store.Replace(ManyLinks(10000));
  const orv::Point outside{5000, 5000};
  for (auto _ : state) benchmark::DoNotOptimize(store.FindAt(outside));
}
BENCHMARK(FindLinkAtMiss10000)->Name("FindLinkAt/Miss10000")->Unit(benchmark::kMicrosecond);

QImage Picture() {
  QImage picture(4000, 3000, QImage::Format_RGB32);
  picture.fill(0xff336699u);
  return picture;
}

void ViewFrameCopy(benchmark::State& state) {
  const QImage picture = Picture();
  orv::bench::TimeFrameCopy(state, picture);
}
BENCHMARK(ViewFrameCopy)->Name("ViewFrame/Copy")->Unit(benchmark::kMicrosecond);

void ViewFrameCompose(benchmark::State& state) {
  const QImage picture = Picture();
  QImage view(1920, 1080, QImage::Format_RGB32);
  const orv::SourceRect source = orv::ViewSource(700, 500, 1920, 1080, 100);
  for (auto _ : state) {
    orv::ComposeView(view, picture, source, 1920, 1080);
    benchmark::DoNotOptimize(view.constBits());
  }
}
BENCHMARK(ViewFrameCompose)->Name("ViewFrame/Compose")->Unit(benchmark::kMicrosecond);

// Keeps each figure's CPU time per iteration so the hover can be printed as a share of a frame.

// Each hover figure as a share of a frame.
void PrintShares(const orv::bench::TimesReporter& reporter) {
  for (const char* frame : {"ViewFrame/Copy", "ViewFrame/Compose"}) {
    const auto frameTime = reporter.Time(frame);
    if (!frameTime || *frameTime <= 0) continue;
    for (const char* hover :
         {"FindLinkAt/Miss", "FindLinkAt/LastHit", "FindLinkAt/Miss10000", "Hover/1000", "Hover/10000"}) {
      const auto hoverTime = reporter.Time(hover);
      if (!hoverTime) continue;
      std::printf("%-20s %8.1f us = %5.1f %% of %s (%.1f us)\n", hover, *hoverTime,
                  100.0 * *hoverTime / *frameTime, frame, *frameTime);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  return orv::bench::RunThenPrint(argc, argv, PrintShares);
}
