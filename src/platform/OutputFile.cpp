#include "platform/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <csignal>
#include <cstring>
#include <random>
#include <string>
#include <mutex>
#include <string_view>
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

// Temporary files alive in this process, removed when an interrupt ends it.
// Fixed storage: the signal handler may only touch what is already there.
// A batch writes a row per worker at once.
constexpr int kTempSlots = 64;
constexpr std::size_t kTempPathMax = 4096;
char g_tempPaths[kTempSlots][kTempPathMax];
volatile std::sig_atomic_t g_tempUsed[kTempSlots];

extern "C" void RemoveTempFilesAndExit(int sig) {
  for (int i = 0; i < kTempSlots; ++i) {
    if (g_tempUsed[i] != 0) {
#ifdef _WIN32
      ::_unlink(g_tempPaths[i]);
#else
      ::unlink(g_tempPaths[i]);
#endif
    }
  }
  ::_exit(128 + sig);
}

// Only over the default action: a signal the caller ignores (nohup) or
// handles itself stays so.
void InstallHandlers() {
#ifdef _WIN32
  for (int sig : {SIGINT, SIGTERM}) {
    void (*old)(int) = std::signal(sig, RemoveTempFilesAndExit);
    if (old != SIG_DFL) std::signal(sig, old);
  }
#else
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction old {};
    if (::sigaction(sig, nullptr, &old) != 0 || old.sa_handler != SIG_DFL) continue;
    struct sigaction sa {};
    sa.sa_handler = RemoveTempFilesAndExit;
    sigemptyset(&sa.sa_mask);
    ::sigaction(sig, &sa, nullptr);
  }
#endif
}

// Once, though batch rows create their files on several threads at once.
void InstallInterruptCleanup() {
  [[maybe_unused]] static const bool installed = (InstallHandlers(), true);
}

// Batch rows on worker threads register and release their files at once.
std::mutex g_tempMutex;

int RegisterTemp(const std::filesystem::path& path) {
  const std::lock_guard lock(g_tempMutex);
  const std::string s = path.string();
  if (s.size() >= kTempPathMax) return -1;
  for (int i = 0; i < kTempSlots; ++i) {
    if (g_tempUsed[i] != 0) continue;
    std::memcpy(g_tempPaths[i], s.c_str(), s.size() + 1);
    g_tempUsed[i] = 1;
    return i;
  }
  return -1;
}

void UnregisterTemp(int& slot) {
  const std::lock_guard lock(g_tempMutex);
  if (slot >= 0) g_tempUsed[slot] = 0;
  slot = -1;
}

