// The main window: menus, opening and saving files, the Frames command, the
// status bar, recent files, dropped files, and placement across runs.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QProgressDialog>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>

#include "GuiTestSupport.h"
#include "c3dbuilder/C3dBuilder.h"
#include "gui/ChildFrame.h"
#include "gui/FramesDlg.h"
#include "gui/GuiPlatform.h"
#include "gui/LoggingDlg.h"
#include "gui/WindowPlacement.h"
#include "platform/Text.h"

namespace {

using guitest::CopyRecording;
using guitest::OnNextModal;
using guitest::TestApp;

class MainFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app = std::make_unique<TestApp>(dir.path());
    frame = std::make_unique<CMainFrame>(app->app());
  }
  void TearDown() override {
    frame.reset();
    app.reset();
  }
  CChildFrame* Open(const char* name) {
    const std::filesystem::path file = CopyRecording(dir.path(), name);
    if (file.empty()) return nullptr;
    return frame->OpenDocumentFile(QString::fromStdString(file.string()));
  }
  // Closes the window as at the end of a run and starts a new one over the
  // same settings file.
  void Restart() {
    frame->close();
    frame.reset();
    app->app().ExitInstance();
    app.reset();
    app = std::make_unique<TestApp>(dir.path());
    frame = std::make_unique<CMainFrame>(app->app());
  }

  testsupport::TempDir dir;
  std::unique_ptr<TestApp> app;
  std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameTest, MenusHoldEveryItemAndFollowTheActiveDocument) {
  EXPECT_EQ(frame->windowTitle(), "Orvane Kinex2");
  QStringList menus;
  for (QAction* a : frame->menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus, (QStringList{"&File", "&View", "&Export", "&Window", "&Help"}));

  for (const char* text : {"&Open...\tCtrl+O",
                           "&Close",
                           "&Save\tCtrl+S",
                           "Save &As...",
                           "E&xit",
                           "&Toolbar",
                           "&Status Bar",
                           "Logging...",
                           "&DST File",
                           "&Text File",
                           "&Frames...",
                           "VDO Information...",
                           "Veltro Information...",
                           "Batch File...",
                           "De&faults...",
                           "&Cascade",
                           "&Tile",
                           "&Arrange Icons",
                           "&Help Topics",
                           "&About Kinex2..."}) {
    EXPECT_NE(frame->FindAction(text), nullptr) << text;
  }
  EXPECT_EQ(frame->FindAction("&Open...\tCtrl+O")->shortcut(), QKeySequence("Ctrl+O"));
  EXPECT_EQ(frame->FindAction("&Save\tCtrl+S")->shortcut(), QKeySequence("Ctrl+S"));
  for (const char* text : {"Batch File...", "De&faults...", "Veltro Information..."}) {
    EXPECT_TRUE(frame->FindAction(text)->isEnabled()) << text;
  }

  // Without a document: no Save, no Frames, no Window menu.
  EXPECT_FALSE(frame->FindAction("&Save\tCtrl+S")->isVisible());
  EXPECT_FALSE(frame->FindAction("&Frames...")->isVisible());
  EXPECT_TRUE(frame->FindAction("Batch File...")->isVisible());

  // The export target is a pair of checked items.
  app->app().ExportTo = 0;
  frame->FindAction("&Text File")->trigger();
  EXPECT_EQ(app->app().ExportTo, 1);
  EXPECT_TRUE(frame->FindAction("&Text File")->isChecked());
  EXPECT_FALSE(frame->FindAction("&DST File")->isChecked());
  frame->FindAction("&DST File")->trigger();
  EXPECT_EQ(app->app().ExportTo, 0);
  EXPECT_TRUE(frame->FindAction("&DST File")->isChecked());

  KX_REQUIRE_SHARED_DATA();
  ASSERT_NE(Open("pc_int.c3d"), nullptr);
  EXPECT_TRUE(frame->FindAction("&Save\tCtrl+S")->isVisible());
  EXPECT_TRUE(frame->FindAction("&Frames...")->isVisible());
  EXPECT_FALSE(frame->FindAction("Batch File...")->isVisible());
  // The caption stays the program's own.
  EXPECT_EQ(frame->windowTitle(), "Orvane Kinex2");
}

