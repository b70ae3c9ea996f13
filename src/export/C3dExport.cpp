#include "export/C3dExport.h"

#include "export/ExportRun.h"
#include "formats/c3d/C3dWriter.h"
#include "platform/Files.h"
#include "platform/Platform.h"

namespace {
constexpr int kProgressSteps = 3;  // header, parameters, data
}  // namespace

std::uint64_t ExportC3d(const CExportJob& job, float analogRate, int videoFrameRate) {
  const CC3dWriter writer({job.recording, analogRate, videoFrameRate, job.selection.rangeFirst,
                           job.selection.rangeLast});
  if (const char* refusal = writer.Refusal()) {
    job.platform.LogMessage(ErrorInFile(job.recording.fileName, refusal), true, true);
    return 0;
  }
  CExportSelection written = job.selection;
  written.rangeLast = writer.LastFrameWritten();
  const CExportJob run{job.recording, job.format,       written,         job.output,
                       job.platform,  job.overwriteAll, job.logErrorOnly};
  return RunExport(
      run, kProgressSteps,
      [&writer](COutputFile& file, CProgressScope& progress) { writer.Write(file, progress); },
      job.format.exportedLogFormat);
}
