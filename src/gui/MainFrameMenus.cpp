// The main window's actions and menus: created once, then shown, hidden,
// enabled and checked by UpdateMenus as documents come and go.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QWhatsThis>
#include <algorithm>

#include "app/Kinex2App.h"
#include "gui/ChildFrame.h"
#include "gui/MainFrame.h"

namespace {

// Menu texts; a text after the tab is the shortcut shown beside the item.
constexpr const char* kFileMenu = "&File";
constexpr const char* kViewMenu = "&View";
constexpr const char* kExportMenu = "&Export";
constexpr const char* kWindowMenu = "&Window";
constexpr const char* kHelpMenu = "&Help";
constexpr const char* kOpenText = "&Open...\tCtrl+O";
constexpr const char* kCloseText = "&Close";
constexpr const char* kSaveText = "&Save\tCtrl+S";
constexpr const char* kSaveAsText = "Save &As...";
constexpr const char* kExitText = "E&xit";
constexpr const char* kToolbarText = "&Toolbar";
constexpr const char* kStatusBarText = "&Status Bar";
constexpr const char* kLoggingText = "Logging...";
constexpr const char* kDstFileText = "&DST File";
constexpr const char* kTextFileText = "&Text File";
constexpr const char* kFramesText = "&Frames...";
constexpr const char* kVdoInfoText = "VDO Information...";
constexpr const char* kVeltroInfoText = "Veltro Information...";
constexpr const char* kBatchText = "Batch File...";
constexpr const char* kDefaultsText = "De&faults...";
constexpr const char* kCascadeText = "&Cascade";
constexpr const char* kTileText = "&Tile";
constexpr const char* kArrangeText = "&Arrange Icons";
constexpr const char* kHelpTopicsText = "&Help Topics";
constexpr const char* kAboutText = "&About Kinex2...";

// Fly-by help of the commands (status bar) and their short names (tool tips
// and tool-bar captions).
struct Prompt {
  const char* status;
  const char* shortName;
};
constexpr Prompt kOpenPrompt{"Open an existing document", "Open"};
constexpr Prompt kSavePrompt{"Save the active document", "Save"};
constexpr Prompt kSaveAsPrompt{"Save the active document with a new name", "Save As"};
constexpr Prompt kClosePrompt{"Close the active document", "Close"};
constexpr Prompt kAboutPrompt{"Display program information, version number and copyright", "About"};
constexpr Prompt kHelpModePrompt{"Display help for clicked on buttons, menus and windows", "Help"};
constexpr Prompt kExitPrompt{"Quit the application", "Exit"};

QKeySequence CloseKey() {
  return QKeySequence(Qt::CTRL | Qt::Key_F4);
}

}  // namespace