TEST_F(MainFrameTest, SaveWritesBesideTheInputAndReportsTheSize) {
  KX_REQUIRE_SHARED_DATA();
  app->app().ExportTo = 0;
  CChildFrame* child = Open("pc_int.c3d");
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(frame->StatusPane()->text(),
            QString("Opened File %1").arg(QString::fromStdString(child->Path().string())));

  frame->FindAction("&Save\tCtrl+S")->trigger();
  const std::filesystem::path dst = dir / "pc_int.dst";
  ASSERT_TRUE(std::filesystem::exists(dst));
  const auto size = std::filesystem::file_size(dst);
  EXPECT_GT(size, 0u);
  EXPECT_EQ(
      frame->StatusPane()->text(),
      QString("Saved file %1 (%2 bytes)").arg(QString::fromStdString(dst.string())).arg(size));
  EXPECT_EQ(testsupport::ReadFileText(dst).rfind("#!DST-2.0 Data file created by Kinex2 ", 0), 0u);
  EXPECT_FALSE(frame->ProgressBar()->isVisible());

  // Text from the menu; an existing output is only replaced after a Yes.
  frame->FindAction("&Text File")->trigger();
  frame->FindAction("&Save\tCtrl+S")->trigger();
  EXPECT_TRUE(std::filesystem::exists(dir / "pc_int.txt"));
  bool asked = false;
  OnNextModal([&asked](QWidget* box) {
    asked = true;
    box->close();  // closing the question answers No
  });
  const auto before = std::filesystem::last_write_time(dir / "pc_int.txt");
  frame->FindAction("&Save\tCtrl+S")->trigger();
  EXPECT_TRUE(asked);
  EXPECT_EQ(std::filesystem::last_write_time(dir / "pc_int.txt"), before);
}

// A long export runs beside the window's event loop: timers fire and the
// progress box takes a Cancel, which leaves no file behind; run to its end
// the same export writes its file as ever.
TEST_F(MainFrameTest, ALongExportKeepsTheWindowRunningAndCancelLeavesNoFile) {
  c3dbuilder::Spec spec;
  spec.frames = 60000;
  spec.analogChannels = 40;
  spec.analogRatio = 4;
  spec.analogValue = [](int f, int s, int c) { return static_cast<float>((f * 4 + s + c) % 4000); };
  std::vector<std::string> channels;
  for (int c = 0; c < spec.analogChannels; ++c) channels.push_back("A" + std::to_string(c));
  c3dbuilder::AddStandardParameters(spec, {}, channels);
  const std::filesystem::path input = dir / "long.c3d";
  ASSERT_TRUE(c3dbuilder::WriteLarge(input.string(), spec));
  app->app().ExportTo = 1;
  CChildFrame* child = frame->OpenDocumentFile(QString::fromStdString(input.string()));
  ASSERT_NE(child, nullptr);
  const std::filesystem::path output = dir / "long.txt";

  int ticks = 0;
  bool cancelled = false;
  QTimer watcher;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    ++ticks;
    auto* box = frame->findChild<QProgressDialog*>(CGuiPlatform::kLongWorkBoxName);
    if (box != nullptr && !cancelled) {
      cancelled = true;
      box->findChild<QPushButton*>()->click();
    }
  });
  watcher.start(5);
  frame->FindAction("&Save\tCtrl+S")->trigger();
  watcher.stop();
  EXPECT_TRUE(cancelled);
  EXPECT_GE(ticks, 1);
  ASSERT_FALSE(std::filesystem::exists(output));
  EXPECT_EQ(frame->findChild<QProgressDialog*>(CGuiPlatform::kLongWorkBoxName), nullptr);

  frame->FindAction("&Save\tCtrl+S")->trigger();
  ASSERT_TRUE(std::filesystem::exists(output));
  EXPECT_EQ(frame->StatusPane()->text(), QString("Saved file %1 (%2 bytes)")
                                             .arg(QString::fromStdString(output.string()))
                                             .arg(std::filesystem::file_size(output)));
  // 60000 frames of 4 samples, a row each, after the heading lines.
  EXPECT_GT(std::filesystem::file_size(output), 240000u * 40u * 12u);
}

