// A batch against single conversions: ROWS small recordings converted by one
// `kinex2 batch LIST` process, and the same rows by one `kinex2 convert`
// process each. A script converting many files pays the start-up of the
// program once per process; the batch pays it once. Then the batch with its
// rows one after the other (--jobs 1) against two at once (--jobs 2), on
// those rows and on as many gait trials of a typical lab.
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

struct CTrial {
  int frames;
  int markers;
  int channels;
  int ratio;
};
// The small trial of the start-up comparison, and a gait trial of a typical
// lab (30 markers, 16 channels at 10 samples a frame, 3 s at 100 Hz).
constexpr CTrial kSmallTrial{300, 8, 8, 4};
constexpr CTrial kGaitTrial{300, 30, 16, 10};

void WriteRecording(const fs::path& p, int seed, const CTrial& t) {
  c3dbuilder::Spec s;
  s.frames = t.frames;
  s.points = t.markers;
  s.analogChannels = t.channels;
  s.analogRatio = t.ratio;
  s.analogValue = [seed, t](int f, int sample, int c) {
    return static_cast<float>((f * t.ratio + sample) * 3 + c + seed);
  };
  std::vector<std::string> markers, channels;
  for (int i = 0; i < t.markers; ++i) markers.push_back("M" + std::to_string(i));
  for (int i = 0; i < t.channels; ++i) channels.push_back("A" + std::to_string(i));
  c3dbuilder::AddStandardParameters(s, markers, channels);
  const std::vector<std::uint8_t> bytes = c3dbuilder::Build(s);
  c3dbuilder::WriteFile(p.string(), bytes);
}

// The batch of `list` with --jobs 1 and with --jobs 2, the best of five
// runs each; false when a run failed or the outputs of the two differ.
bool CompareJobs(const std::string& program, const std::string& settings, const fs::path& list,
                 const std::vector<fs::path>& outputs, double& one, double& two) {
  bool ok = true;
  const auto run = [&](const char* jobs) {
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
      // Every run writes new files, as a study converted once does, and the
      // previous run's files reach the disk first: replacing files, or
      // writing back someone else's, costs the file system more than the
      // conversions and would hide them.
      for (const fs::path& o : outputs) fs::remove(o);
      ::sync();
      const auto t = Clock::now();
      ok = bench::Spawn({program, "--settings", settings, "batch", list.string(), "--overwrite",
                         "--jobs", jobs}) &&
           ok;
      best = std::min(best, std::chrono::duration<double>(Clock::now() - t).count());
    }
    return best;
  };
  one = run("1");
  std::vector<std::string> written;
  for (const fs::path& o : outputs) written.push_back(Read(o));
  two = run("2");
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    if (written[i].empty() || Read(outputs[i]) != written[i]) {
      std::fprintf(stderr, "bench_batch: %s differs between --jobs 1 and --jobs 2\n",
                   outputs[i].string().c_str());
      return false;
    }
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_batch KINEX2 [ROWS]\n");
    return 2;
  }
  const std::string program = fs::absolute(argv[1]).string();
  const int rows = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
  std::string pattern = bench::ScratchFolder() + "/kx-bench-batch-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) return 1;
  const fs::path dir = pattern;
  // The same settings for both, never the user's.
  const std::string settings = (dir / "bench.ini").string();
  std::ofstream(settings) << "[GCDExport]\nPrecision=3\n";
  {
    std::ofstream list(dir / "list.txt");
    for (int i = 0; i < rows; ++i) {
      const std::string name = "trial" + std::to_string(i);
      WriteRecording(dir / (name + ".c3d"), i, kSmallTrial);
      list << name << ".c3d," << name << "-batch.dst,10,290\n";
    }
  }

  int status = 0;
  auto t0 = Clock::now();
  if (!bench::Spawn(
          {program, "--settings", settings, "batch", (dir / "list.txt").string(), "--overwrite"}))
    status = 1;
  const double batch = std::chrono::duration<double>(Clock::now() - t0).count();

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

  // Two rows at once against one, on the small trials and on gait trials.
  std::vector<fs::path> outputs;
  for (int i = 0; i < rows; ++i) outputs.push_back(dir / ("trial" + std::to_string(i) + "-batch.dst"));
  double one = 0;
  double two = 0;
  if (!CompareJobs(program, settings, dir / "list.txt", outputs, one, two)) status = 1;
  std::printf("%d small recordings: batch --jobs 1 %.3f s, --jobs 2 %.3f s: %.2f x faster\n", rows,
              one, two, one / two);
  {
    std::ofstream list(dir / "gait.txt");
    outputs.clear();
    for (int i = 0; i < rows; ++i) {
      const std::string name = "gait" + std::to_string(i);
      WriteRecording(dir / (name + ".c3d"), i, kGaitTrial);
      list << name << ".c3d," << name << ".dst\n";
      outputs.push_back(dir / (name + ".dst"));
    }
  }
  if (!CompareJobs(program, settings, dir / "gait.txt", outputs, one, two)) status = 1;
  std::printf("%d gait trials: batch --jobs 1 %.3f s, --jobs 2 %.3f s: %.2f x faster [target 1.8 x]\n",
              rows, one, two, one / two);
  fs::remove_all(dir);
  return status;
}
