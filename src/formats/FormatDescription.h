#pragma once
// How one input format differs in what the writers, the tree and `kinex2 info`
// produce. Each format keeps its description beside its reader
// (formats/<x>/); nothing downstream asks which format a recording is.

#include <string>
#include <string_view>
#include <vector>

class CRecording;

// The export log line; formats whose frame numbers are unsigned use the %u form.
extern const char kExportedLog[];          // "Exported %s To %s. Frames %d to %d"
extern const char kExportedLogUnsigned[];  // "Exported %s To %s. Frames %u to %u"
// Default name of 3D point j (1-based) when POINT:LABELS does not name it.
extern const char kMarkerLabelFormat[];  // "Marker %02d"

// One key of a format's header block, its value already formatted.
struct CHeaderField {
  std::string_view label;
  std::string value;
};
// DST key lines: each label padded to 27 characters, ": ", the value.
std::string DstKeyLines(const std::vector<CHeaderField>& fields);
// The fields of DstKeyLines text again (labels point into `text`, which must
// outlive them); a line without the separator is skipped.
std::vector<CHeaderField> ParseDstKeyLines(std::string_view text);
// Text export lines: label, delimiter, value.
std::string TextKeyLines(const std::vector<CHeaderField>& fields, const std::string& delimiter);

struct CFormatDescription {
  const char* className;           // document class in messages: "CC3dDoc", "CAdcDoc", ...
  const char* channelLabelFormat;  // default channel name: "Channel %02d", "Channel %03d"
  const char* channelCodeFormat;   // tree code of channel k (1-based): "31%02d", "31%03d"
  bool hasPoints = false;          // 3D point trajectories
  bool hasEvents = false;          // header events (DST event blocks, the text event table)
  // Analog rows: every sample of a frame (R per frame), or one per frame.
  bool allAnalogSamples = false;
  bool analogScalable = true;  // false: AnalogScaled only switches the decimals (BTS)
  // ANALOG:OFFSET of a channel the file leaves without one.
  float defaultOffset = 2048.0f;
  // Log line of the general DST and the text export.
  const char* exportedLogFormat = kExportedLog;
  // The lines of the "$HeaderInformation" block of a general DST file, after
  // that line.
  std::string (*dstHeaderLines)(const CRecording&) = nullptr;
  // Text export: the header lines after "OriginalFile" (label, delimiter,
  // value), and the frames per second of the time column (C3D: the video
  // frame rate, analog rows running R times faster; the other formats: their
  // analog sampling rate, one row per frame).
  std::string (*textHeaderLines)(const CRecording&, const std::string& delimiter) = nullptr;
  float (*frameRate)(const CRecording&) = nullptr;
  // DST flavours besides the general one; a flavour the format lacks falls
  // back to general.
  bool hasVdoFlavour = false;
  bool hasExpFlavour = false;
  // Log line of the EXP report ("%u" for CODAS, "%d" for C3D and MAC), and
  // whether its channel scales take the format's "Scale" setting as well (MAC).
  const char* expLogFormat = kExportedLog;
  bool expScaledBySetting = false;
  bool hasForcePlates = false;  // FORCE_PLATFORM selections and the VDO components
  bool writesC3d = false;       // Save As and the command line can write C3D
};
