#include "app/SettingsStore.h"

#include <charconv>

#include "platform/Files.h"
#include "platform/Text.h"

const char kCannotReadSettingsFile[] = "kinex2: cannot read settings file %s\n";

bool IsReadableSettingsFile(const std::filesystem::path& file) {
  return IsReadableRegularFile(file);
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
