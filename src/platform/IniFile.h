#pragma once
// Reader of Windows-style initialisation files (kinex2.ini, the VAD calibration
// files), with the lookup rules of the Windows profile functions those files
// were written for:
//
//   file    := line*          lines end in "\n" or "\r\n"; a UTF-8 byte-order mark is skipped
//   line    := "[" name "]"   starts a section; the name is trimmed
//            | key "=" value  key and value are trimmed of white space
//            | ";" comment    (after optional white space)
//            | anything else  ignored (blank lines, lines without "=")
//
// - Section and key names compare ignoring the case of ASCII letters.
// - Only the first section of a name is searched, and in it the first key of a
//   name: later duplicates are never seen.
// - Keys before the first section belong to no section and are never found.
// - A value enclosed in a matching pair of double or single quotes is returned
//   without them.
// - The caller gives the size of its buffer, counting the terminating zero the
//   Windows functions store: at most size - 1 characters come back.
// - A missing file, section or key gives the default with its trailing blanks
//   removed (cut at the buffer size likewise).

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

class CIniFile {
 public:
  CIniFile() = default;

  // Reads `path` whole. A missing or unreadable file leaves the object empty and
  // returns false; every lookup then gives its default.
  bool Load(const std::filesystem::path& path);
  // Replaces the contents with those parsed from `text`.
  void Parse(std::string_view text);

  std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                        std::size_t bufferSize) const;

 private:
  using Keys = std::unordered_map<std::string, std::string>;  // folded key -> value
  std::unordered_map<std::string, Keys> m_sections;           // folded section name -> keys
};
