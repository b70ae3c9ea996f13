#include "app/ConvertCommand.h"

#include "app/AppPaths.h"
#include "app/ConsolePlatform.h"
#include "app/Kinex2App.h"
#include "app/QtStoreAccess.h"
#include "documents/ExportKinds.h"
#include "platform/Files.h"
#include "platform/HeadlessPlatform.h"
#include "platform/Text.h"

namespace {

constexpr char kFramesOutside[] =
    "Frames %lld to %lld are not within the recording's frames %d to %d";
constexpr char kCannotReadIniFile[] = "kinex2: cannot read kinex2.ini file %s\n";
constexpr char kNothingWritten[] = "kinex2: nothing written to %s\n";
constexpr char kC3dNameWithTo[] =
    "--to %s cannot write %s: an output named .c3d is always written as C3D";

// After a run that wrote nothing: a declined overwrite says so and how to
// allow it; a failure nobody reported says that nothing was written.
void ExplainNothingWritten(const CConsolePlatform& ui, const std::filesystem::path& output,
                           std::FILE* err) {
  const std::string out = PathToUtf8(ConvertOutputPath(output));
  if (ui.declined) {
    std::fprintf(err, kOverwriteDeclined, out.c_str());
  } else if (ui.shown == 0) {
    std::fprintf(err, kNothingWritten, out.c_str());
  }
}

bool IsC3dName(const std::filesystem::path& p) {
  return EqualsNoCase(p.extension().string(), ".c3d");
}

// A .c3d output of a format that writes C3D is C3D whatever "ExportTo" says.
bool WritesC3d(const CDocumentBase& doc, const std::filesystem::path& output) {
  return doc.CanExportC3d() && IsC3dName(output);
}

}  // namespace

const char kOverwriteDeclined[] =
    "kinex2: %s exists; nothing written (answer y, or pass --overwrite)\n";

bool RefusesC3dOutput(const std::filesystem::path& input, const std::filesystem::path& output) {
  return IsC3dName(output) && !FormatFor(input).description().writesC3d;
}

std::filesystem::path ConvertOutputPath(const std::filesystem::path& output) {
  return output == kStandardOutputName ? output : FullPath(output);
}

CDocumentSettings DocumentSettingsFor(const CKinex2App& app, const CFormatEntry& format) {
  CDocumentSettings s;
  s.dst = app.dstOptions;
  s.text = app.textOptions;
  s.selection = app.Selection(format);
  s.adc = app.adcParam;
  s.labels = {app.labelSourceNames, app.labelDstNames, app.vdoExtraLines};
  s.testSet = app.veltro;
  s.logErrorOnly = app.logSettings.LogErrorOnly != 0;
  s.exportTo = app.ExportTo != 0 ? 1 : 0;
  s.dstSignature = app.DstSignature;
  s.overwriteAll = app.overwriteAll;
  s.threads = app.exportThreads;
  return s;
}

std::optional<ExportKind> KindFromOutputName(const std::filesystem::path& output) {
  return ExportKindOfName(output);
}

std::unique_ptr<CDocumentBase> OpenConversionDocument(CKinex2App& app,
                                                      const std::filesystem::path& input,
                                                      const std::filesystem::path& output) {
  app.KeepLogOff(input);
  return OpenConversionDocument(app, app.Platform(), input, output);
}

std::unique_ptr<CDocumentBase> OpenConversionDocument(const CKinex2App& app, CPlatform& platform,
                                                      const std::filesystem::path& input,
                                                      const std::filesystem::path& output) {
  const CFormatEntry& type = FormatFor(input);
  std::unique_ptr<CDocumentBase> doc = type.createDocument(platform);
  doc->SetSettings(DocumentSettingsFor(app, type));
  // A C3D output only copies the channels' words: the reader may leave them
  // in the file instead of holding the whole recording.
  doc->Reader().wordsMayStayInFile = WritesC3d(*doc, output);
  if (!doc->OnOpenDocument(input)) return nullptr;
  return doc;
}

bool NarrowConversionFrames(CKinex2App& app, CDocumentBase& doc, std::optional<long long> first,
                            std::optional<long long> last) {
  return NarrowConversionFrames(app.Platform(), doc, first, last);
}

bool NarrowConversionFrames(CPlatform& platform, CDocumentBase& doc,
                            std::optional<long long> first, std::optional<long long> last) {
  if (!first && !last) return true;
  const long long f = first.value_or(doc.RangeMinimum());
  const long long l = last.value_or(doc.RangeMaximum());
  if (doc.SetFrameRange(f, l)) return true;
  platform.LogMessage(ErrorInFile(doc.Reader().fileName,
                             Format(kFramesOutside, f, l, doc.RangeMinimum(), doc.RangeMaximum())),
                 true, false);
  return false;
}

std::uint64_t ExportConversion(CDocumentBase& doc, const std::filesystem::path& output,
                               std::optional<ExportKind> kind) {
  if (WritesC3d(doc, output)) {
    kind = ExportKind::C3d;  // whatever "ExportTo" says
  } else if (!kind) {
    kind = doc.Settings().exportTo != 0 ? ExportKind::Text : ExportKind::Dst;
  }
  return doc.Export(output, *kind);
}

