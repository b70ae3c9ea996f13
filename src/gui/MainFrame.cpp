#include "gui/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <map>
#include <vector>

#include "app/ConvertCommand.h"
#include "app/Kinex2App.h"
#include "app/OptionsPages.h"
#include "documents/DocumentBase.h"
#include "documents/FormatRegistry.h"
#include "gui/AboutDlg.h"
#include "gui/AppIcon.h"
#include "gui/BatchDlg.h"
#include "gui/ChildFrame.h"
#include "gui/GuiPlatform.h"
#include "gui/GuiText.h"
#include "gui/LoggingDlg.h"
#include "gui/OptionsDlg.h"
#include "gui/VdoInfoSheet.h"
#include "gui/VeltroInfoDlg.h"
#include "gui/WindowPlacement.h"
#include "model/Recording.h"
#include "platform/Files.h"

namespace {

constexpr const char* kBarsSection = "Control Bars";
constexpr const char* kRecentSection = "Recent File List";
constexpr const char* kRecentEntry = "File%1";
constexpr const char* kToolBarName = "ToolBar";

// The width of the status bar's second pane: a run of 56 underscores.
constexpr int kSecondPaneChars = 56;

constexpr const char* kHelpTopicsText =
    "Open a recording with File Open or by dropping it on the window. Its tree lists the "
    "header, the parameter groups and their parameters, and the data channels.\n\n"
    "Double-click an item to select or deselect it for export. Double-clicking Parameters, "
    "Data, Analog or Marker selects or deselects everything under it; one ticked on grey is "
    "partly selected, and a double-click deselects all of it. Double-clicking a parameter "
    "group selects or deselects the group alone: its parameters keep their own ticks. "
    "Double-clicking the file's name at the top changes nothing.\n\n"
    "Choose DST File or Text File in the Export menu, set the frame range with Frames..., "
    "and press Save to write the file beside the recording, or Save As... to choose its "
    "name and kind.";

// The file name and folders of a path, outermost first.
QStringList PathParts(const QString& path) {
  return QDir::fromNativeSeparators(path).split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

// The last `count` parts of a path: the file name and the folders nearest it.
QString PathTail(const QStringList& parts, qsizetype count) {
  return parts.mid(parts.size() - std::min(count, parts.size())).join(QLatin1Char('/'));
}

// For each path of a recent-file list, how many of its last parts tell it
// from every other entry: 1 (the file name) unless another entry has the
// same name, then as many folders more as it takes. Trials of a study are
// often all called alike in folders of their own.
std::vector<qsizetype> DistinctTails(const QStringList& paths) {
  std::vector<QStringList> parts;
  for (const QString& p : paths) parts.push_back(PathParts(p));
  std::vector<qsizetype> counts(parts.size(), 1);
  for (bool longer = true; longer;) {
    longer = false;
    std::map<QString, std::vector<std::size_t>> byTail;
    for (std::size_t i = 0; i < parts.size(); ++i)
      byTail[PathTail(parts[i], counts[i])].push_back(i);
    for (const auto& [tail, entries] : byTail) {
      if (entries.size() < 2) continue;
      for (const std::size_t i : entries) {
        if (counts[i] < parts[i].size()) {
          ++counts[i];
          longer = true;
        }
      }
    }
  }
  return counts;
}

// An entry of the Open button's list: its file name, with the folders that
// tell it apart when another entry has the same name.
QString ShortRecentName(const QString& path, qsizetype tail) {
  const QStringList parts = PathParts(path);
  if (tail >= parts.size()) return QDir::toNativeSeparators(path);
  return QDir::toNativeSeparators(PathTail(parts, tail));
}

// An entry of the File menu: the path in full when short, otherwise the
// first folder, an ellipsis and the last `tail` parts.
QString AbbreviatePath(const QString& path, qsizetype tail) {
  constexpr int kMaxLength = 40;
  if (path.size() <= kMaxLength) return QDir::toNativeSeparators(path);
  const QString normal = QDir::fromNativeSeparators(path);
  const int firstSep = static_cast<int>(normal.indexOf(QLatin1Char('/'), 1));
  const QString head = firstSep > 0 ? normal.left(firstSep + 1) : QString();
  const QStringList parts = PathParts(normal);
  // The head and the tail together would be the whole path.
  if (tail + (head.isEmpty() ? 0 : 1) >= parts.size()) return QDir::toNativeSeparators(path);
  return QDir::toNativeSeparators(head + QStringLiteral(".../") + PathTail(parts, tail));
}

}  // namespace

CMainFrame::CMainFrame(CKinex2App& app, QWidget* parent) : QMainWindow(parent), m_app(app) {
  setWindowTitle(kCaption);
  setWindowIcon(AppIcon());
  setAcceptDrops(true);
  m_mdi = new QMdiArea(this);
  m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(m_mdi);
  CreateActions();
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  m_platform = std::make_unique<CGuiPlatform>(this, m_statusPane, m_progress);
  m_app.SetUiPlatform(*m_platform);
  connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] { UpdateMenus(); });
  LoadRecentFiles();
  resize(800, 600);
  UpdateMenus();
}

