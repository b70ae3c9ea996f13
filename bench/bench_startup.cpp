// Start-up of the command line: the whole run of `kinex2 info FILE` on a small
// recording, most of which is the process starting (loading and linking the
// program and its libraries), not the work.
//   bench_startup KINEX2 FILE [RUNS]
// Runs the command RUNS times (default 200, after 10 to warm the caches) with
// its output sent to /dev/null and prints the median and mean milliseconds per
// run and the median's ratio to the 4 ms target. A script converting a
// thousand small files pays this a thousand times. Exits with 1 when a run
// fails, 0 otherwise (missing the target is reported, not an error).

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <vector>

extern char** environ;

namespace {

constexpr double kTargetMs = 4.0;
constexpr int kWarmUp = 10;

using Clock = std::chrono::steady_clock;

// One run of `program info file`; false when it could not start or failed.
bool RunOnce(const char* program, const char* file) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  char info[] = "info";
  char* argv[] = {const_cast<char*>(program), info, const_cast<char*>(file), nullptr};
  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, program, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_startup KINEX2 FILE [RUNS]\n");
    return 2;
  }
  const char* program = argv[1];
  const char* file = argv[2];
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 200;
  for (int i = 0; i < kWarmUp; ++i) {
    if (!RunOnce(program, file)) {
      std::fprintf(stderr, "bench_startup: %s info %s failed\n", program, file);
      return 1;
    }
  }
  std::vector<double> ms;
  ms.reserve(static_cast<std::size_t>(runs));
  for (int i = 0; i < runs; ++i) {
    const auto t0 = Clock::now();
    if (!RunOnce(program, file)) return 1;
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
  }
  std::vector<double> sorted = ms;
  std::sort(sorted.begin(), sorted.end());
  const double median = sorted[sorted.size() / 2];
  const double mean = std::accumulate(ms.begin(), ms.end(), 0.0) / static_cast<double>(ms.size());
  std::printf(
      "kinex2 info (%d runs): median %.2f ms, mean %.2f ms per run; %.2f x the %.0f ms target\n",
      runs, median, mean, median / kTargetMs, kTargetMs);
  return 0;
}
