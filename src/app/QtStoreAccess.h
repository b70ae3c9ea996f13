#pragma once
// The Qt settings store (the user's registry key or .conf file, the machine's,
// or an INI file named with --settings) lives in a library of its own,
// kinex2-settings beside the executable, loaded the first time the store is
// wanted. A conversion of a small file only reads its settings (ConfFileStore.h
// does that without Qt where the store is a file), and starting the Qt
// libraries cost more than the whole conversion. The desktop program and the
// tests link the store in and register it with SetQtStoreProvider.

#include <filesystem>
#include <memory>
#include <string>

#include "app/SettingsStore.h"

enum class QtStoreKind : int { User, Machine, IniFile };

struct CQtStoreProvider {
  // A new store; `file` names the INI file of QtStoreKind::IniFile.
  CSettingsStore* (*open)(QtStoreKind kind, const std::filesystem::path& file);
  // Where the user's store keeps its values (a file or registry path).
  std::string (*userLocation)();
};

// The store linked into this program; without one the library is loaded.
void SetQtStoreProvider(const CQtStoreProvider* provider);

// Null when the library cannot be loaded (said once on standard error).
std::unique_ptr<CSettingsStore> OpenQtStore(QtStoreKind kind,
                                            const std::filesystem::path& file = {});
// Where the user's store keeps its values, for the help text.
std::string UserSettingsLocation();

// The name of the entry the settings library exports: a function returning
// its `const CQtStoreProvider*`.
extern const char kQtStoreEntryName[];  // "Kinex2QtStoreProvider"
