#pragma once
// The VDO flavour of DST: a C3D recording's rates, free variable lines,
// force-plate corners, EMG channels, force-plate components and markers,
// every channel and marker under its translated name (lengths in metres):
//
//   #!DST-2.0 VDO-2.0
//   !MarkerFrequency / !ForcePlateFrequency / !EMGFrequency   "%.2f" each
//   the extra lines starting with "$" or "!": variable line, value line
//   !ForcePlate<p>Corner<k>-3 / "x  y  z"        per plate and corner
//   !<DST name>-1 / one value a line             per translated selected channel
//   !ForcePlate<p>FX ... TZ / one value a line   per selected component of a
//                                                type-2 or type-3 plate
//   !<DST name>-3 / "x y z " a line              per translated selected marker
//
// Channels and markers without a translation are left out.

#include <cstdint>

#include "export/ExportJob.h"
#include "export/ExportOptions.h"

extern const char kVdoSignature[];  // "#!DST-2.0 VDO-2.0\n"
// Shown when the translation table is empty.
extern const char kNoMarkerTranslations[];

// Metres per unit of POINT:UNITS ("mm", "cm", "ft"/"feet", "in"/"inch",
// trimmed, any case); 1 for anything else or no units.
float PointUnitFactor(const CParamSet& set);

// Progress steps of the VDO export: 1 + the selected channels and points +
// 6 per used platform.
int VdoProgressRange(const CExportJob& job);

// Writes the VDO file of `job` (a C3D recording) with the decimals of
// `options.Precision` for the force-plate values and the translations and
// extra lines of `labels`. Returns the bytes written, 0 for nothing.
std::uint64_t ExportDstVdo(const CExportJob& job, const DstOptions& options,
                           const LabelTranslations& labels);