CMainFrame::~CMainFrame() {
  m_closing = true;
  // The documents report through the platform while they close.
  for (QMdiSubWindow* sub : m_mdi->subWindowList()) delete sub;
  m_app.SetUiPlatform(DefaultPlatform());
}

void CMainFrame::CreateToolBar() {
  m_toolBar = addToolBar(kToolBarName);
  m_toolBar->setObjectName(kToolBarName);
  m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  m_toolBar->setIconSize(QSize(16, 15));
  m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);

  m_tbOpen->setIcon(ToolIcon(ToolPicture::Open));
  m_tbSave->setIcon(ToolIcon(ToolPicture::Save));
  m_tbSaveAs->setIcon(ToolIcon(ToolPicture::SaveAs));
  m_tbClose->setIcon(ToolIcon(ToolPicture::Close));
  m_tbAbout->setIcon(ToolIcon(ToolPicture::About));
  m_tbHelp->setIcon(ToolIcon(ToolPicture::Help));

  m_openButton = new QToolButton(m_toolBar);
  m_openButton->setDefaultAction(m_tbOpen);
  m_openButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  m_openDropDown = new QMenu(m_openButton);
  connect(m_openDropDown, &QMenu::aboutToShow, this,
          [this] { FillRecentMenu(m_openDropDown, 12); });
  m_openButton->setMenu(m_openDropDown);
  m_openButton->setPopupMode(QToolButton::MenuButtonPopup);
  m_toolBar->addWidget(m_openButton);
  m_toolBar->addAction(m_tbSave);
  m_toolBar->addAction(m_tbSaveAs);
  m_toolBar->addAction(m_tbClose);
  m_toolBar->addSeparator();
  m_toolBar->addAction(m_tbAbout);
  m_toolBar->addAction(m_tbHelp);

  // Every button as wide as the widest captioned one.
  int width = 0;
  QList<QWidget*> buttons{m_openButton};
  for (QAction* a : {m_tbSave, m_tbSaveAs, m_tbClose, m_tbAbout, m_tbHelp}) {
    buttons << m_toolBar->widgetForAction(a);
  }
  for (QWidget* b : buttons) width = std::max(width, b->sizeHint().width());
  for (QWidget* b : buttons) {
    if (b != m_openButton) b->setMinimumWidth(width);
  }
  connect(m_toolBar, &QToolBar::visibilityChanged, this, [this] { UpdateMenus(); });
}

void CMainFrame::CreateStatusBar() {
  m_statusPane = new QLabel(this);
  m_statusPane->setTextFormat(Qt::PlainText);
  statusBar()->addWidget(m_statusPane, 1);
  auto* pane = new QWidget(this);
  pane->setFixedWidth(pane->fontMetrics().horizontalAdvance(QString(kSecondPaneChars, u'_')));
  auto* layout = new QHBoxLayout(pane);
  layout->setContentsMargins(0, 0, 0, 0);
  m_progress = new QProgressBar(pane);
  m_progress->setTextVisible(false);
  m_progress->setMaximumHeight(pane->fontMetrics().height() + 2);
  m_progress->hide();
  layout->addWidget(m_progress);
  statusBar()->addPermanentWidget(pane);
}

