#pragma once
// What one export call needs: the recording, the small description of its
// format, the document's selection and frame range, the target and where to
// report. Every writer serves every format through this one shape.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>

#include "formats/FormatDescription.h"
#include "model/Recording.h"

class CPlatform;

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

// Item i of a selection's '1'/'0' flags is chosen.
inline bool Selected(const std::string& flags, std::size_t i) {
  return i < flags.size() && flags[i] == '1';
}
// How many of the first `items` flags are chosen.
inline int CountSelected(const std::string& flags, std::size_t items) {
  return static_cast<int>(
      std::count(flags.begin(), flags.begin() + std::min(flags.size(), items), '1'));
}
// The frame indices F - F0 .. L - F0 of the selection's range, clipped to
// what the recording holds; an empty range (first > last) when it lies
// outside.
inline void ClippedFrameIndices(const CRecording& rec, const CExportSelection& sel,
                                long long& first, long long& last) {
  first = std::max<long long>(static_cast<long long>(sel.rangeFirst) - rec.firstFrame, 0);
  last = std::min<long long>(static_cast<long long>(sel.rangeLast) - rec.firstFrame,
                             static_cast<long long>(rec.FrameCount()) - 1);
}

struct CExportJob {
  const CRecording& recording;
  const CFormatDescription& format;
  const CExportSelection& selection;
  std::filesystem::path output;
  CPlatform& platform;
  bool overwriteAll = false;  // a batch is running: never ask before overwriting
  bool logErrorOnly = true;   // information lines reach the log only when false
  int threads = 0;            // threads long runs of frames are formatted on; 0: every core
};
