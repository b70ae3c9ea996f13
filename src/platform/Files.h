#pragma once
// Plain file helpers: the full path used in messages, the cause codes of file
// failures and their fixed texts, and a read-only input file with positional,
// zero-filling reads.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The path made absolute against the current directory, with "." and ".."
// removed lexically (symbolic links are not resolved).
std::filesystem::path FullPath(const std::filesystem::path& p);

// Cause codes of file failures, as the messages number them.
enum FileErrorCause : int {
  kFileGeneric = 1,
  kFileNotFound = 2,
  kFileBadPath = 3,
  kFileTooManyOpen = 4,
  kFileAccessDenied = 5,
  kFileInvalidHandle = 6,
  kFileHardwareIo = 10,
  kFileSharingViolation = 11,
  kFileDiskFull = 13,
  // Not a cause of the file exceptions the messages were written for: a pipe
  // that gives more than kPipeLimit bytes.
  kFilePipeTooLarge = 100,
};

// The most a recording read from a pipe may hold (4 GiB): a pipe that never
// ends is refused instead of filling the machine's memory.
inline constexpr std::uint64_t kPipeLimit = 4ull << 30;

// The cause code for a system error number (errno).
int FileErrorCauseFromErrno(int err);
// The fixed text every reader puts after "ERROR in %s : " for a cause code.
const char* FileErrorText(int cause);

// "ERROR in <path> : <reason>", the one form of every error about a file.
std::string ErrorInFile(const std::filesystem::path& path, std::string_view reason);

// True when `path` names a regular file this process may open for reading.
// The open does not block, so a FIFO nobody writes to is refused at once
// instead of hanging the caller; devices, pipes and folders are refused too.
bool IsReadableRegularFile(const std::filesystem::path& path);

// The machine's physical memory in bytes (8 GiB when it cannot be told).
std::uint64_t PhysicalMemoryBytes();

// What tells one state of a file from another: a file replaced or rewritten
// since gets another stamp.
struct CFileStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = -1;
  std::int64_t modified = 0;  // nanoseconds where the system keeps them
  bool operator==(const CFileStamp&) const = default;
};

// An input file open for reading only during a reader's Open. Reads are
// positional: bytes outside the file (before its start or past its end) read
// as zeros, so a short or hostile file never leaves stale bytes behind. A
// pipe is read to its end at Open (a FIFO without a writer reads as empty
// instead of blocking); a device is refused as "The file could not be
// accessed".
// How CInputFile reads a pipe. `waitForWriter`: a FIFO nobody writes to yet
// is waited on, as a shell's redirection waits, instead of reading as empty.
// `plausible`, when set, is shown the first CInputFile::kProbeBytes of a pipe
// (fewer when it ends sooner) and may stop the reading there: a stream of
// zeros is then refused by the reader's own check after one block, not after
// gigabytes.
struct CPipeReading {
  bool waitForWriter = false;
  bool (*plausible)(const unsigned char* head, std::size_t n) = nullptr;
};

class CInputFile {
 public:
  CInputFile() = default;
  ~CInputFile();
  CInputFile(const CInputFile&) = delete;
  CInputFile& operator=(const CInputFile&) = delete;

  static constexpr std::size_t kProbeBytes = 512;

  // Opens `path`; on failure returns false and sets `cause` (FileErrorCause).
  bool Open(const std::filesystem::path& path, int& cause) { return Open(path, cause, {}); }
  bool Open(const std::filesystem::path& path, int& cause, const CPipeReading& pipe);
  void Close();
  std::int64_t Size() const { return m_size; }
  // False for a pipe, which was read whole at Open: opening its
  // name again would not give the same bytes.
  bool CanBeReadAgain() const { return !m_streamed; }
  // The open file's stamp; the default stamp for a pipe or a closed file.
  CFileStamp Stamp() const;

  // Reads `n` bytes at `offset` into `dst`, zero-filling what lies outside the
  // file or cannot be read. Returns the number of bytes actually read.
  std::size_t ReadAt(std::int64_t offset, void* dst, std::size_t n);

 private:
  int m_fd = -1;  // a C runtime descriptor on every system
  std::int64_t m_size = 0;
  std::vector<unsigned char> m_stream;  // the whole of a pipe
  bool m_streamed = false;
};
