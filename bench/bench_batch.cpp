// A batch against single conversions: ROWS small recordings converted by one
// `kinex2 batch LIST` process, and the same rows by one `kinex2 convert`
// process each. A script converting many files pays the start-up of the
// program once per process; the batch pays it once. And the batch with its
// rows one after the other (--jobs 1) against two at once (--jobs 2).
//   bench_batch KINEX2 [ROWS]
// Makes ROWS recordings (default 200) in a temporary folder, runs both, checks
// that the outputs agree byte for byte, and prints both times and their
// ratio. Exits with 1 when a run fails or an output differs.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BenchProcess.h"
#include "c3dbuilder/C3dBuilder.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A small trial: 8 markers, 8 channels at 4 samples per frame, 300 frames.
void WriteRecording(const fs::path& p, int seed) {
  c3dbuilder::Spec s;
  s.frames = 300;
  s.points = 8;
  s.analogChannels = 8;
  s.analogRatio = 4;
  s.analogValue = [seed](int f, int sample, int c) {
    return static_cast<float>((f * 4 + sample) * 3 + c + seed);
  };
  std::vector<std::string> markers, channels;
  for (int i = 0; i < 8; ++i) {
    markers.push_back("M" + std::to_string(i));
    channels.push_back("A" + std::to_string(i));
  }
  c3dbuilder::AddStandardParameters(s, markers, channels);
  const std::vector<std::uint8_t> bytes = c3dbuilder::Build(s);
  c3dbuilder::WriteFile(p.string(), bytes);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_batch KINEX2 [ROWS]\n");
    return 2;
  }
  const std::string program = fs::absolute(argv[1]).string();
  const int rows = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
  char pattern[] = "/tmp/kx-bench-batch-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) return 1;
  const fs::path dir = pattern;
  // The same settings for both, never the user's.
  const std::string settings = (dir / "bench.ini").string();
  std::ofstream(settings) << "[GCDExport]\nPrecision=3\n";
  {
    std::ofstream list(dir / "list.txt");
    for (int i = 0; i < rows; ++i) {
      const std::string name = "trial" + std::to_string(i);
      WriteRecording(dir / (name + ".c3d"), i);
      list << name << ".c3d," << name << "-batch.dst,10,290\n";
    }
  }

  int status = 0;
  // One row after the other, then two at once; the best of three runs each.
  const auto runBatch = [&](const char* jobs) {
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
      const auto t = Clock::now();
      if (!bench::Spawn({program, "--settings", settings, "batch", (dir / "list.txt").string(),
                         "--overwrite", "--jobs", jobs}))
        status = 1;
      best = std::min(best, std::chrono::duration<double>(Clock::now() - t).count());
    }
    return best;
  };
  const double batch = runBatch("1");
  std::vector<std::string> oneByOne;
  for (int i = 0; i < rows; ++i) {
    oneByOne.push_back(Read((dir / ("trial" + std::to_string(i) + "-batch.dst")).string()));
  }
  const double batch2 = runBatch("2");
  for (int i = 0; i < rows; ++i) {
    if (Read((dir / ("trial" + std::to_string(i) + "-batch.dst")).string()) != oneByOne[static_cast<std::size_t>(i)]) {
      std::fprintf(stderr, "bench_batch: row %d differs between --jobs 1 and --jobs 2\n", i);
      status = 1;
      break;
    }
  }
  auto t0 = Clock::now();

  t0 = Clock::now();
  for (int i = 0; i < rows; ++i) {
    const std::string name = (dir / ("trial" + std::to_string(i))).string();
    if (!bench::Spawn({program, "--settings", settings, "convert", name + ".c3d",
                       name + "-single.dst", "--frames", "10:290", "--overwrite"}))
      status = 1;
  }
  const double single = std::chrono::duration<double>(Clock::now() - t0).count();

  for (int i = 0; i < rows; ++i) {
    const fs::path base = dir / ("trial" + std::to_string(i));
    const std::string a = Read(base.string() + "-batch.dst");
    if (a.empty() || a != Read(base.string() + "-single.dst")) {
      std::fprintf(stderr, "bench_batch: outputs of row %d differ\n", i);
      status = 1;
      break;
    }
  }
  std::printf(
      "%d recordings: one batch %.3f s, %d convert runs %.3f s; the batch takes %.2f of the "
      "time (%.1f x faster)\n",
      rows, batch, rows, single, batch / single, single / batch);
  std::printf("%d recordings: batch --jobs 1 %.3f s, --jobs 2 %.3f s: %.2f x faster [target 1.8 x]\n",
              rows, batch, batch2, batch / batch2);
  fs::remove_all(dir);
  return status;
}
