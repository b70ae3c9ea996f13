#include "documents/ExportKinds.h"

#include <vector>

#include "documents/DocumentBase.h"
#include "formats/FormatDescription.h"
#include "platform/Text.h"

namespace {

bool Every(const CFormatDescription&) {
  return true;
}
bool WritesC3d(const CFormatDescription& f) {
  return f.writesC3d;
}
bool HasPoints(const CFormatDescription& f) {
  return f.hasPoints;
}

constexpr char kTrcNotWritable[] =
    "Recordings of this format hold no markers to write as a TRC file; choose another output";

const CExportKindEntry kKinds[] = {
    {ExportKind::Dst, "dst", ".dst", "DST Files (*.dst)", &Every, nullptr,
     [](CDocumentBase& d, const std::filesystem::path& o) { return d.ExportDst(o); }},
    {ExportKind::Text, "text", ".txt", "Text Files (*.txt)", &Every, nullptr,
     [](CDocumentBase& d, const std::filesystem::path& o) { return d.ExportText(o); }},
    {ExportKind::C3d, nullptr, ".c3d", "C3d Files (*.c3d)", &WritesC3d, kC3dNotWritable,
     [](CDocumentBase& d, const std::filesystem::path& o) { return d.ExportC3d(o); }},
    {ExportKind::Trc, "trc", ".trc", "OpenSim Marker Files (*.trc)", &HasPoints, kTrcNotWritable,
     [](CDocumentBase& d, const std::filesystem::path& o) { return d.ExportTrc(o); }},
    {ExportKind::Mot, "mot", ".mot", "OpenSim Motion Files (*.mot)", &Every, nullptr,
     [](CDocumentBase& d, const std::filesystem::path& o) { return d.ExportMot(o); }},
};

}  // namespace

std::span<const CExportKindEntry> ExportKinds() {
  return kKinds;
}

const CExportKindEntry& ExportKindEntry(ExportKind kind) {
  for (const CExportKindEntry& e : kKinds) {
    if (e.kind == kind) return e;
  }
  return kKinds[0];
}

const CExportKindEntry* ExportKindNamed(std::string_view name) {
  for (const CExportKindEntry& e : kKinds) {
    if (e.name != nullptr && EqualsNoCase(e.name, name)) return &e;
  }
  return nullptr;
}

std::optional<ExportKind> ExportKindOfName(const std::filesystem::path& output) {
  const std::string ext = output.extension().string();
  for (const CExportKindEntry& e : kKinds) {
    if (EqualsNoCase(e.extension, ext)) return e.kind;
  }
  return std::nullopt;
}

std::string ExportKindNames() {
  std::vector<const char*> names;
  for (const CExportKindEntry& e : kKinds) {
    if (e.name != nullptr) names.push_back(e.name);
  }
  std::string s;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) s += i + 1 == names.size() ? " or " : ", ";
    s += names[i];
  }
  return s;
}