TEST_F(MainFrameTest, SaveAsAppendsTheFiltersExtensionOnlyWhenMissing) {
  KX_REQUIRE_SHARED_DATA();
  CChildFrame* child = Open("pc_int.c3d");
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->SaveAsFilters(),
            (QStringList{"DST Files (*.dst)", "Text Files (*.txt)", "OpenSim Marker Files (*.trc)",
                         "OpenSim Motion Files (*.mot)"}));
  child->SaveAsChosen(QString::fromStdString((dir / "out").string()), 1);
  EXPECT_TRUE(std::filesystem::exists(dir / "out.txt"));
  child->SaveAsChosen(QString::fromStdString((dir / "out.csv").string()), 1);
  EXPECT_TRUE(std::filesystem::exists(dir / "out.csv"));
  child->SaveAsChosen(QString::fromStdString((dir / "other").string()), 0);
  EXPECT_TRUE(std::filesystem::exists(dir / "other.dst"));
}

TEST_F(MainFrameTest, FramesCommandRefusesRangesOutsideTheRecording) {
  KX_REQUIRE_SHARED_DATA();
  CChildFrame* child = Open("pc_int.c3d");  // frames 1 to 89
  ASSERT_NE(child, nullptr);
  CDocumentBase& doc = child->Document();
  ASSERT_EQ(doc.Selection().rangeFirst, 1);
  ASSERT_EQ(doc.Selection().rangeLast, 89);

  QStringList infos;
  bool stayedOpen = false;
  OnNextModal([&](QWidget* w) {
    auto* dlg = qobject_cast<CFramesDlg*>(w);
    ASSERT_NE(dlg, nullptr);
    for (QLabel* l : dlg->findChildren<QLabel*>()) infos << l->text();
    dlg->FirstEdit()->setText("0");  // below the first frame
    dlg->LastEdit()->setText("50");
    dlg->accept();
    stayedOpen = dlg->isVisible();
    dlg->FirstEdit()->setText("10");
    dlg->accept();
  });
  child->OnFrames();
  EXPECT_TRUE(stayedOpen);
  EXPECT_TRUE(infos.contains("First Frame : 1"));
  EXPECT_TRUE(infos.contains("Last Frame : 89"));
  EXPECT_EQ(doc.Selection().rangeFirst, 10);
  EXPECT_EQ(doc.Selection().rangeLast, 50);

  // Cancel changes nothing.
  OnNextModal([](QWidget* w) {
    auto* dlg = qobject_cast<CFramesDlg*>(w);
    dlg->FirstEdit()->setText("20");
    dlg->reject();
  });
  child->OnFrames();
  EXPECT_EQ(doc.Selection().rangeFirst, 10);
}

TEST_F(MainFrameTest, ChildWindowsOpenMaximisedUnlessShowCmdSaysOtherwise) {
  KX_REQUIRE_SHARED_DATA();
  frame->show();
  CChildFrame* first = Open("pc_int.c3d");
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(frame->MdiArea()->activeSubWindow()->isMaximized());
  EXPECT_EQ(frame->Children().size(), 1);
  // Opening the same file again activates its window.
  EXPECT_EQ(Open("pc_int.c3d"), first);
  EXPECT_EQ(frame->Children().size(), 1);

  frame->MdiArea()->closeAllSubWindows();
  app->app().ShowCmd = 1;
  ASSERT_NE(Open("pc_real.c3d"), nullptr);
  EXPECT_FALSE(frame->MdiArea()->activeSubWindow()->isMaximized());
}

TEST_F(MainFrameTest, FailedOpenLeavesNoWindowAndNoRecentEntry) {
  const std::filesystem::path bad = dir / "bad.c3d";
  testsupport::WriteFile(bad, {1, 2, 3});
  OnNextModal([](QWidget* box) { box->close(); });  // the reader's error box
  EXPECT_EQ(frame->OpenDocumentFile(QString::fromStdString(bad.string())), nullptr);
  EXPECT_TRUE(frame->Children().isEmpty());
  EXPECT_TRUE(frame->RecentFiles().isEmpty());
}

