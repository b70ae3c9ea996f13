#include "app/Main.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/AppPaths.h"
#include "app/BatchCommand.h"
#include "app/CommandLine.h"
#include "app/ConsolePlatform.h"
#include "app/ConvertCommand.h"
#include "app/InfoCommand.h"
#include "app/Kinex2App.h"
#include "app/QtStoreAccess.h"
#include "documents/FormatRegistry.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr char kVersionLine[] = "Kinex2 %s\n";

void PrintUsage(std::FILE* f) {
  std::fputs(
      "Usage:\n"
      "  kinex2 DATA,OUTPUT      convert DATA to OUTPUT with the stored settings (one comma\n"
      "                          between the names; DST or text by the \"ExportTo\" setting,\n"
      "                          C3D for an OUTPUT named .c3d)\n",
      f);
  std::fputs(kConvertUsage, f);
  std::fputs(kBatchUsage, f);
  std::fputs(kInfoUsage, f);
  std::fputs(kSettingsUsage, f);
  std::fputs(
      "  kinex2 --help, -h       this text (after a verb: that verb's usage)\n"
      "  kinex2 --version        the version\n"
      "  kinex2 [FILE]           the desktop program (opening FILE)\n"
      "--settings FILE, --ini FILE (kinex2.ini read from FILE) and --set SECTION/KEY=VALUE (one\n"
      "setting for this run, repeatable, never stored) may also stand first.\n"
      "\n"
      "Input files:",
      f);
  for (const CFormatEntry& t : Formats()) std::fprintf(f, " %s", t.OpenFilterText().c_str());
  std::fputs("\nAn OUT named .c3d is written as C3D, from these inputs only:", f);
  for (const CFormatEntry& t : Formats()) {
    if (t.description().writesC3d) std::fprintf(f, " %s", t.name);
  }
  std::fputs(
      ".\n"
      "An existing output is replaced only after a Yes on the terminal or with --overwrite.\n"
      "Exit status: 0 written, 1 nothing written or input unreadable, 2 malformed command line\n"
      "(or an unreadable settings file).\n",
      f);
  std::fprintf(f, "Marker translations (kinex2.ini) and the log file live in: %s\n",
               PathToUtf8(Kinex2DataFolder()).c_str());
  std::fprintf(f, "Settings are stored in: %s\n", UserSettingsLocation().c_str());
}

int BadCommandLine(const std::string& error, const char* helpFor) {
  std::fprintf(stderr, "kinex2: %s\nTry kinex2 %s--help.\n", error.c_str(), helpFor);
  return kExitBadCommandLine;
}

// Without a display the desktop program cannot start; say so instead of
// letting the window system abort the process.
bool DisplayAvailable() {
#if defined(_WIN32) || defined(__APPLE__)
  return true;
#else
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* v = std::getenv(name);
    if (v != nullptr && *v != '\0') return true;
  }
  return false;
#endif
}

// The text after the program path, as the comma form reads it.
std::string ArgumentText([[maybe_unused]] const std::vector<std::string>& args) {
#ifdef _WIN32
  // The wide command line, as UTF-8: the system code page loses names.
  return ArgumentTextOfCommandLine(PathToUtf8(std::filesystem::path(GetCommandLineW())));
#else
  return ArgumentTextOfArguments(args);
#endif
}

}  // namespace

int Kinex2Main(int argc, char** argv, GuiEntry startGui) {
  const std::vector<std::string> args(argv, argv + argc);
  CGlobalOptions global;
  std::string error;
  if (!ParseGlobalOptions(args, global, error)) return BadCommandLine(error, "");
  if (global.help) {
    PrintUsage(stdout);
    return kExitWritten;
  }
  if (global.version) {
    std::printf(kVersionLine, CKinex2App::kVersion);
    return kExitWritten;
  }
  if (!NamedFilesReadable(global.settingsFile, global.iniFile, stderr)) return kExitBadCommandLine;
  // The program's arguments after the options of the whole program.
  const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(global.rest),
                                      args.end());
  if (!rest.empty() && rest[0] == "settings") {
    if (rest.size() > 1 && (rest[1] == "--help" || rest[1] == "-h")) {
      std::printf("Usage:\n%s", kSettingsUsage);
      return kExitWritten;
    }
    if (rest.size() > 1) return BadCommandLine("settings takes no arguments", "settings ");
    CConsolePlatform ui;
    CKinex2App app(ui);
    app.settingOverrides = global.sets;
    app.InitInstance(global.settingsFile, global.iniFile, true);
    std::fputs(SettingsListing(app.SettingsStore()).c_str(), stdout);
    return kExitWritten;
  }
  if (!rest.empty() && rest[0] == "info") {
    CInfoRequest request;
    if (!ParseInfoArguments({rest.begin() + 1, rest.end()}, request, error))
      return BadCommandLine(error, "info ");
    if (request.help) {
      std::printf("Usage:\n%s", kInfoUsage);
      return kExitWritten;
    }
    return RunInfoCommand(request.file, stdout);
  }
  if (!rest.empty() && rest[0] == "convert") {
    return RunConvertCommand({rest.begin() + 1, rest.end()}, stderr, global.settingsFile,
                             global.iniFile, global.sets);
  }
  if (!rest.empty() && rest[0] == "batch") {
    return RunBatchCommand({rest.begin() + 1, rest.end()}, stderr, global.settingsFile,
                           global.iniFile, global.sets);
  }
  // Without options of the whole program the comma form reads the raw
  // command line, as it always has; after them, the arguments that follow.
  std::vector<std::string> program = {args.empty() ? std::string("kinex2") : args[0]};
  program.insert(program.end(), rest.begin(), rest.end());
  const CCommaConversion comma = ParseCommaConversion(
      global.rest == 1 ? ArgumentText(args) : ArgumentTextOfArguments(program));
  if (comma.kind != CCommaConversion::Kind::NotConversion)
    return RunCommaConversion(comma, global.settingsFile, global.iniFile, global.sets);

  // The desktop program takes one file at most: anything else is a verb or
  // an option mistyped, which must never open the window.
  if (!rest.empty()) {
    std::error_code ec;
    const bool isFile = std::filesystem::exists(PathFromUtf8(rest[0]), ec);
    const bool option = rest[0].size() > 1 && rest[0][0] == '-';
    if (!isFile && (option || rest.size() > 1 || PathFromUtf8(rest[0]).extension().empty())) {
      std::fprintf(stderr, "kinex2: unknown %s '%s'\n", option ? "option" : "command",
                   rest[0].c_str());
      PrintUsage(stderr);
      return kExitBadCommandLine;
    }
  }

  if (startGui != nullptr && DisplayAvailable()) {
    // The desktop program reads its own arguments: --settings FILE first.
    for (auto it = global.sets.rbegin(); it != global.sets.rend(); ++it) {
      program.insert(program.begin() + 1, {"--set", std::string(it->setting->section) + "/" +
                                                        it->setting->key + "=" + it->value});
    }
    if (!global.iniFile.empty()) {
      program.insert(program.begin() + 1, {"--ini", PathToUtf8(global.iniFile)});
    }
    if (!global.settingsFile.empty()) {
      program.insert(program.begin() + 1, {"--settings", PathToUtf8(global.settingsFile)});
    }
    std::vector<char*> argvGui;
    for (std::string& a : program) argvGui.push_back(a.data());
    argvGui.push_back(nullptr);
    return startGui(static_cast<int>(argvGui.size()) - 1, argvGui.data());
  }
  if (startGui != nullptr) std::fputs("kinex2: no display for the desktop program.\n", stderr);
  PrintUsage(stderr);
  return kExitBadCommandLine;
}
