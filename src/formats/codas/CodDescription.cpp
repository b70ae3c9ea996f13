#include "formats/codas/CodDescription.h"

#include <vector>

#include "formats/codas/Cod.h"
#include "platform/Text.h"

namespace {

const CCod& Cod(const CRecording& r) {
  return static_cast<const CCod&>(r);
}

std::string DstHeaderLines(const CRecording& r) {
  return DstKeyLines({{"Number of Analog Channels", Format("%d", Cod(r).channelCount)},
                      {"Sampling Rate", Format("%.4f", static_cast<double>(Cod(r).rate))},
                      {"First Frame", Format("%d", 1)},
                      {"Last Frame", Format("%u", static_cast<unsigned>(r.FrameCount()))}});
}

std::string TextHeaderLines(const CRecording& r, const std::string& delimiter) {
  return TextKeyLines({{"Number of Analog Channels", Format("%d", Cod(r).channelCount)},
                       {"Sampling Frequency", Format("%.4f", static_cast<double>(Cod(r).rate))},
                       {"First Frame", Format("%d", 1)},
                       {"Last Frame", Format("%d", r.FrameCount())}},
                      delimiter);
}

float FrameRate(const CRecording& r) {
  return Cod(r).rate;
}

}  // namespace

const CFormatDescription& CodFormatDescription() {
  static const CFormatDescription description{
      .className = "CCodDoc",
      .channelLabelFormat = "Channel %03d",
      .channelCodeFormat = "31%03d",
      .defaultOffset = 0.0f,
      .exportedLogFormat = kExportedLogUnsigned,
      .dstHeaderLines = &DstHeaderLines,
      .textHeaderLines = &TextHeaderLines,
      .frameRate = &FrameRate,
      .hasExpFlavour = true,
      .expLogFormat = kExportedLogUnsigned,
  };
  return description;
}
