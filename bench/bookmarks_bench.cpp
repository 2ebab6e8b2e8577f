// Bookmark names on a full-HD frame, and loading and saving many bookmarks, each beside a baseline
// measured in the same run:
//   a frame as the main window renders it (the picture of the whole map at the zoom, the names, the
//   cross and its glass in the middle) with 10,000 bookmarks spread over the world (about 100 in view
//   at 100 percent, a sixth of them at 25, all at 10) at several zooms, and with 100,000, beside a
//   frame with none (grey fill and a copy of a frame-sized picture into the frame), the two timed in
//   turn in each iteration, both while scrolling (each frame starts from the one before) and while
//   jumping between two places (each frame composed whole); the first frame after a change of the lists and
//   after a change of the zoom; loading and saving those bookmarks beside one plain read and write of the
//   same bytes.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>

#include "bookmarks/bookmarkdraw.h"
#include "bookmarks/bookmarkstore.h"
#include "storage/fields.h"
#include "storage/settings.h"
#include "view/locationcross.h"
#include "view/render.h"

// The glass pictures are resources of the window library.
static void InitResources() {
  Q_INIT_RESOURCE(orvantis);
}

namespace {

constexpr int kFrameWidth = 1920;
constexpr int kFrameHeight = 1080;
constexpr int kBookmarks = 10000;

// A map ten frames wide and ten high at 100 percent, so one frame shows about a hundredth of the
// bookmarks.
orv::MapCorners BigMap() {
  orv::MapCorners corners;
  corners.upperLeft = {0, 0};
  corners.upperRight = {kFrameWidth * 10, 0};
  corners.lowerLeft = {0, kFrameHeight * 10};
  corners.lowerRight = {kFrameWidth * 10, kFrameHeight * 10};
  return corners;
}

orv::BookmarkLists ManyBookmarks(int count = kBookmarks) {
  orv::BookmarkLists lists;
  std::mt19937 random(2024);
  std::uniform_int_distribution<int> x(0, orv::WorldWidth), y(0, orv::WorldHeight), size(8, 14);
  const char* faces[] = {"Arial", "DejaVu Sans", "Courier New"};
  for (int i = 0; i < count; ++i) {
    const std::string name = "Bookmark number " + std::to_string(i);
    const std::string font = orv::JoinFields({faces[i % 3], std::to_string(size(random)),
                                              std::to_string((i * 7919) & 0xFFFFFF), i % 2 ? "b" : "bi"});
    const std::string px = std::to_string(x(random)), py = std::to_string(y(random));
    if (i % 2) {
      lists.GlobalBookmarks.push_back(
          orv::JoinFields({orv::NewBookmarkId(random), "V", px, py, name, "\"first line\",second,\"a, b\""}));
      lists.GlobalBookmarkFonts.push_back(font);
    } else {
      lists.CurrentMapBookmarks.push_back(orv::JoinFields({"V", px, py, name, "notes"}));
      lists.CurrentMapBookmarkFonts.push_back(font);
    }
  }
  return lists;
}

struct Frame {
  QImage picture{kFrameWidth, kFrameHeight, QImage::Format_RGB32};
  QImage view{kFrameWidth, kFrameHeight, QImage::Format_RGB32};
  Frame() {
    QPainter p(&picture);
    QLinearGradient gradient(0, 0, kFrameWidth, kFrameHeight);
    gradient.setColorAt(0, Qt::darkGreen);
    gradient.setColorAt(1, Qt::yellow);
    p.fillRect(picture.rect(), gradient);
  }
  // The part of every frame that does not depend on bookmarks.
  void Compose() {
    view.fill(Qt::gray);
    QPainter p(&view);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, picture);
  }
};

