#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

std::filesystem::path FullPath(const std::filesystem::path& p) {
  if (p.empty()) return p;
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
    default:
      return "";
  }
}

CInputFile::~CInputFile() {
  Close();
}

bool CInputFile::Open(const std::filesystem::path& path, int& cause) {
  Close();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    cause = FileErrorCauseFromErrno(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    cause = FileErrorCauseFromErrno(errno);
    ::close(fd);
    return false;
  }
  // A directory opens for reading on POSIX systems but is no file to read.
  if (S_ISDIR(st.st_mode)) {
    cause = kFileAccessDenied;
    ::close(fd);
    return false;
  }
  m_fd = fd;
  m_size = S_ISREG(st.st_mode) ? static_cast<std::int64_t>(st.st_size) : 0;
  return true;
}

void CInputFile::Close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  m_size = 0;
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
  while (done + got < n && m_fd >= 0) {
    const ssize_t r = ::pread(m_fd, out + done + got, n - done - got,
                              static_cast<off_t>(offset + static_cast<std::int64_t>(got)));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    got += static_cast<std::size_t>(r);
  }
  if (done + got < n) std::memset(out + done + got, 0, n - done - got);
  return got;
}