TEST_F(MainFrameTest, RecentFileThatNoLongerOpensLeavesTheList) {
  KX_REQUIRE_SHARED_DATA();
  ASSERT_NE(Open("pc_int.c3d"), nullptr);
  ASSERT_NE(Open("pc_real.c3d"), nullptr);
  frame->MdiArea()->closeAllSubWindows();
  std::filesystem::remove(dir / "pc_int.c3d");
  ASSERT_EQ(frame->RecentFiles().size(), 2);
  const QString gone = frame->RecentFiles()[1];
  ASSERT_TRUE(gone.endsWith("pc_int.c3d"));

  // Its entry in the File menu.
  QAction* entry = nullptr;
  for (QAction* a : frame->menuBar()->actions()[0]->menu()->actions()) {
    if (a->isVisible() && a->data().toString() == gone) entry = a;
  }
  ASSERT_NE(entry, nullptr);
  bool reported = false;
  OnNextModal([&reported](QWidget* box) {
    reported = true;
    box->close();
  });
  entry->trigger();
  EXPECT_TRUE(reported);
  EXPECT_TRUE(frame->Children().isEmpty());
  ASSERT_EQ(frame->RecentFiles().size(), 1);
  EXPECT_TRUE(frame->RecentFiles()[0].endsWith("pc_real.c3d"));
  EXPECT_FALSE(entry->isVisible() && entry->data().toString() == gone);

  // Gone for good, and the Open button's list has only the other one.
  Restart();
  ASSERT_EQ(frame->RecentFiles().size(), 1);
  emit frame->OpenButton()->menu()->aboutToShow();
  ASSERT_EQ(frame->OpenButton()->menu()->actions().size(), 1);
  EXPECT_EQ(frame->OpenButton()->menu()->actions()[0]->text(), "&1 pc_real.c3d");
}

TEST_F(MainFrameTest, CtrlF4ClosesTheActiveDocument) {
  KX_REQUIRE_SHARED_DATA();
  frame->show();
  frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
  ASSERT_NE(Open("pc_int.c3d"), nullptr);
  ASSERT_NE(Open("pc_real.c3d"), nullptr);
  ASSERT_EQ(frame->ActiveChild()->Title(), "pc_real.c3d");
  QTest::keyClick(frame->ActiveChild()->View(), Qt::Key_F4, Qt::ControlModifier);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(frame->Children().size(), 1);
  EXPECT_EQ(frame->Children()[0]->Title(), "pc_int.c3d");
}

TEST_F(MainFrameTest, TileStacksTheWindowsFullWidth) {
  KX_REQUIRE_SHARED_DATA();
  frame->show();
  app->app().ShowCmd = 1;
  ASSERT_NE(Open("pc_int.c3d"), nullptr);
  ASSERT_NE(Open("pc_real.c3d"), nullptr);
  QList<QMdiSubWindow*> subs = frame->MdiArea()->subWindowList();
  subs[1]->showMinimized();
  const QRect minimised = subs[1]->geometry();
  app->app().ShowCmd = 3;
  ASSERT_NE(Open("Eb015pi.c3d"), nullptr);
  subs = frame->MdiArea()->subWindowList();
  ASSERT_EQ(subs.size(), 3);
  ASSERT_TRUE(subs[1]->isMinimized());
  ASSERT_TRUE(subs[2]->isMaximized());

  frame->FindAction("&Tile")->trigger();
  const QRect area = frame->MdiArea()->viewport()->rect();
  const QRect first = subs[0]->geometry();
  const QRect last = subs[2]->geometry();
  EXPECT_FALSE(subs[0]->isMaximized());
  EXPECT_FALSE(subs[2]->isMaximized());
  EXPECT_EQ(first, QRect(area.left(), area.top(), area.width(), area.height() / 2));
  EXPECT_EQ(last.top(), first.bottom() + 1);
  EXPECT_EQ(last.left(), area.left());
  EXPECT_EQ(last.width(), area.width());
  EXPECT_EQ(last.bottom(), area.bottom());
  // A minimised window keeps its place among the icons.
  EXPECT_TRUE(subs[1]->isMinimized());
  EXPECT_EQ(subs[1]->geometry(), minimised);
}

