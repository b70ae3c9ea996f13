// libFuzzer target: a recording that opens is exported as general DST and as
// a text table with every option switched on, over its whole range and over a
// range reaching past both ends. Hostile labels, counts and sample values must
// never make a writer read outside the recording or crash.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "export/DstExport.h"
#include "formats/c3d/C3dDescription.h"
#include "export/TextExport.h"
#include "formats/c3d/C3d.h"
#include "formats/ReaderSupport.h"
#include "platform/Platform.h"

namespace {
class SilentPlatform : public CPlatform {
 public:
  void LogMessage(const std::string&, bool, bool) override {}
  bool AskYesNo(const std::string&) override { return true; }
  OverwriteAnswer AskOverwrite(const std::string&) override { return OverwriteAnswer::Yes; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static SilentPlatform platform;
  static const std::string base = "/tmp/kinex2-fuzz-export-" + std::to_string(::getpid());
  static const std::string input = base + ".c3d";
  SetSampleMemoryLimit(256u << 10);  // keeps every export small and quick
  std::FILE* f = std::fopen(input.c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  CC3d c3d;
  c3d.SetPlatform(&platform);
  c3d.fileName = input;
  if (!c3d.Open()) return 0;

  CExportSelection sel;
  sel.groups.assign(c3d.paramSet.groups.size(), '1');
  sel.params.assign(c3d.paramSet.params.size(), '1');
  sel.analog.assign(c3d.analog.size(), '1');
  sel.points.assign(c3d.points.size(), '1');
  DstOptions dst;
  dst.AnalogScaled = dst.VideoScaled = dst.ShowResid = dst.ShowMask = 1;
  TextOptions text;
  text.AnalogScaled = text.VideoScaled = text.ShowResid = text.ShowMask = text.Mean_StdDev = 1;
  text.SamplesByFrame = 0;
  const std::string signature = MakeDstSignature("2.560");
  const std::filesystem::path out = base + ".out";
  for (int widen = 0; widen < 2; ++widen) {
    sel.rangeFirst = c3d.firstFrame - widen;
    sel.rangeLast = c3d.lastFrame + widen;
    CExportJob job{c3d, C3dFormatDescription(), sel, out, platform, true, true};
    ExportDstGeneral(job, dst, signature);
    ExportText(job, text);
  }
  return 0;
}