// The picture of the whole map at 100 percent, made once for every benchmark.
const QImage& MapPicture() {
  static const QImage picture = [] {
    QImage image(kFrameWidth * 10, kFrameHeight * 10, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient gradient(0, 0, kFrameWidth, kFrameHeight);
    gradient.setSpread(QGradient::ReflectSpread);
    gradient.setColorAt(0, Qt::darkGreen);
    gradient.setColorAt(1, Qt::yellow);
    p.fillRect(image.rect(), gradient);
    return image;
  }();
  return picture;
}

// A frame as TForm1::RenderView makes it, through the same calls: the picture at the zoom with the
// names, the cross and its glass in the middle of the view, and the names left over them.
struct MapFrame {
  QImage view{kFrameWidth, kFrameHeight, QImage::Format_RGB32};
  QImage glass, mask;
  MapFrame() {
    InitResources();
    glass = QImage(QStringLiteral(":/glass.png")).convertToFormat(QImage::Format_RGB32);
    mask = QImage(QStringLiteral(":/glass-mask.png")).convertToFormat(QImage::Format_RGB32);
  }
  void Render(orv::BookmarkNames& names, const orv::BookmarkLists& lists, int32_t zoom, int64_t x,
              int64_t y) {
    const QImage& picture = MapPicture();
    const int32_t dw = std::min(view.width(), orv::ScaledLength(picture.width(), zoom));
    const int32_t dh = std::min(view.height(), orv::ScaledLength(picture.height(), zoom));
    const long long crossX = view.width() / 2, crossY = view.height() / 2;  // view position
    const QRect underNames = orv::LocationCrossArea(crossX, crossY, glass.size(), view.size());
    const auto scrollX = static_cast<int32_t>(x), scrollY = static_cast<int32_t>(y);
    const QRegion owed =
        names.Compose(view, picture, lists, BigMap(), zoom, scrollX, scrollY, dw, dh, underNames);
    orv::DrawLocationCross(view, crossX, crossY, glass, mask);
    names.Draw(view, lists, BigMap(), zoom, scrollX, scrollY, owed);
    names.FrameShown(view);
  }
};

// Scroll positions near the middle of the map, moving a little each frame as when scrolling.
int ScrollStep(int64_t i) {
  return static_cast<int>(i % 64) * 3;
}
// Two places a view's width apart in turn, as when jumping: no frame can start from the one before.
int JumpStep(int64_t i) {
  return (i % 2 ? 1 : -1) * kFrameWidth / 2;
}

void BM_FrameWithoutBookmarks(benchmark::State& state) {
  Frame frame;
  orv::BookmarkNames names;
  const orv::BookmarkLists none;
  int64_t i = 0;
  for (auto _ : state) {
    frame.Compose();
    names.Draw(frame.view, none, BigMap(), 100, 8000 + ScrollStep(i), 4500 + ScrollStep(i));
    ++i;
    benchmark::DoNotOptimize(frame.view.constBits());
  }
}
BENCHMARK(BM_FrameWithoutBookmarks)->Unit(benchmark::kMillisecond);

// The zooms (percent) a frame benchmark runs at.
template <int... Zooms>
void AtZooms(benchmark::internal::Benchmark* b) {
  (b->Arg(Zooms), ...);
  b->Unit(benchmark::kMillisecond);
}

// Frames while scrolling about the middle of the map at a zoom (the argument, percent) with 10,000
// or 100,000 bookmarks: at 25 percent about a sixth of the 10,000 names are in view, at 400 a few.
// Each such frame starts from the one before; frames that jump between two places are composed whole.
void FrameWithBookmarks(benchmark::State& state, int count, int (*step)(int64_t) = ScrollStep) {
  Frame frame;
  MapFrame map;
  orv::BookmarkNames names;
  const orv::BookmarkLists lists = ManyBookmarks(count);
  const auto zoom = static_cast<int32_t>(state.range(0));
  const int64_t middleX = int64_t{kFrameWidth} * 5 * zoom / 100 - kFrameWidth / 2;
  const int64_t middleY = int64_t{kFrameHeight} * 5 * zoom / 100 - kFrameHeight / 2;
  // The names of the stretch scrolled over are drawn once before the timing: these are the frames
  // of steady scrolling. The first frame at a zoom is timed by BM_FrameAfterZoomChange100000.
  for (int64_t k : {0, 1, 63}) map.Render(names, lists, zoom, middleX + step(k), middleY + step(k));
  // Each iteration also times a frame without names, in turn before and after the frame with them,
  // so that the ratio "paired" compares the two under the same load of a shared machine.
  using Clock = std::chrono::steady_clock;
  Clock::duration with{}, without{};
  int64_t i = 0;
  for (auto _ : state) {
    const bool namesFirst = i % 2 == 0;
    const auto t0 = Clock::now();
    if (namesFirst)
      map.Render(names, lists, zoom, middleX + step(i), middleY + step(i));
    else
      frame.Compose();
    const auto t1 = Clock::now();
    if (namesFirst)
      frame.Compose();
    else
      map.Render(names, lists, zoom, middleX + step(i), middleY + step(i));
    const auto t2 = Clock::now();
    with += namesFirst ? t1 - t0 : t2 - t1;
    without += namesFirst ? t2 - t1 : t1 - t0;
    ++i;
    benchmark::DoNotOptimize(frame.view.constBits());
    benchmark::DoNotOptimize(map.view.constBits());
  }
  state.counters["with"] = std::chrono::duration<double>(with).count() * 1000 / i;
  state.counters["without"] = std::chrono::duration<double>(without).count() * 1000 / i;
  state.counters["paired"] = std::chrono::duration<double>(with).count() /
                             std::max(1e-12, std::chrono::duration<double>(without).count());
}
void BM_FrameWith10000Bookmarks(benchmark::State& state) {
  FrameWithBookmarks(state, kBookmarks);
}
BENCHMARK(BM_FrameWith10000Bookmarks)->Apply(AtZooms<10, 25, 33, 50, 100, 150, 200, 400>);
void BM_JumpFrameWith10000Bookmarks(benchmark::State& state) {
  FrameWithBookmarks(state, kBookmarks, JumpStep);
}
BENCHMARK(BM_JumpFrameWith10000Bookmarks)->Apply(AtZooms<25, 50, 100, 150>);
void BM_JumpFrameWith100000Bookmarks(benchmark::State& state) {
  FrameWithBookmarks(state, 10 * kBookmarks, JumpStep);
}
BENCHMARK(BM_JumpFrameWith100000Bookmarks)->Apply(AtZooms<25, 50, 100>);
void BM_FrameWith100000Bookmarks(benchmark::State& state) {
  FrameWithBookmarks(state, 10 * kBookmarks);
}
BENCHMARK(BM_FrameWith100000Bookmarks)->Apply(AtZooms<10, 25, 50, 100, 400>);

// The same bookmarks with the view beyond the map's lower right corner: only the per-frame checks.
void BM_FrameWith10000BookmarksNoneInView(benchmark::State& state) {
  Frame frame;
  orv::BookmarkNames names;
  const orv::BookmarkLists lists = ManyBookmarks(kBookmarks);
  int64_t i = 0;
  for (auto _ : state) {
    frame.Compose();
    names.Draw(frame.view, lists, BigMap(), 100, 30000 + ScrollStep(i), 30000 + ScrollStep(i));
    ++i;
    benchmark::DoNotOptimize(frame.view.constBits());
  }
}
BENCHMARK(BM_FrameWith10000BookmarksNoneInView)->Unit(benchmark::kMillisecond);

// What a change of the lists costs the next frame (a notes edit: the names are read again and found
// the same) and a zoom change (the names placed again, the tiles in view drawn and composed anew),
// 100,000 names, whole frames as the main window renders them.
void BM_FrameAfterListsChanged100000(benchmark::State& state) {
  MapFrame map;
  orv::BookmarkNames names;
  const orv::BookmarkLists lists = ManyBookmarks(10 * kBookmarks);
  map.Render(names, lists, 100, 8000, 4500);
  for (auto _ : state) {
    names.ListsChanged();
    map.Render(names, lists, 100, 8000, 4500);
  }
}
BENCHMARK(BM_FrameAfterListsChanged100000)->Unit(benchmark::kMillisecond);
void BM_FrameAfterZoomChange100000(benchmark::State& state) {
  MapFrame map;
  orv::BookmarkNames names;
  const orv::BookmarkLists lists = ManyBookmarks(10 * kBookmarks);
  map.Render(names, lists, 100, 8000, 4500);
  int64_t i = 1;
  for (auto _ : state) map.Render(names, lists, 100 + static_cast<int32_t>(i++ % 2), 8000, 4500);
}
BENCHMARK(BM_FrameAfterZoomChange100000)->Unit(benchmark::kMillisecond);

struct Files {
  QTemporaryDir dir;
  std::string map = dir.filePath("bench.dem").toStdString();
  std::string settings = dir.filePath("orvantis.ini").toStdString();
};

// Each save writes changed data: the saves alternate between two sets that differ in one name.
void BM_Save10000Bookmarks(benchmark::State& state) {
  Files files;
  orv::BookmarkLists lists[] = {ManyBookmarks(), ManyBookmarks()};
  lists[1].CurrentMapBookmarks[0] =
      orv::SetField(4, lists[1].CurrentMapBookmarks[0], orv::FieldSeparator, "x");
  int64_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(orv::SaveBookmarks(lists[i++ % 2], files.map, files.settings));
}
BENCHMARK(BM_Save10000Bookmarks)->Unit(benchmark::kMillisecond);

// A save of what the files already hold: nothing is written.
void BM_Save10000BookmarksUnchanged(benchmark::State& state) {
  Files files;
  const orv::BookmarkLists lists = ManyBookmarks();
  orv::SaveBookmarks(lists, files.map, files.settings);
  for (auto _ : state) benchmark::DoNotOptimize(orv::SaveBookmarks(lists, files.map, files.settings));
}
BENCHMARK(BM_Save10000BookmarksUnchanged)->Unit(benchmark::kMillisecond);

void BM_Load10000Bookmarks(benchmark::State& state) {
  Files files;
  orv::SaveBookmarks(ManyBookmarks(), files.map, files.settings);
  std::mt19937 random(1);
  for (auto _ : state) {
    // Every load reads and parses both files, as a fresh start does.
    orv::BookmarkLists lists;
    orv::LoadGlobalBookmarks(lists, files.settings, random);
    orv::LoadMapBookmarks(lists, files.map);
    benchmark::DoNotOptimize(lists.GlobalBookmarks.data());
  }
}
BENCHMARK(BM_Load10000Bookmarks)->Unit(benchmark::kMillisecond);

// One plain read and one plain write of the bytes of both files.
void BM_PlainReadWriteOfTheSameBytes(benchmark::State& state) {
  Files files;
  orv::SaveBookmarks(ManyBookmarks(), files.map, files.settings);
  const std::string copy = files.dir.filePath("copy").toStdString();
  for (auto _ : state) {
    for (const auto& f : {files.map, files.settings}) {
      std::ifstream in(f, std::ios::binary);
      std::stringstream bytes;
      bytes << in.rdbuf();
      std::ofstream out(copy, std::ios::binary | std::ios::trunc);
      out << bytes.str();
      out.flush();
      benchmark::DoNotOptimize(out.good());
    }
  }
}
BENCHMARK(BM_PlainReadWriteOfTheSameBytes)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration so that ratios can be printed after the run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      times[run.benchmark_name()] = run.GetAdjustedCPUTime();
      if (const auto paired = run.counters.find("paired"); paired != run.counters.end())
        pairedRatios[run.benchmark_name()] = paired->second;
    }
  }
  std::map<std::string, double> times;
  std::map<std::string, double> pairedRatios;  // frame with names / frame without, same iterations
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto ratio = [&](const std::string& what, const std::string& measured, const std::string& baseline) {
    const auto m = reporter.times.find(measured), b = reporter.times.find(baseline);
    if (m == reporter.times.end() || b == reporter.times.end() || b->second <= 0) return;
    std::cout << what << ": " << m->second << " ms beside " << b->second << " ms, ratio "
              << m->second / b->second << "\n";
  };
  for (const auto& [name, paired] : reporter.pairedRatios)
    std::cout << name << ": frame with names beside the frame without, timed in turn: ratio " << paired
              << "\n";
  ratio("frame with 10,000 bookmarks none in view", "BM_FrameWith10000BookmarksNoneInView",
        "BM_FrameWithoutBookmarks");
  ratio("frame after a change of 100,000 bookmarks", "BM_FrameAfterListsChanged100000",
        "BM_FrameWithoutBookmarks");
  ratio("frame after a zoom change, 100,000 bookmarks", "BM_FrameAfterZoomChange100000",
        "BM_FrameWithoutBookmarks");
  ratio("saving 10,000 bookmarks", "BM_Save10000Bookmarks", "BM_PlainReadWriteOfTheSameBytes");
  ratio("saving 10,000 unchanged bookmarks", "BM_Save10000BookmarksUnchanged",
        "BM_PlainReadWriteOfTheSameBytes");
  ratio("loading 10,000 bookmarks", "BM_Load10000Bookmarks", "BM_PlainReadWriteOfTheSameBytes");
  benchmark::Shutdown();
  return 0;
}
