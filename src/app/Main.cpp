#include "app/Main.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/AppPaths.h"
#include "app/CommandLine.h"
#include "app/ConvertCommand.h"
#include "app/InfoCommand.h"
#include "app/QtSettingsStore.h"
#include "documents/FormatRegistry.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

void PrintUsage(std::FILE* f) {
  std::fputs(
      "Usage:\n"
      "  kinex2 DATA,OUTPUT      convert DATA to OUTPUT with the stored settings (one comma\n"
      "                          between the names; DST or text by the \"ExportTo\" setting)\n"
      "  kinex2 convert IN OUT [--to dst|text] [--frames FIRST:LAST] [--overwrite]\n"
      "                 [--settings FILE]\n"
      "                          convert IN to OUT; the kind follows OUT's extension (.dst,\n"
      "                          .txt) unless --to says otherwise, else the \"ExportTo\"\n"
      "                          setting; --settings reads the settings from an INI file\n"
      "  kinex2 info FILE        print the header, events, parameters, channels and points\n"
      "  kinex2 --help           this text\n"
      "  kinex2 [FILE]           the desktop program (opening FILE)\n"
      "\n"
      "Input files:",
      f);
  for (const CFormatEntry& t : Formats()) std::fprintf(f, " %s", t.OpenFilterText().c_str());
  std::fputs(
      "\n"
      "An existing output is replaced only after a Yes on the terminal or with --overwrite.\n"
      "Exit status: 0 written, 1 nothing written or input unreadable, 2 malformed command line.\n",
      f);
  std::fprintf(f, "Marker translations (kinex2.ini) and the log file live in: %s\n",
               PathToUtf8(Kinex2DataFolder()).c_str());
  std::fprintf(f, "Settings are stored in: %s\n", UserSettingsLocation().c_str());
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
std::string ArgumentText(const std::vector<std::string>& args) {
#ifdef _WIN32
  return ArgumentTextOfCommandLine(GetCommandLineA());
#else
  return ArgumentTextOfArguments(args);
#endif
}

}  // namespace

int Kinex2Main(int argc, char** argv, GuiEntry startGui) {
  const std::vector<std::string> args(argv, argv + argc);
  if (args.size() >= 2) {
    const std::string& verb = args[1];
    if (verb == "--help" || verb == "-h") {
      PrintUsage(stdout);
      return kExitWritten;
    }
    if (verb == "info") {
      if (args.size() == 3) return RunInfoCommand(args[2], stdout);
      PrintUsage(stderr);
      return kExitBadCommandLine;
    }
    if (verb == "convert") {
      return RunConvertCommand(std::vector<std::string>(args.begin() + 2, args.end()), stderr);
    }
  }
  const CCommaConversion comma = ParseCommaConversion(ArgumentText(args));
  if (comma.kind != CCommaConversion::Kind::NotConversion) return RunCommaConversion(comma);
  if (startGui != nullptr && DisplayAvailable()) return startGui(argc, argv);
  if (startGui != nullptr) std::fputs("kinex2: no display for the desktop program.\n", stderr);
  PrintUsage(stderr);
  return kExitBadCommandLine;
}
