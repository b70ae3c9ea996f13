#include "app/ModuleLoader.h"

#include <filesystem>

#include "app/AppPaths.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

void* LoadModuleSymbol(const char* fileName, const char* symbol, std::string& error) {
  const std::filesystem::path module = ExecutablePath().parent_path() / fileName;
#ifdef _WIN32
  HMODULE handle = ::LoadLibraryW(module.c_str());
  if (handle == nullptr) {
    error = PathToUtf8(module) + ": error " + std::to_string(::GetLastError());
    return nullptr;
  }
  FARPROC entry = ::GetProcAddress(handle, symbol);
  if (entry == nullptr) {
    error = PathToUtf8(module) + ": no entry " + symbol;
    return nullptr;
  }
  return reinterpret_cast<void*>(entry);
#else
  void* handle = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = ::dlerror();
    error = why != nullptr ? why : PathToUtf8(module);
    return nullptr;
  }
  void* entry = ::dlsym(handle, symbol);
  if (entry == nullptr) {
    error = PathToUtf8(module) + ": no entry " + symbol;
    return nullptr;
  }
  return entry;
#endif
}
