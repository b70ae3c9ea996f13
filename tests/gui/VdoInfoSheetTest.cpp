#include "gui/VdoInfoSheet.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <fstream>

#include "GuiTestSupport.h"
#include "c3dbuilder/C3dBuilder.h"
#include "gui/EditableListCtrl.h"
#include "gui/GuiText.h"

namespace {

constexpr char kIni[] =
    "; translations of the gait laboratory\n"
    "[vdolabels]\n"
    "label1=LHEE,L HEEL\n"
    "label2=RHEE,R HEEL\n"
    "[vdoextra]\n"
    "extra1=$Trial,1,2\n"
    "[other]\n"
    "keep=1\n";

// Types `text` into cell (row, column) and commits it.
void EditCell(CEditableListCtrl* list, int row, int column, const QString& text) {
  ASSERT_TRUE(list->EditCell(row, column));
  auto* edit = qobject_cast<CInPlaceEdit*>(list->Editor());
  ASSERT_NE(edit, nullptr);
  edit->setText(text);
  QTest::keyClick(edit, Qt::Key_Return);
}

// The same for an edit the page must refuse: the text of its message box.
QString RefusedEdit(CEditableListCtrl* list, int row, int column, const QString& text) {
  QString shown;
  guitest::OnNextModal([&](QWidget* w) {
    if (auto* box = qobject_cast<QMessageBox*>(w)) shown = box->text();
    static_cast<QDialog*>(w)->accept();
  });
  EditCell(list, row, column, text);
  return shown;
}

QStringList Column(const CEditableListCtrl* list, int column) {
  QStringList cells;
  for (int r = 0; r < list->rowCount(); ++r) cells << list->item(r, column)->text();
  return cells;
}

TEST(VdoInfoSheetTest, PagesEditCopiesAndRefuseEmptyNamesAndCommas) {
  guitest::App();
  LabelTranslations lists{{"LHEE", "RHEE"}, {"L HEEL", "R HEEL"}, {"$Trial,1,2"}};
  const std::string plates =
      "1101111111110"
      "1";  // 13 flags: two plates
  CVdoInfoSheet sheet(lists, &plates);
  sheet.show();
  QTabWidget* tabs = sheet.Pages();
  ASSERT_EQ(tabs->count(), 3);
  EXPECT_EQ(tabs->tabText(0), "Labels");
  EXPECT_EQ(tabs->tabText(1), "Other Data");
  EXPECT_EQ(tabs->tabText(2), "Channel Selection");
  EXPECT_EQ(sheet.windowTitle(), "VDO Information");

  CPageVdoLabels* labels = sheet.LabelsPage();
  CEditableListCtrl* list = labels->List();
  labels->AddButton()->click();
  labels->AddButton()->click();
  EXPECT_EQ(Column(list, 0), (QStringList{"LHEE", "RHEE", "XXXX", "XXXX"}));
  EXPECT_EQ(Column(list, 1), (QStringList{"L HEEL", "R HEEL", "NewXXXX", "NewXXXX"}));

  EXPECT_EQ(RefusedEdit(list, 0, 1, "Left,Heel"), "A name may not contain a comma");
  EXPECT_EQ(list->item(0, 1)->text(), "L HEEL");
  EXPECT_EQ(RefusedEdit(list, 2, 0, ""), "The label cannot be empty");
  EXPECT_EQ(RefusedEdit(list, 2, 1, ""), "The New label name cannot be empty");
  EditCell(list, 2, 0, "LTOE");
  EXPECT_EQ(list->item(2, 0)->text(), "LTOE");

  // Two rows selected: Delete deletes nothing; one row: that row.
  list->selectRow(0);
  list->selectionModel()->select(list->model()->index(3, 0),
                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
  labels->DeleteButton()->click();
  EXPECT_EQ(list->rowCount(), 4);
  list->clearSelection();
  list->selectRow(3);
  labels->DeleteButton()->click();
  EXPECT_EQ(Column(list, 0), (QStringList{"LHEE", "RHEE", "LTOE"}));

  CPageVdoExtra* extra = sheet.ExtraPage();
  EXPECT_EQ(Column(extra->List(), 1), (QStringList{"1"}));
  EditCell(extra->List(), 0, 1, "5");
  EXPECT_EQ(RefusedEdit(extra->List(), 0, 0, "$A,B"), "A name may not contain a comma");
  EXPECT_EQ(RefusedEdit(extra->List(), 0, 1, ""), "The value cannot be empty");
  extra->AddButton()->click();
  EXPECT_EQ(Column(extra->List(), 0), (QStringList{"$Trial", "$Var"}));

  const LabelTranslations edited = sheet.Lists();
  EXPECT_EQ(edited.sourceNames, (std::vector<std::string>{"LHEE", "RHEE", "LTOE"}));
  EXPECT_EQ(edited.dstNames, (std::vector<std::string>{"L HEEL", "R HEEL", "NewXXXX"}));
  EXPECT_EQ(edited.extraLines, (std::vector<std::string>{"$Trial,5", "$Var,Value"}));
  // The pages edited copies.
  EXPECT_EQ(lists.sourceNames.size(), 2u);

  QListWidget* channels = sheet.SelectPage()->List();
  ASSERT_EQ(channels->count(), 12);
  EXPECT_EQ(channels->item(0)->text(), "ForcePlate1FX");
  EXPECT_EQ(channels->item(10)->text(), "ForcePlate2DY");
  EXPECT_EQ(channels->item(2)->checkState(), Qt::Unchecked);
  channels->item(0)->setCheckState(Qt::Unchecked);
  EXPECT_EQ(sheet.SelectPage()->Selection(), "010111111111");
}

class VdoInformationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(ini, std::ios::binary) << kIni;
    app.app().UseIniFile(ini);
    app.app().LoadLabelTranslations();
    app.app().LoadVdoExtraLines();
  }
  // Runs the command; `act` works the sheet and closes it.
  bool Run(std::string* plates, std::function<void(CVdoInfoSheet&)> act) {
    guitest::OnNextModal([act](QWidget* w) {
      auto* sheet = qobject_cast<CVdoInfoSheet*>(w);
      ASSERT_NE(sheet, nullptr);
      act(*sheet);
    });
    return RunVdoInformation(app.app(), plates, nullptr);
  }

