// Exporting large C3D files: general DST and text with default options.
//   bench_export KINEX2_BINARY FILE.c3d...
// For each file prints the median time of each export (the recording opened
// once), the median time and peak memory of a whole `kinex2 convert` (open +
// export, a fresh process each time) and the output sizes. Built twice: as
// bench_export with the program's number formatting, and as
// bench_export_printf with every value formatted by snprintf, so that
// bench/run.sh can compare the two in one run.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchProcess.h"
#include "export/DstExport.h"
#include "export/TextExport.h"
#include "formats/c3d/C3d.h"
#include "formats/c3d/C3dDescription.h"
#include "platform/HeadlessPlatform.h"

namespace {

constexpr int kRuns = 3;

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s KINEX2_BINARY FILE.c3d...\n", argv[0]);
    return 2;
  }
  const std::string kinex2 = argv[1];
  const auto dir = std::filesystem::temp_directory_path() /
                   ("kinex2-bench-export-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto settings = dir / "settings.ini";  // empty: every option at its default
  std::FILE* s = std::fopen(settings.c_str(), "w");
  if (s != nullptr) std::fclose(s);
  CHeadlessPlatform platform;
  platform.SetAnswerPolicy(CHeadlessPlatform::AnswerPolicy::Yes);
  int status = 0;
  for (int f = 2; f < argc; ++f) {
    CC3d c3d;
    c3d.fileName = std::filesystem::absolute(argv[f]);
    if (!c3d.Open()) {
      status = 1;
      continue;
    }
    const double mb = static_cast<double>(std::filesystem::file_size(c3d.fileName)) / 1e6;
    CExportSelection sel;
    sel.groups.assign(c3d.paramSet.groups.size(), '1');
    sel.params.assign(c3d.paramSet.params.size(), '1');
    sel.analog.assign(c3d.analog.size(), '1');
    sel.points.assign(c3d.points.size(), '1');
    sel.rangeFirst = static_cast<std::uint16_t>(c3d.firstFrame);
    sel.rangeLast = static_cast<std::uint16_t>(c3d.lastFrame);
    const auto dst = dir / "out.dst";
    const auto txt = dir / "out.txt";
    CExportJob dstJob{c3d, C3dFormatDescription(), sel, dst, platform, true, true};
    CExportJob txtJob{c3d, C3dFormatDescription(), sel, txt, platform, true, true};
    const std::string signature = MakeDstSignature("2.560");
    std::uint64_t dstBytes = 0, txtBytes = 0;
    const double tDst = bench::MedianTime(
        kRuns, 0, [&] { dstBytes = ExportDstGeneral(dstJob, DstOptions{}, signature); });
    const double tTxt =
        bench::MedianTime(kRuns, 0, [&] { txtBytes = ExportText(txtJob, TextOptions{}); });
    double peak = 0;
    std::vector<double> conv;
    for (int i = 0; i < kRuns; ++i) {
      conv.push_back(bench::RunChild({kinex2, "convert", c3d.fileName.string(), dst.string(),
                                      "--overwrite", "--settings", settings.string()},
                                     peak));
    }
    std::printf(
        "%s %.1f MB: dst export %.3f s (%.1f MB/s of text), text export %.3f s (%.1f MB/s of "
        "text); convert to dst %.3f s, peak %.1f MB = file + %.1f MB\n",
        std::filesystem::path(argv[f]).filename().c_str(), mb, tDst, dstBytes / 1e6 / tDst, tTxt,
        txtBytes / 1e6 / tTxt, bench::Median(conv), peak, peak - mb);
  }
  std::filesystem::remove_all(dir);
  return status;
}
