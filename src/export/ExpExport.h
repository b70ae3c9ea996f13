#pragma once
// The EXP flavour of DST: the report of an EMG test set. A header naming the
// test set (location, serial number, equipment, date, the channels tested,
// the sampling rate, processing, units, resolution), then the samples of up
// to four selected channels in microvolts, one line per sample, tab between
// channels. Channels whose values pass 1000 uV are named in a message after
// writing; the file itself does not change for that.

#include <cstdint>

#include "export/ExportJob.h"
#include "export/ExportOptions.h"

extern const char kExpSignature[];  // "#!DST-1.0 EXP-1.0 "

// Writes the report of `job` with the test-set values; `extraScale`
// multiplies every channel's scale (the MAC "Scale" setting; 1 elsewhere).
// Returns the bytes written, 0 for nothing.
std::uint64_t ExportDstExp(const CExportJob& job, const TestSetValues& testSet, float extraScale);

// The amplitude check on a value as "%.0f" writes it: more than 1000 uV
// either way, or not a number.
bool ExceedsTestRange(float microvolts);
