// Inputs whose cost must grow with their size only: a kinex2.ini of sparse
// numbered keys (--ini) and a MAC file whose header line holds millions of
// tokens. Each is made at 1, 3 and 10 MB and run as a whole process; the
// figures are seconds per MB, which should stay flat.
//   bench_linear KINEX2 SAMPLE.c3d WORKDIR

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchProcess.h"

namespace {

// Sparse keys 1, 51, 101, ...: each extends the scan to the next one.
void WriteSparseIni(const std::filesystem::path& p, std::size_t bytes) {
  std::ofstream out(p, std::ios::binary);
  out << "[vdolabels]\n";
  std::size_t written = 12;
  for (long long n = 1; written < bytes; n += 50) {
    const std::string line =
        "label" + std::to_string(n) + "=M" + std::to_string(n) + ",D" + std::to_string(n) + "\n";
    out << line;
    written += line.size();
  }
}

// A header line of `bytes` of tokens: refused at once as no MAC header.
void WriteLongMacHeader(const std::filesystem::path& p, std::size_t bytes) {
  std::ofstream out(p, std::ios::binary);
  const std::string token = "1.0 ";
  for (std::size_t n = 0; n < bytes; n += token.size()) out << token;
  out << "\n";
}

double SecondsPerMb(const std::vector<std::string>& args, double mb, double& peak) {
  const double t = bench::MedianTime(3, 1, [&] { bench::RunChild(args, peak, true); });
  return t / mb;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: bench_linear KINEX2 SAMPLE.c3d WORKDIR\n");
    return 2;
  }
  const std::string kinex2 = argv[1];
  const std::string sample = argv[2];
  const std::filesystem::path work = argv[3];
  std::filesystem::create_directories(work);
  const std::string out = (work / "linear.dst").string();
  for (const double mb : {1.0, 3.0, 10.0}) {
    const auto bytes = static_cast<std::size_t>(mb * 1024 * 1024);
    const std::filesystem::path ini = work / "sparse.ini";
    const std::filesystem::path mac = work / "long-header.ana";
    WriteSparseIni(ini, bytes);
    WriteLongMacHeader(mac, bytes);
    double iniPeak = 0;
    double macPeak = 0;
    const double iniCost = SecondsPerMb(
        {kinex2, "convert", sample, out, "--overwrite", "--ini", ini.string()}, mb, iniPeak);
    const double macCost = SecondsPerMb({kinex2, "info", mac.string()}, mb, macPeak);
    std::printf("%4.0f MB: --ini %.4f s/MB (peak %.1f MB); MAC header %.4f s/MB (peak %.1f MB)\n",
                mb, iniCost, iniPeak, macCost, macPeak);
  }
  std::filesystem::remove_all(work);
  return 0;
}
