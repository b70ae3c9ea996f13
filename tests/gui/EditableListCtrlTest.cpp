#include "gui/EditableListCtrl.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTest>

#include "GuiTestSupport.h"

namespace {

struct Edit {
  int row;
  int column;
  bool cancelled;
  QString text;
};

class EditableListCtrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    guitest::App();
    list.setColumnCount(3);
    list.setRowCount(3);
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c)
        list.setItem(r, c, new QTableWidgetItem(QString("%1%2").arg(r).arg(c)));
    }
    list.SetColumnEditor(2, kDropDownList);
    list.SetColumnChoices(2, {"Yes", "No"}, 1);
    list.resize(400, 200);
    list.show();
    QObject::connect(&list, &CEditableListCtrl::editFinished,
                     [this](int r, int c, bool x, const QString& t) {
                       edits.push_back({r, c, x, t});
                     });
  }

  void DoubleClickCell(int row, int column) {
    const QRect cell = list.visualRect(list.model()->index(row, column));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, cell.center());
  }

  CEditableListCtrl list;
  std::vector<Edit> edits;
};

TEST_F(EditableListCtrlTest, FirstDoubleClickSelectsSecondEdits) {
  list.setCurrentCell(0, 0);
  DoubleClickCell(1, 1);
  EXPECT_EQ(list.currentRow(), 1);
  EXPECT_EQ(list.Editor(), nullptr);
  DoubleClickCell(1, 1);
  ASSERT_NE(list.Editor(), nullptr);
  auto* edit = qobject_cast<CInPlaceEdit*>(list.Editor());
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->text(), "11");
  QTest::keyClicks(edit, "new");
  QTest::keyClick(edit, Qt::Key_Return);
  ASSERT_EQ(edits.size(), 1u);
  EXPECT_FALSE(edits[0].cancelled);
  EXPECT_EQ(edits[0].text, "new");
  EXPECT_EQ(list.item(1, 1)->text(), "new");
  EXPECT_EQ(list.Editor(), nullptr);
}

TEST_F(EditableListCtrlTest, EscapeLeavesTheCellUnchanged) {
  ASSERT_TRUE(list.EditCell(2, 1));
  auto* edit = qobject_cast<CInPlaceEdit*>(list.Editor());
  ASSERT_NE(edit, nullptr);
  QTest::keyClicks(edit, "zzz");
  QTest::keyClick(edit, Qt::Key_Escape);
  ASSERT_EQ(edits.size(), 1u);
  EXPECT_TRUE(edits[0].cancelled);
  EXPECT_EQ(list.item(2, 1)->text(), "21");
}

TEST_F(EditableListCtrlTest, FirstColumnAndDisabledEditingStartNothing) {
  EXPECT_FALSE(list.EditCell(0, 0));
  list.SetFirstColumnEditable(true);
  EXPECT_TRUE(list.EditCell(0, 0));
  list.EndEdit();
  list.EnableEditing(false);
  EXPECT_FALSE(list.EditCell(0, 1));
  list.EnableEditing(true);
  EXPECT_FALSE(list.EditCell(5, 1));
  list.horizontalHeader()->setMinimumSectionSize(0);
  list.setColumnWidth(1, 4);
  EXPECT_FALSE(list.EditCell(0, 1));
  list.SetColumnEditor(1, 7);  // an unknown kind
  list.setColumnWidth(1, 80);
  EXPECT_FALSE(list.EditCell(0, 1));
}

TEST_F(EditableListCtrlTest, DropDownOffersTheColumnsChoices) {
  ASSERT_TRUE(list.EditCell(0, 2));
  auto* combo = qobject_cast<CInPlaceCombo*>(list.Editor());
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->count(), 2);
  EXPECT_EQ(combo->currentText(), "No");
  combo->setCurrentIndex(0);
  QTest::keyClick(combo, Qt::Key_Return);
  ASSERT_EQ(edits.size(), 1u);
  EXPECT_EQ(edits[0].text, "Yes");
  EXPECT_EQ(list.item(0, 2)->text(), "Yes");
}

TEST_F(EditableListCtrlTest, EditorSitsInsideItsCell) {
  ASSERT_TRUE(list.EditCell(1, 1));
  const QRect cell = list.visualRect(list.model()->index(1, 1));
  const QRect editor = list.Editor()->geometry();
  EXPECT_EQ(editor.left(), cell.left() + 4);
  EXPECT_EQ(editor.right(), cell.right() - 3);
  list.EndEdit();
  ASSERT_EQ(edits.size(), 1u);
  EXPECT_FALSE(edits[0].cancelled);
}

}  // namespace
