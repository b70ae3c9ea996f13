#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <system_error>
#include <vector>

#ifdef _WIN32
namespace {
bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}
// The standard library takes no "\\server" for a root name, and would put
// the current drive before it: a UNC name is made normal here, its server
// and share kept.
bool NormalUncPath(const std::filesystem::path& p, std::filesystem::path& out) {
  const std::wstring& w = p.native();
  if (w.size() < 3 || !IsSeparator(w[0]) || !IsSeparator(w[1]) || IsSeparator(w[2])) return false;
  std::vector<std::wstring> parts;
  std::wstring part;
  for (std::size_t i = 2; i <= w.size(); ++i) {
    if (i == w.size() || IsSeparator(w[i])) {
      if (part == L"..") {
        if (parts.size() > 2) parts.pop_back();
      } else if (!part.empty() && part != L".") {
        parts.push_back(part);
      }
      part.clear();
    } else {
      part += w[i];
    }
  }
  std::wstring normal = L"\\\\";
  for (std::size_t i = 0; i < parts.size(); ++i) normal += (i > 0 ? L"\\" : L"") + parts[i];
  out = normal;
  return true;
}
}  // namespace
#endif

std::filesystem::path FullPath(const std::filesystem::path& p) {
  if (p.empty()) return p;
#ifdef _WIN32
  if (std::filesystem::path unc; NormalUncPath(p, unc)) return unc;
#endif
  std::error_code ec;
  std::filesystem::path abs = p.is_absolute() ? p : std::filesystem::current_path(ec) / p;
  return abs.lexically_normal();
}

int FileErrorCauseFromErrno(int err) {
  switch (err) {
    case ENOENT:
      return kFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
      return kFileBadPath;
    case EMFILE:
    case ENFILE:
      return kFileTooManyOpen;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return kFileAccessDenied;
    case EBADF:
      return kFileInvalidHandle;
    case EIO:
      return kFileHardwareIo;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return kFileDiskFull;
    default:
      return kFileGeneric;
  }
}

const char* FileErrorText(int cause) {
  switch (cause) {
    case kFileGeneric:
      return "An unspecified error occurred";
    case kFileNotFound:
      return "The file could not be located";
    case kFileBadPath:
      return "All or part of the path is invalid";
    case kFileTooManyOpen:
      return "The permitted number of open files was exceeded";
    case kFileAccessDenied:
      return "The file could not be accessed";
    case kFileInvalidHandle:
      return "There was an attempt to use an invalid file handle";
    case kFileHardwareIo:
      return "There was a hardware error";
    case kFileSharingViolation:
      return "SHARE.EXE was not loaded, or a shared region was locked";
    case kFileDiskFull:
      return "The disk is full";
    case kFilePipeTooLarge:
      return "The pipe gives more than 4 GB; recordings are read from pipes up to 4 GB";
    default:
      return "";
  }
}

std::uint64_t PhysicalMemoryBytes() {
  // Asked once: the answer does not change while the program runs, and
  // batch rows read their recordings on several threads at once. Under Wine
  // a second thread asking meanwhile has been told 0 bytes, which would
  // refuse every recording as too large.
  static const std::uint64_t bytes = [] {
    constexpr std::uint64_t kUnknown = std::uint64_t{8} << 30;
#ifdef _WIN32
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    const std::uint64_t total = GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
#else
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    const std::uint64_t total = pages > 0 && pageSize > 0 ? static_cast<std::uint64_t>(pages) *
                                                                static_cast<std::uint64_t>(pageSize)
                                                          : 0;
#endif
    return total != 0 ? total : kUnknown;
  }();
  return bytes;
}

