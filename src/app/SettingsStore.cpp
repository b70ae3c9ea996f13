#include "app/SettingsStore.h"

#include <charconv>
#include <map>
#include <string>
#include <system_error>

#include "platform/Files.h"
#include "platform/Text.h"

const char kCannotReadSettingsFile[] = "kinex2: cannot read settings file %s\n";

namespace {
// Settings piped to the program, by the name they came under: a pipe gives
// its text only once.
std::map<std::filesystem::path, std::string>& PipedSettings() {
  static std::map<std::filesystem::path, std::string> texts;
  return texts;
}
}  // namespace

bool IsReadableNamedFile(const std::filesystem::path& file) {
  std::error_code ec;
  if (std::filesystem::status(file, ec).type() != std::filesystem::file_type::fifo) {
    return IsReadableRegularFile(file);
  }
  if (PipedSettings().count(file) != 0) return true;
  CInputFile in;
  int cause = 0;
  // Nothing read: nobody writes to it.
  if (!in.Open(file, cause) || in.Size() == 0) return false;
  std::string text(static_cast<std::size_t>(in.Size()), '\0');
  in.ReadAt(0, text.data(), text.size());
  PipedSettings()[file] = std::move(text);
  return true;
}

const std::string* PipedFileText(const std::filesystem::path& file) {
  const auto found = PipedSettings().find(file);
  return found == PipedSettings().end() ? nullptr : &found->second;
}

std::optional<std::int64_t> ParseStoredInt(std::string_view text) {
  text = TrimView(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // Digits only from here: from_chars would accept a second sign.
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  std::uint64_t magnitude = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  constexpr std::uint64_t kMaxPositive = INT64_MAX;
  if (!negative) {
    if (magnitude > kMaxPositive) return std::nullopt;
    return static_cast<std::int64_t>(magnitude);
  }
  if (magnitude > kMaxPositive + 1) return std::nullopt;
  return magnitude == kMaxPositive + 1 ? INT64_MIN : -static_cast<std::int64_t>(magnitude);
}

const CMemorySettingsStore::Value* CMemorySettingsStore::Find(std::string_view section,
                                                              std::string_view name) const {
  const auto it = m_values.find(Key(section, name));
  return it == m_values.end() ? nullptr : &it->second;
}

std::optional<std::int64_t> CMemorySettingsStore::ReadInt(std::string_view section,
                                                          std::string_view name) const {
  const Value* v = Find(section, name);
  if (v == nullptr) return std::nullopt;
  if (const auto* i = std::get_if<std::int64_t>(v)) return *i;
  return ParseStoredInt(std::get<std::string>(*v));
}

std::optional<std::string> CMemorySettingsStore::ReadString(std::string_view section,
                                                            std::string_view name) const {
  const Value* v = Find(section, name);
  if (v == nullptr) return std::nullopt;
  if (const auto* i = std::get_if<std::int64_t>(v)) return std::to_string(*i);
  return std::get<std::string>(*v);
}

void CMemorySettingsStore::WriteInt(std::string_view section, std::string_view name,
                                    std::int64_t value) {
  m_values[Key(section, name)] = value;
}

void CMemorySettingsStore::WriteString(std::string_view section, std::string_view name,
                                       std::string_view value) {
  m_values[Key(section, name)] = std::string(value);
}

std::vector<std::pair<std::string, std::string>> CMemorySettingsStore::Names() const {
  std::vector<std::pair<std::string, std::string>> names;
  for (const auto& entry : m_values) names.push_back(entry.first);
  return names;
}
