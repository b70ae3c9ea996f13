#include "formats/vad/VadDescription.h"

#include <vector>

#include "formats/vad/Vad.h"
#include "platform/Text.h"

namespace {

const CVad& Vad(const CRecording& r) {
  return static_cast<const CVad&>(r);
}

std::string DstHeaderLines(const CRecording& r) {
  const CVad& v = Vad(r);
  return DstKeyLines({{"Video Frame Rate", Format("%d", v.videoFrameRate)},
                      {"Video Sync", Format("%d", v.videoSync)},
                      {"Number of Analog Channels", Format("%d", v.channelCount)},
                      {"First Frame", Format("%d", 1)},
                      {"Last Frame", Format("%u", static_cast<unsigned>(r.FrameCount()))},
                      {"Analog Rate", Format("%.3f", static_cast<double>(v.analogRate))}});
}

std::string TextHeaderLines(const CRecording& r, const std::string& delimiter) {
  const CVad& v = Vad(r);
  return TextKeyLines({{"Number of Analog Channels", Format("%d", v.channelCount)},
                       {"First Frame", Format("%d", 1)},
                       {"Last Frame", Format("%d", r.FrameCount())},
                       {"Video Frame Rate", Format("%d", v.videoFrameRate)},
                       {"Video Sync", Format("%d", v.videoSync)}},
                      delimiter);
}

float FrameRate(const CRecording& r) {
  return Vad(r).analogRate;
}

}  // namespace

const CFormatDescription& VadFormatDescription() {
  static const CFormatDescription description{
      .className = "CVadDoc",
      .channelLabelFormat = "Channel %03d",
      .channelCodeFormat = "31%03d",
      .defaultOffset = 2048.0f,
      .exportedLogFormat = kExportedLogUnsigned,
      .dstHeaderLines = &DstHeaderLines,
      .textHeaderLines = &TextHeaderLines,
      .frameRate = &FrameRate,
      .writesC3d = true,
  };
  return description;
}