#ifdef _WIN32
int OpenNew(const std::filesystem::path& p) {
  return ::_wopen(p.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                  _S_IREAD | _S_IWRITE);
}
int OpenExisting(const std::filesystem::path& p, bool /*waitForReader*/) {
  return ::_wopen(p.c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT);
}
long long WriteSome(int fd, const char* data, std::size_t n) {
  const unsigned chunk = n > 0x40000000u ? 0x40000000u : static_cast<unsigned>(n);
  return ::_write(fd, data, chunk);
}
int CloseFd(int fd) {
  return ::_close(fd);
}
constexpr int kStdoutFd = 1;
#else
int OpenNew(const std::filesystem::path& p) {
  return ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
// Non-blocking so that a FIFO without a reader fails at once instead of
// hanging, unless the caller may wait for one; writes block again once it is
// open.
int OpenExisting(const std::filesystem::path& p, bool waitForReader) {
  int fd = ::open(p.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0 && errno == ENXIO && waitForReader) {
    do {
      fd = ::open(p.c_str(), O_WRONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
  }
  if (fd >= 0) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}
long long WriteSome(int fd, const char* data, std::size_t n) {
  return ::write(fd, data, n);
}
int CloseFd(int fd) {
  return ::close(fd);
}
constexpr int kStdoutFd = STDOUT_FILENO;
#endif

struct CTargetStatus {
  bool exists = false;
  bool directory = false;
  bool regular = false;
  bool fifo = false;
  bool writable = false;
  unsigned mode = 0;
  unsigned owner = 0;
  unsigned group = 0;
};

CTargetStatus StatusOf(const std::filesystem::path& p) {
  CTargetStatus t;
#ifdef _WIN32
  struct _stat64 st {};
  if (::_wstat64(p.c_str(), &st) != 0) return t;
  t.directory = (st.st_mode & _S_IFDIR) != 0;
  t.regular = (st.st_mode & _S_IFREG) != 0;
  t.writable = (st.st_mode & _S_IWRITE) != 0;
#else
  struct stat st {};
  if (::stat(p.c_str(), &st) != 0) return t;
  t.directory = S_ISDIR(st.st_mode);
  t.regular = S_ISREG(st.st_mode);
  t.fifo = S_ISFIFO(st.st_mode);
  // A file nobody may write is read-only even for the superuser, who could
  // otherwise replace it by renaming over it.
  t.writable = (st.st_mode & 0222) != 0 && ::access(p.c_str(), W_OK) == 0;
#endif
  t.exists = true;
  t.mode = static_cast<unsigned>(st.st_mode) & 07777;
#ifndef _WIN32
  t.owner = static_cast<unsigned>(st.st_uid);
  t.group = static_cast<unsigned>(st.st_gid);
#endif
  return t;
}

// The file a chain of symbolic links ends at, also when that file does not
// exist yet (a link made for a file to come keeps pointing at it). A chain
// the system cannot resolve to a path (a descriptor's link reads "pipe:[n]")
// stays as it is: opening it still reaches the pipe.
std::filesystem::path FollowLinks(const std::filesystem::path& link) {
  std::error_code ec;
  if (std::filesystem::exists(link, ec)) {
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(link, ec);
    return ec ? link : resolved;
  }
  std::filesystem::path p = link;
  for (int hops = 0; hops < 40 && std::filesystem::is_symlink(p, ec); ++hops) {
    const std::filesystem::path next = std::filesystem::read_symlink(p, ec);
    if (ec) return link;
    p = next.is_absolute() ? next : p.parent_path() / next;
  }
  const std::filesystem::path resolved = std::filesystem::weakly_canonical(p, ec);
  return ec ? p : resolved;
}

#ifndef _WIN32
// The open descriptor that a name such as /dev/stdout or /dev/fd/3 stands
// for, or -1. Written through directly: following the name would lead to
// whatever file the shell connected, which must not be replaced or
// truncated (an appending redirection keeps what it holds).
int DescriptorNamed(const std::filesystem::path& p) {
  const std::string s = p.lexically_normal().string();
  int fd = -1;
  if (s == "/dev/stdout") fd = 1;
  if (s == "/dev/stderr") fd = 2;
  for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    if (s.size() > prefix.size() && s.size() <= prefix.size() + 6 &&
        s.compare(0, prefix.size(), prefix) == 0 &&
        s.find_first_not_of("0123456789", prefix.size()) == std::string::npos) {
      fd = std::stoi(s.substr(prefix.size()));
    }
  }
  return fd >= 0 && ::fcntl(fd, F_GETFD) != -1 ? fd : -1;
}

// The descriptor that `p` or a link of the chain it starts names, or -1.
int DescriptorBehind(std::filesystem::path p) {
  std::error_code ec;
  for (int hops = 0; hops < 40; ++hops) {
    if (const int fd = DescriptorNamed(p); fd >= 0) return fd;
    if (!std::filesystem::is_symlink(p, ec)) return -1;
    const std::filesystem::path next = std::filesystem::read_symlink(p, ec);
    if (ec) return -1;
    p = next.is_absolute() ? next : p.parent_path() / next;
  }
  return -1;
}

bool IsSameFile(int fd, const std::filesystem::path& other) {
  struct stat a {};
  struct stat b {};
  return ::fstat(fd, &a) == 0 && ::stat(other.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
         a.st_ino == b.st_ino;
}
#endif
}  // namespace

COutputFile::COutputFile(CPlatform& platform, std::filesystem::path target)
    : m_platform(platform), m_target(std::move(target)) {}

COutputFile::~COutputFile() {
  Abandon();
}

bool COutputFile::Create(bool overwriteAll, const std::filesystem::path& source) {
  m_buffer.reserve(kFlushBytes + 4096);
  if (m_target == kStandardOutput) {
    m_fd = kStdoutFd;
    m_ownsFd = false;
    return true;
  }
#ifndef _WIN32
  if (const int fd = DescriptorBehind(m_target); fd >= 0) {
    // Overwriting the recording being read would destroy it for good.
    if (!source.empty() && IsSameFile(fd, source)) {
      Fail(kOutputIsInput);
      return false;
    }
    m_fd = fd;
    m_ownsFd = false;
    return true;
  }
#endif
  std::error_code ec;
  m_real = m_target;
  if (std::filesystem::is_symlink(m_target, ec)) m_real = FollowLinks(m_target);
  // Overwriting the recording being read would destroy it for good.
  if (!source.empty() && std::filesystem::equivalent(source, m_real, ec)) {
    Fail(kOutputIsInput);
    return false;
  }
  const CTargetStatus status = StatusOf(m_real);
  if (status.directory) {
    Fail(FileErrorText(kFileAccessDenied));
    return false;
  }
  if (status.exists && !status.regular) {
    // A device or a pipe is written to, never replaced.
    m_fd = OpenExisting(m_real, status.fifo && m_platform.MayWaitForPipeReader());
    if (m_fd < 0) {
      Fail(ReasonFor(errno));
      return false;
    }
    m_ownsFd = true;
    return true;
  }
  if (status.exists && !status.writable) {
    Fail(FileErrorText(kFileAccessDenied));
    return false;
  }
  if (status.exists && !overwriteAll) {
    if (!m_platform.AskYesNo(Format(kOverwriteQuestion, m_target.string().c_str()))) return false;
  }
  // A short unique name in the real file's folder: the final rename stays on
  // one file system, replaces nothing but the target, and a long target name
  // does not grow past the system's limit.
  m_replaces = status.exists;
  m_overwriteAll = overwriteAll;
  // An interrupt ends the run with 128 + the signal whatever the temporary
  // file is, and removes it where it has a name.
  InstallInterruptCleanup();
  std::filesystem::path folder = m_real.parent_path();
  if (folder.empty()) folder = ".";
#if defined(__linux__) && defined(O_TMPFILE)
  // Nameless until committed: nothing for a kill to leave behind. File
  // systems without it fall back to a named temporary file.
  m_fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  m_unnamed = m_fd >= 0;
#endif
  std::random_device rd;
  for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
    m_temp = folder / Format(".kx%08x.tmp", rd());
    m_fd = OpenNew(m_temp);
    if (m_fd < 0 && errno != EEXIST) break;
  }
  if (m_fd < 0) {
    Fail(ReasonFor(errno));
    m_temp.clear();
    return false;
  }
  m_ownsFd = true;
  if (!m_unnamed) m_slot = RegisterTemp(m_temp);
#ifndef _WIN32
  if (status.exists) {
    // The owner first: a change of owner clears the set-user-ID bits. Only
    // the superuser may give the file away, so a failure changes nothing.
    [[maybe_unused]] const int given =
        ::fchown(m_fd, static_cast<uid_t>(status.owner), static_cast<gid_t>(status.group));
    ::fchmod(m_fd, static_cast<mode_t>(status.mode));
  }
#endif
  return true;
}

bool COutputFile::WriteAll(const char* data, std::size_t n) {
  while (n > 0) {
    const long long r = WriteSome(m_fd, data, n);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) {
      m_errno = r < 0 && errno != 0 ? errno : EIO;
      return false;
    }
    data += r;
    n -= static_cast<std::size_t>(r);
    m_written += static_cast<std::uint64_t>(r);
  }
  return true;
}

