// A large VAD recording written as C3D by a whole `kinex2 convert` process,
// against `cp` copying the C3D file it wrote.
//   bench_vad_c3d KINEX2_BINARY FILE.vad [RUNS]
// Prints the median convert time, the median time of `cp` of the result and
// their ratio (target: at most 3 x), and the convert's peak memory against
// the input's size (target: at most 1.15 x input + 20 MB).

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchProcess.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s KINEX2_BINARY FILE.vad [RUNS]\n", argv[0]);
    return 2;
  }
  const std::string kinex2 = argv[1];
  const std::filesystem::path input = std::filesystem::absolute(argv[2]);
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  // Beside the input: the copy is made on the same file system.
  const auto dir = input.parent_path() / ("kinex2-bench-c3d-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto settings = dir / "settings.ini";  // empty: every option at its default
  if (std::FILE* s = std::fopen(settings.c_str(), "w")) std::fclose(s);
  const auto c3d = dir / "out.c3d";
  const auto copy = dir / "copy.c3d";

  std::vector<double> convert;
  std::vector<double> cp;
  double peak = 0;
  for (int i = 0; i < runs && peak >= 0; ++i) {
    double p = 0;
    convert.push_back(bench::RunChild({kinex2, "convert", input.string(), c3d.string(),
                                       "--overwrite", "--settings", settings.string()},
                                      p));
    peak = p < 0 ? p : std::max(peak, p);
    std::filesystem::remove(copy);
    double ignored = 0;
    cp.push_back(bench::RunChild({"cp", c3d.string(), copy.string()}, ignored));
  }
  int status = 0;
  if (peak < 0) {
    std::fprintf(stderr, "bench_vad_c3d: kinex2 convert failed\n");
    status = 1;
  } else {
    const double inMb = static_cast<double>(std::filesystem::file_size(input)) / 1e6;
    const double outMb = static_cast<double>(std::filesystem::file_size(c3d)) / 1e6;
    const double tConvert = bench::Median(convert);
    const double tCp = bench::Median(cp);
    std::printf(
        "%s %.1f MB -> C3D %.1f MB: convert %.3f s, cp of the result %.3f s, %.2f x cp "
        "[target 3 x]; peak %.1f MB = %.3f x input, limit 1.15 x input + 20 MB = %.1f MB\n",
        input.filename().c_str(), inMb, outMb, tConvert, tCp, tConvert / tCp, peak, peak / inMb,
        1.15 * inMb + 20.0);
  }
  std::filesystem::remove_all(dir);
  return status;
}
