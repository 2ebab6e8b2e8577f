// One keystroke in the bookmark search box with 10,000 and 100,000 bookmarks, beside a baseline
// measured in the same run: one plain memmem pass for the same typed text over the same name and
// notes bytes, unfolded and without ordering (for the emptied box, one memchr pass over them). Building the
// index (done once per change of the lists, not per keystroke) is measured too.
#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>
#include <map>
#include <random>

#include "bench_times.h"
#include "bookmarks/bookmarksearch.h"
#include "bookmarks/bookmarkstore.h"

namespace {

using orv::SearchOrder;

// Names and notes like players write them: a few words from a small vocabulary, some accented.
std::vector<orv::SearchableBookmark> ManyBookmarks(int count) {
  static const char* kWords[] = {"Bank",
                                 "Inn",
                                 "Caf\xE9",
                                 "Stra\xDF"
                                 "e",
                                 "Dungeon",
                                 "Spawn",
                                 "Smith",
                                 "Healer",
                                 "Moongate",
                                 "Shrine",
                                 "Mine",
                                 "Forge",
                                 "North",
                                 "South",
                                 "Deep",
                                 "Old",
                                 "\xC6ther",
                                 "Market"};
  std::mt19937 random(7);
  std::uniform_int_distribution<int> word(0, std::size(kWords) - 1), x(0, orv::WorldWidth),
      y(0, orv::WorldHeight), lines(0, 2);
  std::vector<orv::SearchableBookmark> bookmarks;
  bookmarks.reserve(count);
  for (int i = 0; i < count; ++i) {
    std::string name =
        std::string(kWords[word(random)]) + " " + kWords[word(random)] + " " + std::to_string(i);
    std::vector<std::string> notes;
    for (int l = lines(random); l > 0; --l) notes.push_back(std::string("near the ") + kWords[word(random)]);
    bookmarks.push_back({std::move(name), orv::NotesToCommaText(notes), {x(random), y(random)}});
  }
  return bookmarks;
}

const std::vector<orv::SearchableBookmark>& Bookmarks(int count) {
  static std::map<int, std::vector<orv::SearchableBookmark>> made;
  auto& b = made[count];
  if (b.empty()) b = ManyBookmarks(count);
  return b;
}

const orv::BookmarkSearchIndex& Index(int count) {
  static std::map<int, orv::BookmarkSearchIndex> made;
  auto it = made.find(count);
  if (it == made.end()) it = made.emplace(count, orv::BookmarkSearchIndex(Bookmarks(count))).first;
  return it->second;
}

struct Query {
  const char* typed;
  SearchOrder order;
};
// A rare text, a common one, and the worst case: the box emptied, every bookmark by distance.
const Query kQueries[] = {
    {"moong", SearchOrder::ByName}, {"e", SearchOrder::ByName}, {"", SearchOrder::ByDistance}};

void BM_Keystroke(benchmark::State& state) {
  const auto& index = Index(static_cast<int>(state.range(0)));
  const Query& q = kQueries[state.range(1)];
  const QString typed = QString::fromLatin1(q.typed);
  std::size_t found = 0;
  for (auto _ : state) {
    found = index.Find(typed, q.order, {2560, 2048}).size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["found"] = static_cast<double>(found);
}

// The same bytes as the index searches, without folding: one memmem pass, counting hits.
void BM_PlainScan(benchmark::State& state) {
  const auto& bookmarks = Bookmarks(static_cast<int>(state.range(0)));
  std::string bytes;
  for (const auto& b : bookmarks) bytes += b.name + '\0' + b.notes + '\0';
  const std::string typed = kQueries[state.range(1)].typed;
  for (auto _ : state) {
    std::size_t hits = 0;
    // Empty text: one memchr pass for a byte that no bookmark holds.
    if (typed.empty()) {
      hits = memchr(bytes.data(), '\x01', bytes.size()) != nullptr;
    } else {
      for (const char* at = bytes.data();
           (at = static_cast<const char*>(
                memmem(at, bytes.data() + bytes.size() - at, typed.data(), typed.size())));
           ++at) {
        ++hits;
      }
    }
    benchmark::DoNotOptimize(hits);
  }
}

void BM_BuildIndex(benchmark::State& state) {
  const auto& bookmarks = Bookmarks(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(orv::BookmarkSearchIndex(bookmarks).size());
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int count : {10000, 100000}) {
    for (int q = 0; q < static_cast<int>(std::size(kQueries)); ++q) b->Args({count, q});
  }
  b->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_Keystroke)->Apply(Sizes);
BENCHMARK(BM_PlainScan)->Apply(Sizes);
BENCHMARK(BM_BuildIndex)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The lists as the find box hands them over: the current map's and the global list, each in name
// order as the store keeps them, one after the other.
void BM_BuildIndexOfTwoSortedLists(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const orv::BookmarkSearchIndex unsorted(Bookmarks(count));
  std::vector<orv::SearchableBookmark> lists;
  for (int half = 0; half < 2; ++half) {
    for (std::size_t i : unsorted.Find("", SearchOrder::ByName)) {
      if (static_cast<int>(i) % 2 == half) lists.push_back(Bookmarks(count)[i]);
    }
  }
  for (auto _ : state) benchmark::DoNotOptimize(orv::BookmarkSearchIndex(lists).size());
}
BENCHMARK(BM_BuildIndexOfTwoSortedLists)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  orv::bench::TimesReporter reporter(orv::bench::TimesReporter::Measure::Real);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (int count : {10000, 100000}) {
    for (int q = 0; q < static_cast<int>(std::size(kQueries)); ++q) {
      const std::string args = "/" + std::to_string(count) + "/" + std::to_string(q);
      const auto m = reporter.Time("BM_Keystroke" + args), b = reporter.Time("BM_PlainScan" + args);
      if (!m || !b) continue;
      std::cout << "keystroke '" << kQueries[q].typed << "' "
                << (kQueries[q].order == SearchOrder::ByName ? "by name" : "by distance") << " with " << count
                << " bookmarks: " << *m << " ms beside a plain scan's " << *b << " ms, ratio "
                << (*b > 0 ? *m / *b : 0) << " (limit 50 ms)\n";
    }
  }
  benchmark::Shutdown();
  return 0;
}
