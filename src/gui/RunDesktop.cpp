#include "gui/RunDesktop.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/AppPaths.h"
#include "app/ConvertCommand.h"
#include "app/Kinex2App.h"
#include "gui/AppIcon.h"
#include "gui/ChildFrame.h"
#include "gui/GuiText.h"
#include "gui/MainFrame.h"
#include "platform/HeadlessPlatform.h"
#include "qtstore/QtSettingsStore.h"

namespace {

constexpr const char* kSettingsOption = "--settings";
constexpr const char* kIniOption = "--ini";
constexpr const char* kSetOption = "--set";
constexpr const char* kUsage = "Usage: kinex2 [--settings FILE] [--ini FILE] [DATAFILE]\n";
constexpr const char* kCannotOpenDisplay =
    "kinex2: cannot open the display %s; conversions need none (kinex2 --help)\n";

struct DesktopArguments {
  std::filesystem::path settingsFile;
  std::filesystem::path iniFile;
  std::vector<CSettingOverride> sets;
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
    } else if (std::strcmp(argv[i], kSetOption) == 0) {
      CSettingOverride o;
      std::string error;
      if (i + 1 >= argc || !ParseSettingOverride(argv[++i], o, error)) return false;
      out.sets.push_back(std::move(o));
    } else if (out.dataFile.empty()) {
      out.dataFile = argv[i];
    } else {
      return false;
    }
  }
  return true;
}

// While the window system is being reached, a fatal message of Qt's (no
// display server at DISPLAY, no usable platform plugin) would abort the
// process: it is said plainly instead, with the command line's status for a
// run that cannot start.
void StartupMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtFatalMsg) {
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr, kCannotOpenDisplay,
                 display != nullptr && *display != '\0' ? display : "of this session");
    std::fflush(stderr);
    std::_Exit(2);
  }
  if (type != QtDebugMsg && type != QtInfoMsg) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  }
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
  const QtMessageHandler previous = qInstallMessageHandler(StartupMessages);
  QApplication qapp(qtArgc, qtArgv);
  qInstallMessageHandler(previous);
  QApplication::setApplicationName(kAppTitle);
  QApplication::setWindowIcon(AppIcon());

  CHeadlessPlatform headless;
  CKinex2App app(headless);
  app.settingOverrides = args.sets;
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
