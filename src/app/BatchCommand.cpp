#include "app/BatchCommand.h"

#include <climits>

#include "app/AppPaths.h"
#include "app/BatchExport.h"
#include "app/CommandLine.h"
#include "app/ConsolePlatform.h"
#include "app/ConvertCommand.h"
#include "app/Kinex2App.h"
#include "platform/BlockWriter.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace {

constexpr char kSkippedExisting[] = "kinex2: %s exists; skipped";
constexpr char kBatchSummary[] = "kinex2: %zu of %zu rows written, %zu skipped, %zu failed%s";
constexpr char kBatchCancelled[] = " (the batch was cancelled)";

// The terminal of a batch: one line per row and one progress line over the
// rows. The writers' own progress bars would draw over it, so they draw
// nothing here.
class CBatchConsole : public CConsolePlatform, public CBatchListener {
 public:
  using CConsolePlatform::CConsolePlatform;
  ~CBatchConsole() override { CHeadlessPlatform::ProgressEnd(); }

  void ProgressBegin(int /*range*/) override {}
  void ProgressStep() override {}
  void ProgressEnd() override {}

  void RowStarted(std::size_t row, std::size_t rows, const std::string& status,
                  const std::filesystem::path& output) override {
    if (row == 0)
      CHeadlessPlatform::ProgressBegin(rows > INT_MAX ? INT_MAX : static_cast<int>(rows));
    m_output = output;
    // Not a message of the program: it never reaches the log file.
    CHeadlessPlatform::LogMessage(status, true, false);
  }
  // A No nobody typed (no terminal) says how to replace the file.
  OverwriteAnswer AskOverwrite(const std::string& question) override {
    const OverwriteAnswer answer = CConsolePlatform::AskOverwrite(question);
    if (answer == OverwriteAnswer::No) {
      CHeadlessPlatform::LogMessage(
          Format(explainNo ? kOverwriteDeclined : kSkippedExisting, PathToUtf8(m_output).c_str()),
          true, false);
    }
    return answer;
  }
  void RowFinished(std::size_t /*row*/) override { CHeadlessPlatform::ProgressStep(); }

  bool explainNo = true;  // off with --skip-existing, which says No on purpose: only named

 private:
  std::filesystem::path m_output;
};

}  // namespace

int RunBatchCommand(const std::vector<std::string>& args, std::FILE* err,
                    const std::filesystem::path& settingsFile, const std::filesystem::path& iniFile,
                    const std::vector<CSettingOverride>& sets) {
  CBatchRequest request;
  request.settingsFile = settingsFile;
  request.iniFile = iniFile;
  request.sets = sets;
  std::string error;
  if (!ParseBatchArguments(args, request, error)) {
    std::fprintf(err, "kinex2: %s\nTry kinex2 batch --help.\n", error.c_str());
    return kExitBadCommandLine;
  }
  if (request.help) {
    std::fprintf(stdout, "Usage:\n%s", kBatchUsage);
    return kExitWritten;
  }
  if (!NamedFilesReadable(request.settingsFile, request.iniFile, err)) return kExitBadCommandLine;

  CBatchConsole ui(err);
  ui.explainNo = !request.skipExisting;
  ui.SetAnswerPolicy(request.skipExisting ? CHeadlessPlatform::AnswerPolicy::No
                                          : CHeadlessPlatform::AnswerPolicy::AskOnTerminal);
  CKinex2App app(ui);
  app.settingOverrides = request.sets;
  // Read only: a script's batch never changes the stored settings.
  app.InitInstance(request.settingsFile, request.iniFile, true);
  const std::filesystem::path list = FullPath(request.list);
  std::vector<CBatchRow> rows;
  // A pipe (batch <(make-list)) is read to its end once.
  if (!IsReadableNamedFile(list) || !ReadBatchList(list, rows)) {
    app.LogMessage(ErrorInFile(list, kUnableToOpenList), true, false);
    return kExitNothingWritten;
  }
  // Relative names of a piped list are taken from the current folder: the
  // pipe's own folder (/dev/fd) holds no recordings.
  const std::filesystem::path folder =
      PipedFileText(list) != nullptr ? FullPath(".").parent_path() : list.parent_path();
  const int jobs = request.jobs > 0 ? request.jobs : AvailableCores();
  const CBatchResult result = RunBatch(app, rows, folder, request.overwrite, &ui, jobs);
  // Rows a Cancel left were never tried: neither skipped nor failed.
  const std::size_t failed = result.notWritten - result.skipped - result.untried;
  ui.LogMessage(Format(kBatchSummary, result.written, rows.size(), result.skipped, failed,
                       result.cancelled ? kBatchCancelled : ""),
                true, false);
  return result.Status();
}
