// libFuzzer target: VAD files, with a calibration file beside them, written
// as C3D over their whole range and over a range one frame shorter at each
// end, and the C3D file read back. Whatever the recording, the writer either
// refuses it with one of its two texts or writes a file the C3D reader opens
// with the layout, DATA_START and samples the writer meant.

#include <cstdlib>

#include "FuzzSupport.h"
#include "formats/ReaderSupport.h"
#include "formats/c3d/C3d.h"
#include "formats/c3d/C3dWriter.h"
#include "formats/vad/Vad.h"
#include "platform/OutputFile.h"

namespace {
constexpr char kCalibration[] =
    "[Analogue]\n"
    "GeneralScale=0.0025\n"
    "Channel1=0, 1, 1, 0.5,2000,mV,EMG1,Left rectus\n"
    "Channel2=0, 1, 1, 2\n"
    "[ForcePlates]\n"
    "Count=1\n"
    "[ForcePlate1]\n"
    "Corners=1,2,3,4,5,6,7,8,9,10,11,12\n"
    "Channels=1,2,3,4,5,6\n"
    "[Video]\n"
    "Frequency=60.5\n";

void Check(bool holds) {
  if (!holds) std::abort();
}

void CheckReadBack(const CVad& vad, const CC3dWriter& writer, int first,
                   const std::filesystem::path& file, CPlatform& platform) {
  CC3d c3d;
  c3d.SetPlatform(&platform);
  c3d.fileName = file;
  Check(c3d.Open());
  Check(c3d.integerData && c3d.processorType == kProcessorIntel);
  Check(c3d.analogToVideoRatio == writer.Ratio() && c3d.lastVideoFrame == writer.VideoFrames());
  Check(c3d.dataStartRecord == writer.DataStart());
  Check(c3d.paramSet.ParamCount() == vad.paramSet.ParamCount() + 1);
  const CParam* start = c3d.paramSet.Find("POINT", "DATA_START");
  Check(start != nullptr && start->GetValue(0) == writer.DataStart());
  Check(c3d.AnalogCount() == vad.AnalogCount());
  const std::size_t samples = static_cast<std::size_t>(writer.Ratio()) * writer.VideoFrames();
  const std::size_t from = static_cast<std::size_t>(first - vad.firstFrame);
  for (int k = 0; k < vad.AnalogCount(); ++k) {
    const CSampleBuffer& out = c3d.analog[static_cast<std::size_t>(k)].samples;
    const CSampleBuffer& in = vad.analog[static_cast<std::size_t>(k)].samples;
    Check(out.Size() == samples);
    for (std::size_t i = 0; i < samples; ++i) Check(out.Ints()[i] == in.Ints()[from + i]);
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CSilentPlatform platform(true);
  static CFuzzFiles files("vad-c3d");
  SetSampleMemoryLimit(256u << 10);
  if (!files.WriteInput(data, size, ".vad")) return 0;
  files.WriteCompanion(CVad::CalibrationName(files.Input()), kCalibration);
  CVad vad;
  vad.SetPlatform(&platform);
  vad.fileName = files.Input();
  if (!vad.Open()) return 0;
  for (int cut = 0; cut < 2; ++cut) {
    const int first = vad.firstFrame + cut;
    const CC3dWriter writer({vad, vad.analogRate, vad.videoFrameRate, first, vad.lastFrame - cut});
    if (const char* refusal = writer.Refusal()) {
      Check(refusal == kErrC3dLayout || refusal == kErrC3dTooLarge);
      continue;
    }
    {
      COutputFile out(platform, files.Output());
      if (!out.Create(true)) return 0;
      CProgressScope progress(platform, 3);
      writer.Write(out, progress);
      if (out.Commit() == 0) return 0;
    }
    CheckReadBack(vad, writer, first, files.Output(), platform);
  }
  return 0;
}