void CMainFrame::CreateActions() {
  auto make = [this](const char* text, auto slot) {
    auto* a = new QAction(QString::fromUtf8(text), this);
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  auto prompt = [](QAction* a, const Prompt& p) {
    a->setStatusTip(p.status);
    a->setToolTip(p.shortName);
  };

  m_openAct = make(kOpenText, [this] { OnFileOpen(); });
  m_openAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  prompt(m_openAct, kOpenPrompt);
  m_closeAct = make(kCloseText, [this] {
    if (QMdiSubWindow* sub = m_mdi->activeSubWindow()) sub->close();
  });
  // Ctrl+F4 is the standard document close only on some platforms; the
  // command keeps it on all of them.
  m_closeAct->setShortcut(CloseKey());
  prompt(m_closeAct, kClosePrompt);
  m_saveAct = make(kSaveText, [this] {
    if (CChildFrame* c = ActiveChild()) c->OnFileSave();
  });
  m_saveAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  prompt(m_saveAct, kSavePrompt);
  m_saveAsAct = make(kSaveAsText, [this] {
    if (CChildFrame* c = ActiveChild()) c->OnFileSaveAs();
  });
  prompt(m_saveAsAct, kSaveAsPrompt);
  m_exitAct = make(kExitText, [this] { close(); });
  prompt(m_exitAct, kExitPrompt);

  m_toolBarAct = make(kToolbarText, [this](bool on) { m_toolBar->setVisible(on); });
  m_toolBarAct->setCheckable(true);
  m_toolBarAct->setStatusTip("Show or hide the toolbar");
  m_statusBarAct = make(kStatusBarText, [this](bool on) { statusBar()->setVisible(on); });
  m_statusBarAct->setCheckable(true);
  m_statusBarAct->setStatusTip("Show or hide the status bar");
  m_loggingAct = make(kLoggingText, [this] { OnLogging(); });

  m_dstAct = make(kDstFileText, [this] { SetExportTo(0); });
  m_dstAct->setCheckable(true);
  m_textAct = make(kTextFileText, [this] { SetExportTo(1); });
  m_textAct->setCheckable(true);
  m_framesAct = make(kFramesText, [this] {
    if (CChildFrame* c = ActiveChild()) c->OnFrames();
  });
  m_veltroAct = make(kVeltroInfoText, [this] { OnVeltroInformation(); });
  m_batchAct = make(kBatchText, [this] { OnBatchFile(); });
  m_defaultsAct = make(kDefaultsText, [this] { OnDefaults(); });
  m_vdoAppAct = make(kVdoInfoText, [this] { OnVdoInformation(nullptr); });
  m_vdoDocAct = make(kVdoInfoText, [this] {
    if (CChildFrame* c = ActiveChild()) OnVdoInformation(c);
  });

  m_cascadeAct = make(kCascadeText, [this] { Cascade(); });
  m_tileAct = make(kTileText, [this] { TileHorizontally(); });
  m_arrangeAct = make(kArrangeText, [this] { ArrangeIcons(); });

  m_helpTopicsAct = make(kHelpTopicsText, [this] { OnHelpTopics(); });
  m_aboutAct = make(kAboutText, [this] { OnAbout(); });
  prompt(m_aboutAct, kAboutPrompt);
  m_contextHelpAct = make("Help", [this] { OnHelpTopics(); });
  m_contextHelpAct->setShortcut(QKeySequence(Qt::Key_F1));
  m_helpModeAct = make("Help", [] { QWhatsThis::enterWhatsThisMode(); });
  m_helpModeAct->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
  prompt(m_helpModeAct, kHelpModePrompt);
  addAction(m_contextHelpAct);
  addAction(m_helpModeAct);

  m_tbOpen = make(kOpenPrompt.shortName, [this] { OnFileOpen(); });
  prompt(m_tbOpen, kOpenPrompt);
  m_tbAbout = make(kAboutPrompt.shortName, [this] { OnAbout(); });
  prompt(m_tbAbout, kAboutPrompt);
  m_tbHelp = make(kHelpModePrompt.shortName, [] { QWhatsThis::enterWhatsThisMode(); });
  prompt(m_tbHelp, kHelpModePrompt);
  m_tbSave = make(kSavePrompt.shortName, [this] { m_saveAct->trigger(); });
  prompt(m_tbSave, kSavePrompt);
  m_tbSaveAs = make(kSaveAsPrompt.shortName, [this] { m_saveAsAct->trigger(); });
  prompt(m_tbSaveAs, kSaveAsPrompt);
  m_tbClose = make(kClosePrompt.shortName, [this] { m_closeAct->trigger(); });
  prompt(m_tbClose, kClosePrompt);
}

void CMainFrame::CreateMenus() {
  m_fileMenu = menuBar()->addMenu(kFileMenu);
  m_fileMenu->addAction(m_openAct);
  m_fileMenu->addAction(m_closeAct);
  m_fileMenu->addAction(m_saveAct);
  m_fileMenu->addAction(m_saveAsAct);
  m_recentSeparator = m_fileMenu->addSeparator();
  for (int i = 0; i < kMaxRecentFiles; ++i) {
    QAction* a = m_fileMenu->addAction(QString());
    a->setVisible(false);
    connect(a, &QAction::triggered, this, [this, a] { OpenRecentFile(a->data().toString()); });
    m_recentActions << a;
  }
  m_fileMenu->addSeparator();
  m_fileMenu->addAction(m_exitAct);

  QMenu* view = menuBar()->addMenu(kViewMenu);
  view->addAction(m_toolBarAct);
  view->addAction(m_statusBarAct);
  view->addSeparator();
  view->addAction(m_loggingAct);

  QMenu* exportMenu = menuBar()->addMenu(kExportMenu);
  exportMenu->addAction(m_dstAct);
  exportMenu->addAction(m_textAct);
  exportMenu->addSeparator();
  exportMenu->addAction(m_framesAct);
  exportMenu->addAction(m_vdoAppAct);
  exportMenu->addAction(m_vdoDocAct);
  exportMenu->addAction(m_veltroAct);
  exportMenu->addAction(m_batchAct);
  exportMenu->addSeparator();
  exportMenu->addAction(m_defaultsAct);

  m_windowMenu = menuBar()->addMenu(kWindowMenu);
  connect(m_windowMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateWindowMenu);
  UpdateWindowMenu();

  QMenu* help = menuBar()->addMenu(kHelpMenu);
  help->addAction(m_helpTopicsAct);
  help->addSeparator();
  help->addAction(m_aboutAct);
}

void CMainFrame::UpdateWindowMenu() {
  m_windowMenu->clear();
  m_windowMenu->addAction(m_cascadeAct);
  m_windowMenu->addAction(m_tileAct);
  m_windowMenu->addAction(m_arrangeAct);
  const QList<QMdiSubWindow*> windows = m_mdi->subWindowList();
  if (!windows.isEmpty()) m_windowMenu->addSeparator();
  for (int i = 0; i < windows.size(); ++i) {
    QMdiSubWindow* sub = windows[i];
    const QString text =
        (i < 9 ? QStringLiteral("&%1 ").arg(i + 1) : QStringLiteral("%1 ").arg(i + 1)) +
        sub->windowTitle();
    QAction* a = m_windowMenu->addAction(text);
    a->setCheckable(true);
    a->setChecked(sub == m_mdi->activeSubWindow());
    connect(a, &QAction::triggered, this, [this, sub] { m_mdi->setActiveSubWindow(sub); });
  }
}

void CMainFrame::UpdateMenus() {
  if (m_closing) return;
  CChildFrame* child = ActiveChild();
  const bool hasDoc = child != nullptr;
  for (QAction* a : {m_closeAct, m_saveAct, m_saveAsAct, m_framesAct}) a->setVisible(hasDoc);
  for (QAction* a : {m_tbSave, m_tbSaveAs, m_tbClose}) a->setEnabled(hasDoc);
  m_vdoAppAct->setVisible(!hasDoc);
  m_batchAct->setVisible(!hasDoc);
  // The information commands belong to the flavours they feed.
  m_vdoDocAct->setVisible(hasDoc && child->Document().Description().hasVdoFlavour);
  m_veltroAct->setVisible(!hasDoc || child->Document().Description().hasExpFlavour);
  m_windowMenu->menuAction()->setVisible(hasDoc);
  m_dstAct->setChecked(m_app.ExportTo == 0);
  m_textAct->setChecked(m_app.ExportTo == 1);
  // isVisible() is false for every bar until the window itself is shown, so
  // a tick taken from it is wrong from start-up until the next update.
  m_toolBarAct->setChecked(!m_toolBar->isHidden());
  m_statusBarAct->setChecked(!statusBar()->isHidden());
}

void CMainFrame::FillRecentMenu(QMenu* menu, int limit) {
  menu->clear();
  const QStringList names = RecentMenuNames(m_recentFiles);
  for (int i = 0; i < m_recentFiles.size() && i < limit; ++i) {
    const QString path = m_recentFiles[i];
    if (path.isEmpty()) break;
    QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(names[i]));
    connect(a, &QAction::triggered, this, [this, path] { OpenRecentFile(path); });
  }
}

