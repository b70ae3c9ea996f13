#include "app/SettingsList.h"

#include <deque>
#include <iterator>
#include <utility>

#include "documents/FormatRegistry.h"
#include "platform/Text.h"

namespace {

const CSettingInfo kFixedSettings[] = {
    {"Settings", "ExportTo", "0", true, 0, 1, nullptr,
     "What Save, the comma form and an OUT without .dst/.txt write: 0 DST, 1 text"},
    {"Settings", "Log", "0", true, 0, 1, nullptr, "1: append messages to LogFile"},
    {"Settings", "LogFile", "Kinex2.log beside the program", false, 0, 0, nullptr, "The log file"},
    {"Settings", "LogErrorOnly", "1", true, 0, 1, nullptr,
     "1: log errors only; 0: also every file opened and exported"},
    {"GCDExport", "AnalogScaled", "0", true, 0, 1, nullptr,
     "DST analog values scaled by offset, scale and general scale (0: raw counts)"},
    {"GCDExport", "VideoScaled", "0", true, 0, 1, nullptr,
     "DST integer coordinates multiplied by the marker scale"},
    {"GCDExport", "ShowResid", "0", true, 0, 1, nullptr, "DST point rows end with the residual"},
    {"GCDExport", "ShowMask", "0", true, 0, 1, nullptr, "DST point rows end with the camera mask"},
    {"GCDExport", "Precision", "3", true, 0, 255, nullptr, "Decimals of DST values"},
    {"GCDExport", "Dstlexicon", "0", true, 0, 2, nullptr,
     "DST flavour: 0 general, 1 VDO (translated markers, force plates), 2 EXP (EMG test report)"},
    {"TextExport", "AnalogScaled", "0", true, 0, 1, nullptr,
     "Text analog values scaled (0: raw counts)"},
    {"TextExport", "AnalogColNames", "1", true, 0, 1, nullptr, "A row of channel names"},
    {"TextExport", "VideoScaled", "0", true, 0, 1, nullptr,
     "Decimals for integer coordinates (they are always scaled)"},
    {"TextExport", "VideoColNames", "1", true, 0, 1, nullptr, "A row of marker names"},
    {"TextExport", "ShowResid", "0", true, 0, 1, nullptr, "A residual column per marker"},
    {"TextExport", "ShowMask", "0", true, 0, 1, nullptr, "A camera-mask column per marker"},
    {"TextExport", "Delimiter", "TAB", false, 0, 0, "COMMA, SPACE, TAB", "The column separator"},
    {"TextExport", "Precision", "3", true, 0, 255, nullptr, "Decimals of text values"},
    {"TextExport", "SamplesByFrame", "1", true, 0, 1, nullptr,
     "First column: 1 sample or frame numbers, 0 seconds"},
    {"TextExport", "StartAtZero", "0", true, 0, 1, nullptr,
     "First column from the exported range's start (1, or 0 s)"},
    {"TextExport", "DoubleLimitTrajectory", "1", true, 0, 1, nullptr,
     "An empty cell after each marker"},
    {"TextExport", "ColumnWidth", "12", true, 0, 1000, nullptr,
     "Width of a cell (larger stored values are taken as 1000)"},
    {"TextExport", "DelimitColNames", "1", true, 0, 1, nullptr,
     "Separators between the column names"},
    {"TextExport", "Mean_StdDev", "0", true, 0, 1, nullptr,
     "Mean and standard deviation rows after each table"},
    {"ADC_Param", "RateIndex", "0", true, 0, 3, nullptr,
     "Video rate of ADC files: 0 50 Hz, 1 59.89 Hz, 2 60 Hz, 3 200 Hz"},
    {"ADC_Param", "Gen_Scale", "0.00488", false, 0, 0, nullptr,
     "General scale of ADC channels (a decimal number)"},
    {"Veltro", "Location", "ORV", false, 0, 0, nullptr, "EMG test report: location"},
    {"Veltro", "Serial", "  ", false, 0, 0, nullptr, "EMG test report: serial number"},
    {"Veltro", "Equip", "Orvane, Inc VX-520", false, 0, 0, nullptr,
     "EMG test report: equipment under test"},
    {"Veltro", "Res", "12", false, 0, 0, nullptr, "EMG test report: converter resolution"},
};

// The fixed settings, then each format's stored selection from the table of
// formats: its header and analog flags, its marker flag where it has points,
// the EMG report's scale where that takes one.
const std::vector<CSettingInfo>& AllSettings() {
  static const std::deque<std::string> texts = [] {
    std::deque<std::string> t;
    for (const CFormatEntry& f : Formats()) {
      t.push_back(std::string(f.name) + ": export the header block");
      t.push_back(std::string(f.name) + ": export the analog channels");
      t.push_back(std::string(f.name) + ": export the markers");
      t.push_back(std::string(f.name) + ": scale of the EMG test report (a decimal number)");
    }
    return t;
  }();
  static const std::vector<CSettingInfo> all = [] {
    std::vector<CSettingInfo> v(std::begin(kFixedSettings), std::end(kFixedSettings));
    std::size_t at = 0;
    for (const CFormatEntry& f : Formats()) {
      const char* section = f.selectionSection;
      const CFormatDescription& d = f.description();
      v.push_back({section, "Header", "1", true, 0, 1, nullptr, texts[at].c_str()});
      v.push_back({section, "AnalogData", "1", true, 0, 1, nullptr, texts[at + 1].c_str()});
      if (d.hasPoints) {
        v.push_back({section, "VideoData", "1", true, 0, 1, nullptr, texts[at + 2].c_str()});
      }
      if (d.expScaledBySetting) {
        v.push_back({section, "Scale", "0.001", false, 0, 0, nullptr, texts[at + 3].c_str()});
      }
      at += 4;
    }
    return v;
  }();
  return all;
}

std::string Name(const CSettingInfo& s) {
  return std::string(s.section) + "/" + s.key;
}

bool TakesChoice(const CSettingInfo& s, std::string_view value) {
  if (s.choices == nullptr) return true;
  std::string_view rest = s.choices;
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    if (EqualsNoCase(TrimView(rest.substr(0, comma)), TrimView(value))) return true;
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  }
  return false;
}

