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
#include <utility>
#include <vector>

class CIniFile {
 public:
  CIniFile() = default;
  // The keys and values point into the object's own copy of the text.
  CIniFile(const CIniFile&) = delete;
  CIniFile& operator=(const CIniFile&) = delete;
  CIniFile(CIniFile&&) = default;  // the text's buffer moves with it
  CIniFile& operator=(CIniFile&&) = default;

  // Reads `path` whole. A missing or unreadable file leaves the object empty and
  // returns false; every lookup then gives its default.
  bool Load(const std::filesystem::path& path);
  // Replaces the contents with those parsed from `text`.
  void Parse(std::string_view text);

  std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                        std::size_t bufferSize) const;
  // Every key of `section` named `prefix` and a whole number n (as
  // GetString(prefix + std::to_string(n)) would find it) with its value, by
  // n: a scan of numbered keys costs the keys present, not the largest number.
  // The values are views of this object's text.
  std::vector<std::pair<long long, std::string_view>> NumberedValues(std::string_view section,
                                                                     std::string_view prefix,
                                                                     std::size_t bufferSize) const;

 private:
  static std::string_view Unquoted(std::string_view value, std::size_t bufferSize);
  void ParseOwnText();
  // Keys and values are views of m_text, the keys folded to lower case in
  // place: a file of a million keys costs no allocation per key.
  std::vector<char> m_text;
  using Keys = std::unordered_map<std::string_view, std::string_view>;  // folded key -> value
  std::unordered_map<std::string, Keys> m_sections;  // folded section name -> keys
};
