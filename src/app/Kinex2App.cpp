#include "app/Kinex2App.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <fstream>
#include <random>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "app/AppPaths.h"
#include "app/ConfFileStore.h"
#include "app/QtStoreAccess.h"
#include "app/SettingsList.h"
#include "documents/FormatRegistry.h"
#include "export/DstExport.h"
#include "export/NumberFormat.h"
#include "platform/IniFile.h"
#include "platform/Text.h"

namespace {
constexpr char kIniFileName[] = "kinex2.ini";
constexpr char kLogFileName[] = "Kinex2.log";
constexpr char kWindowsExeName[] = "Kinex2.exe";
constexpr char kCouldNotWriteIni[] = "Could not open %s to write marker information";

constexpr char kSettings[] = "Settings";
constexpr char kGcdExport[] = "GCDExport";
constexpr char kTextExport[] = "TextExport";
constexpr char kAdcParam[] = "ADC_Param";
constexpr char kVeltro[] = "Veltro";

constexpr char kNotASettingsFile[] =
    "kinex2: %s holds no Kinex2 settings; it is read, but the settings are not written back to it";

// A settings file is written back only when it holds settings already (one
// of these sections), or nothing yet: a new or empty file.
bool HoldsKinex2Settings(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec) || std::filesystem::file_size(file, ec) == 0) return true;
  const CConfFileStore store({file});
  for (const char* section : {kSettings, kGcdExport, kTextExport, kAdcParam, kVeltro}) {
    if (store.HoldsSection(section)) return true;
  }
  for (const CFormatEntry& f : Formats()) {
    if (store.HoldsSection(f.selectionSection)) return true;
  }
  return false;
}

// kinex2.ini from its file, or from the text of a pipe named with --ini
// (read once, when the command line was checked).
void LoadIni(CIniFile& ini, const std::filesystem::path& path) {
  if (const std::string* piped = PipedFileText(path)) {
    ini.Parse(*piped);
  } else {
    ini.Load(path);
  }
}

constexpr char kVdoLabels[] = "vdolabels";
constexpr char kVdoExtra[] = "vdoextra";
constexpr char kLabelKey[] = "label";
constexpr char kExtraKey[] = "extra";
constexpr std::size_t kLabelBuffer = 256;
constexpr std::size_t kExtraBuffer = 1024;

// The stored "%.8f" texts of "Gen_Scale" and "Scale" when nothing is stored.
constexpr char kDefaultGenScale[] = "0.00488";
constexpr char kDefaultMacScale[] = "0.001";

// A stored selection never holds more group names than this; a larger
// "NumPar" (a damaged store) would otherwise make start-up read for hours.
constexpr int kMaxStoredGroups = 4096;

struct VeltroDefault {
  const char* key;
  const char* value;
};
constexpr std::array<VeltroDefault, 4> kVeltroDefaults = {{{kVeltroLocation, "ORV"},
                                                           {kVeltroSerial, "  "},
                                                           {kVeltroEquip, "Orvane, Inc VX-520"},
                                                           {kVeltroRes, "12"}}};

// Integers are stored as 32-bit DWORDs: larger numbers keep their low 32 bits,
// and each member then keeps the bits of its own width.
std::uint32_t ReadDword(const CSettingsStore& s, std::string_view section, std::string_view name,
                        std::uint32_t def) {
  const auto v = s.ReadInt(section, name);
  return v ? static_cast<std::uint32_t>(*v) : def;
}
int ReadBool(const CSettingsStore& s, std::string_view section, std::string_view name, int def) {
  return ReadDword(s, section, name, static_cast<std::uint32_t>(def)) != 0 ? 1 : 0;
}
std::uint8_t ReadByte(const CSettingsStore& s, std::string_view section, std::string_view name,
                      std::uint8_t def) {
  return static_cast<std::uint8_t>(ReadDword(s, section, name, def));
}
int ReadInt32(const CSettingsStore& s, std::string_view section, std::string_view name, int def) {
  return static_cast<std::int32_t>(ReadDword(s, section, name, static_cast<std::uint32_t>(def)));
}
std::string ReadText(const CSettingsStore& s, std::string_view section, std::string_view name,
                     std::string_view def) {
  auto v = s.ReadString(section, name);
  return v ? std::move(*v) : std::string(def);
}

std::string FormatScale(float value) {
  std::string out;
  AppendFixed(out, value, 8);
  return out;
}