std::string Takes(const CSettingInfo& s) {
  if (s.whole) return Format("%lld to %lld", s.minimum, s.maximum);
  return s.choices != nullptr ? std::string(s.choices) : std::string("text");
}

class COverrideStore : public CSettingsStore {
 public:
  COverrideStore(std::unique_ptr<CSettingsStore> base, std::vector<CSettingOverride> overrides)
      : m_base(std::move(base)), m_overrides(std::move(overrides)) {}

  std::optional<std::int64_t> ReadInt(std::string_view section,
                                      std::string_view name) const override {
    if (const CSettingOverride* o = Find(section, name)) return ParseStoredInt(o->value);
    return m_base->ReadInt(section, name);
  }
  std::optional<std::string> ReadString(std::string_view section,
                                        std::string_view name) const override {
    if (const CSettingOverride* o = Find(section, name)) return o->value;
    return m_base->ReadString(section, name);
  }
  void WriteInt(std::string_view section, std::string_view name, std::int64_t value) override {
    if (Find(section, name) == nullptr) m_base->WriteInt(section, name, value);
  }
  void WriteString(std::string_view section, std::string_view name,
                   std::string_view value) override {
    if (Find(section, name) == nullptr) m_base->WriteString(section, name, value);
  }
  bool Flush() override { return m_base->Flush(); }

 private:
  // The last --set of a setting wins.
  const CSettingOverride* Find(std::string_view section, std::string_view name) const {
    for (auto it = m_overrides.rbegin(); it != m_overrides.rend(); ++it) {
      if (EqualsNoCase(it->setting->section, section) && EqualsNoCase(it->setting->key, name)) {
        return &*it;
      }
    }
    return nullptr;
  }

  std::unique_ptr<CSettingsStore> m_base;
  std::vector<CSettingOverride> m_overrides;
};

}  // namespace

std::span<const CSettingInfo> KnownSettings() {
  return AllSettings();
}

const CSettingInfo* FindSetting(std::string_view section, std::string_view key) {
  for (const CSettingInfo& s : AllSettings()) {
    if (EqualsNoCase(s.section, section) && EqualsNoCase(s.key, key)) return &s;
  }
  return nullptr;
}

bool ParseSettingOverride(std::string_view text, CSettingOverride& out, std::string& error) {
  const std::size_t slash = text.find('/');
  const std::size_t eq = text.find('=');
  if (slash == std::string_view::npos || eq == std::string_view::npos || eq < slash) {
    error = "--set takes SECTION/KEY=VALUE, not \"" + std::string(text) + "\"";
    return false;
  }
  const std::string_view section = TrimView(text.substr(0, slash));
  const std::string_view key = TrimView(text.substr(slash + 1, eq - slash - 1));
  const std::string value(TrimView(text.substr(eq + 1)));
  const CSettingInfo* s = FindSetting(section, key);
  if (s == nullptr) {
    error = "unknown setting " + std::string(section) + "/" + std::string(key) +
            " (kinex2 settings lists them)";
    return false;
  }
  if (s->whole) {
    const std::optional<std::int64_t> v = ParseStoredInt(value);
    if (!v || *v < s->minimum || *v > s->maximum) {
      error = Name(*s) + " takes a whole number from " + Format("%lld", s->minimum) + " to " +
              Format("%lld", s->maximum) + ", not \"" + value + "\"";
      return false;
    }
  } else if (!TakesChoice(*s, value)) {
    error = Name(*s) + " takes " + s->choices + ", not \"" + value + "\"";
    return false;
  }
  out.setting = s;
  out.value = value;
  return true;
}

std::unique_ptr<CSettingsStore> WithOverrides(std::unique_ptr<CSettingsStore> base,
                                              std::vector<CSettingOverride> overrides) {
  if (overrides.empty()) return base;
  return std::make_unique<COverrideStore>(std::move(base), std::move(overrides));
}

std::string SettingsListing(const CSettingsStore& store) {
  std::string out;
  for (const CSettingInfo& s : AllSettings()) {
    std::string current;
    if (s.whole) {
      const std::optional<std::int64_t> v = store.ReadInt(s.section, s.key);
      current = v ? Format("%lld", static_cast<long long>(*v)) : s.defaultValue;
    } else {
      current = store.ReadString(s.section, s.key).value_or(s.defaultValue);
    }
    out += Format("%-34s = %s\n      default %s; takes %s\n      %s\n", Name(s).c_str(),
                  current.c_str(), s.defaultValue, Takes(s).c_str(), s.meaning);
  }
  return out;
}
