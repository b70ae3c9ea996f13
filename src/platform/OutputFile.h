#pragma once
// An export's output. A regular file (or a new one) is written to a temporary
// file beside it and renamed over it only when every byte was written, keeping
// its permission bits, so a failure (disk full, no permission) or an
// interrupt leaves the old target untouched and no temporary file behind. On
// Linux the temporary file has no name while it is written, so even a killed
// process leaves nothing. A file that did not exist is committed without
// replacing one that appeared meanwhile (another conversion to the same
// name): that one is then an existing output, asked about as any other. A
// symbolic link keeps pointing where it did: the file it names is replaced.
// Devices, pipes and "-" (standard output) are written in place.
//
// Writers append text to Buffer() and call MaybeFlush() after each line or
// value; nothing is built whole in memory. The first failed write throws
// CWriteFailed out of MaybeFlush so that a writer stops at once; the export
// run catches it and lets Commit report the failure.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

class CPlatform;

class COutputFile {
 public:
  struct CWriteFailed {};

  COutputFile(CPlatform& platform, std::filesystem::path target);
  ~COutputFile();  // abandons an uncommitted file
  COutputFile(const COutputFile&) = delete;
  COutputFile& operator=(const COutputFile&) = delete;

  // Asks "The File %s already exists.\nDo you want to overwrite it?" when the
  // target is an existing regular file and `overwriteAll` is off, then opens
  // the file to write. False when the user said No (nothing reported) or the
  // file could not be created (reported as "ERROR in <target> : <reason>"). An
  // export is never written over its own input `source`, nor over a file
  // without write permission: both are refused the same way.
  bool Create(bool overwriteAll, const std::filesystem::path& source = {});

  std::string& Buffer() { return m_buffer; }
  void MaybeFlush() {
    if (m_buffer.size() >= kFlushBytes) Flush();
  }
  // Writes `text` after what is buffered; a large text goes to the file
  // without a copy. Throws CWriteFailed as MaybeFlush does.
  void Write(std::string_view text);

  // Ends the export as a failed write would: throws CWriteFailed, and Commit
  // shows `message` (a whole "ERROR in ..." line) and keeps the old target.
  // For a writer whose own source fails it.
  [[noreturn]] void Abort(const std::string& message);

  // True when `target` is written in place rather than replaced: "-", a name
  // of one of the program's descriptors (/dev/stdout), or an existing device
  // or pipe. Such a target is never asked about before it is written.
  static bool WritesInPlace(const std::filesystem::path& target);

  // Writes what is left, closes and renames over the target. Returns the
  // bytes written, or 0 after reporting the failure.
  std::uint64_t Commit();

  // The name standing for standard output.
  static constexpr const char* kStandardOutput = "-";

 private:
  static constexpr std::size_t kFlushBytes = 1u << 20;
  void Flush();
  bool WriteAll(const char* data, std::size_t n);
  void Fail(const std::string& reason);
  void Abandon();
  // Gives the unnamed temporary file a name beside the target; false with
  // m_errno set.
  bool NameTemp();
  // Moves the named temporary file to the target: a new target without
  // replacing a file that appeared since Create. False with m_errno set, or
  // with nothing set when the user declined to replace that file.
  bool Publish();

  CPlatform& m_platform;
  std::filesystem::path m_target;  // as given, for messages
  std::filesystem::path m_real;    // the file that is replaced (links resolved)
  std::filesystem::path m_temp;    // empty when writing in place
  int m_fd = -1;
  bool m_ownsFd = false;  // false for standard output
  std::string m_buffer;
  std::uint64_t m_written = 0;
  int m_errno = 0;             // first write error
  std::string m_abortMessage;  // what Abort was told to show
  int m_slot = -1;             // in the interrupt clean-up list
  bool m_unnamed = false;      // m_fd is a file without a name yet (O_TMPFILE)
  bool m_replaces = false;     // the target existed at Create
  bool m_overwriteAll = false;
};

extern const char kOverwriteQuestion[];  // "The File %s already exists.\n..."
