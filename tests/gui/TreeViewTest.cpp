// A real recording opened in the main window: its tree, the item model under
// QAbstractItemModelTester, and double-clicks on branches and items.

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QMdiSubWindow>
#include <QTest>
#include <QTreeView>

#include "GuiTestSupport.h"
#include "documents/TreeItems.h"
#include "gui/ChildFrame.h"
#include "gui/TreeModel.h"

namespace {

using guitest::CopyRecording;
using guitest::TestApp;

class TreeViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app = std::make_unique<TestApp>(dir.path());
    frame = std::make_unique<CMainFrame>(app->app());
    frame->show();
  }
  void TearDown() override {
    frame.reset();
    app.reset();
  }

  // Opens pc_int.c3d (36 points, 16 channels, frames 1 to 89).
  CChildFrame* OpenSample() {
    const std::filesystem::path file = CopyRecording(dir.path(), "pc_int.c3d");
    if (file.empty()) return nullptr;
    return frame->OpenDocumentFile(QString::fromStdString(file.string()));
  }

  QModelIndex IndexOf(CChildFrame* child, std::uint64_t code) {
    return child->Model()->IndexOfItem(child->Tree().FindByCode(code));
  }
  int Image(CChildFrame* child, std::uint64_t code) {
    return IndexOf(child, code).data(CTreeModel::ImageRole).toInt();
  }

  // A real double-click on the row of `index`.
  void DoubleClick(CChildFrame* child, const QModelIndex& index) {
    QTreeView* view = child->View();
    view->scrollTo(index);
    const QPoint at = view->visualRect(index).center();
    ASSERT_EQ(view->indexAt(at), index);
    // What a mouse sends: a click, then the double-click and its release.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
  }

  testsupport::TempDir dir;
  std::unique_ptr<TestApp> app;
  std::unique_ptr<CMainFrame> frame;
};

TEST_F(TreeViewTest, ShowsTheRecordingAsATreeWithCodesAndImages) {
  KX_REQUIRE_SHARED_DATA();
  CChildFrame* child = OpenSample();
  ASSERT_NE(child, nullptr);
  CTreeModel* model = child->Model();
  QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);

  ASSERT_EQ(model->rowCount(), 1);
  const QModelIndex root = model->index(0, 0);
  EXPECT_EQ(root.data().toString(), "pc_int.c3d");
  EXPECT_EQ(root.data(CTreeModel::ImageRole).toInt(), kImagePage);
  EXPECT_EQ(root.data(CTreeModel::CodeRole).toULongLong(), 0u);
  ASSERT_EQ(model->rowCount(root), 3);
  EXPECT_EQ(model->index(0, 0, root).data().toString(), "Header Information");
  EXPECT_EQ(model->index(1, 0, root).data().toString(), "Parameters");
  EXPECT_EQ(model->index(2, 0, root).data().toString(), "Data");
  EXPECT_EQ(model->index(1, 0, root).data(CTreeModel::CodeRole).toULongLong(), 2u);

  const CRecording& rec = child->Document().Reader();
  const QModelIndex params = model->index(1, 0, root);
  EXPECT_EQ(model->rowCount(params), rec.paramSet.GroupCount());
  const QModelIndex group0 = model->index(0, 0, params);
  EXPECT_EQ(group0.data().toString().toStdString(), rec.paramSet.groups[0].name);
  EXPECT_EQ(group0.data(CTreeModel::CodeRole).toULongLong(), 2100u);

  const QModelIndex data = model->index(2, 0, root);
  ASSERT_EQ(model->rowCount(data), 2);
  const QModelIndex analog = model->index(0, 0, data);
  const QModelIndex marker = model->index(1, 0, data);
  EXPECT_EQ(analog.data().toString(), "Analog");
  EXPECT_EQ(marker.data().toString(), "Marker");
  EXPECT_EQ(model->rowCount(analog), 16);
  EXPECT_EQ(model->rowCount(marker), 36);
  EXPECT_EQ(model->index(3, 0, marker).data(CTreeModel::CodeRole).toULongLong(), 3203u);
  EXPECT_EQ(model->index(15, 0, analog).data(CTreeModel::CodeRole).toULongLong(), 3115u);

  // No item is expanded by the build.
  EXPECT_FALSE(child->View()->isExpanded(root));
  // Images follow the selection: everything selected after the open with
  // the default settings.
  EXPECT_EQ(Image(child, 1), child->Document().Selection().header ? kImageChecked : 0);
  EXPECT_EQ(Image(child, 3), child->Document().States().data);
  EXPECT_FALSE(root.data(Qt::DecorationRole).value<QIcon>().isNull());
}

