#pragma once
// The one table of input formats. Everything that differs by format is found
// here: the open dialog, `--help`, the choice by extension, the menus, the
// Save As choices, `kinex2 info` and the stored default selection. Adding a
// format is one reader and one description in formats/<x>/ and one line in
// this table.

#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "export/ExportOptions.h"
#include "formats/FormatDescription.h"

class CDocumentBase;
class CPlatform;
class CRecording;

struct CFormatEntry {
  const char* name;                     // "C3D"
  std::vector<std::string> extensions;  // ".c3d", compared ignoring case
  const char* openFilterName;           // "AMASS Files": the open dialog's text
  const char* selectionSection;         // "C3dSelection": where its default selection is stored
  const char* optionsCaption;           // "C3D Selection": that selection's Options page
  // The Options page of how its files are read ("ADC Parameters"), or null.
  const char* readingOptionsCaption;
  const CFormatDescription& (*description)();
  std::unique_ptr<CRecording> (*createReader)();
  std::unique_ptr<CDocumentBase> (*createDocument)(CPlatform& platform);

  // "AMASS Files (*.c3d)": the open dialog's entry and `--help`'s.
  std::string OpenFilterText() const;
  // "*.c3d;*.dat": the patterns of that entry.
  std::string OpenFilterPatterns() const;
};

// Every format, in the order its documents are registered. A format's
// stored selection and its Options pages are found by its position here.
std::span<const CFormatEntry> Formats();
std::size_t FormatIndex(const CFormatEntry& format);
// The format whose extension matches `file`'s, ignoring case; a file of no
// registered extension is offered to the first format, whose reader then says
// whether it can read it.
const CFormatEntry& FormatFor(const std::filesystem::path& file);
// Why `file` is not read: its extension is no format's and its bytes are no
// C3D file's either ("Kinex2 does not read .EMR files; it reads .c3d, ...",
// the list from the table). Empty when it may be read, or when only its
// reader can tell (a pipe, a file that cannot be opened).
std::string UnknownExtensionText(const std::filesystem::path& file);

// The open dialog's filter, '|' between each entry's text and its patterns:
// every format by its filter name, "All Supported Files", "All Files (*.*)".
const std::string& OpenDialogFilter();
// The index of "All Supported Files" in it, the dialog's first choice.
int OpenDialogDefaultFilter();
