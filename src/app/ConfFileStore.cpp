#include "app/ConfFileStore.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/Text.h"

namespace {

constexpr char kOrganization[] = "ORV";
constexpr char kApplication[] = "Kinex2";

void AppendUtf8(std::string& out, unsigned long code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | ((code >> 18) & 0x07));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Section and key names: "%XX" and "%UXXXX" stand for characters outside the
// plain set, and a backslash for the group separator.
std::string DecodeName(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\\') {
      out += '/';
    } else if (c == '%' && i + 5 < s.size() && s[i + 1] == 'U') {
      unsigned long code = 0;
      bool ok = true;
      for (std::size_t k = 2; k < 6; ++k) {
        const int d = HexDigit(s[i + k]);
        ok = ok && d >= 0;
        code = code * 16 + static_cast<unsigned long>(d < 0 ? 0 : d);
      }
      if (!ok) {
        out += c;
        continue;
      }
      AppendUtf8(out, code);
      i += 5;
    } else if (c == '%' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
      AppendUtf8(out, static_cast<unsigned long>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2])));
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

// One C-style escape starting after the backslash at s[i]; advances i past it.
void Unescape(std::string_view s, std::size_t& i, std::string& out) {
  if (i >= s.size()) return;
  const char c = s[i++];
  switch (c) {
    case 'a':
      out += '\a';
      return;
    case 'b':
      out += '\b';
      return;
    case 'f':
      out += '\f';
      return;
    case 'n':
      out += '\n';
      return;
    case 'r':
      out += '\r';
      return;
    case 't':
      out += '\t';
      return;
    case 'v':
      out += '\v';
      return;
    case 'x': {
      unsigned long code = 0;
      while (i < s.size() && HexDigit(s[i]) >= 0 && code < 0x10000)
        code = code * 16 + static_cast<unsigned long>(HexDigit(s[i++]));
      AppendUtf8(out, code);
      return;
    }
    case '0':
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7': {
      unsigned long code = static_cast<unsigned long>(c - '0');
      while (i < s.size() && s[i] >= '0' && s[i] <= '7' && code < 0x1000)
        code = code * 8 + static_cast<unsigned long>(s[i++] - '0');
      AppendUtf8(out, code);
      return;
    }
    default:
      out += c;  // \" \' \\ \? and anything unknown stand for themselves
  }
}

// A value: pieces separated by commas outside double quotes, unquoted blanks
// around each piece dropped.
std::vector<std::string> SplitValue(std::string_view v) {
  std::vector<std::string> pieces;
  std::string cur;
  std::size_t keep = 0;  // characters of `cur` that trailing-blank trimming must keep
  bool inQuotes = false;
  const auto endPiece = [&] {
    std::size_t end = cur.size();
    while (end > keep && (cur[end - 1] == ' ' || cur[end - 1] == '\t')) --end;
    cur.resize(end);
    pieces.push_back(cur);
    cur.clear();
    keep = 0;
  };
  for (std::size_t i = 0; i < v.size();) {
    const char c = v[i];
    if (c == '"') {
      inQuotes = !inQuotes;
      keep = cur.size();
      ++i;
    } else if (c == '\\') {
      ++i;
      Unescape(v, i, cur);
      keep = cur.size();
    } else if (!inQuotes && c == ',') {
      endPiece();
      ++i;
    } else if (!inQuotes && (c == ' ' || c == '\t') && cur.empty()) {
      ++i;
    } else {
      cur += c;
      if (inQuotes) keep = cur.size();
      ++i;
    }
  }
  endPiece();
  return pieces;
}

std::string FullKey(std::string_view section, std::string_view name) {
  std::string key(section);
  if (!key.empty()) key += '/';
  key += name;
  return key;
}

std::filesystem::path EnvironmentPath(const char* name) {
  const char* v = std::getenv(name);
  if (v == nullptr || *v == '\0') return {};
  std::filesystem::path p(v);
  return p.is_absolute() ? p : std::filesystem::path();
}

}  // namespace

CConfFileStore::CConfFileStore(const std::vector<std::filesystem::path>& files) {
  // Later files fill only what the earlier ones did not set.
  for (auto f = files.rbegin(); f != files.rend(); ++f) {
    std::ifstream in(*f, std::ios::binary);
    if (!in) continue;
    std::ostringstream text;
    text << in.rdbuf();
    Parse(text.str());
  }
}

