#include "app/AppPlatform.h"

#include <fstream>

#include "app/AppPaths.h"

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
  if (writeToLog && m_settings.Log != 0) AppendLogLine(m_settings.LogFile, text);
}
