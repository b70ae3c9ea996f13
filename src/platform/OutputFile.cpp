#include "platform/OutputFile.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

#include "platform/Files.h"
#include "platform/Platform.h"
#include "platform/Text.h"

const char kOverwriteQuestion[] = "The File %s already exists.\nDo you want to overwrite it?";

namespace {
constexpr char kOpenFailed[] = "Failed to open document.";
constexpr char kOutputIsInput[] = "The output file is the input file";

std::string ReasonFor(int err) {
  const char* text = FileErrorText(FileErrorCauseFromErrno(err));
  return *text != '\0' ? std::string(text) : std::string(kOpenFailed);
}
}  // namespace

COutputFile::COutputFile(CPlatform& platform, std::filesystem::path target)
    : m_platform(platform), m_target(std::move(target)) {}

COutputFile::~COutputFile() {
  Abandon();
}

bool COutputFile::Create(bool overwriteAll, const std::filesystem::path& source) {
  std::error_code ec;
  // Overwriting the recording being read would destroy it for good.
  if (!source.empty() && std::filesystem::equivalent(source, m_target, ec)) {
    Fail(kOutputIsInput);
    return false;
  }
  if (!overwriteAll && std::filesystem::exists(m_target, ec)) {
    if (!m_platform.AskYesNo(Format(kOverwriteQuestion, m_target.string().c_str()))) return false;
  }
  if (std::filesystem::is_directory(m_target, ec)) {
    Fail(FileErrorText(kFileAccessDenied));
    return false;
  }
  // A unique name in the target's folder, so the final rename stays on one
  // file system and never replaces anything but the target.
  std::random_device rd;
  for (int attempt = 0; attempt < 16 && m_file == nullptr; ++attempt) {
    m_temp = m_target;
    m_temp += Format(".kx%08x.tmp", rd());
#ifdef _WIN32
    m_file = ::_wfopen(m_temp.c_str(), L"wbx");
#else
    m_file = std::fopen(m_temp.c_str(), "wbx");
#endif
    if (m_file == nullptr && errno != EEXIST) break;
  }
  if (m_file == nullptr) {
    Fail(ReasonFor(errno));
    m_temp.clear();
    return false;
  }
  m_buffer.reserve(kFlushBytes + 4096);
  return true;
}

void COutputFile::Flush() {
  if (m_file == nullptr || m_buffer.empty()) return;
  if (m_errno == 0) {
    const std::size_t n = std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file);
    if (n != m_buffer.size()) m_errno = errno != 0 ? errno : EIO;
    m_written += n;
  }
  m_buffer.clear();
}

std::uint64_t COutputFile::Commit() {
  if (m_file == nullptr) return 0;
  Flush();
  if (m_errno == 0 && std::fflush(m_file) != 0) m_errno = errno != 0 ? errno : EIO;
  if (std::fclose(m_file) != 0 && m_errno == 0) m_errno = errno != 0 ? errno : EIO;
  m_file = nullptr;
  if (m_errno == 0) {
    std::error_code ec;
    std::filesystem::rename(m_temp, m_target, ec);
    if (ec) m_errno = ec.value();
  }
  if (m_errno != 0) {
    Fail(ReasonFor(m_errno));
    Abandon();
    return 0;
  }
  m_temp.clear();
  return m_written;
}

void COutputFile::Fail(const std::string& reason) {
  m_platform.LogMessage(ErrorInFile(m_target, reason), true, true);
}

void COutputFile::Abandon() {
  if (m_file != nullptr) std::fclose(m_file);
  m_file = nullptr;
  if (!m_temp.empty()) {
    std::error_code ec;
    std::filesystem::remove(m_temp, ec);
    m_temp.clear();
  }
}
