#pragma once
// The descriptions of the input formats the writers serve, and the texts they
// share. Adding a format adds a description here, never a copy of a writer.

#include "export/ExportJob.h"

// The export log line; formats whose frame numbers are unsigned use the %u form.
extern const char kExportedLog[];          // "Exported %s To %s. Frames %d to %d"
extern const char kExportedLogUnsigned[];  // "Exported %s To %s. Frames %u to %u"
// Default name of 3D point j (1-based) when POINT:LABELS does not name it.
extern const char kMarkerLabelFormat[];  // "Marker %02d"

// C3D: document "CC3dDoc", channels "Channel %02d", points and events, every
// analog sample of a frame, all three DST flavours. The recording passed to
// its header function must be a CC3d.
const CFormatDescription& C3dFormatDescription();
