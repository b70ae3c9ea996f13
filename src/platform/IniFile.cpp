#include "platform/IniFile.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>

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
  // A stream takes the path as the system names files (wide on Windows).
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  m_text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    m_text.clear();
    return false;
  }
  ParseOwnText();
  return true;
}

void CIniFile::Parse(std::string_view text) {
  m_text.assign(text.begin(), text.end());
  ParseOwnText();
}

void CIniFile::ParseOwnText() {
  m_sections.clear();
  std::string_view text(m_text.data(), m_text.size());
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
    const std::string_view key = TrimView(line.substr(0, eq));
    char* k = m_text.data() + (key.data() - m_text.data());
    for (std::size_t i = 0; i < key.size(); ++i) {
      if (k[i] >= 'A' && k[i] <= 'Z') k[i] = static_cast<char>(k[i] - 'A' + 'a');
    }
    current->try_emplace(key, value);
  }
}

std::string_view CIniFile::Unquoted(std::string_view value, std::size_t bufferSize) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return bufferSize == 0 ? std::string_view() : value.substr(0, bufferSize - 1);
}

std::vector<std::pair<long long, std::string_view>> CIniFile::NumberedValues(
    std::string_view section, std::string_view prefix, std::size_t bufferSize) const {
  std::vector<std::pair<long long, std::string_view>> out;
  const auto s = m_sections.find(Fold(section));
  if (s == m_sections.end()) return out;
  const std::string folded = Fold(prefix);
  for (const auto& [key, value] : s->second) {
    if (key.size() <= folded.size() || key.compare(0, folded.size(), folded) != 0) continue;
    // Only the number GetString would be asked for: no sign, no leading zero.
    const std::string_view digits = std::string_view(key).substr(folded.size());
    if (digits[0] == '0') continue;
    long long n = 0;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (r.ec != std::errc() || r.ptr != digits.data() + digits.size()) continue;
    out.emplace_back(n, Unquoted(value, bufferSize));
  }
  std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return out;
}

std::string CIniFile::GetString(std::string_view section, std::string_view key,
                                std::string_view def, std::size_t bufferSize) const {
  const auto s = m_sections.find(Fold(section));
  if (s != m_sections.end()) {
    const auto k = s->second.find(Fold(key));
    if (k != s->second.end()) return std::string(Unquoted(k->second, bufferSize));
  }
  while (!def.empty() && def.back() == ' ') def.remove_suffix(1);
  return Cut(def, bufferSize);
}
