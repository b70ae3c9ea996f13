#include "app/DesktopModule.h"

#include <cstdio>

#include "app/ModuleLoader.h"

#ifndef KINEX2_DESKTOP_MODULE
#error "the build names the desktop module (KINEX2_DESKTOP_MODULE)"
#endif

const char kDesktopEntryName[] = "Kinex2RunDesktop";

namespace {
constexpr char kCannotStartDesktop[] = "kinex2: cannot start the desktop program: %s\n";
}  // namespace

GuiEntry LoadDesktopEntry(std::string& error) {
  return reinterpret_cast<GuiEntry>(LoadModuleSymbol(KINEX2_DESKTOP_MODULE, kDesktopEntryName, error));
}

int RunDesktopModule(int argc, char** argv) {
  std::string error;
  const GuiEntry entry = LoadDesktopEntry(error);
  if (entry == nullptr) {
    std::fprintf(stderr, kCannotStartDesktop, error.c_str());
    return 1;
  }
  return entry(argc, argv);
}
