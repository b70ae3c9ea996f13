#include "export/DstHeader.h"

#include "formats/c3d/C3d.h"
#include "platform/Text.h"

const char kDstHeaderSection[] = "$HeaderInformation\n";

std::string DstHeaderText(const CC3d& c) {
  return kDstHeaderSection + DstHeaderLines(c);
}

std::string DstHeaderLines(const CC3d& c) {
  std::string s;
  s += Format("First Parameter Record     : %d\n", c.firstParameterRecord);
  s += Format("Number of 3D Points        : %d\n", c.numPoints);
  s += Format("Number of Analog Channels  : %d\n", c.numAnalogChannels);
  s += Format("First Video Frame          : %d\n", c.firstVideoFrame);
  s += Format("Last Video Frame           : %d\n", c.lastVideoFrame);
  s += Format("Maximum Interpolation Gap  : %d\n", c.maxInterpolationGap);
  s += Format("Marker Scale Factor        : %.6f\n", c.markerScaleFactor);
  s += Format("Data Start Record          : %d\n", c.dataStartRecord);
  s += Format("Analog to Video Ratio      : %d\n", c.analogToVideoRatio);
  s += Format("Video Frame Rate           : %.3f\n", c.videoFrameRate);
  return s;
}

std::string DstEventsText(const CRecording& c) {
  std::string s;
  for (const CEvent& e : c.events) {
    s += "$" + ReplaceAll(e.label, ' ', '_') + "\n";
    s += "Type                       : EVENT\n";
    s += Format("Label                      : %s\n", e.label.c_str());
    s += Format("Status                     : %s\n", e.displayFlag != 0 ? "ON" : "OFF");
    s += Format("Time                       : %.4f\n", e.time);
  }
  return s;
}
