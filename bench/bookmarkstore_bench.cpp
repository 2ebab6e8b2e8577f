// What keeping the parsed fields beside the records costs the bookmark store: loading 10,000 bookmarks
// (global and current-map, from documents already read) and ordering them by name, each through the
// store beside the same work on bare lists in the same run.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <cstdio>
#include <random>

#include "bench_times.h"
#include "bookmarks/bookmarkrecords.h"
#include "storage/fields.h"
#include "storage/inidocument.h"

namespace {

constexpr int kEach = 5000;  // global and current-map bookmarks each

// A settings document and a map document holding kEach bookmarks each, named in random order.
struct Documents {
  orv::IniDocument settings, map;
  Documents() {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(0, 4000);
    std::string s = "[General]\r\nVersion=v2.2\r\n[Map Bookmarks]\r\n";
    std::string m = s;
    for (int i = 1; i <= kEach; ++i) {
      const std::string n = std::to_string(i), name = "Place " + std::to_string(random() % 100000);
      const std::string x = std::to_string(coordinate(random)), y = std::to_string(coordinate(random));
      const std::string font = "bookmark" + n + "font=" + orv::JoinFields({"Arial", "10", "0", "b"}) + "\r\n";
      s += "bookmark" + n + "=" + orv::JoinFields({orv::NewBookmarkId(random), "V", x, y, name, "a,b"}) +
           "\r\n";
      s += font;
      m += "bookmark" + n + "=" + orv::JoinFields({"V", x, y, name, "\"note, one\""}) + "\r\n" + font;
    }
    settings = orv::IniDocument(s);
    map = orv::IniDocument(m);
  }
};

const Documents& Docs() {
  static const Documents docs;
  return docs;
}

void BM_LoadBareLists(benchmark::State& state) {
  std::mt19937 random(1);
  for (auto _ : state) {
    orv::BookmarkLists lists;
    orv::LoadGlobalBookmarks(lists, Docs().settings, random);
    orv::LoadMapBookmarks(lists, Docs().map);
    benchmark::DoNotOptimize(lists.GlobalBookmarks.data());
  }
}
BENCHMARK(BM_LoadBareLists)->Unit(benchmark::kMillisecond);

void BM_LoadStore(benchmark::State& state) {
  std::mt19937 random(1);
  for (auto _ : state) {
    orv::BookmarkStore store;
    store.LoadGlobal(Docs().settings, random);
    store.LoadMap(Docs().map);
    benchmark::DoNotOptimize(store.GlobalBookmarks().data());
  }
}
BENCHMARK(BM_LoadStore)->Unit(benchmark::kMillisecond);

// Each ordering starts from the lists as loaded, out of name order.
void BM_SortBareLists(benchmark::State& state) {
  std::mt19937 random(1);
  orv::BookmarkLists loaded;
  orv::LoadGlobalBookmarks(loaded, Docs().settings, random);
  orv::LoadMapBookmarks(loaded, Docs().map);
  for (auto _ : state) {
    state.PauseTiming();
    orv::BookmarkLists lists = loaded;
    state.ResumeTiming();
    orv::SortBookmarks(lists);
  }
}
BENCHMARK(BM_SortBareLists)->Unit(benchmark::kMillisecond);

void BM_SortStore(benchmark::State& state) {
  std::mt19937 random(1);
  orv::BookmarkStore loaded;
  loaded.LoadGlobal(Docs().settings, random);
  loaded.LoadMap(Docs().map);
  for (auto _ : state) {
    state.PauseTiming();
    orv::BookmarkStore store;
    store.Replace(loaded.Lists());
    state.ResumeTiming();
    store.Sort();
  }
}
BENCHMARK(BM_SortStore)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  orv::bench::TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("load of %d bookmarks: the store %.2f times the bare lists\n", 2 * kEach,
              reporter.Ratio("BM_LoadStore", "BM_LoadBareLists"));
  std::printf("ordering by name: the store %.2f times the bare lists\n",
              reporter.Ratio("BM_SortStore", "BM_SortBareLists"));
  benchmark::Shutdown();
  return 0;
}
