#pragma once
// What the core (readers, writers, documents) asks of its surroundings. The
// desktop program implements it with Qt, the command line and the tests with
// HeadlessPlatform or a recording implementation. Nothing in the core shows a
// window or writes to the terminal by itself.

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
  void Step() { m_platform.ProgressStep(); }
  CProgressScope(const CProgressScope&) = delete;
  CProgressScope& operator=(const CProgressScope&) = delete;

 private:
  CPlatform& m_platform;
};
