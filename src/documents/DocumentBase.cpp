#include "documents/DocumentBase.h"

#include <algorithm>
#include <cstdlib>

#include "documents/ExportKinds.h"
#include "documents/FormatRegistry.h"
#include "export/DstExport.h"
#include "export/ExpExport.h"
#include "export/OpenSimExport.h"
#include "export/TextExport.h"
#include "export/VdoExport.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "platform/Text.h"

const char kOpeningFile[] = "Opening File %s";
const char kOpenedFile[] = "Opened File %s";
const char kSavingToFile[] = "Saving to file ";
const char kSavedFile[] = "Saved file %s (%u bytes)";
const char kC3dNotWritable[] =
    "Recordings of this format cannot be written as C3D files; choose a .dst or .txt output";

namespace {
constexpr int kFlagsPerPlate = 6;

}  // namespace

std::filesystem::path SaveOutputPath(const std::filesystem::path& input, int exportTo) {
  std::filesystem::path out = input;
  out.replace_extension(exportTo != 0 ? ".txt" : ".dst");
  return out;
}

std::vector<CSaveAsChoice> SaveAsChoices(const CFormatDescription& format) {
  std::vector<CSaveAsChoice> choices;
  for (const CExportKindEntry& e : ExportKinds()) {
    if (e.appliesTo(format)) choices.push_back({e.saveAsFilter, e.kind});
  }
  return choices;
}

std::filesystem::path SaveAsPath(const std::filesystem::path& chosen, ExportKind kind) {
  if (chosen.has_extension()) return chosen;
  std::filesystem::path out = chosen;
  out += ExportKindEntry(kind).extension;
  return out;
}

CDocumentBase::CDocumentBase(CPlatform& platform) : m_platform(platform) {}

bool CDocumentBase::OnOpenDocument(const std::filesystem::path& path) {
  CRecording& reader = Reader();
  reader.fileName = FullPath(path);
  reader.SetPlatform(&m_platform);
  const std::string name = reader.fileName.string();
  m_platform.SetStatusText(Format(kOpeningFile, name.c_str()));
  if (const std::string why = UnknownExtensionText(reader.fileName); !why.empty()) {
    m_platform.LogMessage(ErrorInFile(reader.fileName, why), true, true);
    return false;
  }
  if (!OpenReader()) return false;
  InitSelection();
  ApplyDefaultSelection(m_settings.selection);
  m_selection.rangeFirst = RangeMinimum();
  m_selection.rangeLast = RangeMaximum();
  loaded = true;
  treeOutdated = true;
  const std::string opened = Format(kOpenedFile, name.c_str());
  m_platform.SetStatusText(opened);
  m_platform.LogMessage(opened, false, !m_settings.logErrorOnly);
  return true;
}

void CDocumentBase::OnCloseDocument() {
  CloseReader();
  loaded = false;
}

void CDocumentBase::InitSelection() {
  const CRecording& r = Reader();
  m_selection.header = 1;
  m_selection.groups.assign(r.paramSet.groups.size(), '1');
  m_selection.params.assign(r.paramSet.params.size(), '1');
  m_selection.analog.assign(r.analog.size(), '1');
  m_selection.points.assign(Description().hasPoints ? r.points.size() : 0, '1');
  const int plates = Description().hasForcePlates ? ForcePlateCount() : 0;
  m_selection.forcePlates.assign(static_cast<std::size_t>(kFlagsPerPlate) * plates, '1');
}

void CDocumentBase::ApplyDefaultSelection(const ExportSelection& defaults) {
  const CParamSet& set = Reader().paramSet;
  m_selection.header = defaults.Header != 0 ? 1 : 0;
  std::fill(m_selection.analog.begin(), m_selection.analog.end(),
            defaults.AnalogData != 0 ? '1' : '0');
  std::fill(m_selection.points.begin(), m_selection.points.end(),
            defaults.VideoData != 0 ? '1' : '0');
  for (std::size_t i = 0; i < defaults.groupNames.size(); ++i) {
    const bool on = i < defaults.groupFlags.size() && defaults.groupFlags[i] != 0;
    const char flag = on ? '1' : '0';
    for (std::size_t g = 0; g < set.groups.size() && g < m_selection.groups.size(); ++g) {
      if (!EqualsNoCase(set.groups[g].name, defaults.groupNames[i])) continue;
      m_selection.groups[g] = flag;
      const int number = std::abs(set.groups[g].number);
      for (std::size_t p = 0; p < set.params.size() && p < m_selection.params.size(); ++p) {
        if (std::abs(set.params[p].groupNumber) == number) m_selection.params[p] = flag;
      }
    }
  }
  UpdateSelectionStates();
}

