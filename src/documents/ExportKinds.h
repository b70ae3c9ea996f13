#pragma once
// The one table of export kinds: what `--to` calls a kind, its extension, its
// Save As filter, the formats it applies to and its writer. The Save As
// choices, the choice by an output's extension, `--to`, Save and batch rows
// all read it; adding a kind is a writer and one line here.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "documents/DocumentSettings.h"

class CDocumentBase;
struct CFormatDescription;

struct CExportKindEntry {
  ExportKind kind;
  const char* name;          // for --to ("dst"); null: chosen by the output's name only
  const char* extension;     // ".dst"
  const char* saveAsFilter;  // "DST Files (*.dst)"
  bool (*appliesTo)(const CFormatDescription&);
  // Why a format it does not apply to cannot be written this way.
  const char* refusal;
  std::uint64_t (*write)(CDocumentBase& doc, const std::filesystem::path& output);
};

std::span<const CExportKindEntry> ExportKinds();
const CExportKindEntry& ExportKindEntry(ExportKind kind);
// The kind `--to NAME` names, ignoring case; null when none.
const CExportKindEntry* ExportKindNamed(std::string_view name);
// The kind an output's extension names, ignoring case; nothing for another
// extension (Save and "ExportTo" decide then).
std::optional<ExportKind> ExportKindOfName(const std::filesystem::path& output);
// "dst, text, trc or mot": the names --to takes.
std::string ExportKindNames();
