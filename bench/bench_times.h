#pragma once
// Google Benchmark's console output, with each benchmark's time kept under its full name (arguments
// included), so that a benchmark program can print its figures beside their baselines once all have
// run. Where a benchmark runs more than once (repetitions), its shortest time is kept.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orv::bench {

// Processor time of this thread, in milliseconds: on a shared machine the clock also counts the time
// the thread waits for a processor.
inline double CpuMs() {
  timespec t;
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

class TimesReporter : public benchmark::ConsoleReporter {
 public:
  enum class Measure { Cpu, Real };
  explicit TimesReporter(Measure measure = Measure::Cpu, OutputOptions options = OO_Defaults)
      : ConsoleReporter(options), measure_(measure) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      const double time = measure_ == Measure::Cpu ? run.GetAdjustedCPUTime() : run.GetAdjustedRealTime();
      const auto [kept, first] = times_.emplace(run.benchmark_name(), time);
      if (!first) kept->second = std::min(kept->second, time);
    }
  }

  // The time of the benchmark of that full name, in its own unit; nothing when it did not run.
  std::optional<double> Time(const std::string& name) const {
    const auto it = times_.find(name);
    return it == times_.end() ? std::nullopt : std::optional(it->second);
  }

  const std::map<std::string, double>& Times() const { return times_; }

  // a's time over b's; NAN when either did not run or b's is not positive.
  double Ratio(const std::string& a, const std::string& b) const {
    const auto ta = Time(a), tb = Time(b);
    return ta && tb && *tb > 0 ? *ta / *tb : NAN;
  }

 private:
  Measure measure_;
  std::map<std::string, double> times_;
};

// Runs the benchmarks chosen on the command line without a line for each, then prints what `print`
// makes of their processor times.
template <typename Print>
int RunThenPrint(int argc, char** argv, Print print) {
  benchmark::Initialize(&argc, argv);
  TimesReporter reporter(TimesReporter::Measure::Cpu, benchmark::ConsoleReporter::OO_None);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  print(reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace orv::bench
