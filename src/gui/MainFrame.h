#pragma once
// The main window: the document windows in an MDI area, the menus, the tool
// bar and the status bar (message pane, and a second pane that holds the
// progress bar while an export runs). It routes commands to the active
// document window, opens files (Open, recent files, dropped files) and keeps
// its placement, its bars and the recent-file list in the settings. Its
// caption is "Orvane Kinex2" for the whole run.

#include <QMainWindow>
#include <QStringList>
#include <memory>

#include "documents/FormatRegistry.h"

class CChildFrame;
class CGuiPlatform;
class CKinex2App;
class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QToolBar;
class QToolButton;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr const char* kCaption = "Orvane Kinex2";
  static constexpr int kMaxRecentFiles = 9;

  // `app` must outlive the window. The window installs its platform as the
  // application's user interface and removes it again when it goes away.
  explicit CMainFrame(CKinex2App& app, QWidget* parent = nullptr);
  ~CMainFrame() override;

  // Shows the window with its remembered placement ("WindowPos"), or with
  // `processShowCmd` when there is none or it is malformed.
  void InitialShow(unsigned processShowCmd = 1);

  // Opens `path` as a document in a new window (or activates the window that
  // shows it already). Null when the file could not be opened; the reader has
  // said why.
  CChildFrame* OpenDocumentFile(const QString& path);
  // Opens an entry of the recent-file list; an entry that no longer opens
  // (moved, deleted, damaged) leaves the list.
  CChildFrame* OpenRecentFile(const QString& path);

  CChildFrame* ActiveChild() const;
  QList<CChildFrame*> Children() const;
  QMdiArea* MdiArea() const { return m_mdi; }
  CGuiPlatform& GuiPlatform() const { return *m_platform; }
  QLabel* StatusPane() const { return m_statusPane; }
  QProgressBar* ProgressBar() const { return m_progress; }
  QToolBar* ToolBar() const { return m_toolBar; }
  QToolButton* OpenButton() const { return m_openButton; }
  const QStringList& RecentFiles() const { return m_recentFiles; }
  // The action of a menu item by its text ("&Save\tCtrl+S"), or null.
  QAction* FindAction(const QString& text) const;

  // The placement and bar state written at close, and the recent-file list.
  void SavePlacement();
  void SaveBarState();
  void SaveRecentFiles();

  // The Open dialog's filter list and the one chosen last (0-based).
  static QStringList OpenFilters();
  int OpenFilterIndex() const { return m_openFilter; }

  // Commands.
  void OnFileOpen();
  void OnVeltroInformation();
  void OnBatchFile();
  void OnDefaults();
  // The sheet over the application's lists and, with a C3D document's
  // window, that document's force-plate selection.
  void OnVdoInformation(CChildFrame* child);
  void OnLogging();
  void OnAbout();
  void OnHelpTopics();
  void SetExportTo(int exportTo);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  void UpdateMenus();
  void UpdateWindowMenu();
  void FillRecentMenu(QMenu* menu, int limit);
  // The Open button's texts of `paths`: file names, with enough of their
  // folders where names repeat.
  static QStringList RecentMenuNames(const QStringList& paths);
  void UpdateRecentActions();
  void AddRecentFile(const QString& path);
  void RemoveRecentFile(const QString& path);
  void LoadRecentFiles();
  void LoadBarState();
  void RefreshDocumentSettings();
  void ShowChild(QMdiSubWindow* sub);
  void ArrangeIcons();
  void LeaveCloseKeyToCloseCommand(QMdiSubWindow* sub);
  // Moves the window, shrinking it when it is larger, so that its whole frame
  // lies on the screen it overlaps most (or the nearest one).
  void PullOntoScreen();
  void TileHorizontally();
  void Cascade();

  CKinex2App& m_app;
  std::unique_ptr<CGuiPlatform> m_platform;
  QMdiArea* m_mdi = nullptr;
  QLabel* m_statusPane = nullptr;
  QProgressBar* m_progress = nullptr;
  QToolBar* m_toolBar = nullptr;
  QToolButton* m_openButton = nullptr;

  QMenu* m_fileMenu = nullptr;
  QMenu* m_recentMenuAnchor = nullptr;
  QMenu* m_windowMenu = nullptr;
  QMenu* m_openDropDown = nullptr;
  QAction* m_recentSeparator = nullptr;
  QList<QAction*> m_recentActions;

  // Menu actions.
  QAction* m_openAct = nullptr;
  QAction* m_closeAct = nullptr;
  QAction* m_saveAct = nullptr;
  QAction* m_saveAsAct = nullptr;
  QAction* m_exitAct = nullptr;
  QAction* m_toolBarAct = nullptr;
  QAction* m_statusBarAct = nullptr;
  QAction* m_loggingAct = nullptr;
  QAction* m_dstAct = nullptr;
  QAction* m_textAct = nullptr;
  QAction* m_framesAct = nullptr;
  QAction* m_vdoAppAct = nullptr;
  QAction* m_vdoDocAct = nullptr;
  QAction* m_veltroAct = nullptr;
  QAction* m_batchAct = nullptr;
  QAction* m_defaultsAct = nullptr;
  QAction* m_cascadeAct = nullptr;
  QAction* m_tileAct = nullptr;
  QAction* m_arrangeAct = nullptr;
  QAction* m_helpTopicsAct = nullptr;
  QAction* m_aboutAct = nullptr;
  QAction* m_contextHelpAct = nullptr;
  QAction* m_helpModeAct = nullptr;
  // Tool-bar buttons of document commands: shown always, enabled with a document.
  QAction* m_tbOpen = nullptr;
  QAction* m_tbAbout = nullptr;
  QAction* m_tbHelp = nullptr;
  QAction* m_tbSave = nullptr;
  QAction* m_tbSaveAs = nullptr;
  QAction* m_tbClose = nullptr;

  QStringList m_recentFiles;
  int m_openFilter = OpenDialogDefaultFilter();  // "All Supported Files"
  bool m_closing = false;
};
