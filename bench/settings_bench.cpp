// Saving and loading a map's bookmarks and links through ReadSetting/WriteSetting, beside writing and
// reading the same bytes with plain file calls in the same run.
//
// One iteration: save 10,000 bookmarks (keys "bookmarkN" and "bookmarkN font", about 120 bytes each)
// and 1,000 links ("maplinkN") into one map info file inside one write group; forget the cache so
// the load starts from the file as a fresh start would (read and parse it); load every record back
// until the first missing key. Then the same bytes are written with one fwrite (and, for the durable
// figure, fsync'd as the settings write is) and read with one fread.
//
// Counters: save_ms, load_ms; plain_ms (fwrite + fread), durable_ms (fwrite + fsync + fread);
// ratio = (save + load) / plain; ratio_durable = (save + load) / durable. The argument chooses how
// the load reads: 0 = every ReadSetting checks the file on disk, 1 = the load holds a write group,
// so the file is checked once.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "storage/fields.h"
#include "storage/settings.h"

namespace {

using Clock = std::chrono::steady_clock;

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
  std::vector<std::string> bookmarks, fonts, links;
};

Data MakeData() {
  Data d;
  for (int i = 1; i <= kBookmarks; ++i) {
    const std::string n = std::to_string(i);
    d.bookmarks.push_back(Record({"V", std::to_string(100 + i % 5000), std::to_string(200 + i % 4000),
                                  "Bookmark " + n + " by the old mill",
                                  "Notes for " + n + ": ask the ferryman,bring a lantern,north gate " +
                                      std::string(40 - n.size(), '.')}));
    d.fonts.push_back(Record({"Arial", "10", "0", "b", std::string(105, 'f')}));
  }
  for (int i = 1; i <= kLinks; ++i)
    d.links.push_back(Record({std::to_string(i), std::to_string(i * 2), std::to_string(i + 40),
                              std::to_string(i * 2 + 30), "dungeon" + std::to_string(i) + ".dem",
                              "Entrance to dungeon " + std::to_string(i) + std::string(70, ' ')}));
  return d;
}

void Save(const Data& d, const std::string& file) {
  orv::SettingsWriteGroup group(file);
  orv::WriteSetting("General", "Version", file, "v2.2");
  orv::WriteSetting("Map Bookmarks", "", file, "");
  for (int i = 0; i < kBookmarks; ++i) {
    const std::string key = "bookmark" + std::to_string(i + 1);
    orv::WriteSetting("Map Bookmarks", key, file, d.bookmarks[i]);
    orv::WriteSetting("Map Bookmarks", key + " font", file, d.fonts[i]);
  }
  orv::WriteSetting("Map Links", "", file, "");
  for (int i = 0; i < kLinks; ++i)
    orv::WriteSetting("Map Links", "maplink" + std::to_string(i + 1), file, d.links[i]);
  if (!group.Close()) std::abort();
}

std::size_t Load(const std::string& file) {
  Data d;
  for (int i = 1;; ++i) {
    const std::string key = "bookmark" + std::to_string(i);
    std::string record = orv::ReadSetting("Map Bookmarks", key, file);
    if (record.empty()) break;
    d.bookmarks.push_back(std::move(record));
    d.fonts.push_back(orv::ReadSetting("Map Bookmarks", key + " font", file));
  }
  for (int i = 1;; ++i) {
    std::string record = orv::ReadSetting("Map Links", "maplink" + std::to_string(i), file);
    if (record.empty()) break;
    d.links.push_back(std::move(record));
  }
  return d.bookmarks.size() + d.links.size();
}

std::string Slurp(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  std::string bytes(std::filesystem::file_size(path), '\0');
  if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
  std::fclose(f);
  return bytes;
}

void PlainWrite(const std::string& path, const std::string& bytes, bool durable) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
  std::fflush(f);
  if (durable) ::fsync(fileno(f));
  std::fclose(f);
}

void BM_SaveAndLoadBookmarks(benchmark::State& state) {
  const bool loadInGroup = state.range(0) == 1;
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("orvantis-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "map.dem").string();
  const std::string plain = (dir / "plain.bin").string();
  orv::WriteSetting("Map Dimensions", "UpperLeftX", file, "10");
  const Data data = MakeData();

  double save = 0, load = 0, plainTime = 0, durableTime = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    Save(data, file);
    const auto t1 = Clock::now();
    orv::DropSettingsCache();
    std::size_t loaded;
    if (loadInGroup) {
      orv::SettingsWriteGroup group(file);
      loaded = Load(file);
    } else {
      loaded = Load(file);
    }
    const auto t2 = Clock::now();
    if (loaded != kBookmarks + kLinks) std::abort();
    state.SetIterationTime(std::chrono::duration<double>(t2 - t0).count());

    const std::string bytes = Slurp(file);
    const auto p0 = Clock::now();
    PlainWrite(plain, bytes, false);
    benchmark::DoNotOptimize(Slurp(plain));
    const auto p1 = Clock::now();
    PlainWrite(plain, bytes, true);
    benchmark::DoNotOptimize(Slurp(plain));
    const auto p2 = Clock::now();

    save += Ms(t0, t1);
    load += Ms(t1, t2);
    plainTime += Ms(p0, p1);
    durableTime += Ms(p1, p2);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["save_ms"] = save / n;
  state.counters["load_ms"] = load / n;
  state.counters["plain_ms"] = plainTime / n;
  state.counters["durable_ms"] = durableTime / n;
  state.counters["ratio"] = (save + load) / plainTime;
  state.counters["ratio_durable"] = (save + load) / durableTime;
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SaveAndLoadBookmarks)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
