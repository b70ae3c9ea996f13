#pragma once
// The content of the "Kinex2 Options" sheet without its windows: the nine
// pages, their rows (caption, value as shown, how a double-click changes it)
// and the changes themselves, all on a copy of the application's settings.
// The sheet copies the settings in, edits the copy, and only OK copies them
// back.

#include <string>
#include <vector>

#include "documents/FormatRegistry.h"
#include "export/ExportOptions.h"

class CKinex2App;

extern const char kOptionsCaption[];  // "Kinex2 Options"

// The settings the sheet edits.
struct COptionsValues {
  DstOptions dst;
  TextOptions text;
  // By position in the table of formats.
  std::vector<ExportSelection> selections = std::vector<ExportSelection>(Formats().size());
  AdcSettings adc;

  static COptionsValues From(const CKinex2App& app);
  void CopyTo(CKinex2App& app) const;
  bool operator==(const COptionsValues&) const = default;
};

// A page of the sheet, by its place in the sheet's order: DST Export, Text
// Export, then for each format of the table of formats its selection page
// (and the page of how its files are read, where it has one).
using OptionsPage = int;
int OptionsPageCount();
OptionsPage DstOptionsPage();
OptionsPage TextOptionsPage();
// The selection page of a format, and its reading page (-1 when it has none).
OptionsPage SelectionOptionsPage(const CFormatEntry& format);
OptionsPage ReadingOptionsPage(const CFormatEntry& format);

struct COptionsPageInfo {
  const char* caption;  // "DST Export"
  const char* columns[2];
};
COptionsPageInfo PageInfo(OptionsPage page);

// How a double-click changes a row: Yes/No values toggle, values from a short
// list step to the next, numbers open the Enter Value dialog.
enum class OptionEdit { Toggle, Step, EnterValue };

struct COptionRow {
  std::string caption;
  std::string value;  // as shown
  OptionEdit edit = OptionEdit::Toggle;
  // Enter Value only: the prompt, and the range the value must lie in.
  std::string prompt;
  bool rangeCheck = false;
  float minimum = 0;
  float maximum = 0;
};

// The rows of `page` over `values`: the fixed rows, then on the selection
// pages one row per stored group name.
std::vector<COptionRow> PageRows(OptionsPage page, const COptionsValues& values);
// A double-click on a Toggle or Step row; false for any other row.
bool ChangeRow(OptionsPage page, int row, COptionsValues& values);
// The Enter Value dialog ended with OK on `text` (already range-checked):
// whole numbers take its leading integer, decimals its leading decimal number,
// 0 when it starts with none. False for a row that is not an Enter Value row.
bool SetRowValue(OptionsPage page, int row, const std::string& text, COptionsValues& values);

// The page the sheet opens on: Text Export when "ExportTo" is 1, else DST.
OptionsPage FirstOptionsPage(int exportTo);

// A document's Defaults command first adds its file's group names, in file
// order, that `selection` does not hold (compared ignoring case), selected.
void MergeGroupNames(ExportSelection& selection, const std::vector<std::string>& groupNames);
