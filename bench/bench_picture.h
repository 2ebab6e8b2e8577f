#pragma once
// What the picture benchmarks share: a large textured test picture written as a JPEG, the process's
// memory figures, and a reporter that keeps the median and shortest time of each benchmark so that
// ratios can be printed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/jpegwrite.h"

namespace orv::bench {

// Smooth shapes with fine grain on top, so that the file is about as hard to decode as a real map.
// Quality 85, 4:2:0. False when it could not be made.
inline bool MakeTexturedJpeg(const std::string& path, int width, int height) {
  std::vector<unsigned char> px(std::size_t(width) * height * 4);
  uint32_t noise = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const int grain = int(noise >> 28) - 8;
      const double a = std::sin(x * 0.013) * std::cos(y * 0.017) + std::sin((x + y) * 0.0041);
      unsigned char* p = &px[(std::size_t(y) * width + x) * 4];
      p[0] = static_cast<unsigned char>(std::clamp(int(140 + 60 * a) + grain, 0, 255));
      p[1] = static_cast<unsigned char>(std::clamp(int(150 + 50 * std::sin(y * 0.006 + a)) + grain, 0, 255));
      p[2] = static_cast<unsigned char>(std::clamp(int(120 + 70 * std::cos(x * 0.004 - a)) + grain, 0, 255));
      p[3] = 0;
    }
  }
  return WriteJpegFile(path, px.data(), width, height, std::size_t(width) * 4,
                       {.quality = 85, .chroma = JpegChroma::Half});
}

// Keeps the console output, and the median and shortest time of each benchmark. On a shared machine
// the shortest time is the one least disturbed by other work.
class Collector : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Aggregate)
        times[r.aggregate_name][r.run_name.function_name] = r.GetAdjustedRealTime();
  }
  // a / b for the statistic ("median" or "min"); NaN when either is missing.
  double Ratio(const char* statistic, const char* a, const char* b) const {
    const auto found = times.find(statistic);
    if (found == times.end()) return NAN;
    const auto& m = found->second;
    return m.count(a) && m.count(b) && m.at(b) > 0 ? m.at(a) / m.at(b) : NAN;
  }
  std::map<std::string, std::map<std::string, double>> times;
};

// Repeats a benchmark as a timed single iteration, reporting the median and the shortest time.
// A size in KiB from this process's /proc status (key with its colon, e.g. "VmHWM:"); -1 when absent.
inline long StatusKiB(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
  return -1;
}

inline benchmark::internal::Benchmark* RepeatedOnce(benchmark::internal::Benchmark* b, int repetitions) {
  return b->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->Iterations(1)
      ->Repetitions(repetitions)
      ->ComputeStatistics("min",
                          [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
      ->ReportAggregatesOnly(true);
}

}  // namespace orv::bench
