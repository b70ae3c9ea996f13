#pragma once
// The header and event blocks of a general DST file. `kinex2 info` prints the
// same text.

#include <string>

class CRecording;
struct CFormatDescription;

// Opens the header block of every general DST file.
extern const char kDstHeaderSection[];  // "$HeaderInformation\n"

// "$HeaderInformation", the format's key lines and, for formats with events,
// one "$label" block per header event.
std::string DstHeaderText(const CRecording& recording, const CFormatDescription& format);