// A format's stored default selection: every format keeps the header and
// analog flags and its group names; one with points the marker flag, one
// whose EMG report takes a scale (MAC) that scale.
void LoadSelection(const CSettingsStore& s, std::string_view section,
                   const CFormatDescription& format, ExportSelection& sel) {
  sel.Header = ReadBool(s, section, "Header", 1);
  sel.AnalogData = ReadBool(s, section, "AnalogData", 1);
  if (format.hasPoints) sel.VideoData = ReadBool(s, section, "VideoData", 1);
  const int count = std::clamp(ReadInt32(s, section, "NumPar", 0), 0, kMaxStoredGroups);
  sel.groupNames.clear();
  sel.groupFlags.clear();
  for (int i = 0; i < count; ++i) {
    std::string name = ReadText(s, section, "ParName" + std::to_string(i), "");
    if (name.empty()) continue;
    sel.groupNames.push_back(std::move(name));
    sel.groupFlags.push_back(ReadByte(s, section, "ParSel" + std::to_string(i), 0) != 0 ? 1 : 0);
  }
  if (format.expScaledBySetting) {
    sel.Scale = LeadingDecimal(ReadText(s, section, "Scale", kDefaultMacScale));
  }
}

void SaveSelection(CSettingsStore& s, std::string_view section, const CFormatDescription& format,
                   const ExportSelection& sel) {
  s.WriteInt(section, "Header", sel.Header);
  s.WriteInt(section, "AnalogData", sel.AnalogData);
  if (format.hasPoints) s.WriteInt(section, "VideoData", sel.VideoData);
  const std::size_t count = std::min(sel.groupNames.size(), sel.groupFlags.size());
  s.WriteInt(section, "NumPar", static_cast<std::int64_t>(count));
  for (std::size_t i = 0; i < count; ++i) {
    s.WriteString(section, "ParName" + std::to_string(i), sel.groupNames[i]);
    s.WriteInt(section, "ParSel" + std::to_string(i), sel.groupFlags[i]);
  }
  if (format.expScaledBySetting) s.WriteString(section, "Scale", FormatScale(sel.Scale));
}

// Reads keys prefix1, prefix2, ... of `section`. Keys 1 to 49 are always
// tried; a value at key n extends the scan to key n + 50, so the scan ends
// after 50 consecutive empty keys.
template <class Take>
void ScanNumberedKeys(const CIniFile& ini, const char* section, const char* prefix,
                      std::size_t buffer, Take take) {
  long long last = 49;
  for (const auto& [n, value] : ini.NumberedValues(section, prefix, buffer)) {
    if (n > last) break;
    if (value.empty()) continue;
    last = n + 50;
    take(std::string(value));
  }
}
}  // namespace

CKinex2App::CKinex2App(CPlatform& ui)
    : DstSignature(MakeDstSignature(kVersion)),
      m_store(std::make_unique<CMemorySettingsStore>()),
      m_platform(ui, logSettings) {
  SetExecutablePath(ExecutablePath());
  for (const auto& d : kVeltroDefaults) veltro[d.key] = d.value;
}

void CKinex2App::InitInstance(const std::filesystem::path& settingsFile,
                              const std::filesystem::path& iniFile, bool readOnly) {
  m_iniFile = iniFile;
  const std::vector<std::filesystem::path> userFiles = UserStoreFiles();
  std::unique_ptr<CSettingsStore> store;
  if (const std::string* piped = PipedFileText(settingsFile)) {
    // Piped settings are read, never written back.
    store = std::make_unique<CConfFileStore>(CConfFileStore::FromText(*piped));
  } else if (readOnly && !settingsFile.empty()) {
    store = std::make_unique<CConfFileStore>(std::vector{settingsFile});
  } else if (readOnly && !userFiles.empty()) {
    store = std::make_unique<CConfFileStore>(userFiles);
  } else if (!settingsFile.empty() && !HoldsKinex2Settings(settingsFile)) {
    // Writing the settings back would replace whatever the file is (a
    // recording or a batch list named by mistake): it is only read.
    LogMessage(Format(kNotASettingsFile, PathToUtf8(FullPath(settingsFile)).c_str()), true, false);
    store = std::make_unique<CConfFileStore>(std::vector{settingsFile});
  } else {
    store = settingsFile.empty() ? OpenQtStore(QtStoreKind::User)
                                 : OpenQtStore(QtStoreKind::IniFile, settingsFile);
    // A build without the Qt store (the Windows build without the window
    // library) still reads the settings; saving them says it failed instead
    // of keeping them in memory only.
    if (store == nullptr) {
      store = std::make_unique<CConfFileStore>(settingsFile.empty() ? userFiles
                                                                    : std::vector{settingsFile});
    }
  }
  UseSettingsStore(WithOverrides(std::move(store), settingOverrides));
  LoadSettings();
  if (settingsFile.empty()) RecordExecutablePath(readOnly);
  std::error_code ec;
  std::filesystem::create_directories(m_dataFolder, ec);
  LoadLabelTranslations();
  LoadVdoExtraLines();
}

