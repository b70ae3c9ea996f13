#include "export/FormatDescriptions.h"

#include "export/DstHeader.h"
#include "export/TextExport.h"
#include "formats/c3d/C3d.h"

const char kExportedLog[] = "Exported %s To %s. Frames %d to %d";
const char kExportedLogUnsigned[] = "Exported %s To %s. Frames %u to %u";
const char kMarkerLabelFormat[] = "Marker %02d";

namespace {
std::string C3dDstHeaderLines(const CRecording& r) {
  return DstHeaderLines(static_cast<const CC3d&>(r));
}
}  // namespace

const CFormatDescription& C3dFormatDescription() {
  static const CFormatDescription description{
      .className = "CC3dDoc",
      .channelLabelFormat = "Channel %02d",
      .hasPointsAndEvents = true,
      .analogScalable = true,
      .exportedLogFormat = kExportedLog,
      .dstHeaderLines = &C3dDstHeaderLines,
      .hasVdoFlavour = true,
      .hasExpFlavour = true,
      .textHeaderLines = &C3dTextHeaderLines,
      .frameRate = &C3dFrameRate,
  };
  return description;
}
