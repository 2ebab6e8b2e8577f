// A real save and load of a map's bookmarks and links, beside writing and reading the same bytes
// with plain file calls in the same run.
//
// One iteration: save 10,000 bookmarks (half of them global, so both the map info file and the
// settings file are written) and 1,000 links with the program's own save of everything a map holds
// (as on leaving a map and at shutdown: each file read and written once), then load them
// back as a map load and a start do (each file read once as a document, the lists then put in name
// order, which for lists saved in that order is one pass of comparisons). Every timed save writes
// changed data: the iterations alternate between two sets of records that differ in one bookmark
// and one link, so the files are really replaced (temporary file, fsync, rename).
// Then the same bytes are written and read with plain calls: once without fsync (plain), once
// written to a temporary file, fsync'd and renamed (durable). Last, the file work alone that a save
// and a load do, with no document or record handled: each file read (the save reads it before it
// changes it), replaced by the program's own safe replacement, and read again (the load).
//
// Freed memory is kept for reuse as the program keeps it.
//
// Counters: save_ms, load_ms, unchanged_save_ms (a save of what the files already hold, which
// writes nothing); separate_save_ms (the bookmarks and the links saved one after the other, as the
// two delayed saves after a change do); plain_ms, durable_ms, file_work_ms; ratio = (save + load) /
// plain; ratio_durable = (save + load) / durable; file_work_ratio = file work / plain, the part of
// ratio that no handling of the lists can take away; cpu_ratio: processor time of save and load / that
// of the plain write and read.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench_times.h"
#include "bookmarks/bookmarkstore.h"
#include "core/freedmemory.h"
#include "maplinks/maplinkstore.h"
#include "storage/atomicfile.h"
#include "storage/fields.h"
#include "storage/inidocument.h"
#include "storage/inifile.h"