// Cascade keeps the windows' staggered places but gives each a size to work
// in, not the bare title bar the window library leaves.
TEST_F(MainFrameTest, CascadeGivesTheWindowsAUsefulSize) {
  frame->resize(1000, 700);
  frame->show();
  for (const char* name : {"a.c3d", "b.c3d", "c.c3d"}) {
    testsupport::WriteTrial(dir / name);
    ASSERT_NE(frame->OpenDocumentFile(QString::fromStdString((dir / name).string())), nullptr);
  }
  frame->FindAction("&Cascade")->trigger();
  const QRect area = frame->MdiArea()->viewport()->rect();
  const QList<QMdiSubWindow*> subs = frame->MdiArea()->subWindowList();
  ASSERT_EQ(subs.size(), 3);
  for (int i = 0; i < subs.size(); ++i) {
    const QRect r = subs[i]->geometry();
    EXPECT_FALSE(subs[i]->isMaximized()) << i;
    EXPECT_GE(r.width(), area.width() / 2) << i;
    EXPECT_GE(r.height(), area.height() / 2) << i;
    EXPECT_TRUE(area.contains(r)) << i;
    EXPECT_EQ(r.size(), subs[0]->size()) << i;
    if (i > 0) {
      // Each one down and to the right of the one before: the title bars stay in view.
      EXPECT_GT(r.left(), subs[i - 1]->x()) << i;
      EXPECT_GT(r.top(), subs[i - 1]->y()) << i;
    }
  }
}

TEST_F(MainFrameTest, RecentFilesAndDroppedFilesOpen) {
  KX_REQUIRE_SHARED_DATA();
  const std::filesystem::path a = CopyRecording(dir.path(), "pc_int.c3d");
  const std::filesystem::path b = CopyRecording(dir.path(), "pc_real.c3d");

  // Dropping two files opens both.
  frame->show();
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(a.string())),
                QUrl::fromLocalFile(QString::fromStdString(b.string()))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(frame.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(frame.get(), &drop);
  EXPECT_EQ(frame->Children().size(), 2);
  ASSERT_EQ(frame->RecentFiles().size(), 2);
  EXPECT_TRUE(frame->RecentFiles()[0].endsWith("pc_real.c3d"));

  // The Open button's drop-down lists them by name, most recent first.
  QMenu* menu = frame->OpenButton()->menu();
  ASSERT_NE(menu, nullptr);
  emit menu->aboutToShow();
  ASSERT_EQ(menu->actions().size(), 2);
  EXPECT_EQ(menu->actions()[0]->text(), "&1 pc_real.c3d");
  EXPECT_EQ(menu->actions()[1]->text(), "&2 pc_int.c3d");

  // The list survives a restart; choosing an entry opens the file.
  Restart();
  ASSERT_EQ(frame->RecentFiles().size(), 2);
  emit frame->OpenButton()->menu()->aboutToShow();
  frame->OpenButton()->menu()->actions()[1]->trigger();
  ASSERT_EQ(frame->Children().size(), 1);
  EXPECT_EQ(frame->Children()[0]->Title(), "pc_int.c3d");
}

// Trials of a study are often all called alike in folders of their own: the
// recent-file entries of one name show the folders that tell them apart,
// the others stay as they were.
TEST_F(MainFrameTest, RecentEntriesOfOneNameShowTheirFolders) {
  for (const char* folder : {"study1/day", "study2/day", "study3"}) {
    std::filesystem::create_directories(dir / folder);
    testsupport::WriteTrial(dir / folder / "Gait.c3d");
    ASSERT_NE(frame->OpenDocumentFile(QString::fromStdString((dir / folder / "Gait.c3d").string())),
              nullptr);
  }
  testsupport::WriteTrial(dir / "Run.c3d");
  ASSERT_NE(frame->OpenDocumentFile(QString::fromStdString((dir / "Run.c3d").string())), nullptr);

  QMenu* menu = frame->OpenButton()->menu();
  emit menu->aboutToShow();
  QStringList texts;
  for (QAction* a : menu->actions()) texts << a->text();
  const QStringList expected{"&1 Run.c3d", "&2 study3/Gait.c3d", "&3 study2/day/Gait.c3d",
                             "&4 study1/day/Gait.c3d"};
  EXPECT_EQ(texts, expected);

  // The File menu shortens long paths to their first folder and file name;
  // alike names keep their telling folders there too.
  QStringList fileMenu;
  for (QAction* a : frame->menuBar()->actions()[0]->menu()->actions()) {
    if (a->isVisible() && a->data().isValid()) fileMenu << a->text();
  }
  ASSERT_EQ(fileMenu.size(), 4);
  for (int i = 1; i < 4; ++i) {
    const QString tail = expected[i].mid(3);
    EXPECT_TRUE(fileMenu[i].endsWith(QLatin1Char('/') + tail)) << fileMenu[i].toStdString();
  }
}

