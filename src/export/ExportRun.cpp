#include "export/ExportRun.h"

#include <new>

#include "formats/ReaderSupport.h"
#include "platform/Files.h"
#include "platform/OutputFile.h"
#include "platform/Platform.h"
#include "platform/Text.h"

std::uint64_t RunExport(const CExportJob& job, int progressRange,
                        const std::function<void(COutputFile&, CProgressScope&)>& write,
                        const char* logFormat) {
  COutputFile file(job.platform, job.output);
  if (!file.Create(job.overwriteAll, job.recording.fileName)) return 0;
  std::uint64_t length = 0;
  try {
    CWaitCursor wait(job.platform);
    CProgressScope progress(job.platform, progressRange);
    try {
      job.platform.RunLongWork(job.output.filename().string(), [&] { write(file, progress); });
    } catch (const COutputFile::CWriteFailed&) {
      // The first failed write ends the export; Commit reports why.
    } catch (const CProgressScope::CCancelled&) {
      // The unfinished file goes with `file`: nothing written, the old
      // target as it was, and nothing to report.
      return 0;
    }
    length = file.Commit();
  } catch (const std::bad_alloc&) {
    // The unfinished temporary file goes with `file`; the target is untouched.
    job.platform.LogMessage(ErrorInFile(job.output, kNotEnoughMemory), true, true);
    return 0;
  }
  if (length == 0) return 0;
  job.platform.LogMessage(
      Format(logFormat, job.recording.fileName.string().c_str(), job.output.string().c_str(),
             job.selection.rangeFirst, job.selection.rangeLast),
      false, !job.logErrorOnly);
  return length;
}
