#pragma once
// What the desktop-program tests share: one QApplication for the test
// program (offscreen unless a platform was chosen), a main window over an
// application whose settings live in a temporary INI file, and a way to answer
// the next modal dialog.

#include <QApplication>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/Kinex2App.h"
#include "gui/MainFrame.h"
#include "platform/HeadlessPlatform.h"
#include "support/TestSupport.h"

namespace guitest {

// The process's QApplication, created on first use.
QApplication& App();

// An application object whose settings file and data folder are in `dir`.
class TestApp {
 public:
  explicit TestApp(const std::filesystem::path& dir);
  ~TestApp();
  CKinex2App& app() { return *m_app; }
  std::filesystem::path SettingsFile() const { return m_dir / "settings.ini"; }

 private:
  std::filesystem::path m_dir;
  CHeadlessPlatform m_headless;
  std::unique_ptr<CKinex2App> m_app;
};

// Runs `answer` on the next modal dialog that appears (polled from the event
// loop), so that a test can drive exec()-style code. `answer` must close it.
void OnNextModal(std::function<void(QWidget*)> answer);

// A real C3D recording copied into `dir` (its name kept), or an empty path
// when the shared data is absent.
std::filesystem::path CopyRecording(const std::filesystem::path& dir, const char* name);

}  // namespace guitest
