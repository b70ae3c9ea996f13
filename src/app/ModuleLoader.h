#pragma once
// Libraries of the program that are loaded only when needed (the desktop
// program, the Qt settings store), always from the executable's own folder,
// never from the library search path: a library of another installation would
// not match this executable.

#include <string>

// The address of `symbol` in the library `fileName` beside the executable;
// null, with `error` set to the system's reason, when it cannot be had. The
// library stays loaded for the rest of the process.
void* LoadModuleSymbol(const char* fileName, const char* symbol, std::string& error);
