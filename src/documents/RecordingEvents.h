#pragma once
// Every event of a recording in one list: those of the C3D header block and
// those of the EVENT group (LABELS, CONTEXTS, TIMES), which capture systems
// write instead of, or beside, the header's eighteen slots.

#include <string>
#include <vector>

class CRecording;
struct CFormatDescription;

struct CRecordingEvent {
  std::string label;
  std::string context;  // "Left", "Right", "General", ...; empty for header events
  double time = 0.0;    // seconds from the start of the recording
  int frame = 0;        // frame number
  bool fromHeader = false;
};

// The header events first, in their order, then the EVENT group's in file
// order. A group event's frame is 1 plus its time in frames, rounded to the
// nearest (time 0 is frame 1, as for the header's events).
std::vector<CRecordingEvent> RecordingEvents(const CRecording& rec,
                                             const CFormatDescription& format);
// The EVENT group's events alone.
std::vector<CRecordingEvent> EventGroupEvents(const CRecording& rec,
                                              const CFormatDescription& format);