CChildFrame* CMainFrame::ActiveChild() const {
  QMdiSubWindow* sub = m_mdi->activeSubWindow();
  return sub != nullptr ? qobject_cast<CChildFrame*>(sub->widget()) : nullptr;
}

QList<CChildFrame*> CMainFrame::Children() const {
  QList<CChildFrame*> children;
  for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
    if (auto* c = qobject_cast<CChildFrame*>(sub->widget())) children << c;
  }
  return children;
}

QAction* CMainFrame::FindAction(const QString& text) const {
  for (QAction* a : findChildren<QAction*>()) {
    if (a->text() == text) return a;
  }
  return nullptr;
}

CChildFrame* CMainFrame::OpenDocumentFile(const QString& path) {
  if (path.isEmpty()) return nullptr;
  const std::filesystem::path full = FullPath(PathFromQ(path));
  for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
    auto* c = qobject_cast<CChildFrame*>(sub->widget());
    if (c != nullptr && c->Path() == full) {
      m_mdi->setActiveSubWindow(sub);
      return c;
    }
  }
  const CFormatEntry& type = FormatFor(full);
  m_app.KeepLogOff(full);
  std::unique_ptr<CDocumentBase> doc = type.createDocument(m_app.Platform());
  doc->SetSettings(DocumentSettingsFor(m_app, type));
  {
    CWaitCursor wait(*m_platform);
    if (!doc->OnOpenDocument(full)) return nullptr;
  }
  auto* child = new CChildFrame(std::move(doc), type);
  QMdiSubWindow* sub = m_mdi->addSubWindow(child);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setWindowIcon(AppIcon());
  LeaveCloseKeyToCloseCommand(sub);
  sub->resize(std::max(360, m_mdi->width() * 2 / 3), std::max(280, m_mdi->height() * 2 / 3));
  ShowChild(sub);
  AddRecentFile(PathToQ(full));
  UpdateMenus();
  return child;
}

void CMainFrame::ShowChild(QMdiSubWindow* sub) {
  // New windows take the stored show state; 3 (the default) is maximised.
  if (m_app.ShowCmd == 3) {
    sub->showMaximized();
  } else {
    sub->showNormal();
  }
  m_mdi->setActiveSubWindow(sub);
}

QStringList CMainFrame::OpenFilters() {
  const QStringList parts = ToQ(OpenDialogFilter()).split(QLatin1Char('|'));
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    // The shown text stays as it is; Qt reads the patterns from the last
    // parentheses, which the dialog hides.
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    // "*.*" matches every file on Windows; Qt needs "*" for names without a dot.
    if (patterns == QStringLiteral("*.*")) patterns = QStringLiteral("*");
    filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  return filters;
}

void CMainFrame::OnFileOpen() {
  QFileDialog dialog(this);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  const QStringList filters = OpenFilters();
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(filters.value(m_openFilter));
  const QString startDir = ToQ(m_app.ReadStartDir());
  if (!startDir.isEmpty()) dialog.setDirectory(startDir);
  const int result = dialog.exec();
  const int chosen = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
  if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  if (chosen >= 0) m_openFilter = chosen;
  const QString path = dialog.selectedFiles().front();
  OpenDocumentFile(path);
  m_app.WriteStartDir(FromQ(QFileInfo(path).absolutePath() + QLatin1Char('/')));
}

void CMainFrame::SetExportTo(int exportTo) {
  m_app.ExportTo = static_cast<std::uint8_t>(exportTo);
  RefreshDocumentSettings();
  UpdateMenus();
}

void CMainFrame::RefreshDocumentSettings() {
  for (CChildFrame* c : Children()) {
    c->Document().SetSettings(DocumentSettingsFor(m_app, c->Type()));
    c->UpdatePane();
  }
}

void CMainFrame::OnLogging() {
  CLoggingDlg dlg(this);
  LogSettings& s = m_app.logSettings;
  dlg.SetValues(s.Log != 0, ToQ(s.LogFile), s.LogErrorOnly != 0);
  if (dlg.exec() != QDialog::Accepted) return;
  s.Log = dlg.Log() ? 1 : 0;
  s.LogFile = FromQ(dlg.LogFile());
  s.LogErrorOnly = dlg.ErrorsOnly() ? 1 : 0;
  RefreshDocumentSettings();
}

