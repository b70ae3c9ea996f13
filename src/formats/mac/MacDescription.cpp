#include "formats/mac/MacDescription.h"

#include <vector>

#include "formats/mac/Mac.h"
#include "platform/Text.h"

namespace {

const CMac& Mac(const CRecording& r) {
  return static_cast<const CMac&>(r);
}

// The same four keys head the DST and the text export.
std::vector<CHeaderField> HeaderFields(const CRecording& r) {
  return {{"Number of Analog Channels", Format("%d", Mac(r).channelCount)},
          {"First Frame", Format("%d", 1)},
          {"Last Frame", Format("%u", static_cast<unsigned>(r.FrameCount()))},
          {"Sampling Frequency", Format("%.3f", static_cast<double>(Mac(r).frequency))}};
}

std::string DstHeaderLines(const CRecording& r) {
  return DstKeyLines(HeaderFields(r));
}

std::string TextHeaderLines(const CRecording& r, const std::string& delimiter) {
  return TextKeyLines(HeaderFields(r), delimiter);
}

float FrameRate(const CRecording& r) {
  return Mac(r).frequency;
}

}  // namespace

const CFormatDescription& MacFormatDescription() {
  static const CFormatDescription description{
      .className = "CMacDoc",
      .channelLabelFormat = "Channel %03d",
      .channelCodeFormat = "31%03d",
      .defaultOffset = 2048.0f,
      .exportedLogFormat = kExportedLogUnsigned,
      .dstHeaderLines = &DstHeaderLines,
      .textHeaderLines = &TextHeaderLines,
      .frameRate = &FrameRate,
      .hasExpFlavour = true,
      .expScaledBySetting = true,
  };
  return description;
}
