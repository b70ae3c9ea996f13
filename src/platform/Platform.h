#pragma once
// What the core (readers, writers, documents) asks of its surroundings. The
// desktop program implements it with Qt, the command line and the tests with
// HeadlessPlatform or a recording implementation. Nothing in the core shows a
// window or writes to the terminal by itself.

#include <functional>
#include <string>

// Answers of the four-button overwrite question of the batch export.
enum class OverwriteAnswer { Yes, YesToAll, No, Cancel };

class CPlatform {
 public:
  virtual ~CPlatform() = default;

  // The one reporting operation. `showBox`: the user sees the text (message box,
  // or standard error when headless). `writeToLog`: the application appends it to
  // its log file when logging is on. The base implementation has no log file.
  virtual void LogMessage(const std::string& text, bool showBox, bool writeToLog) = 0;

  // Yes/No question; true means Yes.
  virtual bool AskYesNo(const std::string& question) = 0;
  virtual OverwriteAnswer AskOverwrite(const std::string& question) = 0;

  virtual void BeginWaitCursor() {}
  virtual void EndWaitCursor() {}

  // Progress indicator of long work: a range, then steps; End removes it.
  virtual void ProgressBegin(int /*range*/) {}
  virtual void ProgressStep() {}
  virtual void ProgressEnd() {}

  virtual void SetStatusText(const std::string& /*text*/) {}

  // Runs the long part of a job (an export's formatting and writing) and
  // returns when it is over, passing on its exception; `title` says what it
  // makes (the output's name). The desktop program runs it on a worker
  // thread, its window responsive, with a Cancel button; the others run it
  // right here. The work's progress steps, messages and questions may then
  // reach this platform from that thread.
  virtual void RunLongWork(const std::string& /*title*/, const std::function<void()>& work) {
    work();
  }
  // True once the user asked the long work to stop.
  virtual bool CancelRequested() const { return false; }

  // Whether an export to a FIFO nobody reads yet waits for its reader, as a
  // shell's redirection does (`kinex2 convert IN fifo & consumer < fifo`):
  // in the command-line programs, where Ctrl-C ends the wait; a window never
  // freezes on it.
  virtual bool MayWaitForPipeReader() const { return false; }
};

// The platform used where none was injected: a process-wide headless one
// unless the program installed another with SetDefaultPlatform.
CPlatform& DefaultPlatform();
// Installs `platform` as the default (nullptr restores the headless one). The
// caller keeps ownership and must keep it alive while it is installed.
void SetDefaultPlatform(CPlatform* platform);

// Holds the wait cursor for the lifetime of the scope.
class CWaitCursor {
 public:
  explicit CWaitCursor(CPlatform& p) : m_platform(p) { m_platform.BeginWaitCursor(); }
  ~CWaitCursor() { m_platform.EndWaitCursor(); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;

 private:
  CPlatform& m_platform;
};

// Shows a progress indicator for the lifetime of the scope.
class CProgressScope {
 public:
  CProgressScope(CPlatform& p, int range) : m_platform(p) { m_platform.ProgressBegin(range); }
  ~CProgressScope() { m_platform.ProgressEnd(); }
  // Thrown by a step once the user asked to stop the work.
  struct CCancelled {};

  void Step() {
    if (m_platform.CancelRequested()) throw CCancelled{};
    m_platform.ProgressStep();
  }
  void Steps(long long n) {
    if (m_platform.CancelRequested()) throw CCancelled{};
    for (; n > 0; --n) m_platform.ProgressStep();
  }
  CProgressScope(const CProgressScope&) = delete;
  CProgressScope& operator=(const CProgressScope&) = delete;

 private:
  CPlatform& m_platform;
};
