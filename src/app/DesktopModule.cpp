#include "app/DesktopModule.h"

#include <cstdio>
#include <filesystem>

#include "app/AppPaths.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#ifndef KINEX2_DESKTOP_MODULE
#error "the build names the desktop module (KINEX2_DESKTOP_MODULE)"
#endif

const char kDesktopEntryName[] = "Kinex2RunDesktop";

namespace {
constexpr char kCannotStartDesktop[] = "kinex2: cannot start the desktop program: %s\n";
}  // namespace

GuiEntry LoadDesktopEntry(std::string& error) {
  // From the executable's folder, never from the library search path: a
  // module of another installation would not match this executable.
  const std::filesystem::path module = ExecutablePath().parent_path() / KINEX2_DESKTOP_MODULE;
#ifdef _WIN32
  HMODULE handle = ::LoadLibraryW(module.c_str());
  if (handle == nullptr) {
    error = PathToUtf8(module) + ": error " + std::to_string(::GetLastError());
    return nullptr;
  }
  FARPROC entry = ::GetProcAddress(handle, kDesktopEntryName);
  if (entry == nullptr) {
    error = PathToUtf8(module) + ": no entry " + kDesktopEntryName;
    return nullptr;
  }
  return reinterpret_cast<GuiEntry>(reinterpret_cast<void*>(entry));
#else
  void* handle = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = ::dlerror();
    error = why != nullptr ? why : PathToUtf8(module);
    return nullptr;
  }
  void* entry = ::dlsym(handle, kDesktopEntryName);
  if (entry == nullptr) {
    error = PathToUtf8(module) + ": no entry " + kDesktopEntryName;
    return nullptr;
  }
  return reinterpret_cast<GuiEntry>(entry);
#endif
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
