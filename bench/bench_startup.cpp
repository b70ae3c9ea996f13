// Start-up of the command line: the whole runs of `kinex2 info FILE` and of
// `kinex2 convert FILE OUT.dst --overwrite` on a small recording, most of which
// is the process starting (loading and linking the program and its
// libraries, reading the settings), not the work.
//   bench_startup KINEX2 FILE [RUNS]
// Runs each command RUNS times (default 200, after 10 to warm the caches) with
// its standard output sent to /dev/null and prints the median and mean
// milliseconds per run and the median's ratio to the 4 ms target. A script converting a
// thousand small files pays this a thousand times. Exits with 1 when a run
// fails, 0 otherwise (missing the target is reported, not an error).

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "BenchProcess.h"

namespace {

constexpr double kTargetMs = 4.0;
constexpr int kWarmUp = 10;

using Clock = std::chrono::steady_clock;

// Times `args` and prints one line named `what`; false when a run failed.
bool Measure(const char* what, const std::vector<std::string>& args, int runs) {
  for (int i = 0; i < kWarmUp; ++i) {
    if (!bench::Spawn(args)) {
      std::fprintf(stderr, "bench_startup: kinex2 %s failed\n", what);
      return false;
    }
  }
  std::vector<double> ms;
  ms.reserve(static_cast<std::size_t>(runs));
  for (int i = 0; i < runs; ++i) {
    const auto t0 = Clock::now();
    if (!bench::Spawn(args)) return false;
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
  }
  std::vector<double> sorted = ms;
  std::sort(sorted.begin(), sorted.end());
  const double median = sorted[sorted.size() / 2];
  const double mean = std::accumulate(ms.begin(), ms.end(), 0.0) / static_cast<double>(ms.size());
  std::printf(
      "kinex2 %-8s (%d runs): median %.2f ms, mean %.2f ms per run; %.2f x the %.0f ms target\n",
      what, runs, median, mean, median / kTargetMs, kTargetMs);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_startup KINEX2 FILE [RUNS]\n");
    return 2;
  }
  const std::string program = argv[1];
  const std::string file = argv[2];
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 200;
  const std::string out = (std::filesystem::temp_directory_path() /
                           ("bench_startup." + std::to_string(getpid()) + ".dst"))
                              .string();
  const bool ok = Measure("info", {program, "info", file}, runs) &&
                  Measure("convert", {program, "convert", file, out, "--overwrite"}, runs);
  std::filesystem::remove(out);
  return ok ? 0 : 1;
}
