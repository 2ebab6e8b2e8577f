// Bookmark name labels: copying 10,000 kept labels into a 1920 x 1080 view, with and without their
// halo, beside a plain copy of pictures of the same names' letters alone (what a frame copies
// without halo and marker). Making the labels is measured too: it happens when names first reach
// the view or the zoom changes.
//
//   Labels/Letters   baseline: QPainter::drawImage of each name's letters on a transparent picture
//   Labels/Plain     DrawNameLabel of labels without halo (the marker only)
//   Labels/Halo      DrawNameLabel of labels with halo and marker
//   Make/Letters     baseline: drawing each name's letters onto a transparent picture
//   Make/Plain       MakeNameLabel without halo
//   Make/Halo        MakeNameLabel with halo
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench_times.h"
#include "bookmarks/namehalo.h"

namespace {

constexpr int kNames = 10000;

struct Placed {
  QString name;
  QColor color;
  QPoint point;  // view position
};

std::vector<Placed> Names() {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> x(0, 1850), y(0, 1060), length(4, 24), letter(0, 25), shade(0, 255);
  std::vector<Placed> names;
  for (int i = 0; i < kNames; ++i) {
    QString name;
    for (int n = length(random); n > 0; --n) name += QChar('a' + letter(random));
    names.push_back({name, QColor(shade(random), shade(random), shade(random)), {x(random), y(random)}});
  }
  return names;
}

QFont Font() {
  QFont font("Arial");
  font.setPixelSize(13);
  font.setBold(true);
  return font;
}

// kind 0: the letters alone, 1: letters and marker, 2: letters, halo and marker.
std::vector<orv::NameLabel> Labels(int kind) {
  std::vector<orv::NameLabel> labels;
  for (const Placed& p : Names())
    labels.push_back(orv::MakeNameLabel(p.name, Font(), p.color, {.halo = kind == 2, .marker = kind != 0}));
  return labels;
}

void Copy(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  const std::vector<Placed> names = Names();
  const std::vector<orv::NameLabel> labels = Labels(kind);
  QImage view(1920, 1080, QImage::Format_RGB32);
  view.fill(0xff336699u);
  for (auto _ : state) {
    QPainter painter(&view);
    for (int i = 0; i < kNames; ++i) {
      if (kind == 0)
        painter.drawImage(names[i].point + labels[i].offset, labels[i].picture);
      else
        orv::DrawNameLabel(painter, labels[i], names[i].point);
    }
    painter.end();
    benchmark::DoNotOptimize(view.constBits());
  }
}
BENCHMARK(Copy)->Name("Labels/Letters")->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(Copy)->Name("Labels/Plain")->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(Copy)->Name("Labels/Halo")->Arg(2)->Unit(benchmark::kMillisecond);

void Make(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  const std::vector<Placed> names = Names();
  for (auto _ : state)
    for (const Placed& p : names)
      benchmark::DoNotOptimize(
          orv::MakeNameLabel(p.name, Font(), p.color, {.halo = kind == 2, .marker = kind != 0}));
}
BENCHMARK(Make)->Name("Make/Letters")->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(Make)->Name("Make/Plain")->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(Make)->Name("Make/Halo")->Arg(2)->Unit(benchmark::kMillisecond);

// Each figure beside its baseline from the same run, and the ratio.
void PrintRatios(const orv::bench::TimesReporter& reporter) {
  const char* pairs[][2] = {{"Labels/Plain/1", "Labels/Letters/0"},
                            {"Labels/Halo/2", "Labels/Letters/0"},
                            {"Make/Plain/1", "Make/Letters/0"},
                            {"Make/Halo/2", "Make/Letters/0"}};
  for (const auto& [figure, baseline] : pairs) {
    const auto f = reporter.Time(figure), b = reporter.Time(baseline);
    if (!f || !b || *b <= 0) continue;
    std::printf("%-16s %8.2f ms = %5.2f x %s (%.2f ms)\n", figure, *f, *f / *b, baseline, *b);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  return orv::bench::RunThenPrint(argc, argv, PrintRatios);
}
