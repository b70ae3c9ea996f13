#include "formats/adc/AdcDescription.h"

#include <vector>

#include "formats/adc/Adc.h"
#include "platform/Text.h"

namespace {

const CAdc& Adc(const CRecording& r) {
  return static_cast<const CAdc&>(r);
}

std::string DstHeaderLines(const CRecording& r) {
  return DstKeyLines({{"Number of Analog Channels", Format("%d", Adc(r).channelCount)},
                      {"First Frame", Format("%d", 1)},
                      {"Last Frame", Format("%u", static_cast<unsigned>(r.FrameCount()))}});
}

std::string TextHeaderLines(const CRecording& r, const std::string& delimiter) {
  return TextKeyLines({{"Number of Analog Channels", Format("%d", Adc(r).channelCount)},
                       {"First Frame", Format("%d", 1)},
                       {"Last Frame", Format("%d", r.FrameCount())}},
                      delimiter);
}

float FrameRate(const CRecording& r) {
  return Adc(r).analogRate;
}

}  // namespace

const CFormatDescription& AdcFormatDescription() {
  static const CFormatDescription description{
      .className = "CAdcDoc",
      .channelLabelFormat = "Channel %03d",
      .channelCodeFormat = "31%03d",
      .defaultOffset = 2048.0f,
      .exportedLogFormat = kExportedLog,
      .dstHeaderLines = &DstHeaderLines,
      .textHeaderLines = &TextHeaderLines,
      .frameRate = &FrameRate,
  };
  return description;
}
