// Importing 10,000 bookmarks from a CSV and a JSON file (checked against 10,000 bookmarks there
// already), each beside a plain read of the same file's bytes measured in the same run; exporting
// them beside the same plain read.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <iostream>
#include <map>

#include "bench_times.h"
#include "bookmarks/bookmarkexchange.h"

namespace {

constexpr int kRows = 10000;

std::vector<orv::ExchangeRow> ManyRows(const std::string& prefix) {
  std::vector<orv::ExchangeRow> rows;
  for (int i = 0; i < kRows; ++i) {
    orv::ExchangeRow r;
    r.scope = i % 2 ? orv::BookmarkScope::Map : orv::BookmarkScope::Global;
    r.map = r.scope == orv::BookmarkScope::Map ? "britain.dem" : "";
    r.name = prefix + " Caf\xE9 number " + std::to_string(i);
    r.world = {i % orv::WorldWidth, i % orv::WorldHeight};
    r.notes = {"open late, \"always\"", "second line"};
    r.face = "Arial";
    r.size = 10 + i % 5;
    r.colour = i * 97 % 0x1000000;
    r.style = "b";
    rows.push_back(std::move(r));
  }
  return rows;
}

struct Files {
  QTemporaryDir dir;
  QString csv = dir.filePath("bookmarks.csv"), json = dir.filePath("bookmarks.json");
  std::vector<orv::ExchangeRow> rows = ManyRows("Imported");
  orv::ImportTarget target;
  Files() {
    orv::ExportBookmarkFile(csv, rows);
    orv::ExportBookmarkFile(json, rows);
    target.currentMap = "britain.dem";
    target.existing = ManyRows("Present");
    target.newId = [] { return std::string("AaBb0CcD1d"); };
  }
};

Files& TheFiles() {
  static Files files;
  return files;
}

void Import(benchmark::State& state, const QString& path) {
  std::size_t imported = 0;
  for (auto _ : state) {
    imported = orv::ImportBookmarkFile(path, TheFiles().target).rows.size();
    benchmark::DoNotOptimize(imported);
  }
  if (imported != kRows) state.SkipWithError("not every row was imported");
}

void PlainRead(benchmark::State& state, const QString& path) {
  for (auto _ : state) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    benchmark::DoNotOptimize(file.readAll().size());
  }
}

void BM_ImportCsv(benchmark::State& state) {
  Import(state, TheFiles().csv);
}
void BM_PlainReadCsv(benchmark::State& state) {
  PlainRead(state, TheFiles().csv);
}
void BM_ImportJson(benchmark::State& state) {
  Import(state, TheFiles().json);
}
void BM_PlainReadJson(benchmark::State& state) {
  PlainRead(state, TheFiles().json);
}
void BM_ExportCsv(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(orv::ExportCsv(TheFiles().rows).size());
}
void BM_ExportJson(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(orv::ExportJson(TheFiles().rows).size());
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainReadCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportJson)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainReadJson)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportJson)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  orv::bench::TimesReporter reporter(orv::bench::TimesReporter::Measure::Real);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto ratio = [&](const char* what, const char* measured, const char* baseline) {
    const auto m = reporter.Time(measured), b = reporter.Time(baseline);
    if (!m || !b || *b <= 0) return;
    std::cout << what << ": " << *m << " ms beside a plain read's " << *b << " ms, ratio " << *m / *b << "\n";
  };
  ratio("importing 10,000 bookmarks from CSV (limit 1000 ms)", "BM_ImportCsv", "BM_PlainReadCsv");
  ratio("importing 10,000 bookmarks from JSON (limit 1000 ms)", "BM_ImportJson", "BM_PlainReadJson");
  ratio("exporting 10,000 bookmarks to CSV", "BM_ExportCsv", "BM_PlainReadCsv");
  ratio("exporting 10,000 bookmarks to JSON", "BM_ExportJson", "BM_PlainReadJson");
  benchmark::Shutdown();
  return 0;
}
