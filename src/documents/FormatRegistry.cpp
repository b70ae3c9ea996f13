#include "documents/FormatRegistry.h"

#include "documents/AdcDoc.h"
#include "documents/AnalogDocs.h"
#include "documents/C3dDoc.h"
#include "documents/VadDoc.h"
#include "platform/Text.h"

const char kOpenDialogFilter[] =
    "ADC Files (*.adc)|*.adc|AMASS Files (*.c3d)|*.c3d|BTS Files (*.emg)|*.emg|"
    "CODAS Files (*.dat,*.wdq)|*.dat;*.wdq|MAC Files (*.ana)|*.ana|VAD Files (*.vad)|*.vad|"
    "All Supported Files|*.adc;*.ana;*.c3d;*.vad;*.dat;*.wdq;*.emg|All Files (*.*)|*.*||";

namespace {
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
      {"C3D", {".c3d"}, "AMASS Files", SelectionFormat::C3d, &C3dFormatDescription, &Read<CC3d>,
       &Document<CC3dDoc>},
      {"VAD", {".vad"}, "VAD Files", SelectionFormat::Vad, &VadFormatDescription, &Read<CVad>,
       &Document<CVadDoc>},
      {"ADC", {".adc"}, "ADC Files", SelectionFormat::Adc, &AdcFormatDescription, &Read<CAdc>,
       &Document<CAdcDoc>},
      {"MAC", {".ana"}, "MAC Files", SelectionFormat::Mac, &MacFormatDescription, &Read<CMac>,
       &Document<CMacDoc>},
      {"CODAS", {".dat", ".wdq"}, "CODAS Files", SelectionFormat::Codas, &CodFormatDescription,
       &Read<CCod>, &Document<CCodDoc>},
      {"BTS", {".emg"}, "BTS Files", SelectionFormat::Bts, &BtsFormatDescription, &Read<CBts>,
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