void CMainFrame::LeaveCloseKeyToCloseCommand(QMdiSubWindow* sub) {
  // A document window's own menu closes it with the platform's close keys,
  // Ctrl+F4 among them on some platforms; a key held by two commands starts
  // neither.
  if (sub->systemMenu() == nullptr) return;
  for (QAction* a : sub->systemMenu()->actions()) {
    QList<QKeySequence> keys = a->shortcuts();
    if (keys.removeAll(CloseKey()) > 0) a->setShortcuts(keys);
  }
}

void CMainFrame::ArrangeIcons() {
  // Minimised windows in a row along the bottom of the area.
  int x = 0;
  for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
    if (!sub->isMinimized()) continue;
    const QSize size = sub->size();
    sub->move(x, m_mdi->viewport()->height() - size.height());
    x += size.width();
  }
}

void CMainFrame::Cascade() {
  m_mdi->cascadeSubWindows();
  // Qt stacks the windows at their smallest size, often a title bar and a
  // sliver. A cascade is for working in the front window with the title bars
  // of the others showing behind it: each window gets two thirds of the area
  // at the place Qt gave it, less where the farthest one would run past the
  // area's edge, and never under half of it.
  QList<QMdiSubWindow*> cascaded;
  for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
    if (!sub->isHidden() && !sub->isMinimized()) cascaded << sub;
  }
  if (cascaded.isEmpty()) return;
  const QRect area = m_mdi->viewport()->rect();
  int right = 0;
  int down = 0;
  for (const QMdiSubWindow* sub : cascaded) {
    right = std::max(right, sub->x() - area.left());
    down = std::max(down, sub->y() - area.top());
  }
  const int width =
      std::max(area.width() / 2, std::min(area.width() * 2 / 3, area.width() - right));
  const int height =
      std::max(area.height() / 2, std::min(area.height() * 2 / 3, area.height() - down));
  for (QMdiSubWindow* sub : cascaded) {
    sub->resize(QSize(width, height).expandedTo(sub->minimumSizeHint()));
  }
}

void CMainFrame::TileHorizontally() {
  // Windows one above the other, each the full width of the area, in the
  // order of the Window menu; minimised ones stay where they are.
  QList<QMdiSubWindow*> tiled;
  for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
    if (!sub->isHidden() && !sub->isMinimized()) tiled << sub;
  }
  if (tiled.isEmpty()) return;
  // Restored first: a maximised window covers the area and may hold scroll bars.
  for (QMdiSubWindow* sub : tiled) {
    if (sub->isMaximized()) sub->showNormal();
  }
  const QRect area = m_mdi->viewport()->rect();
  const int count = static_cast<int>(tiled.size());
  int top = area.top();
  for (int i = 0; i < count; ++i) {
    // The rows share the height evenly, the rounding spread over them.
    const int bottom = area.top() + area.height() * (i + 1) / count;
    tiled[i]->setGeometry(area.left(), top, area.width(), bottom - top);
    top = bottom;
  }
}