namespace {
#ifdef _WIN32
int OpenReadOnly(const std::filesystem::path& path, bool /*waitForWriter*/ = false) {
  return ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}
bool StatFile(int fd, std::int64_t& size, bool& directory, bool& regular, bool& device) {
  struct _stat64 st {};
  if (::_fstat64(fd, &st) != 0) return false;
  directory = (st.st_mode & _S_IFDIR) != 0;
  regular = (st.st_mode & _S_IFREG) != 0;
  device = (st.st_mode & _S_IFCHR) != 0;
  size = st.st_size;
  return true;
}
long long ReadStream(int fd, void* dst, std::size_t n) {
  const unsigned chunk = n > 0x40000000u ? 0x40000000u : static_cast<unsigned>(n);
  return ::_read(fd, dst, chunk);
}
// No positional read on this system: seek, then read.
long long ReadSome(int fd, void* dst, std::size_t n, std::int64_t offset) {
  if (::_lseeki64(fd, offset, SEEK_SET) < 0) return -1;
  const unsigned chunk = n > 0x40000000u ? 0x40000000u : static_cast<unsigned>(n);
  return ::_read(fd, dst, chunk);
}
void CloseFd(int fd) {
  ::_close(fd);
}
#else
// Non-blocking, so that a FIFO nobody writes to does not hang the open,
// unless the caller waits for its writer; reads are made blocking again once
// the file is open.
int OpenReadOnly(const std::filesystem::path& path, bool waitForWriter = false) {
  int fd = -1;
  struct stat st {};
  if (waitForWriter && ::stat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode)) {
    do {
      fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
  }
  fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd >= 0) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}
long long ReadStream(int fd, void* dst, std::size_t n) {
  return ::read(fd, dst, n);
}
bool StatFile(int fd, std::int64_t& size, bool& directory, bool& regular, bool& device) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return false;
  directory = S_ISDIR(st.st_mode);
  regular = S_ISREG(st.st_mode);
  device = S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode);
  size = static_cast<std::int64_t>(st.st_size);
  return true;
}
long long ReadSome(int fd, void* dst, std::size_t n, std::int64_t offset) {
  return ::pread(fd, dst, n, static_cast<off_t>(offset));
}
void CloseFd(int fd) {
  ::close(fd);
}
#endif

CFileStamp StampOf(int fd) {
  CFileStamp t;
#ifdef _WIN32
  // The C library gives Windows files no inode and whole seconds only, so a
  // recording replaced by another of its size within a second would pass
  // for the one that was opened: the volume and file index name the file,
  // the write time counts 100 ns.
  BY_HANDLE_FILE_INFORMATION info{};
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(handle, &info)) return t;
  t.device = info.dwVolumeSerialNumber;
  t.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  t.size = static_cast<std::int64_t>((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) |
                                     info.nFileSizeLow);
  t.modified = static_cast<std::int64_t>(
                   (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                   info.ftLastWriteTime.dwLowDateTime) *
               100;
  return t;
#else
  struct stat st {};
  if (::fstat(fd, &st) != 0) return t;
#if defined(__linux__)
  t.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#else
  t.modified = static_cast<std::int64_t>(st.st_mtime);
#endif
  t.device = static_cast<std::uint64_t>(st.st_dev);
  t.inode = static_cast<std::uint64_t>(st.st_ino);
  t.size = static_cast<std::int64_t>(st.st_size);
  return t;
#endif
}
}  // namespace

bool IsReadableRegularFile(const std::filesystem::path& path) {
#ifdef _WIN32
  // Opening a named pipe here does not wait for a writer.
  const int fd = OpenReadOnly(path);
#else
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
#endif
  if (fd < 0) return false;
  std::int64_t size = 0;
  bool directory = false;
  bool regular = false;
  bool device = false;
  const bool ok = StatFile(fd, size, directory, regular, device) && regular;
  CloseFd(fd);
  return ok;
}

CInputFile::~CInputFile() {
  Close();
}

