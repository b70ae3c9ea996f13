#pragma once
// The text export: a recording as delimited tables for spreadsheets. A block
// of header values, the event, group and parameter tables (one row per
// attribute, one column per item), then the analog sample table and the 3D
// point table (one row per sample or frame), all laid out by TextOptions. One
// writer serves every format through its CFormatDescription.

#include <cstdint>

#include "export/ExportJob.h"
#include "export/ExportOptions.h"

// Writes job.output from the recording, the selection's flags and frame range
// and `options`. Asks before replacing an existing file (unless
// job.overwriteAll), reports every failure through job.platform and then logs
// "Exported %s To %s. Frames %d to %d". Returns the file's length; 0 when
// nothing was written (the user declined, or the file could not be created or
// written, in which case an existing target is left untouched).
std::uint64_t ExportText(const CExportJob& job, const TextOptions& options);
