// Indexing and querying an atlas of 1,000 maps, beside a plain walk of the same folders.
//
// Makes 1,000 maps in 20 folders of a temporary directory: each a map info file with corners of a
// map of some part of the world (scales from the whole world to a small inset) and a dozen bookmark
// records, and a 640 x 480 JPEG picture. Then times:
//   Index             a new atlas reading every map (the parsed-file cache forgotten first), as at
//                     the first start; aim: at most 2 s
//   RefreshUnchanged  a refresh of an indexed atlas when nothing changed, as on every later use
//   Query             the maps showing one world point (1,000 different points, figure per query);
//                     aim: at most 10 ms
//   RefreshOddFolder  a refresh when nothing changed of one folder holding 1,000 maps whose pictures
//                     end in ".Jpg" and 2,000 other ".dem" files that are no map info files (elevation
//                     models share the extension): the pictures are found in the folder's listing
//                     rather than by listing the folder again for each map
// Each prints walk_ms, a plain recursive walk of the same folders that looks at the size of every
// file, and ratio = figure / walk.
#include <benchmark/benchmark.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/atlas.h"
#include "storage/fields.h"
#include "storage/settings.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kMaps = 1000;
constexpr int kFolders = 20;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

std::string TexturedJpeg(int width, int height) {
  std::vector<unsigned char> px(std::size_t(width) * height * 3);
  for (std::size_t i = 0; i < px.size(); ++i) px[i] = static_cast<unsigned char>((i * 37 + i / 7) % 251);
  tjhandle handle = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  if (tjCompress2(handle, px.data(), width, width * 3, height, TJPF_RGB, &out, &size, TJSAMP_420, 85, 0) != 0)
    std::abort();
  std::string bytes(reinterpret_cast<const char*>(out), size);
  tjFree(out);
  tjDestroy(handle);
  return bytes;
}

struct Maps {
  fs::path root;
  // maps in folders, their pictures ending in pictureExtension, and otherFiles ".dem" files beside
  // them that are no map info files.
  Maps(const std::string& name, int folders, const std::string& pictureExtension, int otherFiles) {
    root = fs::temp_directory_path() / ("orvantis-atlas-bench-" + name + std::to_string(::getpid()));
    const std::string picture = TexturedJpeg(640, 480);
    std::mt19937 random(7);
    for (int i = 0; i < otherFiles; ++i) {
      fs::create_directories(root / "region0");
      std::ofstream((root / "region0" / ("elevation" + std::to_string(i) + ".dem")).string(),
                    std::ios::binary)
          << "DEM elevation model " << i << "\n";
    }
    for (int i = 0; i < kMaps; ++i) {
      const fs::path folder = root / ("region" + std::to_string(i % folders));
      fs::create_directories(folder);
      const std::string stem = (folder / ("map" + std::to_string(i))).string();
      // A picture of 640 x 480 pixels showing a part of the world of width 640 / scale from a
      // random origin: the corners are where the world's corners fall on it.
      const double scale = 0.125 * (1 + random() % 64);
      const double x0 = random() % 5120, y0 = random() % 4096;
      std::string dem = "[Map Dimensions]\n";
      const std::pair<const char*, std::pair<double, double>> corners[] = {{"UpperLeft", {0, 0}},
                                                                           {"UpperRight", {5120, 0}},
                                                                           {"LowerLeft", {0, 4096}},
                                                                           {"LowerRight", {5120, 4096}}};
      for (const auto& [name, world] : corners) {
        dem += std::string(name) + "_X=" + std::to_string(std::lround((world.first - x0) * scale)) + "\n";
        dem += std::string(name) + "_Y=" + std::to_string(std::lround((world.second - y0) * scale)) + "\n";
      }
      dem += "[General]\nVersion=v2.2\n[Map Bookmarks]\n";
      for (int b = 1; b <= 12; ++b) {
        const std::string s(1, orv::FieldSeparator);
        dem += "bookmark" + std::to_string(b) + "=V" + s + std::to_string(b * 300) + s +
               std::to_string(b * 250) + s + "Bookmark " + std::to_string(b) + s + "A note about the place\n";
        dem += "bookmark" + std::to_string(b) + "font=Arial" + s + "10" + s + "0" + s + "b\n";
      }
      std::ofstream(stem + ".dem", std::ios::binary) << dem;
      std::ofstream(stem + pictureExtension, std::ios::binary) << picture;
    }
  }
  ~Maps() { fs::remove_all(root); }
};

Maps& TheMaps() {
  static Maps maps("", kFolders, ".JPG", 0);
  return maps;
}

// The baseline: every file under the root visited and its size looked at.
double PlainWalkMs(const fs::path& root) {
  const auto t0 = Clock::now();
  std::uintmax_t bytes = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) bytes += entry.file_size();
  benchmark::DoNotOptimize(bytes);
  return Ms(Clock::now() - t0);
}

void Report(benchmark::State& state, const char* name, double totalMs, double walkMs) {
  const double n = static_cast<double>(state.iterations());
  state.counters[name] = totalMs / n;
  state.counters["walk_ms"] = walkMs / n;
  state.counters["ratio"] = totalMs / walkMs;
}

void BM_Index(benchmark::State& state) {
  const Maps& maps = TheMaps();
  double index = 0, walk = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    orv::Atlas atlas({maps.root.string()});
    atlas.Refresh();
    const auto t1 = Clock::now();
    if (atlas.maps().size() != kMaps) std::abort();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    index += Ms(t1 - t0);
    walk += PlainWalkMs(maps.root);
  }
  Report(state, "index_ms", index, walk);
}
BENCHMARK(BM_Index)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void RefreshUnchanged(benchmark::State& state, const Maps& maps) {
  orv::Atlas atlas({maps.root.string()});
  atlas.Refresh();
  double refresh = 0, walk = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    atlas.Refresh();
    const auto t1 = Clock::now();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    refresh += Ms(t1 - t0);
    walk += PlainWalkMs(maps.root);
  }
  if (atlas.maps().size() != kMaps) std::abort();
  Report(state, "refresh_ms", refresh, walk);
}

void BM_RefreshUnchanged(benchmark::State& state) {
  RefreshUnchanged(state, TheMaps());
}
BENCHMARK(BM_RefreshUnchanged)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_RefreshOddFolder(benchmark::State& state) {
  const Maps maps("odd", 1, ".Jpg", 2 * kMaps);
  RefreshUnchanged(state, maps);
}
BENCHMARK(BM_RefreshOddFolder)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Query(benchmark::State& state) {
  const Maps& maps = TheMaps();
  orv::Atlas atlas({maps.root.string()});
  atlas.Refresh();
  std::mt19937 random(11);
  std::vector<orv::Point> points;
  for (int i = 0; i < 1000; ++i)
    points.push_back({static_cast<int32_t>(random() % 5121), static_cast<int32_t>(random() % 4097)});
  double query = 0, walk = 0;
  std::size_t found = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    for (const orv::Point p : points) found += atlas.MapsShowing(p).size();
    const auto t1 = Clock::now();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count() / points.size());
    query += Ms(t1 - t0) / points.size();
    walk += PlainWalkMs(maps.root);
  }
  benchmark::DoNotOptimize(found);
  Report(state, "query_ms", query, walk);
  state.counters["maps_per_query"] = static_cast<double>(found) / points.size() / state.iterations();
}
BENCHMARK(BM_Query)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
