#include "documents/RecordingEvents.h"

#include <algorithm>
#include <cmath>

#include "formats/FormatDescription.h"
#include "model/Recording.h"

namespace {

// Time i of EVENT:TIMES in seconds. The parameter holds [minutes, seconds]
// pairs (dimensions [2, n], or a flat list of 2 n values), or seconds alone.
bool EventTime(const CParam& times, int i, int events, double& seconds) {
  const bool pairs = (times.dimensions.size() >= 2 && times.dimensions[0] == 2) ||
                     (times.dimensions.size() == 1 && times.elementCount == 2 * events);
  const int available = std::min(times.elementCount, static_cast<int>(times.values.size()));
  if (pairs) {
    if (2 * i + 1 >= available) return false;
    seconds = 60.0 * times.GetValue(2 * i) + times.GetValue(2 * i + 1);
  } else {
    if (i >= available) return false;
    seconds = times.GetValue(i);
  }
  return std::isfinite(seconds);
}

}  // namespace

std::vector<CRecordingEvent> EventGroupEvents(const CRecording& rec,
                                              const CFormatDescription& format) {
  std::vector<CRecordingEvent> out;
  const CParamSet& set = rec.paramSet;
  const CParam* times = set.Find("EVENT", "TIMES");
  if (times == nullptr || !times->IsNumeric()) return out;
  const CParam* labels = set.Find("EVENT", "LABELS");
  const CParam* contexts = set.Find("EVENT", "CONTEXTS");
  const CParam* used = set.Find("EVENT", "USED");
  int count = labels != nullptr && labels->type == kParamChar
                  ? static_cast<int>(labels->strings.size())
                  : 0;
  if (used != nullptr && used->IsNumeric() && used->elementCount > 0 && !used->values.empty()) {
    count = static_cast<int>(std::clamp(used->GetSignedValue(0, 0.0f), 0.0f, 65535.0f));
  }
  const double rate = format.frameRate != nullptr ? format.frameRate(rec) : 0.0;
  auto text = [](const CParam* p, int i) {
    return p != nullptr && p->type == kParamChar ? p->GetString(i) : std::string();
  };
  for (int i = 0; i < count; ++i) {
    CRecordingEvent e;
    if (!EventTime(*times, i, count, e.time)) break;
    e.label = text(labels, i);
    e.context = text(contexts, i);
    // Times count from frame 1, as the header's do, whatever frame the
    // file's data start at.
    const double frames = rate > 0.0 ? std::round(e.time * rate) : 0.0;
    e.frame = 1 + static_cast<int>(std::clamp(frames, -1e9, 1e9));
    out.push_back(std::move(e));
  }
  return out;
}

std::vector<CRecordingEvent> RecordingEvents(const CRecording& rec,
                                             const CFormatDescription& format) {
  std::vector<CRecordingEvent> out;
  for (const CEvent& h : rec.events) {
    CRecordingEvent e;
    e.label = h.label;
    e.time = h.time;
    e.frame = h.frame;
    e.fromHeader = true;
    out.push_back(std::move(e));
  }
  std::vector<CRecordingEvent> group = EventGroupEvents(rec, format);
  out.insert(out.end(), group.begin(), group.end());
  return out;
}