void COutputFile::Flush() {
  if (m_fd >= 0 && m_errno == 0 && !m_buffer.empty()) WriteAll(m_buffer.data(), m_buffer.size());
  m_buffer.clear();
  // Formatting the rest of a recording that cannot be written only delays
  // the report.
  if (m_errno != 0) throw CWriteFailed{};
}

void COutputFile::Write(std::string_view text) {
  if (m_buffer.size() + text.size() < kFlushBytes) {
    m_buffer += text;
    return;
  }
  Flush();
  if (m_fd >= 0 && m_errno == 0) WriteAll(text.data(), text.size());
  if (m_errno != 0) throw CWriteFailed{};
}

void COutputFile::Abort(const std::string& message) {
  if (m_errno == 0) {
    m_errno = EIO;
    m_abortMessage = message;
  }
  throw CWriteFailed{};
}

bool COutputFile::WritesInPlace(const std::filesystem::path& target) {
  if (target == kStandardOutput) return true;
#ifndef _WIN32
  if (DescriptorBehind(target) >= 0) return true;
#endif
  const CTargetStatus status = StatusOf(target);
  return status.exists && !status.regular && !status.directory;
}

std::uint64_t COutputFile::Commit() {
  if (m_fd < 0) return 0;
  if (m_errno == 0 && !m_buffer.empty()) WriteAll(m_buffer.data(), m_buffer.size());
  m_buffer.clear();
  if (m_errno == 0 && m_unnamed) NameTemp();
  if (m_ownsFd) {
    if (CloseFd(m_fd) != 0 && m_errno == 0) m_errno = errno != 0 ? errno : EIO;
  }
  m_fd = -1;
  if (m_errno == 0 && !m_temp.empty() && !Publish() && m_errno == 0) {
    Abandon();  // declined: nothing written, nothing to report
    return 0;
  }
  if (m_errno != 0) {
    if (m_abortMessage.empty()) {
      Fail(ReasonFor(m_errno));
    } else {
      m_platform.LogMessage(m_abortMessage, true, true);
    }
    Abandon();
    return 0;
  }
  m_temp.clear();
  UnregisterTemp(m_slot);
  return m_written;
}