TEST_F(MainFrameTest, OpenDialogStartsInStartDirAndRemembersTheFolder) {
  KX_REQUIRE_SHARED_DATA();
  const std::filesystem::path sub = dir / "trials";
  std::filesystem::create_directories(sub);
  const std::filesystem::path file = CopyRecording(sub, "pc_int.c3d");
  app->app().WriteStartDir(sub.string() + "/");
  QString shownDir;
  QString shownFilter;
  OnNextModal([&](QWidget* w) {
    auto* dlg = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dlg, nullptr);
    shownDir = dlg->directory().absolutePath();
    shownFilter = dlg->selectedNameFilter();
    dlg->selectFile(QString::fromStdString(file.string()));
    static_cast<QDialog*>(dlg)->accept();  // the file dialog's own OK
    // Its OK can be turned down while the dialog's folder model is still
    // being filled in the background; the name is chosen, so close it as OK.
    if (dlg->isVisible()) static_cast<QDialog*>(dlg)->done(QDialog::Accepted);
  });
  frame->OnFileOpen();
  EXPECT_EQ(shownDir.toStdString(), sub.string());
  EXPECT_TRUE(shownFilter.startsWith("All Supported Files"));
  ASSERT_EQ(frame->Children().size(), 1);
  EXPECT_EQ(app->app().ReadStartDir(), sub.string() + "/");
  EXPECT_EQ(CMainFrame::OpenFilters().value(3), "CODAS Files (*.dat,*.wdq) (*.dat *.wdq)");
}

TEST_F(MainFrameTest, LoggingCommandCopiesBackOnlyOnOk) {
  app->app().logSettings.Log = 0;
  OnNextModal([](QWidget* w) {
    auto* dlg = qobject_cast<CLoggingDlg*>(w);
    ASSERT_NE(dlg, nullptr);
    dlg->LogCheck()->setChecked(true);
    dlg->FileEdit()->setText("/tmp/other.log");
    dlg->reject();
  });
  frame->OnLogging();
  EXPECT_EQ(app->app().logSettings.Log, 0);
  OnNextModal([](QWidget* w) {
    auto* dlg = qobject_cast<CLoggingDlg*>(w);
    dlg->LogCheck()->setChecked(true);
    dlg->ErrorsOnlyCheck()->setChecked(false);
    dlg->FileEdit()->setText("/tmp/other.log");
    dlg->accept();
  });
  frame->OnLogging();
  EXPECT_EQ(app->app().logSettings.Log, 1);
  EXPECT_EQ(app->app().logSettings.LogErrorOnly, 0);
  EXPECT_EQ(app->app().logSettings.LogFile, "/tmp/other.log");
}

TEST_F(MainFrameTest, ProgressBarShowsOnlyDuringWork) {
  CPlatform& ui = frame->GuiPlatform();
  frame->show();
  EXPECT_FALSE(frame->ProgressBar()->isVisible());
  ui.ProgressBegin(4);
  EXPECT_TRUE(frame->ProgressBar()->isVisible());
  ui.ProgressStep();
  ui.ProgressStep();
  EXPECT_EQ(frame->ProgressBar()->value(), 2);
  ui.ProgressEnd();
  EXPECT_FALSE(frame->ProgressBar()->isVisible());
  ui.SetStatusText("Saving to file x");
  EXPECT_EQ(frame->StatusPane()->text(), "Saving to file x");
}