bool CKinex2App::ExitInstance() {
  const bool saved = SaveSettings();
  labelSourceNames.clear();
  labelDstNames.clear();
  vdoExtraLines.clear();
  for (ExportSelection& sel : selections) {
    sel.groupNames.clear();
    sel.groupFlags.clear();
  }
  return saved;
}

void CKinex2App::SetExecutablePath(const std::filesystem::path& exe) {
  m_exePath = exe;
  SetDataFolder(ChooseDataFolder(exe.parent_path(), UserConfigFolder()));
}

void CKinex2App::SetDataFolder(const std::filesystem::path& folder) {
  const bool defaultLog = logSettings.LogFile == DefaultLogFile();
  m_dataFolder = folder;
  if (defaultLog) logSettings.LogFile = DefaultLogFile();
}

std::filesystem::path CKinex2App::IniFilePath() const {
  if (!m_iniFile.empty()) return m_iniFile;
  return m_dataFolder / kIniFileName;
}

std::filesystem::path CKinex2App::IniReadPath() const {
  std::filesystem::path own = IniFilePath();
  std::error_code ec;
  if (!m_iniFile.empty() || std::filesystem::exists(own, ec) || m_exePath.empty()) return own;
  return m_exePath.parent_path() / kIniFileName;
}

std::string CKinex2App::DefaultLogFile() const {
  return PathToUtf8(m_dataFolder / kLogFileName);
}

void CKinex2App::UseSettingsStore(std::unique_ptr<CSettingsStore> store) {
  if (store) m_store = std::move(store);
}

void CKinex2App::LoadSettings() {
  const CSettingsStore& s = *m_store;
  ExportTo = ReadByte(s, kSettings, "ExportTo", 0) != 0 ? 1 : 0;
  logSettings.Log = ReadBool(s, kSettings, "Log", 0);
  logSettings.LogErrorOnly = ReadBool(s, kSettings, "LogErrorOnly", 1);
  logSettings.LogFile = ReadText(s, kSettings, "LogFile", DefaultLogFile());
  ShowCmd = m_showCmdRead = ReadInt32(s, kSettings, "ShowCmd", 3);

  DstOptions& d = dstOptions;
  d.AnalogScaled = ReadBool(s, kGcdExport, "AnalogScaled", 0);
  d.VideoScaled = ReadBool(s, kGcdExport, "VideoScaled", 0);
  d.ShowResid = ReadBool(s, kGcdExport, "ShowResid", 0);
  d.ShowMask = ReadBool(s, kGcdExport, "ShowMask", 0);
  d.Precision = ReadByte(s, kGcdExport, "Precision", 3);
  d.Dstlexicon = ReadByte(s, kGcdExport, "Dstlexicon", 0);
  if (d.Dstlexicon > 2) d.Dstlexicon = 0;

  TextOptions& t = textOptions;
  t.AnalogScaled = ReadBool(s, kTextExport, "AnalogScaled", 0);
  t.AnalogColNames = ReadBool(s, kTextExport, "AnalogColNames", 1);
  t.VideoScaled = ReadBool(s, kTextExport, "VideoScaled", 0);
  t.VideoColNames = ReadBool(s, kTextExport, "VideoColNames", 1);
  t.ShowResid = ReadBool(s, kTextExport, "ShowResid", 0);
  t.ShowMask = ReadBool(s, kTextExport, "ShowMask", 0);
  const std::string delimiter = ReadText(s, kTextExport, "Delimiter", "TAB");
  t.Delimiter = EqualsNoCase(delimiter, "COMMA") ? 0 : EqualsNoCase(delimiter, "SPACE") ? 1 : 2;
  t.Precision = ReadByte(s, kTextExport, "Precision", 3);
  t.SamplesByFrame = ReadBool(s, kTextExport, "SamplesByFrame", 1);
  t.StartAtZero = ReadBool(s, kTextExport, "StartAtZero", 0);
  t.DoubleLimitTrajectory = ReadBool(s, kTextExport, "DoubleLimitTrajectory", 1);
  t.ColumnWidth = static_cast<std::uint16_t>(ReadDword(s, kTextExport, "ColumnWidth", 12));
  t.DelimitColNames = ReadBool(s, kTextExport, "DelimitColNames", 1);
  t.Mean_StdDev = ReadBool(s, kTextExport, "Mean_StdDev", 0);

  for (const auto& v : kVeltroDefaults) veltro[v.key] = ReadText(s, kVeltro, v.key, v.value);

  for (const CFormatEntry& f : Formats()) {
    LoadSelection(s, f.selectionSection, f.description(), Selection(f));
  }

  adcParam.RateIndex = ReadByte(s, kAdcParam, "RateIndex", 0);
  if (adcParam.RateIndex > 3) adcParam.RateIndex = 0;
  adcParam.Gen_Scale = LeadingDecimal(ReadText(s, kAdcParam, "Gen_Scale", kDefaultGenScale));
}

