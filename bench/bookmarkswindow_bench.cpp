// One keystroke in the bookmarks window's search box with 10,000 and 100,000 global bookmarks, as the
// user waits for it: the search, the list box refilled and the window repainted. Beside it, in the same
// run, the search alone (the index's Find for the same text), so the ratio is the list box's share.
// The limit per keystroke is 50 ms. The figures printed at the end are CPU times: these machines are
// shared, and the wall time of a busy one says more about its neighbours.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "bench_frames.h"
#include "bench_times.h"
#include "bookmarks/bookmarkrows.h"
#include "bookmarks/bookmarkswindow.h"
#include "storage/fields.h"
#include "view/dialogs.h"
#include "view/mainwindow.h"

namespace {

using orv::bench::NoDialogs;

// Global records with names and notes of a few words, some accented, sorted as the program keeps them.
orv::BookmarkLists ManyGlobals(int count) {
  static const char* kWords[] = {"Bank",     "Inn",    "Caf\xE9", "Dungeon", "Spawn", "Smith", "Healer",
                                 "Moongate", "Shrine", "Mine",    "Forge",   "North", "Deep",  "Market"};
  std::mt19937 random(7);
  std::uniform_int_distribution<int> word(0, std::size(kWords) - 1), x(0, orv::WorldWidth),
      y(0, orv::WorldHeight);
  orv::BookmarkLists lists;
  for (int i = 0; i < count; ++i) {
    const std::string name =
        std::string(kWords[word(random)]) + " " + kWords[word(random)] + " " + std::to_string(i);
    lists.GlobalBookmarks.push_back(
        orv::JoinFields({"id", "V", std::to_string(x(random)), std::to_string(y(random)), name,
                         std::string("\"near the ") + kWords[word(random)] + "\""}));
    lists.GlobalBookmarkFonts.push_back(orv::JoinFields({"Arial", "10", "0", "b"}));
  }
  orv::SortBookmarks(lists);
  return lists;
}

// The main window with count global bookmarks and its bookmarks window shown.
TForm1& Window(int count) {
  static QTemporaryDir dir;
  static NoDialogs dialogs;
  static std::map<int, TForm1*> made;
  TForm1*& form = made[count];
  if (!form) {
    form = new TForm1(orv::TForm1Config{dir.filePath("orvantis.ini").toStdString(), &dialogs, 1});
    form->Bookmarks().Replace(ManyGlobals(count));
    form->form3()->FillBookmarkLists();
    form->form3()->show();
    QApplication::processEvents();
  }
  return *form;
}

// Each keystroke: from the first text to the second. A rare text, a common one, and the box emptied
// (every bookmark listed again).
struct Keystroke {
  const char* from;
  const char* to;
};
const Keystroke kKeystrokes[] = {{"moon", "moong"}, {"", "e"}, {"e", ""}};

void BM_WindowKeystroke(benchmark::State& state) {
  TForm1& form = Window(static_cast<int>(state.range(0)));
  const Keystroke& k = kKeystrokes[state.range(1)];
  auto* box = form.form3()->findChild<QLineEdit*>("SearchBox1");
  auto* list = form.form3()->findChild<QListView*>("ListBox1");
  for (auto _ : state) {
    state.PauseTiming();
    box->setText(k.from);
    QApplication::processEvents();
    state.ResumeTiming();
    box->setText(k.to);
    QApplication::processEvents();
  }
  state.counters["listed"] = list->model()->rowCount();
}

void BM_SearchAlone(benchmark::State& state) {
  TForm1& form = Window(static_cast<int>(state.range(0)));
  const orv::BookmarkSearchIndex index(
      orv::SearchableBookmarks(form.GlobalBookmarks(), orv::GlobalBookmarkFields));
  const QString typed = QString::fromLatin1(kKeystrokes[state.range(1)].to);
  for (auto _ : state) benchmark::DoNotOptimize(index.Find(typed, orv::SearchOrder::ByName).size());
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int count : {10000, 100000}) {
    for (int k = 0; k < static_cast<int>(std::size(kKeystrokes)); ++k) b->Args({count, k});
  }
  b->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_WindowKeystroke)->Apply(Sizes);
BENCHMARK(BM_SearchAlone)->Apply(Sizes);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  orv::bench::TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (int count : {10000, 100000}) {
    for (int k = 0; k < static_cast<int>(std::size(kKeystrokes)); ++k) {
      const std::string args = "/" + std::to_string(count) + "/" + std::to_string(k);
      const auto window = reporter.Time("BM_WindowKeystroke" + args);
      const auto search = reporter.Time("BM_SearchAlone" + args);
      if (!window || !search) continue;
      std::printf(
          "'%s' -> '%s' with %d bookmarks: %.2f ms in the window beside %.2f ms for the search alone, "
          "ratio %.1f (limit 50 ms)\n",
          kKeystrokes[k].from, kKeystrokes[k].to, count, *window, *search,
          *search > 0 ? *window / *search : 0.0);
    }
  }
  benchmark::Shutdown();
  return 0;
}
