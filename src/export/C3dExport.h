#pragma once
// C3D output of a recording whose format writes it (formats/c3d/C3dWriter):
// every channel, the frames of the job's range, through the shared export
// run. A recording that cannot be laid out in C3D frames, or is too large for
// a C3D file, is refused before anything is asked or written.

#include <cstdint>

#include "export/ExportJob.h"

// Bytes written; 0 when nothing was (refused, declined or failed, each
// reported). The log line names the frames really written: the range cut to
// whole video frames.
std::uint64_t ExportC3d(const CExportJob& job, float analogRate, int videoFrameRate);