TEST_F(MainFrameTest, PlacementAndBarsComeBackAfterARestart) {
  frame->InitialShow();
  frame->setGeometry(40, 50, 500, 400);
  frame->ToolBar()->hide();
  Restart();
  frame->InitialShow();
  EXPECT_EQ(frame->geometry(), QRect(40, 50, 500, 400));
  EXPECT_FALSE(frame->ToolBar()->isVisible());
  EXPECT_TRUE(frame->statusBar()->isVisible());

  // Maximised comes back maximised, with the restored rectangle kept.
  frame->ToolBar()->show();
  frame->showMaximized();
  QTest::qWait(20);
  Restart();
  const std::optional<CWindowPlacement> stored =
      ParseWindowPos(app->app().ReadWindowPos().value_or(""));
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->flags, kRestoreToMaximized);
  EXPECT_EQ(stored->showCmd, kShowMaximized);
  EXPECT_EQ(
      QRect(stored->left, stored->top, stored->right - stored->left, stored->bottom - stored->top),
      QRect(40, 50, 500, 400));
  frame->InitialShow();
  EXPECT_TRUE(frame->isMaximized());
  EXPECT_TRUE(frame->ToolBar()->isVisible());
}

TEST_F(MainFrameTest, StatusBarTickFollowsTheBarAcrossRestarts) {
  auto tick = [this] { return frame->FindAction("&Status Bar"); };
  // Shown (once the window is) and ticked, or neither.
  auto expectBar = [this, &tick](bool shown) {
    EXPECT_EQ(frame->statusBar()->isVisible(), shown);
    EXPECT_EQ(tick()->isChecked(), shown);
  };
  ASSERT_NE(tick(), nullptr);
  EXPECT_TRUE(tick()->isChecked());  // before the window is shown
  frame->InitialShow();
  expectBar(true);
  Restart();
  EXPECT_TRUE(tick()->isChecked());
  frame->InitialShow();
  expectBar(true);

  // The first click hides the bar; it stays hidden, unticked, after a restart.
  tick()->trigger();
  expectBar(false);
  Restart();
  frame->InitialShow();
  expectBar(false);
  tick()->trigger();
  expectBar(true);

  // A window closed without ever being shown keeps the bar's setting.
  Restart();
  Restart();
  frame->InitialShow();
  expectBar(true);
}

TEST_F(MainFrameTest, PlacementStoredAtAnotherScaleComesBackWhollyOnScreen) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  auto store = [this](const QRect& r) {
    app->app().WriteWindowPos(
        Format("0,1,-1,-1,-1,-1,%d,%d,%d,%d", r.left(), r.top(), r.right() + 1, r.bottom() + 1));
  };
  // Saved at twice the scale: a rectangle of a screen twice as large.
  store(QRect(screen.left() + screen.width() / 2, screen.top() + screen.height() / 3,
              screen.width() * 3 / 2, screen.height() * 3 / 2));
  frame->InitialShow();
  EXPECT_TRUE(screen.contains(frame->frameGeometry()));
  EXPECT_EQ(frame->frameGeometry().size(), screen.size());

  // One that would fit but was left hanging off the bottom right: moved, not shrunk.
  Restart();
  store(QRect(screen.right() - 200, screen.bottom() - 100, 400, 300));
  frame->InitialShow();
  EXPECT_TRUE(screen.contains(frame->frameGeometry()));
  EXPECT_EQ(frame->geometry().size(), QSize(400, 300));
  EXPECT_EQ(frame->frameGeometry().bottomRight(), screen.bottomRight());
}

TEST_F(MainFrameTest, MalformedWindowPosIsIgnored) {
  app->app().WriteWindowPos("1,3,-1,-1,-1,-1,40,50,540");  // nine numbers
  frame->InitialShow();
  EXPECT_TRUE(frame->isVisible());
  EXPECT_FALSE(frame->isMaximized());
  EXPECT_EQ(app->app().ReadWindowPos().value_or(""), "1,3,-1,-1,-1,-1,40,50,540");
}

}  // namespace
