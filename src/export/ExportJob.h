#pragma once
// What one export call needs: the recording, the small description of its
// format, the document's selection and frame range, the target and where to
// report. Every writer serves every format through this one shape.

#include <cstdint>
#include <filesystem>
#include <string>

#include "model/Recording.h"

class CPlatform;

// How one input format differs in what the writers produce.
struct CFormatDescription {
  const char* className;           // document class in messages: "CC3dDoc", "CAdcDoc", ...
  const char* channelLabelFormat;  // default channel name: "Channel %02d", "Channel %03d"
  bool hasPointsAndEvents;         // C3D: points, events, every analog sample of a frame
  bool analogScalable;             // false: AnalogScaled only switches the decimals (BTS)
  const char* exportedLogFormat;   // "Exported %s To %s. Frames %d to %d" (or %u)
  // The lines of the "$HeaderInformation" block of a general DST file, after
  // that line.
  std::string (*dstHeaderLines)(const CRecording&);
  // DST flavours besides the general one that the format can write; a
  // flavour the format lacks falls back to general.
  bool hasVdoFlavour = false;
  bool hasExpFlavour = false;
  // Text export: the header lines after "OriginalFile" (label, delimiter,
  // value), and the frames per second of the time column (C3D: the video
  // frame rate, analog rows running R times faster; the other formats: their
  // analog sampling rate, one row per frame).
  std::string (*textHeaderLines)(const CRecording&, const std::string& delimiter) = nullptr;
  float (*frameRate)(const CRecording&) = nullptr;
};

// The export selection of a document: one '1'/'0' per group, parameter,
// analog channel and point (and six per used force platform), the header flag
// and the frame range (frame numbers as stored in the file).
struct CExportSelection {
  std::uint8_t header = 1;
  std::string groups;
  std::string params;
  std::string analog;
  std::string points;
  std::string forcePlates;
  // Held wider than the 16 bits of a C3D header so that formats with more
  // than 65535 frames keep their whole range.
  int rangeFirst = 0;
  int rangeLast = 0;
};

struct CExportJob {
  const CRecording& recording;
  const CFormatDescription& format;
  const CExportSelection& selection;
  std::filesystem::path output;
  CPlatform& platform;
  bool overwriteAll = false;  // a batch is running: never ask before overwriting
  bool logErrorOnly = true;   // information lines reach the log only when false
};
