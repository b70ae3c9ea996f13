#pragma once
// Every setting a user may change by name: its section and key as stored,
// its default, the values it takes and one line of meaning. `kinex2
// settings` prints this list, and `--set SECTION/KEY=VALUE` changes a setting
// of it for one run, on top of the store (or the --settings file), without
// writing it back.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/SettingsStore.h"

struct CSettingInfo {
  const char* section;
  const char* key;
  const char* defaultValue;
  bool whole;  // a whole number from minimum to maximum, else a text
  long long minimum;
  long long maximum;
  const char* choices;  // texts a text setting takes, or nullptr for any
  const char* meaning;
};

std::span<const CSettingInfo> KnownSettings();
// The setting SECTION/KEY names, ignoring case; null when none.
const CSettingInfo* FindSetting(std::string_view section, std::string_view key);

struct CSettingOverride {
  const CSettingInfo* setting = nullptr;
  std::string value;
};
// Reads "SECTION/KEY=VALUE"; false with `error` set for an unknown setting or
// a value it does not take.
bool ParseSettingOverride(std::string_view text, CSettingOverride& out, std::string& error);

// `base` with the overridden settings read from the overrides instead. Writes
// of an overridden setting are dropped: a run's --set is never stored.
std::unique_ptr<CSettingsStore> WithOverrides(std::unique_ptr<CSettingsStore> base,
                                              std::vector<CSettingOverride> overrides);

// The lines of `kinex2 settings`: each setting with its current value in
// `store`, its default, the values it takes and its meaning.
std::string SettingsListing(const CSettingsStore& store);
