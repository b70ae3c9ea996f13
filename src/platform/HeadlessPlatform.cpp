#include "platform/HeadlessPlatform.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {
CHeadlessPlatform& ProcessHeadless() {
  static CHeadlessPlatform instance;
  return instance;
}
CPlatform* g_default = nullptr;

bool IsTerminal(std::FILE* f) {
  return f != nullptr && ::isatty(::fileno(f)) != 0;
}

constexpr std::size_t kLongestAnswer = 256;

bool IsYes(const std::string& answer) {
  return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}
}  // namespace

#ifdef _WIN32
const char* const CHeadlessPlatform::kTerminalDevice = "CONIN$";

static std::string AnswerOnTerminal(const char* device, const std::string& prompt) {
  // The console has one device to read ("CONIN$") and one to write.
  std::FILE* in = std::fopen(device, "r");
  std::FILE* out = std::fopen("CONOUT$", "w");
  std::string answer;
  if (in != nullptr && out != nullptr) {
    std::fputs(prompt.c_str(), out);
    std::fflush(out);
    char line[kLongestAnswer];
    if (std::fgets(line, sizeof line, in) != nullptr) answer = line;
  }
  if (in != nullptr) std::fclose(in);
  if (out != nullptr) std::fclose(out);
  return answer;
}
#else
const char* const CHeadlessPlatform::kTerminalDevice = "/dev/tty";

static std::string AnswerOnTerminal(const char* device, const std::string& prompt) {
  const int fd = ::open(device, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return {};
  std::size_t done = 0;
  while (done < prompt.size()) {
    const ssize_t n = ::write(fd, prompt.data() + done, prompt.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  std::string answer;
  for (char c = 0; answer.size() < kLongestAnswer;) {
    const ssize_t n = ::read(fd, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || c == '\n') break;
    answer += c;
  }
  ::close(fd);
  return answer;
}
#endif

bool AskYesNoOnTerminal(const char* device, const std::string& question) {
  return IsYes(AnswerOnTerminal(device, question + " [y/N] "));
}

OverwriteAnswer AskOverwriteOnTerminal(const char* device, const std::string& question) {
  const std::string answer = AnswerOnTerminal(device, question + " [y/a/n/c] ");
  switch (answer.empty() ? 'n' : answer[0]) {
    case 'y':
    case 'Y':
      return OverwriteAnswer::Yes;
    case 'a':
    case 'A':
      return OverwriteAnswer::YesToAll;
    case 'c':
    case 'C':
      return OverwriteAnswer::Cancel;
    default:
      return OverwriteAnswer::No;
  }
}

CPlatform& DefaultPlatform() {
  return g_default != nullptr ? *g_default : ProcessHeadless();
}
void SetDefaultPlatform(CPlatform* platform) {
  g_default = platform;
}

void CHeadlessPlatform::LogMessage(const std::string& text, bool showBox, bool /*writeToLog*/) {
  if (!showBox && !m_verbose) return;
  ClearProgress();
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
  // Only someone at the keyboard is asked: a script with its input
  // redirected gets No at once instead of waiting.
  if (!IsTerminal(stdin)) return false;
  ClearProgress();
  return AskYesNoOnTerminal(kTerminalDevice, question);
}

OverwriteAnswer CHeadlessPlatform::AskOverwrite(const std::string& question) {
  switch (m_policy) {
    case AnswerPolicy::Yes:
      return OverwriteAnswer::YesToAll;
    case AnswerPolicy::No:
      return OverwriteAnswer::No;
    case AnswerPolicy::AskOnTerminal:
      break;
  }
  if (!IsTerminal(stdin)) return OverwriteAnswer::No;
  ClearProgress();
  return AskOverwriteOnTerminal(kTerminalDevice, question);
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

void CHeadlessPlatform::ClearProgress() {
  if (!m_barShown) return;
  std::fputs("\r\033[K", m_err);
  std::fflush(m_err);
  m_barShown = false;
  m_drawn = -1;
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
