#include "app/BatchExport.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <system_error>

#include "app/AppPaths.h"
#include "app/ConvertCommand.h"
#include "app/Kinex2App.h"
#include "documents/DocumentBase.h"
#include "platform/Files.h"
#include "platform/OutputFile.h"
#include "platform/Platform.h"
#include "platform/Text.h"

const char kUnableToOpenList[] = "Unable to Open the selected file";
const char kExportingFromTo[] = "Exporting from %s To %s";

namespace {

constexpr std::size_t kListFields = 4;
constexpr char kWholeRange[] = "-1";
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// Every comma separates, so an empty field keeps its place: "a.c3d,,10,20"
// exports frames 10 to 20 to the default output.
std::vector<std::string> ListFields(std::string_view line) {
  std::vector<std::string> fields;
  while (fields.size() < kListFields) {
    const std::size_t comma = line.find(',');
    fields.push_back(Trim(line.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    line.remove_prefix(comma + 1);
  }
  return fields;
}

// "-1" or nothing: that end of the recording.
std::optional<long long> FrameField(const std::string& text) {
  if (text.empty() || text == kWholeRange) return std::nullopt;
  return LeadingInteger(text);
}

// While a batch runs the writers never ask: the batch asks its own
// four-answer question before each export.
class COverwriteAllScope {
 public:
  explicit COverwriteAllScope(CKinex2App& app) : m_app(app) { m_app.overwriteAll = true; }
  ~COverwriteAllScope() { m_app.overwriteAll = false; }
  COverwriteAllScope(const COverwriteAllScope&) = delete;
  COverwriteAllScope& operator=(const COverwriteAllScope&) = delete;

 private:
  CKinex2App& m_app;
};

bool IsOtherExistingFile(const std::filesystem::path& output, const std::filesystem::path& input) {
  std::error_code ec;
  // /dev/stdout is written through, whatever file the shell connected.
  if (COutputFile::WritesInPlace(output)) return false;
  if (!std::filesystem::is_regular_file(output, ec)) return false;
  // Written over its own input the row is refused by the writer; asking
  // first would only make Yes look possible.
  return !std::filesystem::equivalent(output, input, ec);
}

enum class RowOutcome { Written, NotWritten, Skipped, Cancel };

RowOutcome ExportRow(CKinex2App& app, const CBatchRow& row, const std::filesystem::path& input,
                     const std::filesystem::path& output, bool& yesToAll) {
  if (RefusesC3dOutput(input, output)) {
    app.LogMessage(ErrorInFile(FullPath(input), kC3dNotWritable), true, true);
    return RowOutcome::NotWritten;
  }
  std::unique_ptr<CDocumentBase> doc = OpenConversionDocument(app, input, output);
  if (!doc) return RowOutcome::NotWritten;
  RowOutcome outcome = RowOutcome::NotWritten;
  if (NarrowConversionFrames(app, *doc, FrameField(row.start), FrameField(row.end))) {
    OverwriteAnswer answer = OverwriteAnswer::Yes;
    if (!yesToAll && IsOtherExistingFile(output, input)) {
      answer = app.Platform().AskOverwrite(Format(kOverwriteQuestion, PathToUtf8(output).c_str()));
    }
    if (answer == OverwriteAnswer::YesToAll) yesToAll = true;
    if (answer == OverwriteAnswer::Cancel) {
      outcome = RowOutcome::Cancel;
    } else if (answer == OverwriteAnswer::No) {
      outcome = RowOutcome::Skipped;
    } else if (answer != OverwriteAnswer::No &&
               // The output's name decides its kind as in convert; a name
               // without a known extension follows "ExportTo".
               ExportConversion(*doc, output, KindFromOutputName(output)) > 0) {
      outcome = RowOutcome::Written;
    }
  }
  // Closed whatever happened: a long batch answered No leaves nothing open.
  doc->OnCloseDocument();
  return outcome;
}

}  // namespace

bool ReadBatchList(const std::filesystem::path& listFile, std::vector<CBatchRow>& rows) {
  rows.clear();
  // A list piped to the program was read once already; otherwise a folder
  // or a FIFO nobody writes to is refused at once.
  std::string text;
  if (const std::string* piped = PipedFileText(listFile)) {
    text = *piped;
  } else {
    if (!IsReadableRegularFile(listFile)) return false;
    std::ifstream in(listFile, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
  }
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    // Editors on Windows start a UTF-8 text with a byte-order mark, which
    // would otherwise become part of the first input's name.
    if (rows.empty() && line.rfind(kUtf8Bom, 0) == 0) line.erase(0, sizeof kUtf8Bom - 1);
    if (TrimView(line).empty()) continue;
    const std::vector<std::string> fields = ListFields(line);
    CBatchRow row;
    row.input = fields[0];
    if (fields.size() > 1) row.output = fields[1];
    if (fields.size() > 2) row.start = fields[2];
    if (fields.size() > 3) row.end = fields[3];
    rows.push_back(std::move(row));
  }
  return true;
}

std::filesystem::path BatchInputPath(const CBatchRow& row,
                                     const std::filesystem::path& listFolder) {
  const std::filesystem::path input = PathFromUtf8(row.input);
  return FullPath(input.is_absolute() ? input : listFolder / input);
}

std::filesystem::path BatchOutputPath(const CBatchRow& row, const std::filesystem::path& input,
                                      int exportTo) {
  if (row.output.empty()) return SaveOutputPath(input, exportTo);
  const std::filesystem::path output = PathFromUtf8(row.output);
  return FullPath(output.is_absolute() ? output : input.parent_path() / output);
}

CBatchResult RunBatch(CKinex2App& app, const std::vector<CBatchRow>& rows,
                      const std::filesystem::path& listFolder, bool yesToAll,
                      CBatchListener* listener) {
  COverwriteAllScope scope(app);
  CBatchResult result;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::filesystem::path input = BatchInputPath(rows[i], listFolder);
    const std::filesystem::path output = BatchOutputPath(rows[i], input, app.ExportTo);
    if (listener != nullptr) {
      listener->RowStarted(i, rows.size(),
                           Format(kExportingFromTo, PathToUtf8(input.filename()).c_str(),
                                  PathToUtf8(output.filename()).c_str()),
                           output);
    }
    const RowOutcome outcome = ExportRow(app, rows[i], input, output, yesToAll);
    app.Platform().SetStatusText({});
    if (listener != nullptr) listener->RowFinished(i);
    if (outcome == RowOutcome::Cancel) {
      result.cancelled = true;
      result.notWritten += rows.size() - i;
      result.untried = rows.size() - i;
      break;
    }
    if (outcome == RowOutcome::Skipped) ++result.skipped;
    ++(outcome == RowOutcome::Written ? result.written : result.notWritten);
  }
  return result;
}