int ConvertFile(CKinex2App& app, const std::filesystem::path& input,
                const std::filesystem::path& outputName, std::optional<ExportKind> kind,
                std::optional<long long> first, std::optional<long long> last) {
  const std::filesystem::path output = ConvertOutputPath(outputName);
  // Decided by the input's format before anything is read: DST or text bytes
  // in a file named .c3d would pass for a damaged recording.
  if (RefusesC3dOutput(input, output)) {
    app.LogMessage(ErrorInFile(FullPath(input), kC3dNotWritable), true, false);
    return kExitNothingWritten;
  }
  std::unique_ptr<CDocumentBase> doc = OpenConversionDocument(app, input, output);
  if (!doc) return kExitNothingWritten;
  std::uint64_t bytes = 0;
  if (NarrowConversionFrames(app, *doc, first, last)) bytes = ExportConversion(*doc, output, kind);
  doc->OnCloseDocument();
  return bytes > 0 ? kExitWritten : kExitNothingWritten;
}

int RunCommaConversion(const CCommaConversion& conversion,
                       const std::filesystem::path& settingsFile,
                       const std::filesystem::path& iniFile,
                       const std::vector<CSettingOverride>& sets) {
  CConsolePlatform ui;
  ui.SetAnswerPolicy(CHeadlessPlatform::AnswerPolicy::AskOnTerminal);
  CKinex2App app(ui);
  app.settingOverrides = sets;
  // Settings are loaded at start and written back at exit, whatever the
  // outcome, as a run of the desktop program does.
  app.InitInstance(settingsFile, iniFile);
  int status = kExitBadCommandLine;
  switch (conversion.kind) {
    case CCommaConversion::Kind::Convert:
      status = ConvertFile(app, PathFromUtf8(conversion.dataFile),
                           PathFromUtf8(conversion.outputFile), std::nullopt);
      if (status != kExitWritten) {
        ExplainNothingWritten(ui, PathFromUtf8(conversion.outputFile), stderr);
      }
      break;
    case CCommaConversion::Kind::MissingName:
      app.LogMessage(kNeedBothFiles, true, false);
      break;
    case CCommaConversion::Kind::TooMany:
    case CCommaConversion::Kind::NotConversion:
      break;
  }
  app.ExitInstance();
  return status;
}

bool NamedFilesReadable(const std::filesystem::path& settingsFile,
                        const std::filesystem::path& iniFile, std::FILE* err) {
  if (!settingsFile.empty() && !IsReadableNamedFile(settingsFile)) {
    std::fprintf(err, kCannotReadSettingsFile, PathToUtf8(settingsFile).c_str());
    return false;
  }
  if (!iniFile.empty() && !IsReadableNamedFile(iniFile)) {
    std::fprintf(err, kCannotReadIniFile, PathToUtf8(iniFile).c_str());
    return false;
  }
  return true;
}

int RunConvertCommand(const std::vector<std::string>& args, std::FILE* err,
                      const std::filesystem::path& settingsFile,
                      const std::filesystem::path& iniFile,
                      const std::vector<CSettingOverride>& sets) {
  CConvertRequest request;
  request.settingsFile = settingsFile;
  request.iniFile = iniFile;
  request.sets = sets;
  std::string error;
  if (!ParseConvertArguments(args, request, error)) {
    std::fprintf(err, "kinex2: %s\nTry kinex2 convert --help.\n", error.c_str());
    return kExitBadCommandLine;
  }
  if (request.help) {
    std::fprintf(stdout, "Usage:\n%s", kConvertUsage);
    return kExitWritten;
  }
  if (!NamedFilesReadable(request.settingsFile, request.iniFile, err)) return kExitBadCommandLine;
  if (request.kind && IsC3dName(request.output)) {
    const std::string error = Format(kC3dNameWithTo, ExportKindEntry(*request.kind).name,
                                     PathToUtf8(request.output).c_str());
    std::fprintf(err, "kinex2: %s\nTry kinex2 convert --help.\n", error.c_str());
    return kExitBadCommandLine;
  }
  CConsolePlatform ui(err);
  ui.SetAnswerPolicy(request.overwrite ? CHeadlessPlatform::AnswerPolicy::Yes
                                       : CHeadlessPlatform::AnswerPolicy::AskOnTerminal);
  CKinex2App app(ui);
  app.settingOverrides = request.sets;
  app.exportThreads = request.threads;
  // Read only: a script's conversion never changes the stored settings.
  app.InitInstance(request.settingsFile, request.iniFile, true);
  const std::optional<ExportKind> kind =
      request.kind ? request.kind : KindFromOutputName(request.output);
  const int status =
      ConvertFile(app, request.input, request.output, kind, request.first, request.last);
  if (status != kExitWritten) ExplainNothingWritten(ui, request.output, err);
  return status;
}
