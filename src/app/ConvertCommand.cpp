#include "app/ConvertCommand.h"

#include "app/Kinex2App.h"
#include "platform/HeadlessPlatform.h"
#include "platform/Text.h"

namespace {

constexpr char kFramesOutside[] =
    "Frames %lld to %lld are not within the recording's frames %d to %d";
constexpr char kNothingWritten[] = "kinex2: nothing written to %s";

// The terminal platform, counting the errors it showed so that the script
// form can say why a run wrote nothing when no error explains it.
class CConsolePlatform : public CHeadlessPlatform {
 public:
  using CHeadlessPlatform::CHeadlessPlatform;
  void LogMessage(const std::string& text, bool showBox, bool writeToLog) override {
    if (showBox) ++shown;
    CHeadlessPlatform::LogMessage(text, showBox, writeToLog);
  }
  int shown = 0;
};

}  // namespace

CDocumentSettings DocumentSettingsFor(const CKinex2App& app, const CFormatEntry& format) {
  CDocumentSettings s;
  s.dst = app.dstOptions;
  s.text = app.textOptions;
  s.selection = app.Selection(format.selection);
  s.adc = app.adcParam;
  s.labels = {app.labelSourceNames, app.labelDstNames, app.vdoExtraLines};
  s.testSet = app.veltro;
  s.logErrorOnly = app.logSettings.LogErrorOnly != 0;
  s.exportTo = app.ExportTo != 0 ? 1 : 0;
  s.dstSignature = app.DstSignature;
  s.overwriteAll = app.overwriteAll;
  return s;
}

std::optional<ExportKind> KindFromOutputName(const std::filesystem::path& output) {
  const std::string ext = output.extension().string();
  if (EqualsNoCase(ext, ".dst")) return ExportKind::Dst;
  if (EqualsNoCase(ext, ".txt")) return ExportKind::Text;
  return std::nullopt;
}

int ConvertFile(CKinex2App& app, const std::filesystem::path& input,
                const std::filesystem::path& output, std::optional<ExportKind> kind,
                std::optional<long long> first, std::optional<long long> last) {
  const CFormatEntry& type = FormatFor(input);
  std::unique_ptr<CDocumentBase> doc = type.createDocument(app.Platform());
  doc->SetSettings(DocumentSettingsFor(app, type));
  if (!doc->OnOpenDocument(input)) return kExitNothingWritten;
  if (first || last) {
    const long long f = first.value_or(doc->RangeMinimum());
    const long long l = last.value_or(doc->RangeMaximum());
    if (!doc->SetFrameRange(f, l)) {
      app.LogMessage(Format(kFramesOutside, f, l, doc->RangeMinimum(), doc->RangeMaximum()), true,
                     false);
      doc->OnCloseDocument();
      return kExitNothingWritten;
    }
  }
  if (!kind) {
    if (doc->CanExportC3d() && EqualsNoCase(output.extension().string(), ".c3d")) {
      kind = ExportKind::C3d;
    } else {
      kind = doc->Settings().exportTo != 0 ? ExportKind::Text : ExportKind::Dst;
    }
  }
  std::uint64_t bytes = 0;
  switch (*kind) {
    case ExportKind::Dst:
      bytes = doc->ExportDst(output);
      break;
    case ExportKind::Text:
      bytes = doc->ExportText(output);
      break;
    case ExportKind::C3d:
      bytes = doc->ExportC3d(output);
      break;
  }
  doc->OnCloseDocument();
  return bytes > 0 ? kExitWritten : kExitNothingWritten;
}

int RunCommaConversion(const CCommaConversion& conversion) {
  CConsolePlatform ui;
  ui.SetAnswerPolicy(CHeadlessPlatform::AnswerPolicy::AskOnTerminal);
  CKinex2App app(ui);
  // Settings are loaded at start and written back at exit, whatever the
  // outcome, as a run of the desktop program does.
  app.InitInstance({});
  int status = kExitBadCommandLine;
  switch (conversion.kind) {
    case CCommaConversion::Kind::Convert:
      status = ConvertFile(app, conversion.dataFile, conversion.outputFile, std::nullopt);
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

int RunConvertCommand(const std::vector<std::string>& args, std::FILE* err) {
  CConvertRequest request;
  std::string error;
  if (!ParseConvertArguments(args, request, error)) {
    std::fprintf(err, "kinex2: %s\nTry kinex2 --help.\n", error.c_str());
    return kExitBadCommandLine;
  }
  CConsolePlatform ui(err);
  ui.SetAnswerPolicy(request.overwrite ? CHeadlessPlatform::AnswerPolicy::Yes
                                       : CHeadlessPlatform::AnswerPolicy::AskOnTerminal);
  CKinex2App app(ui);
  // Read only: a script's conversion never changes the stored settings.
  app.InitInstance(request.settingsFile);
  const std::optional<ExportKind> kind =
      request.kind ? request.kind : KindFromOutputName(request.output);
  const int status =
      ConvertFile(app, request.input, request.output, kind, request.first, request.last);
  if (status != kExitWritten && ui.shown == 0) {
    std::fprintf(err, kNothingWritten, request.output.string().c_str());
    std::fputc('\n', err);
  }
  return status;
}
