#pragma once
// The body of the fuzz targets that open a recording and, when it opens,
// export it as general DST, as a text table with every option switched on and,
// for formats that have it, as the VDO flavour with every force-plate
// component,
// over its whole range and over a range reaching past both ends. Hostile
// counts, labels and samples must never make a reader or a writer read
// outside what it holds, hang or crash.

#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "export/DstExport.h"
#include "export/TextExport.h"
#include "export/VdoExport.h"
#include "formats/c3d/ForcePlates.h"
#include "formats/ReaderSupport.h"

// A file a reader reads beside its input: its name, made from the input's,
// and its fixed contents.
struct CFuzzCompanion {
  std::filesystem::path (*name)(const std::filesystem::path& input);
  const char* text;
};

template <typename Reader>
int FuzzOpenAndExport(const std::uint8_t* data, std::size_t size, const std::string& extension,
                      const CFormatDescription& format, const CFuzzCompanion* companion = nullptr) {
  static CSilentPlatform platform(true);
  static CFuzzFiles files(extension.substr(1) + "-export");
  SetSampleMemoryLimit(256u << 10);  // keeps every export small and quick
  if (!files.WriteInput(data, size, extension)) return 0;
  if (companion != nullptr) files.WriteCompanion(companion->name(files.Input()), companion->text);
  Reader reader;
  reader.SetPlatform(&platform);
  reader.fileName = files.Input();
  if (!reader.Open()) return 0;

  CExportSelection sel;
  sel.groups.assign(reader.paramSet.groups.size(), '1');
  sel.params.assign(reader.paramSet.params.size(), '1');
  sel.analog.assign(reader.analog.size(), '1');
  sel.points.assign(reader.points.size(), '1');
  sel.forcePlates.assign(static_cast<std::size_t>(kPlateComponents) * GetPlateCount(reader), '1');
  LabelTranslations labels;
  labels.sourceNames = {"Channel 01", "Marker 01"};
  labels.dstNames = {"EMG", "MARKER"};
  labels.extraLines = {"$Trial,1"};
  DstOptions dst;
  dst.AnalogScaled = dst.VideoScaled = dst.ShowResid = dst.ShowMask = 1;
  TextOptions text;
  text.AnalogScaled = text.VideoScaled = text.ShowResid = text.ShowMask = text.Mean_StdDev = 1;
  text.SamplesByFrame = 0;
  const std::string signature = MakeDstSignature("2.560");
  for (int widen = 0; widen < 2; ++widen) {
    sel.rangeFirst = reader.firstFrame - widen;
    sel.rangeLast = reader.lastFrame + widen;
    CExportJob job{reader, format, sel, files.Output(), platform, true, true};
    ExportDstGeneral(job, dst, signature);
    ExportText(job, text);
    if (format.hasVdoFlavour) ExportDstVdo(job, dst, labels);
  }
  return 0;
}
