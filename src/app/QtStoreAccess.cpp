#include "app/QtStoreAccess.h"

#include <cstdio>

#include "app/ModuleLoader.h"

#ifndef KINEX2_SETTINGS_MODULE
#error "the build names the settings module (KINEX2_SETTINGS_MODULE)"
#endif

const char kQtStoreEntryName[] = "Kinex2QtStoreProvider";

namespace {

constexpr char kCannotLoadSettings[] = "kinex2: cannot load the settings library: %s\n";

const CQtStoreProvider* g_provider = nullptr;

const CQtStoreProvider* Provider() {
  static bool tried = false;
  if (g_provider != nullptr || tried) return g_provider;
  tried = true;
  std::string error;
  using Entry = const CQtStoreProvider* (*)();
  const auto entry =
      reinterpret_cast<Entry>(LoadModuleSymbol(KINEX2_SETTINGS_MODULE, kQtStoreEntryName, error));
  if (entry == nullptr) {
    std::fprintf(stderr, kCannotLoadSettings, error.c_str());
    return nullptr;
  }
  g_provider = entry();
  return g_provider;
}

}  // namespace

void SetQtStoreProvider(const CQtStoreProvider* provider) {
  g_provider = provider;
}

std::unique_ptr<CSettingsStore> OpenQtStore(QtStoreKind kind, const std::filesystem::path& file) {
  const CQtStoreProvider* p = Provider();
  return std::unique_ptr<CSettingsStore>(p != nullptr ? p->open(kind, file) : nullptr);
}

std::string UserSettingsLocation() {
  const CQtStoreProvider* p = Provider();
  return p != nullptr ? p->userLocation() : std::string();
}
