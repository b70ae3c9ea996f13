#pragma once
// The one run every writer goes through: the safe output file (overwrite
// question, temporary file, refusal to overwrite the input), the wait cursor,
// the progress indicator, the out-of-memory report, the commit and the
// "Exported ..." log line. A writer only fills the file.

#include <cstdint>
#include <functional>

#include "export/ExportJob.h"
#include "platform/BlockWriter.h"

class COutputFile;
class CProgressScope;

// Runs `write` over `job.output` with a progress range of `progressRange`
// steps and logs `logFormat` (the input, the output, the frame range) when
// the file was written. Returns its length; 0 when nothing was written (the
// user declined, or the failure was reported and the old target is left as
// it was).
std::uint64_t RunExport(const CExportJob& job, int progressRange,
                        const std::function<void(COutputFile&, CProgressScope&)>& write,
                        const char* logFormat);

// Rough sizes of a DST sample's and a point record's line, for the blocks.
constexpr std::size_t kSampleBytes = 10;
constexpr std::size_t kPointBytes = 40;

// Items `begin` .. `end` - 1 of an export, formatted on the job's threads.
inline CBlockRun BlockRun(const CExportJob& job, std::int64_t begin, std::int64_t end,
                          std::size_t bytesPerItem) {
  return CBlockRun{begin, end, bytesPerItem, ExportThreads(job.threads)};
}
