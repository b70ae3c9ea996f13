#include "platform/HeadlessPlatform.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include <iostream>

namespace {
CHeadlessPlatform& ProcessHeadless() {
  static CHeadlessPlatform instance;
  return instance;
}
CPlatform* g_default = nullptr;

bool IsTerminal(std::FILE* f) {
  return f != nullptr && ::isatty(::fileno(f)) != 0;
}
}  // namespace

CPlatform& DefaultPlatform() {
  return g_default != nullptr ? *g_default : ProcessHeadless();
}
void SetDefaultPlatform(CPlatform* platform) {
  g_default = platform;
}

void CHeadlessPlatform::LogMessage(const std::string& text, bool showBox, bool /*writeToLog*/) {
  if (!showBox && !m_verbose) return;
  if (m_barShown) {
    std::fputs("\r\033[K", m_err);
    m_barShown = false;
    m_drawn = -1;
  }
  std::fputs(text.c_str(), m_err);
  if (text.empty() || text.back() != '\n') std::fputc('\n', m_err);
  std::fflush(m_err);
}

bool CHeadlessPlatform::AskYesNo(const std::string& question) {
  switch (m_policy) {
    case AnswerPolicy::Yes:
      return true;
    case AnswerPolicy::No:
      return false;
    case AnswerPolicy::AskOnTerminal:
      break;
  }
  if (!IsTerminal(stdin)) return false;
  std::fprintf(m_err, "%s [y/N] ", question.c_str());
  std::fflush(m_err);
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

OverwriteAnswer CHeadlessPlatform::AskOverwrite(const std::string& question) {
  return AskYesNo(question) ? OverwriteAnswer::Yes : OverwriteAnswer::No;
}

void CHeadlessPlatform::ProgressBegin(int range) {
  m_range = range;
  m_pos = 0;
  m_drawn = -1;
  m_errIsTerminal = IsTerminal(m_err);
  if (m_errIsTerminal && range > 0) DrawProgress();
}

void CHeadlessPlatform::ProgressStep() {
  if (m_pos < m_range) ++m_pos;
  if (m_errIsTerminal && m_range > 0) DrawProgress();
}

void CHeadlessPlatform::ProgressEnd() {
  if (m_barShown) {
    std::fputs("\r\033[K", m_err);
    std::fflush(m_err);
  }
  m_barShown = false;
  m_range = 0;
}

void CHeadlessPlatform::DrawProgress() {
  constexpr int kWidth = 40;
  const int filled = m_range > 0 ? m_pos * kWidth / m_range : 0;
  if (filled == m_drawn) return;
  m_drawn = filled;
  std::fprintf(m_err, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
               std::string(kWidth - filled, ' ').c_str(), m_range > 0 ? m_pos * 100 / m_range : 0);
  std::fflush(m_err);
  m_barShown = true;
}
