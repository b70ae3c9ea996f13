#include "app/InfoCommand.h"

#include <cerrno>
#include <string>

#include "app/ConsolePlatform.h"
#include "documents/FormatRegistry.h"
#include "documents/ItemDetails.h"
#include "documents/RecordingEvents.h"
#include "export/DstHeader.h"
#include "export/ItemLabels.h"
#include "model/Recording.h"
#include "platform/Files.h"
#include "platform/Text.h"

int RunInfoCommand(const std::filesystem::path& file, std::FILE* out) {
  const CFormatEntry& entry = FormatFor(file);
  const CFormatDescription& format = entry.description();
  const std::unique_ptr<CRecording> reader = entry.createReader();
  CRecording& rec = *reader;
  // The terminal's platform: a FIFO's writer is waited for.
  CConsolePlatform console;
  rec.SetPlatform(&console);
  rec.fileName = FullPath(file);
  if (const std::string why = UnknownExtensionText(rec.fileName); !why.empty()) {
    console.LogMessage(ErrorInFile(rec.fileName, why), true, false);
    return 1;
  }
  if (!rec.Open()) return 1;

  std::string s = DstHeaderText(rec, format);
  // The header block lists the header's events; those of the EVENT group
  // follow as lines of their own.
  if (format.hasEvents) {
    for (const CRecordingEvent& e : EventGroupEvents(rec, format)) {
      s += Format("EVENT  %-16s context=%s frame=%d time=%.4f\n", e.label.c_str(),
                  e.context.c_str(), e.frame, e.time);
    }
  }
  const CParamSet& set = rec.paramSet;
  for (const CGroup& g : set.groups) {
    s += Format("GROUP %-16s number=%d locked=%d \"%s\"\n", g.name.c_str(), g.number, g.locked,
                g.description.c_str());
  }
  for (const CParam& p : set.params) {
    const std::string qualified = set.GetGroupName(p) + ":" + p.name;
    s += Format("PARAM %-32s %-5s dims=%s %s\n", qualified.c_str(),
                (*ParamTypeName(p.type) != '\0' ? ParamTypeName(p.type) : "OTHER"),
                ParamDimensionsText(p).c_str(), ParamFirstValues(p).c_str());
  }
  const CContinuedStrings analogLabels(set, "Analog", "Labels");
  for (int k = 0; k < rec.AnalogCount(); ++k) {
    const CAnalog& a = rec.analog[k];
    s +=
        Format("ANALOG %3d %-16s min=%g max=%g\n", k + 1,
               ItemLabel(analogLabels, k, format.channelLabelFormat).c_str(), a.minimum, a.maximum);
  }
  const CContinuedStrings pointLabels(set, "Point", "Labels");
  for (int j = 0; j < rec.PointCount(); ++j) {
    const CVideo& v = rec.points[j];
    s += Format("POINT  %3d %-16s x=[%g,%g] y=[%g,%g] z=[%g,%g]\n", j + 1,
                ItemLabel(pointLabels, j, kMarkerLabelFormat).c_str(), v.minX, v.maxX, v.minY,
                v.maxY, v.minZ, v.maxZ);
  }
  // A listing cut short by a full disk or a closed pipe is a failure, said
  // as a conversion says it.
  errno = 0;
  const bool written = std::fwrite(s.data(), 1, s.size(), out) == s.size();
  if (!written || std::fflush(out) != 0) {
    const int cause = FileErrorCauseFromErrno(errno != 0 ? errno : EIO);
    std::fprintf(stderr, "%s\n", ErrorInFile("-", FileErrorText(cause)).c_str());
    return 1;
  }
  return 0;
}