void CMainFrame::OnVeltroInformation() {
  CVeltroInfoDlg dlg(m_app, this);
  connect(&dlg, &CVeltroInfoDlg::ValueChanged, this, [this] { RefreshDocumentSettings(); });
  dlg.exec();
}

void CMainFrame::OnBatchFile() {
  CBatchDlg dlg(m_app, this);
  dlg.exec();
}

void CMainFrame::OnDefaults() {
  // A document's Defaults first offers its file's groups on its format's page;
  // they stay in the settings even when the sheet is cancelled.
  if (CChildFrame* c = ActiveChild()) {
    std::vector<std::string> names;
    for (const CGroup& g : c->Document().Reader().paramSet.groups) names.push_back(g.name);
    MergeGroupNames(m_app.Selection(c->Type()), names);
  }
  COptions sheet(COptionsValues::From(m_app), FirstOptionsPage(m_app.ExportTo), this);
  if (sheet.exec() != QDialog::Accepted) return;
  sheet.Values().CopyTo(m_app);
  // Open documents export with the new options; an ADC document reads its
  // samples again at the new rate and scale.
  RefreshDocumentSettings();
}

void CMainFrame::OnVdoInformation(CChildFrame* child) {
  std::string* plates = child != nullptr ? &child->Document().Selection().forcePlates : nullptr;
  if (RunVdoInformation(m_app, plates, this)) RefreshDocumentSettings();
}

void CMainFrame::OnAbout() {
  CAboutDlg dlg(CKinex2App::kVersion, this);
  dlg.exec();
}

void CMainFrame::OnHelpTopics() {
  QMessageBox box(QMessageBox::Information, kAppTitle, kHelpTopicsText, QMessageBox::Ok, this);
  box.exec();
}

// Recent files -------------------------------------------------------------

void CMainFrame::AddRecentFile(const QString& path) {
  m_recentFiles.removeAll(path);
  m_recentFiles.prepend(path);
  while (m_recentFiles.size() > kMaxRecentFiles) m_recentFiles.removeLast();
  UpdateRecentActions();
}

void CMainFrame::RemoveRecentFile(const QString& path) {
  if (m_recentFiles.removeAll(path) > 0) UpdateRecentActions();
}

CChildFrame* CMainFrame::OpenRecentFile(const QString& path) {
  CChildFrame* child = OpenDocumentFile(path);
  if (child == nullptr) RemoveRecentFile(path);
  return child;
}

QStringList CMainFrame::RecentMenuNames(const QStringList& paths) {
  const std::vector<qsizetype> tails = DistinctTails(paths);
  QStringList names;
  for (int i = 0; i < paths.size(); ++i) {
    names << ShortRecentName(paths[i], tails[static_cast<std::size_t>(i)]);
  }
  return names;
}

void CMainFrame::UpdateRecentActions() {
  const std::vector<qsizetype> tails = DistinctTails(m_recentFiles);
  for (int i = 0; i < m_recentActions.size(); ++i) {
    QAction* a = m_recentActions[i];
    const bool used = i < m_recentFiles.size();
    a->setVisible(used);
    if (!used) continue;
    a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(
        AbbreviatePath(m_recentFiles[i], tails[static_cast<std::size_t>(i)])));
    a->setData(m_recentFiles[i]);
  }
  m_recentSeparator->setVisible(!m_recentFiles.isEmpty());
}

void CMainFrame::LoadRecentFiles() {
  m_recentFiles.clear();
  for (int i = 1; i <= kMaxRecentFiles; ++i) {
    const std::optional<std::string> v =
        m_app.SettingsStore().ReadString(kRecentSection, FromQ(QString(kRecentEntry).arg(i)));
    if (!v || v->empty()) break;
    m_recentFiles << ToQ(*v);
  }
  UpdateRecentActions();
}

void CMainFrame::SaveRecentFiles() {
  for (int i = 1; i <= kMaxRecentFiles; ++i) {
    const QString v = i <= m_recentFiles.size() ? m_recentFiles[i - 1] : QString();
    m_app.SettingsStore().WriteString(kRecentSection, FromQ(QString(kRecentEntry).arg(i)),
                                      FromQ(v));
  }
}