bool CInputFile::Open(const std::filesystem::path& path, int& cause, const CPipeReading& pipe) {
  Close();
  const int fd = OpenReadOnly(path, pipe.waitForWriter);
  if (fd < 0) {
    cause = FileErrorCauseFromErrno(errno);
    return false;
  }
  std::int64_t size = 0;
  bool directory = false;
  bool regular = false;
  bool device = false;
  if (!StatFile(fd, size, directory, regular, device)) {
    cause = FileErrorCauseFromErrno(errno);
    CloseFd(fd);
    return false;
  }
  // A directory opens for reading on POSIX systems but is no file to read;
  // no recording lives on a device, and one such as a source of zeros or
  // random bytes, or a whole disk, would be read without end.
  if (directory || device) {
    cause = kFileAccessDenied;
    CloseFd(fd);
    return false;
  }
  if (regular) {
    m_fd = fd;
    m_size = size;
    return true;
  }
  // A pipe cannot be read at positions: it is read to its end once, and
  // positional reads are served from that copy, up to kPipeLimit bytes.
  std::size_t got = 0;
  bool probed = pipe.plausible == nullptr;
  try {
    for (;;) {
      if (m_stream.size() - got < (1u << 16)) {
        if (got > kPipeLimit) {
          CloseFd(fd);
          m_stream.clear();
          cause = kFilePipeTooLarge;
          return false;
        }
        // Never more than the limit and a little: the next read tells
        // whether the pipe goes on past it.
        m_stream.resize(static_cast<std::size_t>(std::min<std::uint64_t>(
            std::max<std::size_t>(m_stream.size() * 2, 1u << 20), kPipeLimit + (1u << 17))));
      }
      const long long r = ReadStream(fd, m_stream.data() + got, m_stream.size() - got);
      if (r < 0 && errno == EINTR) continue;
      if (r > 0) got += static_cast<std::size_t>(r);
      if (!probed && (r <= 0 || got >= kProbeBytes)) {
        probed = true;
        if (!pipe.plausible(m_stream.data(), std::min(got, kProbeBytes))) break;
      }
      if (r <= 0) break;
    }
  } catch (const std::bad_alloc&) {
    CloseFd(fd);
    m_stream.clear();
    cause = kFileGeneric;
    return false;
  }
  CloseFd(fd);
  if (got > kPipeLimit) {
    m_stream.clear();
    cause = kFilePipeTooLarge;
    return false;
  }
  m_stream.resize(got);
  m_size = static_cast<std::int64_t>(got);
  m_streamed = true;
  return true;
}

CFileStamp CInputFile::Stamp() const {
  return m_fd >= 0 ? StampOf(m_fd) : CFileStamp{};
}

void CInputFile::Close() {
  if (m_fd >= 0) CloseFd(m_fd);
  m_fd = -1;
  m_size = 0;
  m_stream = {};
  m_streamed = false;
}

std::size_t CInputFile::ReadAt(std::int64_t offset, void* dst, std::size_t n) {
  auto* out = static_cast<unsigned char*>(dst);
  std::size_t done = 0;
  // Part before the start of the file.
  if (offset < 0) {
    const std::uint64_t before = static_cast<std::uint64_t>(-offset);
    const std::size_t skip = before >= n ? n : static_cast<std::size_t>(before);
    std::memset(out, 0, skip);
    done = skip;
    offset = 0;
  }
  std::size_t got = 0;
  if (m_streamed && offset < m_size) {
    got = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(n - done), m_size - offset));
    std::memcpy(out + done, m_stream.data() + offset, got);
  }
  while (done + got < n && m_fd >= 0) {
    const long long r =
        ReadSome(m_fd, out + done + got, n - done - got, offset + static_cast<std::int64_t>(got));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    got += static_cast<std::size_t>(r);
  }
  if (done + got < n) std::memset(out + done + got, 0, n - done - got);
  return got;
}

std::string ErrorInFile(const std::filesystem::path& path, std::string_view reason) {
  std::string s = "ERROR in ";
  s += path.string();
  s += " : ";
  s += reason;
  return s;
}
