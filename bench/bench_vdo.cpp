// The VDO flavour of DST against the general one on the same recording.
//   bench_vdo FILE.c3d...
// Every point and channel is selected and translated (to its own name with a
// prefix), so the VDO file carries what the general one does, less the
// groups and parameters, plus the six components of every force plate. For
// each file prints the median time of each export and their ratio (target:
// VDO within 3 x the general export).

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchProcess.h"
#include "export/DstExport.h"
#include "export/ItemLabels.h"
#include "export/VdoExport.h"
#include "formats/c3d/C3d.h"
#include "formats/c3d/C3dDescription.h"
#include "formats/c3d/ForcePlates.h"
#include "platform/HeadlessPlatform.h"

namespace {

constexpr int kRuns = 3;

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE.c3d...\n", argv[0]);
    return 2;
  }
  const auto dir =
      std::filesystem::temp_directory_path() / ("kinex2-bench-vdo-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  CHeadlessPlatform platform;
  platform.SetAnswerPolicy(CHeadlessPlatform::AnswerPolicy::Yes);
  int status = 0;
  for (int f = 1; f < argc; ++f) {
    CC3d c3d;
    c3d.SetPlatform(&platform);
    c3d.fileName = std::filesystem::absolute(argv[f]);
    if (!c3d.Open()) {
      status = 1;
      continue;
    }
    CExportSelection sel;
    sel.groups.assign(c3d.paramSet.groups.size(), '1');
    sel.params.assign(c3d.paramSet.params.size(), '1');
    sel.analog.assign(c3d.analog.size(), '1');
    sel.points.assign(c3d.points.size(), '1');
    sel.forcePlates.assign(static_cast<std::size_t>(kPlateComponents) * GetPlateCount(c3d), '1');
    sel.rangeFirst = c3d.firstFrame;
    sel.rangeLast = c3d.lastFrame;
    LabelTranslations labels;
    for (const std::string& name :
         ItemLabels(c3d.paramSet, "Point", "Labels", kMarkerLabelFormat, c3d.PointCount())) {
      labels.sourceNames.push_back(name);
      labels.dstNames.push_back("V" + name);
    }
    for (const std::string& name :
         ItemLabels(c3d.paramSet, "Analog", "Labels", C3dFormatDescription().channelLabelFormat,
                    c3d.AnalogCount())) {
      labels.sourceNames.push_back(name);
      labels.dstNames.push_back("V" + name);
    }
    labels.extraLines = {"$Trial,1"};
    const auto general = dir / "general.dst";
    const auto vdo = dir / "vdo.dst";
    CExportJob generalJob{c3d, C3dFormatDescription(), sel, general, platform, true, true};
    CExportJob vdoJob{c3d, C3dFormatDescription(), sel, vdo, platform, true, true};
    const std::string signature = MakeDstSignature("2.560");
    std::uint64_t generalBytes = 0;
    std::uint64_t vdoBytes = 0;
    const double tGeneral = bench::MedianTime(
        kRuns, 0, [&] { generalBytes = ExportDstGeneral(generalJob, DstOptions{}, signature); });
    const double tVdo =
        bench::MedianTime(kRuns, 0, [&] { vdoBytes = ExportDstVdo(vdoJob, DstOptions{}, labels); });
    if (generalBytes == 0 || vdoBytes == 0) status = 1;
    std::printf(
        "%s: %d plates; general dst %.3f s (%.1f MB), vdo dst %.3f s (%.1f MB): vdo %.2f x the "
        "general export [target 3 x]\n",
        std::filesystem::path(argv[f]).filename().c_str(), GetPlateCount(c3d), tGeneral,
        generalBytes / 1e6, tVdo, vdoBytes / 1e6, tVdo / tGeneral);
  }
  std::filesystem::remove_all(dir);
  return status;
}