  testsupport::TempDir dir;
  guitest::TestApp app{dir.path()};
  std::filesystem::path ini = dir / "kinex2.ini";
};

TEST_F(VdoInformationTest, CancelWritesNothingAndOkRewritesOnlyAfterAChange) {
  std::string plates = "111111";
  EXPECT_FALSE(Run(&plates, [](CVdoInfoSheet& s) {
    s.LabelsPage()->AddButton()->click();
    s.ExtraPage()->AddButton()->click();
    s.SelectPage()->List()->item(5)->setCheckState(Qt::Unchecked);
    s.reject();
  }));
  EXPECT_EQ(testsupport::ReadFileText(ini), kIni);
  EXPECT_EQ(app.app().labelSourceNames.size(), 2u);
  EXPECT_EQ(plates, "111111");

  // OK without a change to the lists: the plate selection only.
  EXPECT_FALSE(Run(&plates, [](CVdoInfoSheet& s) {
    s.SelectPage()->List()->item(5)->setCheckState(Qt::Unchecked);
    s.accept();
  }));
  EXPECT_EQ(testsupport::ReadFileText(ini), kIni);
  EXPECT_EQ(plates, "111110");

  // The application's command has no channel page.
  EXPECT_TRUE(Run(nullptr, [](CVdoInfoSheet& s) {
    EXPECT_EQ(s.Pages()->count(), 2);
    s.LabelsPage()->AddButton()->click();
    s.accept();
  }));
  EXPECT_EQ(testsupport::ReadFileText(ini),
            "[vdolabels]\nlabel1=LHEE,L HEEL\nlabel2=RHEE,R HEEL\nlabel3=XXXX,NewXXXX\n"
            "[vdoextra]\nextra1=$Trial,1,2\n");
  EXPECT_EQ(app.app().labelDstNames.back(), "NewXXXX");
}

TEST_F(VdoInformationTest, BothCommandsAreEnabled) {
  CMainFrame frame(app.app());
  auto commands = [&] {
    QList<QAction*> found;
    for (QAction* a : frame.findChildren<QAction*>()) {
      if (a->text() == "VDO Information...") found << a;
    }
    return found;
  };
  ASSERT_EQ(commands().size(), 2);
  // The application's command without a document, the document's with one
  // (a hidden command reads as disabled).
  EXPECT_EQ(commands()[0]->isEnabled() + commands()[1]->isEnabled(), 1);
  c3dbuilder::Spec spec;
  c3dbuilder::AddStandardParameters(spec, {}, {});
  const auto bytes = c3dbuilder::Build(spec);
  testsupport::WriteFile(dir / "trial.c3d", {bytes.begin(), bytes.end()});
  ASSERT_NE(frame.OpenDocumentFile(PathToQ(dir / "trial.c3d")), nullptr);
  EXPECT_EQ(commands()[0]->isEnabled() + commands()[1]->isEnabled(), 1);
  for (QAction* a : commands()) EXPECT_EQ(a->isEnabled(), a->isVisible());
}

}  // namespace
