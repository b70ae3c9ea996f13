// The Batch File Processing dialog over the main window: the list it shows,
// the overwrite question, the status line and the documents it leaves open.

#include "gui/BatchDlg.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <fstream>

#include "GuiTestSupport.h"
#include "c3dbuilder/C3dBuilder.h"
#include "gui/OverwriteDlg.h"

namespace {

using guitest::OnNextModal;

using testsupport::WriteTrial;

QStringList RowTexts(const QTableWidget* list, int row) {
  QStringList texts;
  for (int c = 0; c < list->columnCount(); ++c) texts << list->item(row, c)->text();
  return texts;
}

TEST(BatchDlgTest, ListExportAndTheOverwriteQuestion) {
  testsupport::TempDir dir;
  guitest::TestApp test(dir.path());
  test.app().ExportTo = 0;
  CMainFrame frame(test.app());
  WriteTrial(dir / "walk.c3d");
  testsupport::WriteFile(dir / "a.dst", {'o', 'l', 'd'});
  std::ofstream(dir / "list.txt") << "walk.c3d\n\nwalk.c3d,a.dst,2,3\nwalk.c3d , b.dst\n";

  // The command opens the dialog.
  QString title;
  OnNextModal([&](QWidget* w) {
    title = w->windowTitle();
    w->close();
  });
  frame.FindAction("Batch File...")->trigger();
  EXPECT_EQ(title, "Batch File Processing");

  CBatchDlg dlg(test.app(), &frame);
  QTableWidget* list = dlg.List();
  QStringList headers;
  for (int c = 0; c < list->columnCount(); ++c) headers << list->horizontalHeaderItem(c)->text();
  EXPECT_EQ(headers, (QStringList{"Input File", "Output File", "Start Frame", "End Frame"}));
  EXPECT_EQ(list->columnWidth(0), 200);
  EXPECT_GE(list->columnWidth(3), 60);  // wider when its heading needs it

  const QString listFile = QString::fromStdString((dir / "list.txt").string());
  dlg.LoadList(listFile);
  EXPECT_EQ(dlg.ListFile(), listFile);
  ASSERT_EQ(list->rowCount(), 3);
  EXPECT_EQ(RowTexts(list, 0), (QStringList{"walk.c3d", "walk.dst", "-1", "-1"}));
  EXPECT_EQ(RowTexts(list, 1), (QStringList{"walk.c3d", "a.dst", "2", "3"}));

  // The existing a.dst is asked about while its row shows in the status line.
  QString question;
  QString status;
  OnNextModal([&](QWidget* w) {
    auto* ask = qobject_cast<COverwriteDlg*>(w);
    ASSERT_NE(ask, nullptr);
    question = ask->findChild<QLabel*>()->text();
    status = dlg.StatusText();
    ask->Button(COverwriteDlg::kNo)->click();
  });
  const CBatchResult result = dlg.Export();
  EXPECT_EQ(status, "Exporting from walk.c3d To a.dst");
  EXPECT_EQ(question, QString::fromStdString("The File " + (dir / "a.dst").string() +
                                             " already exists.\nDo you want to overwrite it?"));
  EXPECT_EQ(result.written, 2u);
  EXPECT_EQ(result.notWritten, 1u);
  EXPECT_EQ(testsupport::ReadFileText(dir / "a.dst"), "old");
  EXPECT_TRUE(std::filesystem::exists(dir / "walk.dst"));
  EXPECT_TRUE(std::filesystem::exists(dir / "b.dst"));
  // No document is left open, not even the one answered No.
  EXPECT_TRUE(frame.Children().isEmpty());
  EXPECT_EQ(dlg.StatusText(), "");
  EXPECT_FALSE(test.app().overwriteAll);

  // A list that cannot be read leaves the list empty and says so.
  QString said;
  OnNextModal([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    said = box->text();
    box->accept();
  });
  dlg.LoadList(QString::fromStdString((dir / "none.txt").string()));
  EXPECT_EQ(said, "Unable to Open the selected file");
  EXPECT_EQ(list->rowCount(), 0);
}

}  // namespace