bool COutputFile::NameTemp() {
#if defined(__linux__) && defined(O_TMPFILE)
  std::filesystem::path folder = m_real.parent_path();
  if (folder.empty()) folder = ".";
  const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
  std::random_device rd;
  for (int attempt = 0; attempt < 16; ++attempt) {
    m_temp = folder / Format(".kx%08x.tmp", rd());
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, m_temp.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
        ::linkat(m_fd, "", AT_FDCWD, m_temp.c_str(), AT_EMPTY_PATH) == 0) {
      m_unnamed = false;
      m_slot = RegisterTemp(m_temp);
      return true;
    }
    if (errno != EEXIST) break;
  }
  m_errno = errno != 0 ? errno : EIO;
  m_temp.clear();
#endif
  return false;
}

bool COutputFile::Publish() {
  if (!m_replaces) {
    // A new file: taken only while the name is still free.
#ifdef _WIN32
    if (::_wrename(m_temp.c_str(), m_real.c_str()) == 0) return true;  // never replaces
    std::error_code ec;
    int err = std::filesystem::exists(m_real, ec) ? EEXIST : errno;
#else
    int err = ::link(m_temp.c_str(), m_real.c_str()) == 0 ? 0 : errno;
    if (err == 0) {
      ::unlink(m_temp.c_str());
      return true;
    }
    if (err != EEXIST) {
      // File systems without hard links: no-replace is only as good as a
      // look before the rename.
      std::error_code ec;
      err = std::filesystem::exists(m_real, ec) ? EEXIST : 0;
    }
#endif
    if (err != 0 && err != EEXIST) {
      m_errno = err;
      return false;
    }
    if (err == EEXIST) {
      // Another writer got there first: its file is an existing output now.
      if (!m_overwriteAll &&
          !m_platform.AskYesNo(Format(kOverwriteQuestion, m_target.string().c_str()))) {
        return false;
      }
    }
  }
  std::error_code ec;
  std::filesystem::rename(m_temp, m_real, ec);
  if (ec) m_errno = ec.value();
  return !ec;
}

void COutputFile::Fail(const std::string& reason) {
  m_platform.LogMessage(ErrorInFile(m_target, reason), true, true);
}

void COutputFile::Abandon() {
  if (m_fd >= 0 && m_ownsFd) CloseFd(m_fd);
  m_fd = -1;
  if (!m_temp.empty()) {
    std::error_code ec;
    std::filesystem::remove(m_temp, ec);
    m_temp.clear();
  }
  UnregisterTemp(m_slot);
}