bool CKinex2App::SaveSettings() {
  CSettingsStore& s = *m_store;
  s.WriteInt(kSettings, "ExportTo", ExportTo);
  s.WriteInt(kSettings, "Log", logSettings.Log);
  s.WriteString(kSettings, "LogFile", logSettings.LogFile);
  s.WriteInt(kSettings, "LogErrorOnly", logSettings.LogErrorOnly);
  if (ShowCmd != m_showCmdRead) s.WriteInt(kSettings, "ShowCmd", ShowCmd);

  const DstOptions& d = dstOptions;
  s.WriteInt(kGcdExport, "AnalogScaled", d.AnalogScaled);
  s.WriteInt(kGcdExport, "VideoScaled", d.VideoScaled);
  s.WriteInt(kGcdExport, "ShowResid", d.ShowResid);
  s.WriteInt(kGcdExport, "ShowMask", d.ShowMask);
  s.WriteInt(kGcdExport, "Precision", d.Precision);
  s.WriteInt(kGcdExport, "Dstlexicon", d.Dstlexicon);

  const TextOptions& t = textOptions;
  s.WriteInt(kTextExport, "AnalogScaled", t.AnalogScaled);
  s.WriteInt(kTextExport, "AnalogColNames", t.AnalogColNames);
  s.WriteInt(kTextExport, "VideoScaled", t.VideoScaled);
  s.WriteInt(kTextExport, "VideoColNames", t.VideoColNames);
  s.WriteInt(kTextExport, "ShowResid", t.ShowResid);
  s.WriteInt(kTextExport, "ShowMask", t.ShowMask);
  s.WriteString(kTextExport, "Delimiter", kDelimiterNames[std::min<std::size_t>(t.Delimiter, 2)]);
  s.WriteInt(kTextExport, "Precision", t.Precision);
  s.WriteInt(kTextExport, "SamplesByFrame", t.SamplesByFrame);
  s.WriteInt(kTextExport, "StartAtZero", t.StartAtZero);
  s.WriteInt(kTextExport, "DoubleLimitTrajectory", t.DoubleLimitTrajectory);
  s.WriteInt(kTextExport, "ColumnWidth", t.ColumnWidth);
  s.WriteInt(kTextExport, "DelimitColNames", t.DelimitColNames);
  s.WriteInt(kTextExport, "Mean_StdDev", t.Mean_StdDev);

  for (const auto& v : kVeltroDefaults) {
    const auto it = veltro.find(v.key);
    s.WriteString(kVeltro, v.key, it != veltro.end() ? it->second : std::string(v.value));
  }

  for (const CFormatEntry& f : Formats()) {
    SaveSelection(s, f.selectionSection, f.description(), Selection(f));
  }

  s.WriteInt(kAdcParam, "RateIndex", adcParam.RateIndex);
  s.WriteString(kAdcParam, "Gen_Scale", FormatScale(adcParam.Gen_Scale));
  return s.Flush();
}

namespace {
// The store replaces its file through a new file in the nearest folder that
// exists on the way to it.
bool MayCreateOrReplace(const std::filesystem::path& file) {
#ifdef _WIN32
  (void)file;
  return true;
#else
  std::error_code ec;
  std::filesystem::path folder = file.parent_path();
  while (!folder.empty() && !std::filesystem::exists(folder, ec) && folder != folder.root_path())
    folder = folder.parent_path();
  return !folder.empty() && ::access(folder.c_str(), W_OK) == 0;
#endif
}
}  // namespace

void CKinex2App::RecordExecutablePath(bool readOnly) {
  const std::filesystem::path file = MachineStoreFile();
  if (readOnly && !file.empty()) {
    // Most runs find the path recorded, or could not write it: no need to
    // start the Qt store for either.
    CConfFileStore current({file});
    if (current.ReadString("", "Exe") == PathToUtf8(RecordedExecutable())) return;
    if (!MayCreateOrReplace(file)) return;
  }
  if (auto machine = OpenQtStore(QtStoreKind::Machine)) RecordExecutablePath(*machine);
}

