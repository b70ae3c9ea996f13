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
#include "FuzzSupport.h"


extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CSilentPlatform platform(true);
  static CFuzzFiles files("c3d-export");
  SetSampleMemoryLimit(256u << 10);  // keeps every export small and quick
  if (!files.WriteInput(data, size, ".c3d")) return 0;
  CC3d c3d;
  c3d.SetPlatform(&platform);
  c3d.fileName = files.Input();
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
  const std::filesystem::path out = files.Output();
  for (int widen = 0; widen < 2; ++widen) {
    sel.rangeFirst = c3d.firstFrame - widen;
    sel.rangeLast = c3d.lastFrame + widen;
    CExportJob job{c3d, C3dFormatDescription(), sel, out, platform, true, true};
    ExportDstGeneral(job, dst, signature);
    ExportText(job, text);
  }
  return 0;
}
