#pragma once
// What every fuzz target shares: a platform that shows nothing and answers as
// told, and the fuzzer's bytes as a file of the reader's extension, removed
// again when the fuzzer exits.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/Platform.h"

class CSilentPlatform : public CPlatform {
 public:
  explicit CSilentPlatform(bool answer) : m_answer(answer) {}
  void LogMessage(const std::string&, bool, bool) override {}
  bool AskYesNo(const std::string&) override { return m_answer; }
  OverwriteAnswer AskOverwrite(const std::string&) override {
    return m_answer ? OverwriteAnswer::Yes : OverwriteAnswer::No;
  }

 private:
  bool m_answer;
};

class CFuzzFiles {
 public:
  explicit CFuzzFiles(const std::string& name)
      : m_base(std::filesystem::temp_directory_path() /
               ("kinex2-fuzz-" + name + "-" + std::to_string(::getpid()))) {}
  ~CFuzzFiles() {
    std::error_code ec;
    std::filesystem::remove(Input(), ec);
    std::filesystem::remove(Output(), ec);
    if (!m_companion.empty()) std::filesystem::remove(m_companion, ec);
  }
  CFuzzFiles(const CFuzzFiles&) = delete;
  CFuzzFiles& operator=(const CFuzzFiles&) = delete;

  std::filesystem::path Input() const { return m_base.string() + m_extension; }
  std::filesystem::path Output() const { return m_base.string() + ".out"; }

  // Writes the input with `extension`; false when it cannot be written.
  bool WriteInput(const std::uint8_t* data, std::size_t size, const std::string& extension) {
    m_extension = extension;
    std::FILE* f = std::fopen(Input().c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
  }

  // Writes `text` to `path` (a file the reader looks for beside its input)
  // the first time it is asked; removed with the other files.
  void WriteCompanion(const std::filesystem::path& path, const std::string& text) {
    if (!m_companion.empty()) return;
    m_companion = path;
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
      std::fwrite(text.data(), 1, text.size(), f);
      std::fclose(f);
    }
  }

 private:
  std::filesystem::path m_base;
  std::string m_extension;
  std::filesystem::path m_companion;
};
