#pragma once
// The desktop program is a module of its own beside the executable (the
// kinex2-desktop library), loaded only when a window is wanted. Conversions
// and `info` thus never load the window libraries: resolving them took most of
// a small conversion's run time.

#include <string>

#include "app/Main.h"

// The entry the module exports, with the signature of GuiEntry.
extern const char kDesktopEntryName[];  // "Kinex2RunDesktop"

// Loads the module from the executable's own folder and returns its entry;
// null, with `error` set to the system's reason, when it cannot be loaded.
// The module stays loaded for the rest of the process.
GuiEntry LoadDesktopEntry(std::string& error);

// A GuiEntry for Kinex2Main: loads the module and runs the desktop program;
// exit status 1 with a line on standard error when the module is missing.
int RunDesktopModule(int argc, char** argv);
