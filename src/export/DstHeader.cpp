#include "export/DstHeader.h"

#include "formats/FormatDescription.h"
#include "model/Recording.h"
#include "platform/Text.h"

const char kDstHeaderSection[] = "$HeaderInformation\n";

std::string DstHeaderText(const CRecording& recording, const CFormatDescription& format) {
  std::string s = kDstHeaderSection;
  if (format.dstHeaderLines != nullptr) s += format.dstHeaderLines(recording);
  if (!format.hasEvents) return s;
  for (const CEvent& e : recording.events) {
    s += "$" + ReplaceAll(e.label, ' ', '_') + "\n";
    s += "Type                       : EVENT\n";
    s += Format("Label                      : %s\n", e.label.c_str());
    s += Format("Status                     : %s\n", e.displayFlag != 0 ? "ON" : "OFF");
    s += Format("Time                       : %.4f\n", e.time);
  }
  return s;
}
