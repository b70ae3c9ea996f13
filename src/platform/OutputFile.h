#pragma once
// An export's output: written to a temporary file beside the target and
// renamed over it only when every byte was written, so a failure (disk full,
// no permission) leaves the old target untouched. Writers append text to
// Buffer() and call MaybeFlush() after each line or value; nothing is built
// whole in memory.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

class CPlatform;

class COutputFile {
 public:
  COutputFile(CPlatform& platform, std::filesystem::path target);
  ~COutputFile();  // abandons an uncommitted file
  COutputFile(const COutputFile&) = delete;
  COutputFile& operator=(const COutputFile&) = delete;

  // Asks "The File %s already exists.\nDo you want to overwrite it?" when the
  // target exists and `overwriteAll` is off, then creates the temporary file.
  // False when the user said No (nothing reported) or the file could not be
  // created (reported as "ERROR in <target> : <reason>"). An export is never
  // written over its own input `source`: that is refused the same way.
  bool Create(bool overwriteAll, const std::filesystem::path& source = {});

  std::string& Buffer() { return m_buffer; }
  void MaybeFlush() {
    if (m_buffer.size() >= kFlushBytes) Flush();
  }

  // Writes what is left, closes and renames over the target. Returns the
  // file's length, or 0 after reporting the failure.
  std::uint64_t Commit();

 private:
  static constexpr std::size_t kFlushBytes = 1u << 20;
  void Flush();
  void Fail(const std::string& reason);
  void Abandon();

  CPlatform& m_platform;
  std::filesystem::path m_target;
  std::filesystem::path m_temp;
  std::FILE* m_file = nullptr;
  std::string m_buffer;
  std::uint64_t m_written = 0;
  int m_errno = 0;  // first write error
};

extern const char kOverwriteQuestion[];  // "The File %s already exists.\n..."
