#include "documents/FormatRegistry.h"

#include <algorithm>

#include "documents/AdcDoc.h"
#include "documents/AnalogDocs.h"
#include "documents/C3dDoc.h"
#include "documents/VadDoc.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace {
constexpr char kAllSupportedFiles[] = "All Supported Files";

template <typename Reader>
std::unique_ptr<CRecording> Read() {
  return std::make_unique<Reader>();
}
template <typename Doc>
std::unique_ptr<CDocumentBase> Document(CPlatform& platform) {
  return std::make_unique<Doc>(platform);
}

const std::vector<CFormatEntry>& Table() {
  static const std::vector<CFormatEntry> table = {
      {"C3D",
       {".c3d"},
       "AMASS Files",
       "C3dSelection",
       "C3D Selection",
       nullptr,
       &C3dFormatDescription,
       &Read<CC3d>,
       &Document<CC3dDoc>},
      {"VAD",
       {".vad"},
       "VAD Files",
       "VadSelection",
       "VAD Selection",
       nullptr,
       &VadFormatDescription,
       &Read<CVad>,
       &Document<CVadDoc>},
      {"ADC",
       {".adc"},
       "ADC Files",
       "AdcSelection",
       "ADC Selection",
       "ADC Parameters",
       &AdcFormatDescription,
       &Read<CAdc>,
       &Document<CAdcDoc>},
      {"MAC",
       {".ana"},
       "MAC Files",
       "MacSelection",
       "MAC Selection",
       nullptr,
       &MacFormatDescription,
       &Read<CMac>,
       &Document<CMacDoc>},
      {"CODAS",
       {".dat", ".wdq"},
       "CODAS Files",
       "CodasSelection",
       "CODAS Selection",
       nullptr,
       &CodFormatDescription,
       &Read<CCod>,
       &Document<CCodDoc>},
      {"BTS",
       {".emg"},
       "BTS Files",
       "BtsSelection",
       "BTS Selection",
       nullptr,
       &BtsFormatDescription,
       &Read<CBts>,
       &Document<CBtsDoc>},
  };
  return table;
}

std::string Joined(const std::vector<std::string>& extensions, const char* separator) {
  std::string s;
  for (const std::string& e : extensions) {
    if (!s.empty()) s += separator;
    s += "*" + e;
  }
  return s;
}
}  // namespace

std::string CFormatEntry::OpenFilterText() const {
  return std::string(openFilterName) + " (" + Joined(extensions, ",") + ")";
}

std::string CFormatEntry::OpenFilterPatterns() const {
  return Joined(extensions, ";");
}

std::size_t FormatIndex(const CFormatEntry& format) {
  return static_cast<std::size_t>(&format - Table().data());
}

std::span<const CFormatEntry> Formats() {
  return Table();
}

const CFormatEntry& FormatFor(const std::filesystem::path& file) {
  const std::string ext = file.extension().string();
  for (const CFormatEntry& f : Table()) {
    for (const std::string& e : f.extensions) {
      if (EqualsNoCase(ext, e)) return f;
    }
  }
  return Table().front();
}

const std::string& OpenDialogFilter() {
  // Each format's entry by its name, then all of them together, then every
  // file: built once from the table, so a new format is offered with it.
  static const std::string filter = [] {
    std::vector<const CFormatEntry*> sorted;
    for (const CFormatEntry& f : Table()) sorted.push_back(&f);
    std::sort(sorted.begin(), sorted.end(), [](const CFormatEntry* a, const CFormatEntry* b) {
      return std::string_view(a->openFilterName) < b->openFilterName;
    });
    std::string s;
    std::string all;
    for (const CFormatEntry* f : sorted) {
      s += f->OpenFilterText() + "|" + f->OpenFilterPatterns() + "|";
      all += (all.empty() ? "" : ";") + f->OpenFilterPatterns();
    }
    return s + kAllSupportedFiles + "|" + all + "|All Files (*.*)|*.*||";
  }();
  return filter;
}

int OpenDialogDefaultFilter() {
  return static_cast<int>(Table().size());  // "All Supported Files", after the formats
}

std::string UnknownExtensionText(const std::filesystem::path& file) {
  const std::string extension = file.extension().string();
  std::vector<std::string> all;
  for (const CFormatEntry& entry : Formats()) {
    for (const std::string& e : entry.extensions) {
      if (EqualsNoCase(e, extension)) return {};
      all.push_back(e);
    }
  }
  // A C3D file under another name still opens, as it always has.
  if (!IsReadableRegularFile(file)) return {};
  CInputFile in;
  int cause = 0;
  unsigned char head[2] = {};
  if (!in.Open(file, cause) || (in.ReadAt(0, head, 2) == 2 && head[1] == 0x50)) return {};
  std::string list;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (i > 0) list += i + 1 == all.size() ? " and " : ", ";
    list += all[i];
  }
  const std::string what =
      extension.empty() ? std::string("files without an extension") : extension + " files";
  return "Kinex2 does not read " + what + "; it reads " + list;
}
