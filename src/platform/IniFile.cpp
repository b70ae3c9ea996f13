#include "platform/IniFile.h"

#include <cstdio>

#include "platform/Text.h"

namespace {
std::string Fold(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return out;
}

// At most bufferSize - 1 characters: the Windows functions keep the last place
// of the caller's buffer for the terminating zero.
std::string Cut(std::string_view s, std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  return std::string(s.substr(0, bufferSize - 1));
}
}  // namespace

bool CIniFile::Load(const std::filesystem::path& path) {
  m_sections.clear();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  std::string text;
  char chunk[8192];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return false;
  Parse(text);
  return true;
}

void CIniFile::Parse(std::string_view text) {
  m_sections.clear();
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  Keys* current = nullptr;  // null before the first section and inside a repeated one
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = TrimView(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      line.remove_prefix(1);
      const std::size_t close = line.find(']');
      const std::string name = Fold(TrimView(line.substr(0, close)));
      // A section seen before keeps its first body; a repeated header hides what follows.
      const auto [it, inserted] = m_sections.try_emplace(name);
      current = inserted ? &it->second : nullptr;
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || current == nullptr) continue;
    std::string_view value = TrimView(line.substr(eq + 1));
    // A value stops at a zero byte, as it does in the C strings of the Windows functions.
    value = value.substr(0, value.find('\0'));
    current->try_emplace(Fold(TrimView(line.substr(0, eq))), value);
  }
}

std::string CIniFile::GetString(std::string_view section, std::string_view key,
                                std::string_view def, std::size_t bufferSize) const {
  const auto s = m_sections.find(Fold(section));
  if (s != m_sections.end()) {
    const auto k = s->second.find(Fold(key));
    if (k != s->second.end()) {
      std::string_view value = k->second;
      if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
          value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
      }
      return Cut(value, bufferSize);
    }
  }
  while (!def.empty() && def.back() == ' ') def.remove_suffix(1);
  return Cut(def, bufferSize);
}
