#include "formats/bts/BtsDescription.h"

#include <vector>

#include "formats/bts/Bts.h"
#include "platform/Text.h"

namespace {

// The end time's key is one character shorter than every other key of the
// block, so it is written as it stands rather than padded.
constexpr char kDstEndTime[] = "End Time                  : %.3f sec\n";

const CBts& Bts(const CRecording& r) {
  return static_cast<const CBts&>(r);
}

std::string DstHeaderLines(const CRecording& r) {
  const CBts& b = Bts(r);
  return DstKeyLines({{"Number of Analog Channels", Format("%d", b.ChannelCount())},
                      {"Sampling Rate", Format("%.4f Hz", static_cast<double>(b.Rate()))},
                      {"Start Time", Format("%.3f sec", static_cast<double>(b.StartTime()))}}) +
         Format(kDstEndTime, static_cast<double>(b.EndTime()));
}

std::string TextHeaderLines(const CRecording& r, const std::string& delimiter) {
  const CBts& b = Bts(r);
  return TextKeyLines({{"Number of Analog Channels", Format("%d", b.ChannelCount())},
                       {"Sampling Frequency", Format("%.4f Hz", static_cast<double>(b.Rate()))},
                       {"StartTime", Format("%.3f sec", static_cast<double>(b.StartTime()))},
                       {"End Frame", Format("%.3f sec", static_cast<double>(b.EndTime()))}},
                      delimiter);
}

float FrameRate(const CRecording& r) {
  return static_cast<float>(Bts(r).Rate());
}

}  // namespace

const CFormatDescription& BtsFormatDescription() {
  static const CFormatDescription description{
      .className = "CBtsDoc",
      .channelLabelFormat = "Channel %03d",
      .channelCodeFormat = "31%03d",
      .analogScalable = false,
      .exportedLogFormat = kExportedLog,
      .dstHeaderLines = &DstHeaderLines,
      .textHeaderLines = &TextHeaderLines,
      .frameRate = &FrameRate,
  };
  return description;
}
