#include "app/AppPaths.h"

#include <fstream>
#include <random>

#include "app/ConfFileStore.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

std::filesystem::path ExecutablePath() {
  std::error_code ec;
#ifdef _WIN32
  std::wstring buffer(32768, L'\0');
  const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (n == 0 || n >= buffer.size()) return {};
  buffer.resize(n);
  return std::filesystem::path(buffer);
#else
  std::filesystem::path p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : p;
#endif
}

bool IsWritableFolder(const std::filesystem::path& folder) {
  std::error_code ec;
  if (folder.empty() || !std::filesystem::is_directory(folder, ec)) return false;
#ifdef _WIN32
  // Access lists decide on Windows: a probe file answers for them.
  std::random_device rd;
  const std::filesystem::path probe = folder / (".kinex2-probe-" + std::to_string(rd()));
  bool ok = false;
  {
    std::ofstream out(probe, std::ios::binary | std::ios::app);
    ok = static_cast<bool>(out);
  }
  if (ok) std::filesystem::remove(probe, ec);
  return ok;
#else
  // The system answers for permissions, access lists and read-only mounts
  // alike, without a file created and removed at every start.
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
#endif
}

std::filesystem::path ChooseDataFolder(const std::filesystem::path& executableFolder,
                                       const std::filesystem::path& userConfigFolder) {
  if (IsWritableFolder(executableFolder) || userConfigFolder.empty()) return executableFolder;
  return userConfigFolder;
}

std::filesystem::path UserConfigFolder() {
  const std::filesystem::path base = UserConfigBase();
  return base.empty() ? base : base / "ORV" / "Kinex2";
}

std::filesystem::path Kinex2DataFolder() {
  return ChooseDataFolder(ExecutablePath().parent_path(), UserConfigFolder());
}

std::filesystem::path PathFromUtf8(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string PathToUtf8(const std::filesystem::path& path) {
  const std::u8string u = path.u8string();
  return std::string(u.begin(), u.end());
}