std::filesystem::path CKinex2App::RecordedExecutable() const {
#ifdef _WIN32
  return m_exePath.parent_path() / kWindowsExeName;
#else
  (void)kWindowsExeName;
  return m_exePath;
#endif
}

void CKinex2App::RecordExecutablePath(CSettingsStore& machineStore) const {
  const std::string path = PathToUtf8(RecordedExecutable());
  // Recorded at every start, but a store that holds the path already is left
  // alone: rewriting it took a lock file and two disk syncs per conversion.
  if (machineStore.ReadString("", "Exe") == path) return;
  machineStore.WriteString("", "Exe", path);
  machineStore.Flush();  // a store the user may not write is no reason to stop
}

void CKinex2App::LoadLabelTranslations() {
  labelSourceNames.clear();
  labelDstNames.clear();
  CIniFile ini;
  LoadIni(ini, IniReadPath());
  ScanNumberedKeys(ini, kVdoLabels, kLabelKey, kLabelBuffer, [&](const std::string& value) {
    const std::size_t comma = value.find(',');
    if (comma == std::string::npos || value.find(',', comma + 1) != std::string::npos) return;
    std::string source = Trim(std::string_view(value).substr(0, comma));
    std::string dst = Trim(std::string_view(value).substr(comma + 1));
    // A pair with an empty side would translate blank labels or write markers
    // without a name; the editing dialog refuses both, so a file never should.
    if (source.empty() || dst.empty()) return;
    labelSourceNames.push_back(std::move(source));
    labelDstNames.push_back(std::move(dst));
  });
}

void CKinex2App::LoadVdoExtraLines() {
  vdoExtraLines.clear();
  CIniFile ini;
  LoadIni(ini, IniReadPath());
  ScanNumberedKeys(ini, kVdoExtra, kExtraKey, kExtraBuffer, [&](const std::string& value) {
    std::string line = Trim(value);
    if (!line.empty()) vdoExtraLines.push_back(std::move(line));
  });
}

bool CKinex2App::WriteVdoIniFile() {
  const std::filesystem::path file = IniFilePath();
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  // Written beside the file and renamed over it, so a failure keeps the old
  // translations instead of leaving half a file.
  std::filesystem::path temp = file;
  temp += ".tmp" + std::to_string(std::random_device()());
  bool ok = false;
  {
    std::ofstream out(temp, std::ios::out | std::ios::trunc);
    if (out) {
      out << '[' << kVdoLabels << "]\n";
      const std::size_t pairs = std::min(labelSourceNames.size(), labelDstNames.size());
      for (std::size_t i = 0; i < pairs; ++i) {
        out << kLabelKey << i + 1 << '=' << labelSourceNames[i] << ',' << labelDstNames[i] << '\n';
      }
      out << '[' << kVdoExtra << "]\n";
      for (std::size_t i = 0; i < vdoExtraLines.size(); ++i) {
        out << kExtraKey << i + 1 << '=' << vdoExtraLines[i] << '\n';
      }
      out.close();
      ok = !out.fail();
    }
  }
  if (ok) {
    std::filesystem::rename(temp, file, ec);
    ok = !ec;
  }
  if (!ok) {
    std::filesystem::remove(temp, ec);
    LogMessage(Format(kCouldNotWriteIni, PathToUtf8(file).c_str()), true, false);
  }
  return ok;
}

int CKinex2App::FindLabelTranslation(std::string_view label) const {
  return ::FindLabelTranslation(labelSourceNames, label);
}

std::string CKinex2App::ReadStartDir() const {
  return ReadText(*m_store, kSettings, "StartDir", "");
}

void CKinex2App::WriteStartDir(std::string_view folder) {
  m_store->WriteString(kSettings, "StartDir", folder);
  m_store->Flush();
}

void CKinex2App::WriteTestSetValue(const std::string& key, const std::string& value) {
  veltro[key] = value;
  m_store->WriteString(kVeltro, key, value);
  m_store->Flush();
}

std::optional<std::string> CKinex2App::ReadWindowPos() const {
  return m_store->ReadString(kSettings, "WindowPos");
}

void CKinex2App::WriteWindowPos(std::string_view placement) {
  m_store->WriteString(kSettings, "WindowPos", placement);
  m_store->Flush();
}

std::string_view CKinex2App::DelimiterChar() const {
  return kDelimiterChars[std::min<std::size_t>(textOptions.Delimiter, 2)];
}

float CKinex2App::VideoRate() const {
  return AdcVideoRate(adcParam);
}
