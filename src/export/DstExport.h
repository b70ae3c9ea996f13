#pragma once
// The general DST flavour, written for every input format from the common
// shape and the format's description:
//
//   signature line                  "#!DST-2.0 Data file created by Kinex2 2.560"
//   $OriginalFile / input path
//   $HeaderInformation + key lines  header flag only; C3D adds one block per event
//   $<group>  key lines             per selected group
//   $<param>  key lines + values    per selected parameter
//   !<channel>-1 / one value a line per selected analog channel, frames F..L
//   !<point>-3|-4|-5 / one frame a line  per selected point (C3D)
//
// A key line is the key padded to 27 characters, ": " and the value. Section
// names replace blanks (and, for channels and points, hyphens) by "_".

#include <cstdint>
#include <string>
#include <string_view>

#include "export/ExportJob.h"
#include "export/ExportOptions.h"

// "#!DST-2.0 Data file created by Kinex2 %s\n"
extern const char kDstSignatureFormat[];
// The signature line for a version string ("2.560"), line end included.
std::string MakeDstSignature(std::string_view version);

// Writes the general DST file of `job`. Asks before overwriting (unless the
// job says a batch runs), writes through a temporary file, steps the progress
// indicator once per item, logs the export line. Returns the bytes written, or
// 0 when nothing was written (declined, or a failure already reported as
// "ERROR in <output> : <reason>" with the old target left untouched).
std::uint64_t ExportDstGeneral(const CExportJob& job, const DstOptions& options,
                               std::string_view signature);
