#pragma once
// The header block and event blocks of a general DST file of a C3D recording.
// `kinex2 info` prints the same text.

#include <string>

class CC3d;

// "$HeaderInformation" and its ten lines.
std::string DstHeaderText(const CC3d& c3d);
// One "$label" block per header event.
std::string DstEventsText(const CC3d& c3d);