// Placement and bars -------------------------------------------------------

void CMainFrame::InitialShow(unsigned processShowCmd) {
  const std::optional<std::string> stored = m_app.ReadWindowPos();
  std::optional<CWindowPlacement> p;
  if (stored) p = ParseWindowPos(*stored);
  if (!p) {
    if (processShowCmd == kShowMaximized) {
      showMaximized();
    } else {
      show();
    }
    return;
  }
  if (processShowCmd != kShowNormal) p->showCmd = processShowCmd;
  m_app.WriteWindowPos(FormatWindowPos(*p));
  LoadBarState();
  setGeometry(QRect(p->left, p->top, p->right - p->left, p->bottom - p->top));
  PullOntoScreen();
  // A window stored minimised (or hidden) starts visible: maximised when it
  // was to be restored so, otherwise normal.
  const bool maximised =
      p->showCmd == kShowMaximized || ((p->showCmd == 2 || p->showCmd == 6 || p->showCmd == 7) &&
                                       (p->flags & kRestoreToMaximized) != 0);
  if (maximised) {
    showMaximized();
  } else {
    show();
    // The frame's margins are known once it is shown.
    PullOntoScreen();
  }
}

void CMainFrame::PullOntoScreen() {
  QList<QRect> areas;
  for (QScreen* s : QGuiApplication::screens()) areas << s->availableGeometry();
  const QMargins frame = windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
  const QRect fitted = FitOnScreen(geometry(), frame, areas);
  if (fitted != geometry()) setGeometry(fitted);
}

void CMainFrame::SavePlacement() {
  CWindowPlacement p;
  const bool maximised = isMaximized();
  p.flags = maximised ? kRestoreToMaximized : 0;
  p.showCmd = maximised ? kShowMaximized : (isMinimized() ? 2u : kShowNormal);
  QRect r = normalGeometry();
  if (!r.isValid()) r = geometry();
  p.left = r.x();
  p.top = r.y();
  p.right = r.x() + r.width();
  p.bottom = r.y() + r.height();
  m_app.WriteWindowPos(FormatWindowPos(p));
}

void CMainFrame::SaveBarState() {
  CSettingsStore& store = m_app.SettingsStore();
  // Whether each bar is meant to be shown, also when the window itself is not.
  store.WriteInt(kBarsSection, "ToolBar", m_toolBar->isHidden() ? 0 : 1);
  store.WriteInt(kBarsSection, "StatusBar", statusBar()->isHidden() ? 0 : 1);
  store.WriteString(kBarsSection, "State", saveState().toBase64().toStdString());
}

void CMainFrame::LoadBarState() {
  CSettingsStore& store = m_app.SettingsStore();
  if (const std::optional<std::string> state = store.ReadString(kBarsSection, "State")) {
    restoreState(QByteArray::fromBase64(QByteArray::fromStdString(*state)));
  }
  if (const std::optional<std::int64_t> v = store.ReadInt(kBarsSection, "ToolBar")) {
    m_toolBar->setVisible(*v != 0);
  }
  if (const std::optional<std::int64_t> v = store.ReadInt(kBarsSection, "StatusBar")) {
    statusBar()->setVisible(*v != 0);
  }
  UpdateMenus();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  m_mdi->closeAllSubWindows();
  for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
    if (sub->isVisible()) {
      event->ignore();
      return;
    }
  }
  SavePlacement();
  SaveBarState();
  SaveRecentFiles();
  m_closing = true;
  event->accept();
}

void CMainFrame::changeEvent(QEvent* event) {
  // A maximised document window would add its title to the caption; the
  // caption is the program's own for the whole run.
  if (event->type() == QEvent::WindowTitleChange && windowTitle() != kCaption) {
    setWindowTitle(kCaption);
  }
  QMainWindow::changeEvent(event);
}

// Dropped files ------------------------------------------------------------

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  event->acceptProposedAction();
  activateWindow();
  for (const QUrl& url : urls) {
    if (url.isLocalFile()) OpenDocumentFile(url.toLocalFile());
  }
}
