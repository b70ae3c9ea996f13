#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <cstdlib>

#include "qtstore/QtSettingsStore.h"

namespace guitest {
namespace {
// Creates the application before any test fixture constructs a widget.
class AppEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { App(); }
};
[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new AppEnvironment);
}  // namespace

QApplication& App() {
  static int argc = 1;
  static char name[] = "kx_gui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return new QApplication(argc, argv);
  }();
  return *app;
}

TestApp::TestApp(const std::filesystem::path& dir) : m_dir(dir) {
  App();
  UseLinkedQtStore();
  m_app = std::make_unique<CKinex2App>(m_headless);
  m_app->SetExecutablePath(dir / "kinex2");
  m_app->InitInstance(SettingsFile());
}

TestApp::~TestApp() {
  m_app->SetUiPlatform(m_headless);
}

void OnNextModal(std::function<void(QWidget*)> answer) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, answer] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    timer->stop();
    timer->deleteLater();
    answer(modal);
  });
  timer->start();
}

std::filesystem::path CopyRecording(const std::filesystem::path& dir, const char* name) {
  const std::filesystem::path data = testsupport::SharedDataDir();
  if (data.empty()) return {};
  const std::filesystem::path source = data / "c3d" / name;
  if (!std::filesystem::exists(source)) return {};
  const std::filesystem::path target = dir / name;
  std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing);
  return target;
}

}  // namespace guitest
