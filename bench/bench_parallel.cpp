// One large conversion on every core against one thread, in one run:
//   bench_parallel KINEX2 FLOAT_FILE
// Converts the float file to DST and to text with --threads 1 and
// --threads 2 (best of 5 runs each), checks the outputs agree byte for
// byte, and times `cat` of each output into a new file. Then the same
// conversions confined to one core (`taskset -c 0`, every core the program
// sees) against --threads 1 there: a machine without a second core must pay
// nothing for the threads. Every run writes a new file, in memory where the
// system has a folder there (/dev/shm), after the previous runs' files
// reached the disk. Prints the ratios.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BenchProcess.h"

namespace {

namespace fs = std::filesystem;

bool SameBytes(const fs::path& a, const fs::path& b) {
  std::ifstream fa(a, std::ios::binary);
  std::ifstream fb(b, std::ios::binary);
  return std::equal(std::istreambuf_iterator<char>(fa), std::istreambuf_iterator<char>(),
                    std::istreambuf_iterator<char>(fb), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_parallel KINEX2 FLOAT_FILE\n");
    return 2;
  }
  const std::string program = fs::absolute(argv[1]).string();
  const std::string input = argv[2];
  const fs::path dir = fs::path(bench::ScratchFolder()) / "kx-bench-parallel";
  fs::create_directories(dir);
  const std::string settings = (dir / "bench.ini").string();
  std::ofstream(settings) << "[GCDExport]\nPrecision=3\n";
  int status = 0;
  double peak = 0;

  // The best of 5 runs after one untimed (this machine's other work only
  // ever slows a run down); before each the output is removed and the
  // previous run's files written back, so that no run pays for another's
  // writing.
  const auto timed = [](const fs::path& out, const std::function<void()>& run) {
    std::vector<double> t;
    for (int i = 0; i < 6; ++i) {
      fs::remove(out);
      ::sync();
      const auto a = std::chrono::steady_clock::now();
      run();
      if (i > 0) {
        t.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - a).count());
      }
    }
    return *std::min_element(t.begin(), t.end());
  };
  const auto convert = [&](const std::vector<std::string>& prefix, const std::string& kind,
                           const std::string& threads, const fs::path& out) {
    std::vector<std::string> args = prefix;
    args.insert(args.end(), {program, "--settings", settings, "convert", input, out.string(),
                             "--to", kind, "--overwrite"});
    if (!threads.empty()) args.insert(args.end(), {"--threads", threads});
    return timed(out, [&] {
      bench::RunChild(args, peak);
      if (peak < 0) status = 1;
    });
  };

  for (const char* kind : {"dst", "text"}) {
    const fs::path one = dir / (std::string("one.") + kind);
    const fs::path two = dir / (std::string("two.") + kind);
    const double t1 = convert({}, kind, "1", one);
    const double t2 = convert({}, kind, "2", two);
    const double peak2 = peak;
    if (!SameBytes(one, two)) {
      std::fprintf(stderr, "bench_parallel: %s outputs of 1 and 2 threads differ\n", kind);
      status = 1;
    }
    const fs::path copy = dir / "copy";
    const double cat = timed(copy, [&] {
      double ignored = 0;
      bench::RunChild({"sh", "-c", "cat \"$0\" > \"$1\"", two.string(), copy.string()}, ignored);
    });
    const double c1 = convert({"taskset", "-c", "0"}, kind, "1", one);
    const double cAll = convert({"taskset", "-c", "0"}, kind, "", two);
    const auto mb = static_cast<double>(fs::file_size(two)) / 1e6;
    std::printf(
        "%s (%.0f MB out): 1 thread %.3f s, 2 threads %.3f s: %.2f x faster [target 1.6 x]; "
        "cat of the output %.3f s: %.2f x cat [target 4 x]; peak %.0f MB\n",
        kind, mb, t1, t2, t1 / t2, cat, t2 / cat, peak2);
    std::printf(
        "%s on one core: --threads 1 %.3f s, every core %.3f s: %.2f of the time [target 1.0]\n",
        kind, c1, cAll, cAll / c1);
  }
  fs::remove_all(dir);
  return status;
}
