#pragma once
// Plain option records of the exports. The application loads them from the
// settings store and hands copies to the writers.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// DST export options (settings section "GCDExport").
struct DstOptions {
  int AnalogScaled = 0;
  int VideoScaled = 0;
  int ShowResid = 0;
  int ShowMask = 0;
  std::uint8_t Precision = 3;
  std::uint8_t Dstlexicon = 0;  // 0 general, 1 VDO, 2 EXP

  bool operator==(const DstOptions&) const = default;
};

// Text export options (settings section "TextExport").
struct TextOptions {
  int AnalogScaled = 0;
  int AnalogColNames = 1;
  int VideoScaled = 0;
  int VideoColNames = 1;
  int ShowResid = 0;
  int ShowMask = 0;
  std::uint8_t Delimiter = 2;  // 0 comma, 1 space, 2 tab
  std::uint8_t Precision = 3;
  int SamplesByFrame = 1;
  int StartAtZero = 0;
  int DoubleLimitTrajectory = 1;
  std::uint16_t ColumnWidth = 12;  // cells narrower than kMaxColumnWidth
  int DelimitColNames = 1;
  int Mean_StdDev = 0;

  bool operator==(const TextOptions&) const = default;
};

// What a new document of one format selects for export by default (the
// settings section the table of formats names for it).
struct ExportSelection {
  int Header = 1;
  int AnalogData = 1;
  int VideoData = 1;                     // C3D only
  std::vector<std::string> groupNames;   // "ParName%d"
  std::vector<std::uint8_t> groupFlags;  // "ParSel%d", same length
  float Scale = 0.001f;                  // MAC only, stored as "%.8f" text

  int NumPar() const { return static_cast<int>(groupNames.size()); }
  bool operator==(const ExportSelection&) const = default;
};

// The widest text cell written: a stored width of 65535 would turn a small
// recording into gigabytes of spaces.
inline constexpr int kMaxColumnWidth = 1000;

// ADC reading (section "ADC_Param").
struct AdcSettings {
  std::uint8_t RateIndex = 0;  // into kAdcVideoRates
  float Gen_Scale = 0.00488f;

  bool operator==(const AdcSettings&) const = default;
};
// The video rates "RateIndex" chooses from, in Hz.
inline constexpr float kAdcVideoRates[] = {50.0f, 59.89f, 60.0f, 200.0f};
// The rate `settings` chooses; an index past the list takes the last rate.
float AdcVideoRate(const AdcSettings& settings);

// kinex2.ini: marker names and the DST names they take (same length), and
// free "$Var,Value" lines, as the VDO writer reads them.
struct LabelTranslations {
  std::vector<std::string> sourceNames;
  std::vector<std::string> dstNames;
  std::vector<std::string> extraLines;
};
// Index of the first source name that equals `label` once both are trimmed,
// ignoring case; -1 when none.
int FindLabelTranslation(const std::vector<std::string>& sourceNames, std::string_view label);

// The EMG test-set values (section "Veltro") by key.
using TestSetValues = std::map<std::string, std::string>;
extern const char kVeltroLocation[];  // "Location"
extern const char kVeltroSerial[];    // "Serial"
extern const char kVeltroEquip[];     // "Equip"
extern const char kVeltroRes[];       // "Res"
