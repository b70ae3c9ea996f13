#pragma once
// A read-only view of the settings files the Qt settings store writes on Unix
// (INI text: "[Section]" headers, "key=value" lines, percent-encoded names and
// C-style escapes in values), read without Qt. Conversions only read their
// settings, and loading the Qt libraries cost more than the whole conversion
// of a small file; the desktop program and every writer keep using
// CQtSettingsStore, so the two never disagree about a file's format.
//
// Values come back as the Qt store gives them from such a file: a text with
// unquoted commas is a list whose pieces are joined with ", ", an integer is
// read from its text.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/SettingsStore.h"

class CConfFileStore : public CSettingsStore {
 public:
  // Reads `files` in order; a value found in an earlier file hides the same
  // name in a later one (the user's file before the organisation's, the
  // user's before the machine's). Missing files are skipped.
  explicit CConfFileStore(const std::vector<std::filesystem::path>& files);
  // The same from text already in memory (one file).
  static CConfFileStore FromText(std::string_view text);

  std::optional<std::int64_t> ReadInt(std::string_view section,
                                      std::string_view name) const override;
  std::optional<std::string> ReadString(std::string_view section,
                                        std::string_view name) const override;
  // Read only: writes are dropped and Flush fails.
  void WriteInt(std::string_view, std::string_view, std::int64_t) override {}
  void WriteString(std::string_view, std::string_view, std::string_view) override {}
  bool Flush() override { return false; }

  // True when a value of `section` was read.
  bool HoldsSection(std::string_view section) const;

 private:
  CConfFileStore() = default;
  void Parse(std::string_view text);
  struct CValue {
    std::vector<std::string> pieces;  // more than one: a list
    bool valid = true;                // false for value kinds this program never writes
  };
  const CValue* Find(std::string_view section, std::string_view name) const;
  std::map<std::string, CValue, std::less<>> m_values;  // "Section/name"
};

// The files the user's store reads on this system, in lookup order; empty
// where the store is not kept in such files (the registry on Windows,
// property lists on macOS).
std::vector<std::filesystem::path> UserStoreFiles();
// The machine-wide store's file; empty where it is not such a file.
std::filesystem::path MachineStoreFile();
// The base of the per-user configuration folders ($XDG_CONFIG_HOME, else
// ~/.config; the local application-data folder on Windows).
std::filesystem::path UserConfigBase();
