#include "export/C3dExport.h"

#include "export/ExportRun.h"
#include "formats/c3d/C3dWriter.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "platform/Text.h"

namespace {
constexpr int kProgressSteps = 3;  // header, parameters, data
constexpr char kSamplesLeftOut[] =
    "Warning: %s : the last %lld samples of each channel make no whole video frame and were not "
    "written to %s";
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
                       job.platform,  job.overwriteAll, job.logErrorOnly, job.threads};
  const std::uint64_t bytes = RunExport(
      run, kProgressSteps,
      [&writer](COutputFile& file, CProgressScope& progress) { writer.Write(file, progress); },
      job.format.exportedLogFormat);
  // A C3D frame holds R samples per channel: the rest of the range cannot be
  // written, which the user must hear of.
  const long long left = static_cast<long long>(job.selection.rangeLast) - written.rangeLast;
  if (bytes > 0 && left > 0) {
    job.platform.LogMessage(Format(kSamplesLeftOut, job.recording.fileName.string().c_str(), left,
                                   job.output.string().c_str()),
                            true, true);
  }
  return bytes;
}
