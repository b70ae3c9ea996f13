#include "app/AppPlatform.h"

#include <fstream>

#include "app/AppPaths.h"
#include "platform/Files.h"

namespace {
constexpr char kLogIsTheRecording[] =
    "The log file is the recording being read; nothing is logged in this run";
}  // namespace

bool AppendLogLine(const std::string& file, const std::string& text) {
  if (file.empty()) return false;
  // Text mode: the line end is the platform's.
  std::ofstream out(PathFromUtf8(file), std::ios::out | std::ios::app);
  if (!out) return false;
  out << text << '\n';
  out.close();
  return !out.fail();
}

void CAppPlatform::LogMessage(const std::string& text, bool showBox, bool writeToLog) {
  m_ui->LogMessage(text, showBox, writeToLog);
  if (writeToLog && m_settings.Log != 0 && !m_logRefused) AppendLogLine(m_settings.LogFile, text);
}

void CAppPlatform::KeepLogOff(const std::filesystem::path& recording) {
  if (m_settings.Log == 0 || m_logRefused || m_settings.LogFile.empty()) return;
  std::error_code ec;
  if (!std::filesystem::equivalent(PathFromUtf8(m_settings.LogFile), recording, ec)) return;
  m_logRefused = true;
  m_ui->LogMessage(ErrorInFile(PathFromUtf8(m_settings.LogFile), kLogIsTheRecording), true, false);
}
