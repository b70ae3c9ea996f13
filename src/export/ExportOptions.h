#pragma once
// Plain option records of the exports. The application loads them from the
// settings store and hands copies to the writers.

#include <cstdint>
#include <string>
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
  std::uint16_t ColumnWidth = 12;
  int DelimitColNames = 1;
  int Mean_StdDev = 0;

  bool operator==(const TextOptions&) const = default;
};

// What a new document of one format selects for export by default (settings
// sections "C3dSelection", "VadSelection", "AdcSelection", "MacSelection",
// "CodasSelection", "BtsSelection").
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
