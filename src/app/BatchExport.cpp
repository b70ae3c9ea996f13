#include "app/BatchExport.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <exception>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <sstream>
#include <system_error>

#include "app/AppPaths.h"
#include "app/ConvertCommand.h"
#include "app/Kinex2App.h"
#include "documents/DocumentBase.h"
#include "platform/BlockWriter.h"
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
// With rows at once the rows also share the cores: unless --threads chose,
// each export formats on its share of them.
class CBatchRunScope {
 public:
  CBatchRunScope(CKinex2App& app, int jobs) : m_app(app), m_threads(app.exportThreads) {
    m_app.overwriteAll = true;
    if (jobs > 1 && m_threads <= 0) m_app.exportThreads = std::max(1, AvailableCores() / jobs);
  }
  ~CBatchRunScope() {
    m_app.overwriteAll = false;
    m_app.exportThreads = m_threads;
  }
  CBatchRunScope(const CBatchRunScope&) = delete;
  CBatchRunScope& operator=(const CBatchRunScope&) = delete;

 private:
  CKinex2App& m_app;
  int m_threads;
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

// The four-answer question of an existing output, asked in the row's turn:
// after a Yes To All every later row is answered Yes unasked.
OverwriteAnswer AskInTurn(CPlatform& ui, bool& yesToAll, const std::string& question) {
  if (yesToAll) return OverwriteAnswer::Yes;
  const OverwriteAnswer answer = ui.AskOverwrite(question);
  if (answer == OverwriteAnswer::YesToAll) yesToAll = true;
  return answer;
}

using AskOverwriteFn = std::function<OverwriteAnswer(const std::string& question)>;

// One row: its messages through `platform`, its question through `ask`.
RowOutcome ExportRow(const CKinex2App& app, CPlatform& platform, const CBatchRow& row,
                     const std::filesystem::path& input, const std::filesystem::path& output,
                     const AskOverwriteFn& ask) {
  if (RefusesC3dOutput(input, output)) {
    platform.LogMessage(ErrorInFile(FullPath(input), kC3dNotWritable), true, true);
    return RowOutcome::NotWritten;
  }
  std::unique_ptr<CDocumentBase> doc = OpenConversionDocument(app, platform, input, output);
  if (!doc) return RowOutcome::NotWritten;
  RowOutcome outcome = RowOutcome::NotWritten;
  if (NarrowConversionFrames(platform, *doc, FrameField(row.start), FrameField(row.end))) {
    OverwriteAnswer answer = OverwriteAnswer::Yes;
    if (IsOtherExistingFile(output, input)) {
      answer = ask(Format(kOverwriteQuestion, PathToUtf8(output).c_str()));
    }
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

namespace {

struct CRowFiles {
  std::filesystem::path input;
  std::filesystem::path output;
};

CRowFiles RowFiles(const CKinex2App& app, const CBatchRow& row,
                   const std::filesystem::path& listFolder) {
  CRowFiles files;
  files.input = BatchInputPath(row, listFolder);
  files.output = BatchOutputPath(row, files.input, app.ExportTo);
  return files;
}

std::string RowStatus(const CRowFiles& files) {
  return Format(kExportingFromTo, PathToUtf8(files.input.filename()).c_str(),
                PathToUtf8(files.output.filename()).c_str());
}

// Adds a finished row to the result; true when the batch goes on.
bool Count(CBatchResult& result, RowOutcome outcome, std::size_t row, std::size_t rows) {
  if (outcome == RowOutcome::Cancel) {
    result.cancelled = true;
    result.notWritten += rows - row;
    result.untried = rows - row;
    return false;
  }
  if (outcome == RowOutcome::Skipped) ++result.skipped;
  ++(outcome == RowOutcome::Written ? result.written : result.notWritten);
  return true;
}

CBatchResult RunRowsInTurn(CKinex2App& app, const std::vector<CBatchRow>& rows,
                           const std::filesystem::path& listFolder, bool yesToAll,
                           CBatchListener* listener) {
  CBatchResult result;
  const AskOverwriteFn ask = [&](const std::string& question) {
    return AskInTurn(app.Platform(), yesToAll, question);
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const CRowFiles files = RowFiles(app, rows[i], listFolder);
    if (listener != nullptr) listener->RowStarted(i, rows.size(), RowStatus(files), files.output);
    app.KeepLogOff(files.input);
    const RowOutcome outcome =
        ExportRow(app, app.Platform(), rows[i], files.input, files.output, ask);
    app.Platform().SetStatusText({});
    if (listener != nullptr) listener->RowFinished(i);
    if (!Count(result, outcome, i, rows.size())) break;
  }
  return result;
}

// ---- rows at once ------------------------------------------------------------
//
// Worker threads take the rows in list order and convert them, each with a
// platform of its own that holds the row's messages and questions. This
// thread goes through the rows in list order: it announces a row, shows its
// messages and asks its questions as they come, and moves on when the row is
// done, so the terminal and the log read as if the rows ran one by one. A
// row that shares a file with an earlier row (the same output, or one's
// output the other's input) starts only when that row is done.

// What a worker's row said, waiting for the row's turn.
struct CRowEvent {
  enum class Kind { Message, YesNo, Overwrite } kind = Kind::Message;
  std::string text;
  bool showBox = false;
  bool writeToLog = false;
};

struct CRowState {
  std::vector<CRowEvent> events;
  std::size_t shown = 0;  // events this thread has dealt with
  bool answered = false;  // the pending question has its answer
  OverwriteAnswer answer = OverwriteAnswer::Yes;
  bool done = false;
  RowOutcome outcome = RowOutcome::NotWritten;
  std::exception_ptr error;
};

class CParallelBatch {
 public:
  CParallelBatch(CKinex2App& app, const std::vector<CBatchRow>& rows,
                 const std::filesystem::path& listFolder, bool yesToAll, CBatchListener* listener,
                 int jobs)
      : m_app(app),
        m_rows(rows),
        m_listener(listener),
        m_yesToAll(yesToAll),
        m_files(rows.size()),
        m_after(rows.size(), 0),
        m_state(rows.size()) {
    for (std::size_t i = 0; i < rows.size(); ++i) m_files[i] = RowFiles(app, rows[i], listFolder);
    FindSharedFiles();
    // Every recording is checked against the log file before any is read,
    // since the rows are read out of turn.
    for (const CRowFiles& f : m_files) m_app.KeepLogOff(f.input);
    const std::size_t workers = std::min<std::size_t>(static_cast<std::size_t>(jobs), rows.size());
    for (std::size_t w = 0; w < workers; ++w) m_workers.emplace_back([this] { Work(); });
  }
  ~CParallelBatch() {
    {
      std::lock_guard lock(m_mutex);
      // A worker waiting for an answer gets Cancel.
      m_stop = true;
      m_closing = true;
    }
    m_changed.notify_all();
    for (std::thread& w : m_workers) w.join();
  }
  CParallelBatch(const CParallelBatch&) = delete;
  CParallelBatch& operator=(const CParallelBatch&) = delete;

  CBatchResult Run() {
    CBatchResult result;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
      if (m_listener != nullptr) {
        m_listener->RowStarted(i, m_rows.size(), RowStatus(m_files[i]), m_files[i].output);
      }
      const RowOutcome outcome = FollowRow(i);
      m_app.Platform().SetStatusText({});
      if (m_listener != nullptr) m_listener->RowFinished(i);
      if (m_cancelled) {
        CountAfterCancel(result, outcome);
      } else if (!Count(result, outcome, i, m_rows.size())) {
        m_cancelled = true;
        std::lock_guard lock(m_mutex);
        m_stop = true;  // no worker takes another row
      }
      // After a Cancel only the rows already under way are followed.
      if (m_cancelled && !Started(i + 1)) break;
    }
    return result;
  }

 private:
  // The platform of a row on a worker thread.
  class CRowPlatform : public CPlatform {
   public:
    CRowPlatform(CParallelBatch& batch, std::size_t row) : m_batch(batch), m_row(row) {}
    void LogMessage(const std::string& text, bool showBox, bool writeToLog) override {
      m_batch.Post(m_row, {CRowEvent::Kind::Message, text, showBox, writeToLog});
    }
    bool AskYesNo(const std::string& question) override {
      return m_batch.Ask(m_row, {CRowEvent::Kind::YesNo, question}) == OverwriteAnswer::Yes;
    }
    OverwriteAnswer AskOverwrite(const std::string& question) override {
      return m_batch.Ask(m_row, {CRowEvent::Kind::Overwrite, question});
    }

   private:
    CParallelBatch& m_batch;
    std::size_t m_row;
  };

  // m_after[j]: one more than the last earlier row sharing a file with row
  // j (0: none); row j waits until this thread has gone past that row.
  void FindSharedFiles() {
    std::unordered_map<std::string, std::size_t> lastWriter;  // one more than the row
    std::unordered_map<std::string, std::size_t> lastReader;
    const auto key = [](const std::filesystem::path& p) {
      std::error_code ec;
      std::filesystem::path real = std::filesystem::weakly_canonical(p, ec);
      if (ec) real = p.lexically_normal();
      std::string text = PathToUtf8(real);
#ifdef _WIN32
      for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
#endif
      return text;
    };
    for (std::size_t j = 0; j < m_files.size(); ++j) {
      const std::string in = key(m_files[j].input);
      const std::string out = key(m_files[j].output);
      std::size_t after = 0;
      for (const auto* map : {&lastWriter, &lastReader}) {
        if (auto it = map->find(out); it != map->end()) after = std::max(after, it->second);
      }
      if (auto it = lastWriter.find(in); it != lastWriter.end()) after = std::max(after, it->second);
      m_after[j] = after;
      lastWriter[out] = j + 1;
      lastReader[in] = j + 1;
    }
  }

  void Work() {
    for (;;) {
      std::size_t row = 0;
      {
        std::unique_lock lock(m_mutex);
        if (m_stop || m_next >= m_rows.size()) return;
        row = m_next++;
        m_changed.wait(lock, [&] { return m_stop || m_turn >= m_after[row]; });
        if (m_stop) {
          m_state[row].outcome = RowOutcome::Cancel;
          m_state[row].done = true;
          m_changed.notify_all();
          return;
        }
      }
      CRowPlatform platform(*this, row);
      // Once Yes To All was answered (or given as --overwrite) every later
      // row is answered Yes: the row need not wait for its turn to hear it.
      const AskOverwriteFn ask = [&](const std::string& q) {
        return m_yesToAll.load() ? OverwriteAnswer::Yes : platform.AskOverwrite(q);
      };
      RowOutcome outcome = RowOutcome::NotWritten;
      std::exception_ptr error;
      try {
        outcome = ExportRow(m_app, platform, m_rows[row], m_files[row].input, m_files[row].output,
                            ask);
      } catch (...) {
        error = std::current_exception();
      }
      {
        std::lock_guard lock(m_mutex);
        m_state[row].outcome = outcome;
        m_state[row].error = error;
        m_state[row].done = true;
      }
      m_changed.notify_all();
    }
  }

  // A row that was under way when an earlier row was cancelled was counted
  // as untried; it counts as what it became, unless it had a question (the
  // Cancel answers it).
  static void CountAfterCancel(CBatchResult& result, RowOutcome outcome) {
    if (outcome == RowOutcome::Cancel) return;
    --result.untried;
    if (outcome == RowOutcome::Written) {
      --result.notWritten;
      ++result.written;
    }
    if (outcome == RowOutcome::Skipped) ++result.skipped;
  }

  void Post(std::size_t row, CRowEvent event) {
    {
      std::lock_guard lock(m_mutex);
      m_state[row].events.push_back(std::move(event));
    }
    m_changed.notify_all();
  }

  OverwriteAnswer Ask(std::size_t row, CRowEvent question) {
    std::unique_lock lock(m_mutex);
    CRowState& s = m_state[row];
    s.answered = false;
    s.events.push_back(std::move(question));
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return s.answered || m_closing; });
    return s.answered ? s.answer : OverwriteAnswer::Cancel;
  }

  bool Started(std::size_t row) {
    std::lock_guard lock(m_mutex);
    return row < m_next;
  }

  // Shows row i's messages and asks its questions until it is done.
  RowOutcome FollowRow(std::size_t i) {
    CRowState& s = m_state[i];
    std::unique_lock lock(m_mutex);
    m_turn = i;
    m_changed.notify_all();
    for (;;) {
      // Only rows a worker took are followed (Run stops at the first one
      // left after a Cancel), so the row always comes to an end.
      m_changed.wait(lock, [&] { return s.shown < s.events.size() || s.done; });
      while (s.shown < s.events.size()) {
        const CRowEvent event = s.events[s.shown++];
        lock.unlock();
        OverwriteAnswer answer = OverwriteAnswer::Yes;
        switch (event.kind) {
          case CRowEvent::Kind::Message:
            m_app.LogMessage(event.text, event.showBox, event.writeToLog);
            break;
          case CRowEvent::Kind::YesNo:
            answer = m_cancelled || !m_app.Platform().AskYesNo(event.text) ? OverwriteAnswer::No
                                                                           : OverwriteAnswer::Yes;
            break;
          case CRowEvent::Kind::Overwrite:
            if (m_cancelled) {
              answer = OverwriteAnswer::Cancel;
            } else {
              bool yesToAll = m_yesToAll.load();
              answer = AskInTurn(m_app.Platform(), yesToAll, event.text);
              m_yesToAll = yesToAll;
            }
            break;
        }
        lock.lock();
        if (event.kind != CRowEvent::Kind::Message) {
          s.answer = answer;
          s.answered = true;
          m_changed.notify_all();
        }
      }
      if (s.done && s.shown == s.events.size()) break;
    }
    m_turn = i + 1;
    m_changed.notify_all();
    if (s.error) {
      const std::exception_ptr error = s.error;
      lock.unlock();
      std::rethrow_exception(error);
    }
    const RowOutcome outcome = s.outcome;
    s.events = {};
    return outcome;
  }


  CKinex2App& m_app;
  const std::vector<CBatchRow>& m_rows;
  CBatchListener* m_listener;
  std::atomic<bool> m_yesToAll;
  bool m_cancelled = false;  // the user answered Cancel (this thread only)
  std::vector<CRowFiles> m_files;
  std::vector<std::size_t> m_after;
  std::vector<CRowState> m_state;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::size_t m_next = 0;  // the next row a worker takes
  std::size_t m_turn = 0;  // the row this thread is following; rows before it are done
  bool m_stop = false;     // workers take no further row
  bool m_closing = false;  // the batch is left: no question is answered any more
  std::vector<std::thread> m_workers;
};

}  // namespace

CBatchResult RunBatch(CKinex2App& app, const std::vector<CBatchRow>& rows,
                      const std::filesystem::path& listFolder, bool yesToAll,
                      CBatchListener* listener, int jobs) {
  if (jobs <= 1 || rows.size() < 2) {
    CBatchRunScope scope(app, 1);
    return RunRowsInTurn(app, rows, listFolder, yesToAll, listener);
  }
  CBatchRunScope scope(app, jobs);
  CParallelBatch batch(app, rows, listFolder, yesToAll, listener, jobs);
  return batch.Run();
}
