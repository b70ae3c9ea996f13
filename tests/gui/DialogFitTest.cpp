// Dialogs and tables sized by what they show: no heading cut short, and a
// tabbed sheet that opens with all of its tabs in view.

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeView>

#include "GuiTestSupport.h"
#include "c3dbuilder/C3dBuilder.h"
#include "gui/BatchDlg.h"
#include "gui/ChildFrame.h"
#include "gui/DetailsPane.h"
#include "gui/EditableListCtrl.h"
#include "gui/TreeModel.h"
#include "gui/VdoInfoSheet.h"

namespace {

// Every column of `table` at least as wide as its heading needs.
void ExpectHeadingsWhole(const QTableView* table, const char* what) {
  const QHeaderView* header = table->horizontalHeader();
  for (int c = 0; c < header->count(); ++c) {
    EXPECT_GE(table->columnWidth(c), header->sectionSizeHint(c)) << what << " column " << c;
  }
}

TEST(DialogFitTest, TablesShowEveryHeadingWhole) {
  testsupport::TempDir dir;
  guitest::TestApp test(dir.path());
  CMainFrame frame(test.app());
  frame.resize(1000, 700);
  frame.show();

  // "Start Frame" and "End Frame" over columns made for numbers.
  CBatchDlg batch(test.app(), &frame);
  batch.show();
  ExpectHeadingsWhole(batch.List(), "batch");

  // The VDO sheet: both lists, and its three tabs without scroll arrows.
  const std::string plates = "111111";
  CVdoInfoSheet sheet({{"LHEE"}, {"L HEEL"}, {"$Trial,1"}}, &plates);
  sheet.show();
  ExpectHeadingsWhole(sheet.LabelsPage()->List(), "labels");
  ExpectHeadingsWhole(sheet.ExtraPage()->List(), "other data");
  EXPECT_LE(sheet.Pages()->tabBar()->sizeHint().width(), sheet.Pages()->tabBar()->width());

  // A parameter group's table: "Dimensions" heads cells as short as "[]".
  c3dbuilder::Spec s;
  s.frames = 3;
  s.analogChannels = 1;
  c3dbuilder::AddStandardParameters(s, {}, {"A"});
  const auto bytes = c3dbuilder::Build(s);
  testsupport::WriteFile(dir / "walk.c3d", {bytes.begin(), bytes.end()});
  CChildFrame* child = frame.OpenDocumentFile(QString::fromStdString((dir / "walk.c3d").string()));
  ASSERT_NE(child, nullptr);
  child->View()->expandAll();
  child->View()->setCurrentIndex(child->Model()->IndexOfItem(child->Tree().FindByCode(2101)));
  ASSERT_EQ(child->Pane()->Title()->text(), "ANALOG");
  ExpectHeadingsWhole(child->Pane()->Table(0), "group");
}

}  // namespace
