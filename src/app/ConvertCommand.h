#pragma once
// Runs the headless conversions: open the input as a document of the type its
// extension names, optionally narrow the frame range, export, close. No
// window, no Qt application object.
//
// Exit statuses: 0 the output was written; 1 nothing was written (the input
// could not be read, the frames lie outside the recording, the input's format
// does not write the C3D file its output name asks for, the recording cannot
// be written as C3D, overwriting was declined, the output could not be
// written); 2 the command line is malformed or asks for what cannot be done
// (an unreadable settings file, --to for an output named .c3d).

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/SettingsList.h"

#include "app/CommandLine.h"
#include "documents/DocumentBase.h"
#include "documents/FormatRegistry.h"

class CKinex2App;
class CPlatform;

enum ExitStatus : int { kExitWritten = 0, kExitNothingWritten = 1, kExitBadCommandLine = 2 };

// The settings a document of `format` reads, taken from the application.
CDocumentSettings DocumentSettingsFor(const CKinex2App& app, const CFormatEntry& format);

// The output path as the writers get it: made absolute, so every message
// names the file in full; "-" (standard output) unchanged.
std::filesystem::path ConvertOutputPath(const std::filesystem::path& output);

// The stages of one conversion, for the batch export.
// Opens `input`, to be exported to `output`, as a document of the format its
// extension names, with the application's settings; null when the reader
// failed (it has said why).
std::unique_ptr<CDocumentBase> OpenConversionDocument(CKinex2App& app,
                                                      const std::filesystem::path& input,
                                                      const std::filesystem::path& output);
// The same with `platform` for the document's messages, the application only
// read (a batch row on a worker thread); the log file is the caller's care
// (CKinex2App::KeepLogOff before the input is read).
std::unique_ptr<CDocumentBase> OpenConversionDocument(const CKinex2App& app, CPlatform& platform,
                                                      const std::filesystem::path& input,
                                                      const std::filesystem::path& output);
// Narrows the frame range to `first`..`last` (either missing: that end of the
// recording); false, with "ERROR in <input> : Frames ... are not within the
// recording's frames ..." shown, when the range lies outside the recording.
bool NarrowConversionFrames(CKinex2App& app, CDocumentBase& doc, std::optional<long long> first,
                            std::optional<long long> last);
bool NarrowConversionFrames(CPlatform& platform, CDocumentBase& doc,
                            std::optional<long long> first, std::optional<long long> last);
// Exports `doc` to `output` (a full path) as ConvertFile does; bytes written.
std::uint64_t ExportConversion(CDocumentBase& doc, const std::filesystem::path& output,
                               std::optional<ExportKind> kind);

// True when `output` is named .c3d (any case) and `input`'s format does not
// write C3D: refused before anything is read, since DST or text bytes in a
// file named .c3d would pass for a damaged recording.
bool RefusesC3dOutput(const std::filesystem::path& input, const std::filesystem::path& output);
// Said on the terminal after an overwrite answered No: "kinex2: %s exists;
// nothing written (answer y, or pass --overwrite)\n".
extern const char kOverwriteDeclined[];

// Converts `input` to `output` with the application's settings. An `output`
// ending in ".c3d" (any case) is written as C3D, whatever `kind` and
// "ExportTo" say, and is refused, before the input is read, for a format that
// does not write C3D. Otherwise `kind`, or without it the "ExportTo" setting,
// chooses. `first`/`last` narrow the range when given.
int ConvertFile(CKinex2App& app, const std::filesystem::path& input,
                const std::filesystem::path& output, std::optional<ExportKind> kind,
                std::optional<long long> first = std::nullopt,
                std::optional<long long> last = std::nullopt);

// The kind `kinex2 convert` writes: --to, else ".dst" DST, ".txt" text, else
// none (the conversion table decides).
std::optional<ExportKind> KindFromOutputName(const std::filesystem::path& output);

// The whole comma form, settings loaded at start and saved at exit as the
// desktop program does: the user's store, or `settingsFile` when given.
int RunCommaConversion(const CCommaConversion& conversion,
                       const std::filesystem::path& settingsFile = {},
                       const std::filesystem::path& iniFile = {},
                       const std::vector<CSettingOverride>& sets = {});
// `kinex2 convert ...` (`args` after "convert"); the settings are read, never
// written: `settingsFile` (a --settings before the verb) unless the verb's
// own --settings names another. The usage goes to standard output for
// --help; everything else to `err`.
int RunConvertCommand(const std::vector<std::string>& args, std::FILE* err,
                      const std::filesystem::path& settingsFile = {},
                      const std::filesystem::path& iniFile = {},
                      const std::vector<CSettingOverride>& sets = {});

// A --settings or --ini file named on the command line must be a readable
// regular file; false with the reason written to `err` otherwise.
bool NamedFilesReadable(const std::filesystem::path& settingsFile,
                        const std::filesystem::path& iniFile, std::FILE* err);