TEST_F(TreeViewTest, DoubleClicksEditTheDocumentsSelection) {
  KX_REQUIRE_SHARED_DATA();
  CChildFrame* child = OpenSample();
  ASSERT_NE(child, nullptr);
  QAbstractItemModelTester tester(child->Model(),
                                  QAbstractItemModelTester::FailureReportingMode::Fatal);
  CDocumentBase& doc = child->Document();
  QTreeView* view = child->View();
  view->expandAll();

  // The root changes no flag but still expands or collapses.
  const CExportSelection before = doc.Selection();
  const QModelIndex root = IndexOf(child, 0);
  DoubleClick(child, root);
  EXPECT_EQ(doc.Selection().groups, before.groups);
  EXPECT_EQ(doc.Selection().analog, before.analog);
  EXPECT_FALSE(view->isExpanded(root));
  view->expandAll();

  // A group: its own flag only; "Parameters" becomes partly selected.
  child->DoubleClickItem(IndexOf(child, 2100));
  EXPECT_EQ(doc.Selection().groups[0], '0');
  EXPECT_EQ(doc.Selection().params, before.params);
  EXPECT_EQ(Image(child, 2100), kImageUnchecked);
  EXPECT_EQ(Image(child, 2), kImagePartial);

  // "Parameters" while partly selected: everything off; again: everything on.
  DoubleClick(child, IndexOf(child, 2));
  EXPECT_EQ(doc.Selection().groups.find('1'), std::string::npos);
  EXPECT_EQ(doc.Selection().params.find('1'), std::string::npos);
  EXPECT_EQ(doc.States().parameters, 0);
  EXPECT_EQ(Image(child, 2), kImageUnchecked);
  child->DoubleClickItem(IndexOf(child, 2));
  EXPECT_EQ(doc.Selection().groups.find('0'), std::string::npos);
  EXPECT_EQ(doc.States().parameters, 1);

  // "Marker": every point off, the analog channels kept.
  DoubleClick(child, IndexOf(child, 32));
  EXPECT_EQ(doc.Selection().points, std::string(36, '0'));
  EXPECT_EQ(doc.Selection().analog, std::string(16, '1'));
  EXPECT_EQ(doc.States().data, 2);
  EXPECT_EQ(Image(child, 3), kImagePartial);

  // One channel; one point back on.
  child->DoubleClickItem(IndexOf(child, 3105));
  EXPECT_EQ(doc.Selection().analog[5], '0');
  EXPECT_EQ(Image(child, 31), kImagePartial);
  child->DoubleClickItem(IndexOf(child, 3200));
  EXPECT_EQ(doc.Selection().points[0], '1');

  // The header inverts its flag.
  const int header = doc.Selection().header;
  child->DoubleClickItem(IndexOf(child, 1));
  EXPECT_NE(doc.Selection().header, header);
  EXPECT_EQ(Image(child, 1), doc.Selection().header ? kImageChecked : kImageUnchecked);

  // No item: nothing happens.
  child->DoubleClickItem(QModelIndex());
}

TEST_F(TreeViewTest, LinesJoinItemsToTheirParents) {
  KX_REQUIRE_SHARED_DATA();
  CChildFrame* child = OpenSample();
  ASSERT_NE(child, nullptr);
  QTreeView* view = child->View();
  view->expand(IndexOf(child, 0));
  // "Header Information" has no children: left of it there is only its line.
  const QRect row = view->visualRect(IndexOf(child, 1));
  const int step = view->indentation();
  ASSERT_GT(row.left(), step);
  const QImage shot = view->viewport()->grab().toImage();
  const QColor base = view->palette().color(QPalette::Base);
  const int ratio = qRound(shot.devicePixelRatio());
  int inked = 0;
  for (int y = row.top(); y <= row.bottom(); ++y) {
    for (int x = row.left() - step; x < row.left(); ++x) {
      inked += shot.pixelColor(x * ratio, y * ratio) != base ? 1 : 0;
    }
  }
  // A horizontal and a vertical line, not a few stray pixels.
  EXPECT_GE(inked, row.height());
}

}  // namespace
