#pragma once
// The batch export: a list file names many recordings, each converted as
// `kinex2 convert` converts one, and each document closed again after its
// row, whatever the row's outcome. The Batch File Processing dialog and
// `kinex2 batch` both run it.
//
// List file grammar, one row per line:
//   INPUT [, OUTPUT [, START [, END]]]
// Lines are split at every comma and each field trimmed; fields past the
// fourth are ignored; a line blank after trimming is no row. A relative INPUT
// is taken from the list file's folder; a relative OUTPUT from its INPUT's
// folder. No OUTPUT: the input's name with extension "dst" or "txt" by
// "ExportTo", as Save names it. START or END "-1" or empty: that end of the
// recording; other text is read as a whole number (0 when it is none) and the
// range must satisfy first <= START <= END <= last, else the row is skipped
// with the error the conversion gives.

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

class CKinex2App;

extern const char kUnableToOpenList[];  // "Unable to Open the selected file"
extern const char kExportingFromTo[];   // "Exporting from %s To %s"

struct CBatchRow {
  std::string input;   // as the list has it, trimmed
  std::string output;  // empty: the default name
  std::string start = "-1";
  std::string end = "-1";
};

// Reads the rows of `listFile`; false when it cannot be opened (nothing is
// reported: the caller says "Unable to Open the selected file").
bool ReadBatchList(const std::filesystem::path& listFile, std::vector<CBatchRow>& rows);

// The files a row names, as full paths.
std::filesystem::path BatchInputPath(const CBatchRow& row, const std::filesystem::path& listFolder);
std::filesystem::path BatchOutputPath(const CBatchRow& row, const std::filesystem::path& input,
                                      int exportTo);

// Told of each row as it starts (`row` counts from 0), for the dialog's
// status line and the terminal's progress; `status` is the "Exporting
// from %s To %s" text with both file names, `output` the full output path.
class CBatchListener {
 public:
  virtual ~CBatchListener() = default;
  virtual void RowStarted(std::size_t row, std::size_t rows, const std::string& status,
                          const std::filesystem::path& output) = 0;
  virtual void RowFinished(std::size_t /*row*/) {}
};

struct CBatchResult {
  std::size_t written = 0;
  std::size_t notWritten = 0;  // open failed, frames outside, declined, cancelled, export failed
  std::size_t skipped = 0;     // of those not written: an existing output kept
  std::size_t untried = 0;     // of those not written: left by a Cancel
  bool cancelled = false;
  // 0 when every row was written, 1 otherwise (the command's exit status).
  int Status() const { return notWritten == 0 ? 0 : 1; }
};

// Runs every row with the application's settings. An existing output is
// asked about with the four-answer question through the application's
// platform unless `yesToAll`; the writers themselves never ask while it runs.
// A row whose output is its own input is refused by the writer, unasked.
// `jobs` rows are converted at once; the listener, the messages and the
// questions still come row by row in list order, each row's together, and a
// row sharing a file with an earlier one waits for it. After a Cancel no
// further row starts; rows already under way finish and are counted as
// what they became, save that a question of theirs is answered Cancel.
CBatchResult RunBatch(CKinex2App& app, const std::vector<CBatchRow>& rows,
                      const std::filesystem::path& listFolder, bool yesToAll,
                      CBatchListener* listener = nullptr, int jobs = 1);
