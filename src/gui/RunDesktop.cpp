#include "gui/RunDesktop.h"

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/AppPaths.h"
#include "app/ConvertCommand.h"
#include "app/Kinex2App.h"
#include "qtstore/QtSettingsStore.h"
#include "gui/AppIcon.h"
#include "gui/ChildFrame.h"
#include "gui/GuiText.h"
#include "gui/MainFrame.h"
#include "platform/HeadlessPlatform.h"

namespace {

constexpr const char* kSettingsOption = "--settings";
constexpr const char* kIniOption = "--ini";
constexpr const char* kUsage = "Usage: kinex2 [--settings FILE] [--ini FILE] [DATAFILE]\n";

struct DesktopArguments {
  std::filesystem::path settingsFile;
  std::filesystem::path iniFile;
  std::string dataFile;
};

bool ParseArguments(int argc, char** argv, DesktopArguments& out) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], kSettingsOption) == 0) {
      if (i + 1 >= argc) return false;
      out.settingsFile = argv[++i];
    } else if (std::strcmp(argv[i], kIniOption) == 0) {
      if (i + 1 >= argc) return false;
      out.iniFile = argv[++i];
    } else if (out.dataFile.empty()) {
      out.dataFile = argv[i];
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int RunDesktop(int argc, char** argv) {
  DesktopArguments args;
  if (!ParseArguments(argc, argv, args)) {
    std::fputs(kUsage, stderr);
    return 1;
  }
  if (!NamedFilesReadable(args.settingsFile, args.iniFile, stderr)) return 2;
  UseLinkedQtStore();
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication qapp(qtArgc, qtArgv);
  QApplication::setApplicationName(kAppTitle);
  QApplication::setWindowIcon(AppIcon());

  CHeadlessPlatform headless;
  CKinex2App app(headless);
  app.InitInstance(args.settingsFile, args.iniFile);
  SetDefaultPlatform(&app.Platform());

  int status = 0;
  {
    CMainFrame frame(app);
    if (!args.dataFile.empty() &&
        frame.OpenDocumentFile(QString::fromLocal8Bit(args.dataFile.c_str())) == nullptr) {
      status = 1;  // start-up fails: the reader has reported why
    } else {
      frame.InitialShow();
      frame.setWindowTitle(CMainFrame::kCaption);
      status = QApplication::exec();
    }
  }
  app.SetUiPlatform(headless);
  SetDefaultPlatform(nullptr);
  app.ExitInstance();
  return status;
}