void CDocumentBase::UpdateSelectionStates() {
  m_states = ComputeSelectionStates(m_selection);
}

int CDocumentBase::RangeMinimum() const {
  return Reader().firstFrame;
}
int CDocumentBase::RangeMaximum() const {
  return Reader().lastFrame;
}

bool CDocumentBase::SetFrameRange(long long first, long long last) {
  if (first < RangeMinimum() || first > last || last > RangeMaximum()) return false;
  m_selection.rangeFirst = static_cast<int>(first);
  m_selection.rangeLast = static_cast<int>(last);
  return true;
}

std::uint64_t CDocumentBase::OnFileSave() {
  const int exportTo = m_settings.exportTo;
  const std::filesystem::path output = SaveOutputPath(Reader().fileName, exportTo);
  m_platform.SetStatusText(kSavingToFile + output.string());
  const std::uint64_t bytes = Export(output, exportTo != 0 ? ExportKind::Text : ExportKind::Dst);
  ShowSaved(output, bytes);
  return bytes;
}

std::uint64_t CDocumentBase::SaveAs(const std::filesystem::path& chosen, ExportKind kind) {
  const std::filesystem::path output = SaveAsPath(chosen, kind);
  // A name ending in .c3d gets C3D bytes from a document that writes them,
  // whichever filter was left selected, and nothing from any other: DST or
  // text in a file named .c3d would pass for a damaged recording.
  if (ExportKindOfName(output) == ExportKind::C3d) kind = ExportKind::C3d;
  m_platform.SetStatusText(kSavingToFile + output.string());
  const std::uint64_t bytes = Export(output, kind);
  ShowSaved(output, bytes);
  return bytes;
}

std::uint64_t CDocumentBase::Export(const std::filesystem::path& output, ExportKind kind) {
  const CExportKindEntry& entry = ExportKindEntry(kind);
  if (!entry.appliesTo(Description())) {
    m_platform.LogMessage(ErrorInFile(Reader().fileName, entry.refusal), true, true);
    return 0;
  }
  return entry.write(*this, output);
}

std::uint64_t CDocumentBase::ExportTrc(const std::filesystem::path& output) {
  return ::ExportTrc(Job(output));
}

std::uint64_t CDocumentBase::ExportMot(const std::filesystem::path& output) {
  return ::ExportMot(Job(output));
}

void CDocumentBase::ShowSaved(const std::filesystem::path& output, std::uint64_t bytes) {
  if (bytes == 0) {
    m_platform.SetStatusText(std::string());
    return;
  }
  // The byte count goes in as text so that files beyond 4 GB show their size.
  std::string text = kSavedFile;
  text.replace(text.find("%u"), 2, std::to_string(bytes));
  text.replace(text.find("%s"), 2, output.string());
  m_platform.SetStatusText(text);
}

CExportJob CDocumentBase::Job(const std::filesystem::path& output) const {
  return CExportJob{Reader(),
                    Description(),
                    m_selection,
                    output,
                    m_platform,
                    m_settings.overwriteAll,
                    m_settings.logErrorOnly,
                    m_settings.threads};
}

DstFlavour ChooseDstFlavour(const CFormatDescription& format, int dstlexicon) {
  if (dstlexicon == 1 && format.hasVdoFlavour) return DstFlavour::Vdo;
  if (dstlexicon == 2 && format.hasExpFlavour) return DstFlavour::Exp;
  return DstFlavour::General;
}

std::uint64_t CDocumentBase::ExportDst(const std::filesystem::path& output) {
  switch (ChooseDstFlavour(Description(), m_settings.dst.Dstlexicon)) {
    case DstFlavour::Exp:
      return ExportDstExp(Job(output), m_settings.testSet,
                          Description().expScaledBySetting ? m_settings.selection.Scale : 1.0f);
    case DstFlavour::Vdo:
      return ExportDstVdo(Job(output), m_settings.dst, m_settings.labels);
    case DstFlavour::General:
      break;
  }
  return ExportDstGeneral(Job(output), m_settings.dst, m_settings.dstSignature);
}

std::uint64_t CDocumentBase::ExportText(const std::filesystem::path& output) {
  return ::ExportText(Job(output), m_settings.text);
}
