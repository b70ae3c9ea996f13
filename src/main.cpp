#include "app/DesktopModule.h"
#include "app/Main.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/AppPaths.h"

// Windows hands main() its arguments in the system code page, which loses
// every character outside it (a Greek or Japanese file name on a Western
// system): they are taken from the wide command line, as UTF-8, the text
// every path of the program is made from.
int main() {
  int argc = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 0; wide != nullptr && i < argc; ++i) {
    args.push_back(PathToUtf8(std::filesystem::path(wide[i])));
  }
  if (wide != nullptr) ::LocalFree(wide);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  return Kinex2Main(static_cast<int>(args.size()), argv.data(), &RunDesktopModule);
}
#else
int main(int argc, char** argv) {
  return Kinex2Main(argc, argv, &RunDesktopModule);
}
#endif
