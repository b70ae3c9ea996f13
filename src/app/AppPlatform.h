#pragma once
// The platform the application hands to readers, documents and writers: the
// user-interface platform it wraps (Qt windows, or the headless terminal one)
// plus the application's log file. Every call except LogMessage goes straight
// to the wrapped platform.

#include <filesystem>
#include <string>

#include "platform/Platform.h"

// The three logging settings ("Log", "LogFile", "LogErrorOnly" of section
// "Settings"); LogErrorOnly is applied by the callers, which pass it inverted
// as the writeToLog flag of information lines.
struct LogSettings {
  int Log = 0;
  std::string LogFile;  // UTF-8 path
  int LogErrorOnly = 1;

  bool operator==(const LogSettings&) const = default;
};

// Appends `text` and a line end to `file`, creating it when missing and never
// truncating it. The file is open only during the call, so it can be read or
// deleted while the program runs. False when it could not be written.
bool AppendLogLine(const std::string& file, const std::string& text);

class CAppPlatform : public CPlatform {
 public:
  // `ui` and `settings` must outlive this object; `settings` is read at every
  // message, so changes made by the Logging dialog apply at once.
  CAppPlatform(CPlatform& ui, const LogSettings& settings) : m_ui(&ui), m_settings(settings) {}

  // Replaces the wrapped platform (the desktop program swaps in its Qt one once
  // the application window exists). Wrapping itself is refused.
  void SetUi(CPlatform& ui) {
    if (&ui != this) m_ui = &ui;
  }
  CPlatform& Ui() const { return *m_ui; }

  // Called before `recording` is read: when the log file is that very file
  // (through links too), logging stops for the rest of the run, said once,
  // since every line would be appended to the recording.
  void KeepLogOff(const std::filesystem::path& recording);

  // The wrapped platform sees every message (it shows the box when `showBox`,
  // and may echo information lines); then, when `writeToLog` and logging is on,
  // the text becomes one line of the log file. A log file that cannot be
  // written loses the line silently.
  void LogMessage(const std::string& text, bool showBox, bool writeToLog) override;

  bool AskYesNo(const std::string& question) override { return m_ui->AskYesNo(question); }
  OverwriteAnswer AskOverwrite(const std::string& question) override {
    return m_ui->AskOverwrite(question);
  }
  void BeginWaitCursor() override { m_ui->BeginWaitCursor(); }
  void EndWaitCursor() override { m_ui->EndWaitCursor(); }
  void ProgressBegin(int range) override { m_ui->ProgressBegin(range); }
  void ProgressStep() override { m_ui->ProgressStep(); }
  void ProgressEnd() override { m_ui->ProgressEnd(); }
  void SetStatusText(const std::string& text) override { m_ui->SetStatusText(text); }
  bool MayWaitForPipeReader() const override { return m_ui->MayWaitForPipeReader(); }
  void RunLongWork(const std::string& title, const std::function<void()>& work) override {
    m_ui->RunLongWork(title, work);
  }
  bool CancelRequested() const override { return m_ui->CancelRequested(); }

 private:
  CPlatform* m_ui;
  const LogSettings& m_settings;
  bool m_logRefused = false;
};
