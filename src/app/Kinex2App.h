#pragma once
// The application object: every user setting of the program, the marker-label
// translations and VDO extra lines of kinex2.ini, the EMG test-set values, the
// DST signature line and the batch overwrite-all flag. One object lives for the
// whole run; the rest of the program reads its members directly and dialogs
// edit them in memory. Settings reach the store only through SaveSettings at a
// normal exit ("StartDir" and "WindowPos" excepted: they are written at once).
//
// Until a store is chosen the object works on an empty in-memory store, so a
// test can never reach the user's real settings by accident.

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/AppPlatform.h"
#include "app/SettingsList.h"
#include "app/SettingsStore.h"
#include "documents/FormatRegistry.h"
#include "export/ExportOptions.h"

class CKinex2App {
 public:
  static constexpr char kVersion[] = "2.560";
  static constexpr std::array<std::string_view, 3> kDelimiterChars = {",", " ", "\t"};
  static constexpr std::array<std::string_view, 3> kDelimiterNames = {"Comma", "Space", "Tab"};

  // `ui` shows boxes and asks questions; it must outlive the object (or be
  // replaced with SetUiPlatform first).
  explicit CKinex2App(CPlatform& ui);
  CKinex2App(const CKinex2App&) = delete;
  CKinex2App& operator=(const CKinex2App&) = delete;

  // Start-up: opens the settings store (the user's own when `settingsFile` is
  // empty, else that INI file), loads the settings, records the executable's
  // path (only with the user's store, so a private settings file leaves the
  // machine untouched), and loads kinex2.ini (from `iniFile` when given).
  // `readOnly` (conversions from scripts): the settings are only read, from
  // the store's files directly where it keeps them in files, and a store
  // that could not take a write is never written.
  // --set overrides, read instead of the store's values and never written
  // back; set before InitInstance.
  std::vector<CSettingOverride> settingOverrides;
  void InitInstance(const std::filesystem::path& settingsFile,
                    const std::filesystem::path& iniFile = {}, bool readOnly = false);
  // Normal exit: saves the settings and empties the lists. False when the store
  // could not be written.
  bool ExitInstance();

  // The executable decides where kinex2.ini and the default log file live.
  // Set by the constructor from the running process; tests point it elsewhere
  // before loading anything.
  void SetExecutablePath(const std::filesystem::path& exe);
  // Overrides the folder SetExecutablePath chose (tests keep everything in
  // their own temporary folder).
  void SetDataFolder(const std::filesystem::path& folder);
  const std::filesystem::path& ExecutableFile() const { return m_exePath; }
  const std::filesystem::path& DataFolder() const { return m_dataFolder; }
  // kinex2.ini is written in the data folder; it is read from there when it
  // exists, else from beside the executable (an installed program's folder
  // the user cannot write, where the shipped translations lie).
  // A kinex2.ini named on the command line replaces both.
  std::filesystem::path IniFilePath() const;
  std::filesystem::path IniReadPath() const;
  void UseIniFile(const std::filesystem::path& iniFile) { m_iniFile = iniFile; }
  std::string DefaultLogFile() const;

  void UseSettingsStore(std::unique_ptr<CSettingsStore> store);
  CSettingsStore& SettingsStore() { return *m_store; }

  // Reads every setting; missing or unusable values take their defaults.
  void LoadSettings();
  // Writes every stored setting and flushes the store; false when it failed.
  bool SaveSettings();

  // Records the executable in the machine-wide store (value "Exe"), unless it
  // holds that path already. Failures are ignored; with `readOnly` a store
  // this process could not write is not opened for writing at all.
  void RecordExecutablePath(bool readOnly = false);
  void RecordExecutablePath(CSettingsStore& machineStore) const;

  // kinex2.ini: a missing or unreadable file gives empty lists.
  void LoadLabelTranslations();
  void LoadVdoExtraLines();
  // Rewrites kinex2.ini from the three lists; on failure shows "Could not open
  // %s to write marker information", leaves the old file as it was and returns
  // false.
  bool WriteVdoIniFile();
  // Index of the first pair whose trimmed source name equals the trimmed
  // `label` ignoring case; -1 when none.
  int FindLabelTranslation(std::string_view label) const;

  // The one reporting operation: the box through the user-interface platform,
  // the line into the log file when logging is on and `writeToLog` is set.
  void LogMessage(const std::string& text, bool showBox, bool writeToLog) {
    m_platform.LogMessage(text, showBox, writeToLog);
  }
  // The platform to hand to readers, documents and writers.
  CPlatform& Platform() { return m_platform; }
  // Stops logging for the run when the log file is `recording` (see
  // CAppPlatform::KeepLogOff); called before every recording is read.
  void KeepLogOff(const std::filesystem::path& recording) { m_platform.KeepLogOff(recording); }
  void SetUiPlatform(CPlatform& ui) { m_platform.SetUi(ui); }

  // Values written as soon as they change.
  std::string ReadStartDir() const;
  void WriteStartDir(std::string_view folder);
  std::optional<std::string> ReadWindowPos() const;
  // An EMG test-set value, kept and written at once.
  void WriteTestSetValue(const std::string& key, const std::string& value);
  void WriteWindowPos(std::string_view placement);

  // The stored default selection of a format of the table of formats.
  ExportSelection& Selection(const CFormatEntry& f) { return selections[FormatIndex(f)]; }
  const ExportSelection& Selection(const CFormatEntry& f) const {
    return selections[FormatIndex(f)];
  }
  // The separator of text exports ("Delimiter" as its character).
  std::string_view DelimiterChar() const;
  // The video rate "RateIndex" names, in Hz.
  float VideoRate() const;

  // Section "Settings".
  std::uint8_t ExportTo = 0;  // 0 DST file, 1 text file
  LogSettings logSettings;    // "Log", "LogFile", "LogErrorOnly"
  int ShowCmd = 3;            // show state of new document windows (maximised)
  // Sections "GCDExport", "TextExport", each format's selection (by its
  // position in the table of formats), "ADC_Param", "Veltro".
  DstOptions dstOptions;
  TextOptions textOptions;
  std::vector<ExportSelection> selections = std::vector<ExportSelection>(Formats().size());
  AdcSettings adcParam;
  std::map<std::string, std::string> veltro;

  // kinex2.ini: pairs of source and DST names (same length), and free
  // "$Var,Value" lines.
  std::vector<std::string> labelSourceNames;
  std::vector<std::string> labelDstNames;
  std::vector<std::string> vdoExtraLines;

  // Run-time state, never stored.
  bool overwriteAll = false;  // set only while a batch export runs
  int exportThreads = 0;      // threads of one export (--threads); 0: every core
  std::string DstSignature;   // first line of general DST files

 private:
  std::filesystem::path m_exePath;
  std::filesystem::path m_dataFolder;
  std::filesystem::path m_iniFile;  // --ini FILE
  // The path recorded as "Exe" (the Windows executable's name on Windows).
  std::filesystem::path RecordedExecutable() const;
  std::unique_ptr<CSettingsStore> m_store;
  CAppPlatform m_platform;
  int m_showCmdRead = 3;  // "ShowCmd" is written back only when it changed
};
