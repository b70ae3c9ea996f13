#include "formats/c3d/C3dDescription.h"

#include <vector>

#include "formats/c3d/C3d.h"
#include "platform/Text.h"

namespace {

// The ten key values of the header, in file order.
std::vector<CHeaderField> HeaderFields(const CC3d& c) {
  return {
      {"First Parameter Record", Format("%d", c.firstParameterRecord)},
      {"Number of 3D Points", Format("%d", c.numPoints)},
      {"Number of Analog Channels", Format("%d", c.numAnalogChannels)},
      // A long recording shows its true range, not the header's 16 bits.
      {"First Video Frame", Format("%d", c.longRecording ? c.firstFrame : c.firstVideoFrame)},
      {"Last Video Frame", Format("%d", c.longRecording ? c.lastFrame : c.lastVideoFrame)},
      {"Maximum Interpolation Gap", Format("%d", c.maxInterpolationGap)},
      {"Marker Scale Factor", Format("%.6f", static_cast<double>(c.markerScaleFactor))},
      {"Data Start Record", Format("%d", c.dataStartRecord)},
      {"Analog to Video Ratio", Format("%d", c.analogToVideoRatio)},
      {"Video Frame Rate", Format("%.3f", static_cast<double>(c.videoFrameRate))},
  };
}

std::string DstHeaderLines(const CRecording& r) {
  return DstKeyLines(HeaderFields(static_cast<const CC3d&>(r)));
}

std::string TextHeaderLines(const CRecording& r, const std::string& delimiter) {
  return TextKeyLines(HeaderFields(static_cast<const CC3d&>(r)), delimiter);
}

float FrameRate(const CRecording& r) {
  return static_cast<const CC3d&>(r).videoFrameRate;
}

}  // namespace

const CFormatDescription& C3dFormatDescription() {
  static const CFormatDescription description{
      .className = "CC3dDoc",
      .channelLabelFormat = "Channel %02d",
      .channelCodeFormat = "31%02d",
      .hasPoints = true,
      .hasEvents = true,
      .allAnalogSamples = true,
      .analogScalable = true,
      .defaultOffset = 2048.0f,
      .exportedLogFormat = kExportedLog,
      .dstHeaderLines = &DstHeaderLines,
      .textHeaderLines = &TextHeaderLines,
      .frameRate = &FrameRate,
      .hasVdoFlavour = true,
      .hasExpFlavour = true,
      .hasForcePlates = true,
      .writesC3d = false,
  };
  return description;
}
