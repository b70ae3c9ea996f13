#pragma once
// What every document shares: it owns one reader (through the derived class),
// opens it, keeps the export selection and frame range of this file, and
// carries out Save, Save As and Frames. A format adds a derived class that
// names its reader, its description and, where they differ, its frame limits;
// the writers are the same for all.
//
// Lifetime: created empty; OnOpenDocument fills it (false: discard it);
// OnCloseDocument releases the reader. The platform passed in must outlive
// the document.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "documents/DocumentSettings.h"
#include "documents/TreeItems.h"
#include "export/ExportJob.h"

class CPlatform;

extern const char kOpeningFile[];   // "Opening File %s"
extern const char kOpenedFile[];    // "Opened File %s"
extern const char kSavingToFile[];  // "Saving to file "
extern const char kSavedFile[];     // "Saved file %s (%u bytes)"
// "Recordings of this format cannot be written as C3D files; choose a .dst or
// .txt output": a name ending in .c3d from a format that does not write C3D.
extern const char kC3dNotWritable[];

// The output of Save: the input path with extension "dst" (ExportTo 0) or
// "txt" (ExportTo 1), in the input's folder.
std::filesystem::path SaveOutputPath(const std::filesystem::path& input, int exportTo);
// The output of Save As: the chosen path, with the chosen filter's extension
// appended when it has no extension.
std::filesystem::path SaveAsPath(const std::filesystem::path& chosen, ExportKind kind);

// The Save As choices of a format: every export kind that applies to it.
struct CSaveAsChoice {
  const char* filter;  // "DST Files (*.dst)"
  ExportKind kind;
};
std::vector<CSaveAsChoice> SaveAsChoices(const CFormatDescription& format);

// The DST flavour "Dstlexicon" asks for (0 general, 1 VDO, 2 EXP), or general
// when the format lacks it or the value is out of range.
enum class DstFlavour { General, Vdo, Exp };
DstFlavour ChooseDstFlavour(const CFormatDescription& format, int dstlexicon);

class CDocumentBase {
 public:
  explicit CDocumentBase(CPlatform& platform);
  virtual ~CDocumentBase() = default;
  CDocumentBase(const CDocumentBase&) = delete;
  CDocumentBase& operator=(const CDocumentBase&) = delete;

  // The application hands in its settings at creation and whenever they
  // change.
  void SetSettings(const CDocumentSettings& settings) {
    m_settings = settings;
    OnSettingsChanged();
  }
  const CDocumentSettings& Settings() const { return m_settings; }
  CPlatform& Platform() const { return m_platform; }

  virtual CRecording& Reader() = 0;
  virtual const CRecording& Reader() const = 0;
  virtual const CFormatDescription& Description() const = 0;

  // Opens `path` (made a full path) with the reader, initialises the
  // selection from the settings and the range to the whole recording. False
  // when the reader failed; it has reported why.
  bool OnOpenDocument(const std::filesystem::path& path);
  void OnCloseDocument();

  bool loaded = false;
  bool treeOutdated = false;

  // The export selection and frame range every writer reads.
  CExportSelection& Selection() { return m_selection; }
  const CExportSelection& Selection() const { return m_selection; }
  const CSelectionStates& States() const { return m_states; }

  // Every item selected, six force-plate flags per used platform.
  void InitSelection();
  // The format's stored default selection over the current one.
  void ApplyDefaultSelection(const ExportSelection& defaults);
  void UpdateSelectionStates();

  // The allowed frame range: the Frames command accepts min <= first <= last
  // <= max (the recording's first and last frame numbers).
  int RangeMinimum() const;
  int RangeMaximum() const;
  // Sets the range when it is allowed; false (nothing changed) otherwise.
  bool SetFrameRange(long long first, long long last);

  // Save: the export chosen by "ExportTo" beside the input. Returns the bytes
  // written; the status bar shows the saved-file text, or nothing for 0.
  std::uint64_t OnFileSave();
  // Save As, after the dialog: `chosen` and the filter picked (C3D, for a
  // document that writes it, whenever the name ends in .c3d).
  std::uint64_t SaveAs(const std::filesystem::path& chosen, ExportKind kind);

  // The export entry points: bytes written, 0 for nothing.
  std::uint64_t ExportDst(const std::filesystem::path& output);
  std::uint64_t ExportText(const std::filesystem::path& output);
  std::uint64_t ExportTrc(const std::filesystem::path& output);
  std::uint64_t ExportMot(const std::filesystem::path& output);
  // Writes `kind` (the table of export kinds), or reports why this format
  // cannot be written so and returns 0.
  std::uint64_t Export(const std::filesystem::path& output, ExportKind kind);
  // C3D output (formats whose description says they write it); 0 otherwise.
  bool CanExportC3d() const { return Description().writesC3d; }
  virtual std::uint64_t ExportC3d(const std::filesystem::path& /*output*/) { return 0; }

  // Used force platforms (0 for formats without them).
  virtual int ForcePlateCount() const { return 0; }

 protected:
  // The reader's own open and close; the file name is already set.
  virtual bool OpenReader() = 0;
  virtual void CloseReader() = 0;
  // A format whose reading depends on the settings applies them again.
  virtual void OnSettingsChanged() {}
  // What a writer needs for `output`: the reader, the selection and range,
  // the settings' overwrite and log choices.
  CExportJob Job(const std::filesystem::path& output) const;

 private:
  void ShowSaved(const std::filesystem::path& output, std::uint64_t bytes);

  CPlatform& m_platform;
  CDocumentSettings m_settings;
  CExportSelection m_selection;
  CSelectionStates m_states;
};
