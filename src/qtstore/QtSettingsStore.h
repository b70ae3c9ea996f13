#pragma once
// The settings store of the real program, kept by QSettings: the user's store of
// organisation "ORV", application "Kinex2" (the registry on Windows, a .conf
// file elsewhere), or an INI file named on the command line (--settings FILE).
// Integers are written as integers and texts as strings. This file and its
// source are the only place outside the desktop program that uses Qt; the
// executable loads them as a library of their own (app/QtStoreAccess.h).

#include <filesystem>
#include <memory>
#include <string>

#include "app/QtStoreAccess.h"
#include "app/SettingsStore.h"

class QSettings;

class CQtSettingsStore : public CSettingsStore {
 public:
  // The user's own store.
  static std::unique_ptr<CQtSettingsStore> UserStore();
  // The machine-wide store, where the executable's path is recorded.
  static std::unique_ptr<CQtSettingsStore> MachineStore();
  // An INI file; created when written, when missing.
  static std::unique_ptr<CQtSettingsStore> IniFile(const std::filesystem::path& file);

  ~CQtSettingsStore() override;
  CQtSettingsStore(const CQtSettingsStore&) = delete;
  CQtSettingsStore& operator=(const CQtSettingsStore&) = delete;

  std::optional<std::int64_t> ReadInt(std::string_view section,
                                      std::string_view name) const override;
  std::optional<std::string> ReadString(std::string_view section,
                                        std::string_view name) const override;
  void WriteInt(std::string_view section, std::string_view name, std::int64_t value) override;
  void WriteString(std::string_view section, std::string_view name,
                   std::string_view value) override;
  bool Flush() override;

  // Where the values are kept (a file path, or a registry path on Windows).
  std::string Location() const;

 private:
  explicit CQtSettingsStore(std::unique_ptr<QSettings> settings);
  std::unique_ptr<QSettings> m_settings;
};

// The store above as the application reaches it (app/QtStoreAccess.h).
const CQtStoreProvider* LinkedQtStoreProvider();
// Registers the linked store, so nothing is loaded at run time (the desktop
// program, tests).
void UseLinkedQtStore();