namespace {

using Clock = std::chrono::steady_clock;
using orv::bench::CpuMs;

double Ms(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

constexpr int kBookmarks = 10000;
constexpr int kLinks = 1000;

std::string Record(std::initializer_list<std::string> fields) {
  std::string out;
  for (const std::string& f : fields) {
    if (!out.empty()) out += orv::FieldSeparator;
    out += f;
  }
  return out;
}

struct Data {
  orv::BookmarkLists bookmarks;
  std::vector<std::string> links;
};

// variant changes the first bookmark's and the first link's text.
Data MakeData(int variant) {
  Data d;
  std::mt19937 random(7);
  for (int i = 1; i <= kBookmarks; ++i) {
    const std::string n = std::to_string(i) + (i == 1 && variant ? " (changed)" : "");
    const std::string x = std::to_string(100 + i % 5000), y = std::to_string(200 + i % 4000);
    const std::string notes = "\"Notes for " + n + "\",ask the ferryman,\"bring a lantern, north gate\"";
    const std::string font = Record({"Arial", "10", "0", "b"});
    if (i % 2) {
      d.bookmarks.GlobalBookmarks.push_back(
          Record({orv::NewBookmarkId(random), "V", x, y, "Bookmark " + n + " by the old mill", notes}));
      d.bookmarks.GlobalBookmarkFonts.push_back(font);
    } else {
      d.bookmarks.CurrentMapBookmarks.push_back(Record({"V", x, y, "Bookmark " + n + " by the mill", notes}));
      d.bookmarks.CurrentMapBookmarkFonts.push_back(font);
    }
  }
  for (int i = 1; i <= kLinks; ++i)
    d.links.push_back(Record({std::to_string(i), std::to_string(i * 2), std::to_string(i + 40),
                              std::to_string(i * 2 + 30), "dungeon" + std::to_string(i) + ".dem",
                              "Entrance to dungeon " + std::to_string(i) + (i == 1 && variant ? "!" : "")}));
  // The program holds its lists in name order (sorted at every load and kept so at every change).
  orv::SortBookmarks(d.bookmarks);
  orv::SortMapLinks(d.links);
  return d;
}

void Save(const Data& d, const std::string& map, const std::string& settings) {
  const auto links = [&](orv::IniDocument& doc) { orv::PutMapLinks(d.links, doc); };
  if (!orv::SaveBookmarks(d.bookmarks, map, settings, links)) std::abort();
}

void SaveSeparately(const Data& d, const std::string& map, const std::string& settings) {
  if (!orv::SaveBookmarks(d.bookmarks, map, settings) || !orv::SaveMapLinks(d.links, map)) std::abort();
}

std::size_t Load(const std::string& map, const std::string& settings) {
  Data d;
  std::mt19937 random(1);
  orv::LoadGlobalBookmarks(d.bookmarks, orv::LoadIniFile(settings).document, random);
  const orv::IniDocument mapDoc = orv::LoadIniFile(map).document;
  orv::LoadMapBookmarks(d.bookmarks, mapDoc);
  orv::LoadMapLinks(d.links, mapDoc);
  orv::SortBookmarks(d.bookmarks);
  orv::SortMapLinks(d.links);
  return d.bookmarks.GlobalBookmarks.size() + d.bookmarks.CurrentMapBookmarks.size() + d.links.size();
}

std::string Slurp(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  std::string bytes(std::filesystem::file_size(path), '\0');
  if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
  std::fclose(f);
  return bytes;
}

void PlainWrite(const std::string& path, const std::string& bytes, bool durable) {
  const std::string target = durable ? path + ".tmp" : path;
  FILE* f = std::fopen(target.c_str(), "wb");
  if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
  std::fflush(f);
  if (durable) ::fsync(fileno(f));
  std::fclose(f);
  if (durable) std::filesystem::rename(target, path);
}

void BM_SaveAndLoadBookmarksAndLinks(benchmark::State& state) {
  orv::ReuseFreedMemory();  // as the program does at start
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("orvantis-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string map = (dir / "map.dem").string();
  const std::string settings = (dir / "orvantis.ini").string();
  const std::string plainMap = (dir / "plain.dem").string();
  const std::string plainSettings = (dir / "plain.ini").string();
  {
    orv::IniFile info;
    info.document.Set("Map Dimensions", "UpperLeft_X", "10");
    orv::SaveIniFile(info, map);
  }
  const Data data[] = {MakeData(0), MakeData(1)};

  double save = 0, load = 0, unchanged = 0, separate = 0, plainTime = 0, durableTime = 0, fileWork = 0;
  // Processor time of the same phases, for a machine shared with other work, where the clock also
  // counts the time the process waits for a processor.
  double cpuSaveLoad = 0, cpuPlain = 0;
  int variant = 0;
  for (auto _ : state) {
    variant = 1 - variant;
    const double c0 = CpuMs();
    const auto t0 = Clock::now();
    Save(data[variant], map, settings);
    const auto t1 = Clock::now();
    if (Load(map, settings) != kBookmarks + kLinks) std::abort();
    const auto t2 = Clock::now();
    cpuSaveLoad += CpuMs() - c0;
    Save(data[variant], map, settings);
    const auto t3 = Clock::now();
    SaveSeparately(data[1 - variant], map, settings);
    const auto t4 = Clock::now();
    Save(data[variant], map, settings);  // back to what the next iteration changes
    state.SetIterationTime(std::chrono::duration<double>(t2 - t0).count());

    const std::string mapBytes = Slurp(map), settingsBytes = Slurp(settings);
    const double c1 = CpuMs();
    const auto p0 = Clock::now();
    PlainWrite(plainMap, mapBytes, false);
    PlainWrite(plainSettings, settingsBytes, false);
    benchmark::DoNotOptimize(Slurp(plainMap));
    benchmark::DoNotOptimize(Slurp(plainSettings));
    const auto p1 = Clock::now();
    cpuPlain += CpuMs() - c1;
    PlainWrite(plainMap, mapBytes, true);
    PlainWrite(plainSettings, settingsBytes, true);
    benchmark::DoNotOptimize(Slurp(plainMap));
    benchmark::DoNotOptimize(Slurp(plainSettings));
    const auto p2 = Clock::now();
    for (const auto& [path, bytes] :
         {std::pair{&plainMap, &mapBytes}, std::pair{&plainSettings, &settingsBytes}}) {
      benchmark::DoNotOptimize(Slurp(*path));
      if (!orv::ReplaceFileAtomically(*path, *bytes)) std::abort();
      benchmark::DoNotOptimize(Slurp(*path));
    }
    const auto p3 = Clock::now();

    save += Ms(t0, t1);
    load += Ms(t1, t2);
    unchanged += Ms(t2, t3);
    separate += Ms(t3, t4);
    plainTime += Ms(p0, p1);
    durableTime += Ms(p1, p2);
    fileWork += Ms(p2, p3);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["save_ms"] = save / n;
  state.counters["load_ms"] = load / n;
  state.counters["unchanged_save_ms"] = unchanged / n;
  state.counters["separate_save_ms"] = separate / n;
  state.counters["plain_ms"] = plainTime / n;
  state.counters["durable_ms"] = durableTime / n;
  state.counters["file_work_ms"] = fileWork / n;
  state.counters["file_work_ratio"] = fileWork / plainTime;
  state.counters["ratio"] = (save + load) / plainTime;
  state.counters["ratio_durable"] = (save + load) / durableTime;
  state.counters["cpu_ratio"] = cpuSaveLoad / cpuPlain;
  state.counters["file_MB"] =
      static_cast<double>(std::filesystem::file_size(map) + std::filesystem::file_size(settings)) / 1e6;
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SaveAndLoadBookmarksAndLinks)->UseManualTime()->Iterations(12)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