CConfFileStore CConfFileStore::FromText(std::string_view text) {
  CConfFileStore store;
  store.Parse(text);
  return store;
}

void CConfFileStore::Parse(std::string_view text) {
  std::string section;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = TrimView(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      const std::string_view raw =
          line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
      // [General] holds the names outside any section; a real section of that
      // name is written as [%General].
      section = raw == "General"    ? std::string()
                : raw == "%General" ? std::string("General")
                                    : DecodeName(raw);
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string key = FullKey(section, DecodeName(TrimView(line.substr(0, eq))));
    CValue value;
    value.pieces = SplitValue(TrimView(line.substr(eq + 1)));
    if (value.pieces.size() == 1) {
      std::string& s = value.pieces.front();
      if (s.starts_with("@@")) {
        s.erase(0, 1);
      } else if (s.starts_with("@ByteArray(") && s.ends_with(")")) {
        s = s.substr(11, s.size() - 12);
      } else if (s.starts_with("@String(") && s.ends_with(")")) {
        s = s.substr(8, s.size() - 9);
      } else if (s == "@Invalid()") {
        continue;  // stored as absent
      } else if (s.starts_with("@Variant(") || s.starts_with("@DateTime(") ||
                 s.starts_with("@Rect(") || s.starts_with("@Size(") || s.starts_with("@Point(")) {
        value.valid = false;
      }
    }
    m_values[key] = std::move(value);
  }
}

bool CConfFileStore::HoldsSection(std::string_view section) const {
  const std::string prefix = FullKey(section, "");
  const auto it = m_values.lower_bound(prefix);
  return it != m_values.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

const CConfFileStore::CValue* CConfFileStore::Find(std::string_view section,
                                                   std::string_view name) const {
  const auto it = m_values.find(FullKey(section, name));
  return it == m_values.end() || !it->second.valid ? nullptr : &it->second;
}

std::optional<std::int64_t> CConfFileStore::ReadInt(std::string_view section,
                                                    std::string_view name) const {
  const CValue* v = Find(section, name);
  if (v == nullptr || v->pieces.size() != 1) return std::nullopt;
  return ParseStoredInt(v->pieces.front());
}

std::optional<std::string> CConfFileStore::ReadString(std::string_view section,
                                                      std::string_view name) const {
  const CValue* v = Find(section, name);
  if (v == nullptr) return std::nullopt;
  std::string text;
  for (std::size_t i = 0; i < v->pieces.size(); ++i) {
    if (i > 0) text += ", ";
    text += v->pieces[i];
  }
  return text;
}

std::filesystem::path UserConfigBase() {
#if defined(_WIN32)
  return EnvironmentPath("LOCALAPPDATA");
#elif defined(__APPLE__)
  const std::filesystem::path home = EnvironmentPath("HOME");
  return home.empty() ? home : home / "Library" / "Preferences";
#else
  std::filesystem::path base = EnvironmentPath("XDG_CONFIG_HOME");
  if (base.empty()) {
    const std::filesystem::path home = EnvironmentPath("HOME");
    if (!home.empty()) base = home / ".config";
  }
  return base;
#endif
}

std::filesystem::path MachineStoreFile() {
#if defined(_WIN32) || defined(__APPLE__)
  return {};
#else
  // The first of the system configuration folders, /etc/xdg by default.
  std::string dirs;
  if (const char* v = std::getenv("XDG_CONFIG_DIRS")) dirs = v;
  std::filesystem::path first(dirs.substr(0, dirs.find(':')));
  if (!first.is_absolute()) first = "/etc/xdg";
  return first / kOrganization / (std::string(kApplication) + ".conf");
#endif
}

std::vector<std::filesystem::path> UserStoreFiles() {
#if defined(_WIN32) || defined(__APPLE__)
  return {};
#else
  const std::filesystem::path base = UserConfigBase();
  if (base.empty()) return {};
  const std::filesystem::path machine = MachineStoreFile();
  // The application's file, then the organisation's, the user's before the
  // machine's.
  return {base / kOrganization / (std::string(kApplication) + ".conf"),
          base / (std::string(kOrganization) + ".conf"), machine,
          machine.parent_path().parent_path() / (std::string(kOrganization) + ".conf")};
#endif
}
