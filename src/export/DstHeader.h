#pragma once
// The header block and event blocks of a general DST file of a C3D recording.
// `kinex2 info` prints the same text.

#include <string>

class CC3d;
class CRecording;

// Opens the header block of every general DST file.
extern const char kDstHeaderSection[];  // "$HeaderInformation\n"

// The ten key lines of a C3D header, after kDstHeaderSection.
std::string DstHeaderLines(const CC3d& c3d);
// "$HeaderInformation" and its ten lines.
std::string DstHeaderText(const CC3d& c3d);
// One "$label" block per header event.
std::string DstEventsText(const CRecording& recording);
