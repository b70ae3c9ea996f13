// Opening a large recording in the desktop program against `kinex2 info` on
// the same file.
//   bench_gui_open KINEX2 FILE.c3d...
// For each file, with the cache warm, prints the median time of a process
// running `KINEX2 info FILE` (output discarded) and the median time, inside a
// running program (offscreen), from the Open command to the window showing
// the document's tree, painted once. Target: the window at most 1.5 x info.

#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "BenchProcess.h"
#include "app/Kinex2App.h"
#include "gui/ChildFrame.h"
#include "gui/MainFrame.h"
#include "platform/HeadlessPlatform.h"
#include "qtstore/QtSettingsStore.h"

namespace {

constexpr int kRuns = 7;
constexpr double kTarget = 1.5;

bool RunInfo(const char* program, const char* file) {
  std::fflush(nullptr);  // the child must not write the parent's buffered lines again
  const pid_t pid = fork();
  if (pid == 0) {
    if (freopen("/dev/null", "w", stdout) == nullptr) _exit(127);
    execl(program, program, "info", file, static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_gui_open KINEX2 FILE.c3d...\n");
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  int qtArgc = 1;
  QApplication qapp(qtArgc, argv);
  const std::filesystem::path scratch =
      std::filesystem::temp_directory_path() / ("bench_gui_open." + std::to_string(getpid()));
  std::filesystem::create_directories(scratch);
  CHeadlessPlatform headless;
  int result = 0;
  {
    CKinex2App app(headless);
    app.SetExecutablePath(scratch / "kinex2");
    UseLinkedQtStore();
    app.InitInstance(scratch / "settings.ini");
    CMainFrame frame(app);
    frame.resize(1000, 700);
    frame.show();
    for (int i = 2; i < argc; ++i) {
      const char* file = argv[i];
      bool ok = true;
      const double info = bench::MedianTime(kRuns, 1, [&] { ok &= RunInfo(argv[1], file); });
      const double window = bench::MedianTime(kRuns, 1, [&] {
        CChildFrame* child = frame.OpenDocumentFile(QString::fromLocal8Bit(file));
        ok &= child != nullptr;
        if (child == nullptr) return;
        child->View()->repaint();
        QApplication::processEvents();
        frame.MdiArea()->closeAllSubWindows();
        QApplication::processEvents();
      });
      if (!ok) result = 1;
      const double ratio = window / info;
      std::printf("%s: info %.3f s, window %.3f s, %.2f x [target %.1f x]%s\n",
                  std::filesystem::path(file).filename().c_str(), info, window, ratio, kTarget,
                  ratio <= kTarget ? "" : "  MISSED");
    }
    app.SetUiPlatform(headless);
  }
  std::filesystem::remove_all(scratch);
  return result;
}
