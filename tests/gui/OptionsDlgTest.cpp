// The "Kinex2 Options" sheet: its pages, rows and values, the changes a
// double-click makes, the Enter Value ranges, and Cancel and OK from the
// Defaults command.

#include "gui/OptionsDlg.h"
#include "support/FormatNamed.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>

#include "GuiTestSupport.h"
#include "c3dbuilder/C3dBuilder.h"
#include "gui/ChildFrame.h"
#include "gui/EnterValueDlg.h"

namespace {

using testsupport::FormatNamed;

using guitest::OnNextModal;

std::vector<std::pair<QString, QString>> Rows(const COptions& sheet, OptionsPage page) {
  std::vector<std::pair<QString, QString>> rows;
  const QTableWidget* list = sheet.List(page);
  for (int r = 0; r < list->rowCount(); ++r) {
    rows.emplace_back(list->item(r, 0)->text(), list->item(r, 1)->text());
  }
  return rows;
}

QString Value(const COptions& sheet, OptionsPage page, int row) {
  return sheet.List(page)->item(row, 1)->text();
}

using Row = std::pair<QString, QString>;

TEST(OptionsDlgTest, NinePagesOfRowsAndWhatADoubleClickDoes) {
  COptionsValues values;
  ExportSelection& c3d = values.selections[FormatIndex(FormatNamed("C3D"))];
  c3d.groupNames = {"POINT", "TRIAL"};
  c3d.groupFlags = {1, 0};
  values.selections[FormatIndex(FormatNamed("MAC"))].groupNames = {"ANALOG"};
  values.selections[FormatIndex(FormatNamed("MAC"))].groupFlags = {1};
  COptions sheet(values, FirstOptionsPage(0));
  EXPECT_EQ(sheet.windowTitle(), "Kinex2 Options");
  QStringList tabs;
  for (int p = 0; p < sheet.Pages()->count(); ++p) tabs << sheet.Pages()->tabText(p);
  EXPECT_EQ(tabs, (QStringList{"DST Export", "Text Export", "C3D Selection", "VAD Selection",
                               "ADC Selection", "ADC Parameters", "MAC Selection",
                               "CODAS Selection", "BTS Selection"}));
  EXPECT_EQ(sheet.Pages()->currentIndex(), 0);
  EXPECT_EQ(COptions(values, FirstOptionsPage(1)).Pages()->currentIndex(), 1);
  EXPECT_EQ(sheet.List(DstOptionsPage())->horizontalHeaderItem(0)->text(), "OPTION");
  EXPECT_EQ(sheet.List(SelectionOptionsPage(FormatNamed("BTS")))->horizontalHeaderItem(1)->text(),
            "Output?");
  EXPECT_EQ(sheet.List(ReadingOptionsPage(FormatNamed("ADC")))->horizontalHeaderItem(0)->text(),
            "Parameter");
  EXPECT_EQ(sheet.List(TextOptionsPage())->columnWidth(1), 150);

  EXPECT_EQ(Rows(sheet, DstOptionsPage()), (std::vector<Row>{{"Analogue Data Scaled", "No"},
                                                             {"Video Data Scaled", "No"},
                                                             {"Show Residual", "No"},
                                                             {"Show Mask", "No"},
                                                             {"Output Precision", "3"},
                                                             {"Lexicon", "ORV"}}));
  EXPECT_EQ(Rows(sheet, TextOptionsPage()), (std::vector<Row>{{"Analogue Data Scaled", "No"},
                                                              {"Analogue Column Names", "Yes"},
                                                              {"Video Data Scaled", "No"},
                                                              {"Video Column Names", "Yes"},
                                                              {"Show Residual", "No"},
                                                              {"Show Mask", "No"},
                                                              {"Output Precision", "3"},
                                                              {"Delimiter", "Tab"},
                                                              {"Samples by Frame/Time", "Frame"},
                                                              {"Start Frames at 1", "No"},
                                                              {"Double Delimit Trajectory", "Yes"},
                                                              {"Column Width", "12"},
                                                              {"Delimit Column Names", "Yes"},
                                                              {"Mean & Standard Dev.", "No"}}));
  EXPECT_EQ(Rows(sheet, SelectionOptionsPage(FormatNamed("C3D"))),
            (std::vector<Row>{{"Header", "Yes"},
                              {"Analog Data", "Yes"},
                              {"Marker Data", "Yes"},
                              {"POINT", "Yes"},
                              {"TRIAL", "No"}}));
  for (OptionsPage p :
       {SelectionOptionsPage(FormatNamed("VAD")), SelectionOptionsPage(FormatNamed("ADC")),
        SelectionOptionsPage(FormatNamed("CODAS")), SelectionOptionsPage(FormatNamed("BTS"))}) {
    EXPECT_EQ(Rows(sheet, p), (std::vector<Row>{{"Header", "Yes"}, {"Analog Data", "Yes"}}));
  }
  EXPECT_EQ(Rows(sheet, SelectionOptionsPage(FormatNamed("MAC"))),
            (std::vector<Row>{{"Header", "Yes"},
                              {"Analog Data", "Yes"},
                              {"Scale factor for Veltro Output", "0.001000"},
                              {"ANALOG", "Yes"}}));
  EXPECT_EQ(Rows(sheet, ReadingOptionsPage(FormatNamed("ADC"))),
            (std::vector<Row>{{"Gen_Scale", "0.004880"}, {"Video Rate", "50.00"}}));

  // Toggles, steps round their lists, group rows after the fixed rows.
  sheet.DoubleClickRow(DstOptionsPage(), 0);
  EXPECT_EQ(Value(sheet, DstOptionsPage(), 0), "Yes");
  const char* lexicons[] = {"VDO", "Veltro", "ORV"};
  for (const char* l : lexicons) {
    sheet.DoubleClickRow(DstOptionsPage(), 5);
    EXPECT_EQ(Value(sheet, DstOptionsPage(), 5), l);
  }
  for (const char* rate : {"59.89", "60.00", "200.00", "50.00"}) {
    sheet.DoubleClickRow(ReadingOptionsPage(FormatNamed("ADC")), 1);
    EXPECT_EQ(Value(sheet, ReadingOptionsPage(FormatNamed("ADC")), 1), rate);
  }
  sheet.DoubleClickRow(TextOptionsPage(), 7);
  EXPECT_EQ(Value(sheet, TextOptionsPage(), 7), "Comma");
  sheet.DoubleClickRow(TextOptionsPage(), 8);
  EXPECT_EQ(Value(sheet, TextOptionsPage(), 8), "Time");
  sheet.DoubleClickRow(SelectionOptionsPage(FormatNamed("C3D")), 4);
  sheet.DoubleClickRow(SelectionOptionsPage(FormatNamed("MAC")), 3);
  sheet.DoubleClickRow(SelectionOptionsPage(FormatNamed("C3D")), -1);  // no row: nothing happens
  EXPECT_EQ(Value(sheet, SelectionOptionsPage(FormatNamed("C3D")), 4), "Yes");
  EXPECT_EQ(Value(sheet, SelectionOptionsPage(FormatNamed("MAC")), 3), "No");
  EXPECT_EQ(sheet.Values().dst.AnalogScaled, 1);
  EXPECT_EQ(sheet.Values().text.Delimiter, 0);
  EXPECT_EQ(sheet.Values().selections[0].groupFlags, (std::vector<std::uint8_t>{1, 1}));
  // The values handed in are a copy.
  EXPECT_EQ(values.dst.AnalogScaled, 0);
}

// The sheet opens with all nine tabs in view, and every page shows all of
// its rows and both columns whole, long group names included.
TEST(OptionsDlgTest, OpensLargeEnoughForItsTabsAndRows) {
  guitest::App();
  COptionsValues values;
  ExportSelection& c3d = values.selections[FormatIndex(FormatNamed("C3D"))];
  for (int i = 0; i < 12; ++i) {
    c3d.groupNames.push_back("A_RATHER_LONG_GROUP_NAME_" + std::to_string(i));
    c3d.groupFlags.push_back(1);
  }
  COptions sheet(values, FirstOptionsPage(0));
  sheet.show();
  QApplication::processEvents();
  EXPECT_LE(sheet.Pages()->tabBar()->sizeHint().width(), sheet.Pages()->tabBar()->width());
  for (OptionsPage page = 0; page < OptionsPageCount(); ++page) {
    sheet.Pages()->setCurrentIndex(static_cast<int>(page));
    QApplication::processEvents();
    const QTableWidget* list = sheet.List(page);
    EXPECT_LE(list->verticalHeader()->length(), list->viewport()->height()) << page;
    EXPECT_LE(list->horizontalHeader()->length(), list->viewport()->width()) << page;
    const auto* view = static_cast<const QAbstractItemView*>(list);
    for (int c = 0; c < list->columnCount(); ++c) {
      EXPECT_GE(list->columnWidth(c), view->sizeHintForColumn(c)) << page << " column " << c;
    }
  }
}

// Answers the Enter Value dialog with each text in turn, pressing OK; returns
// whether the dialog was still open after each.
std::vector<bool> EnterValues(COptions& sheet, OptionsPage page, int row, QStringList texts,
                              QString* prompt = nullptr, QString* initial = nullptr) {
  std::vector<bool> stillOpen;
  OnNextModal([&](QWidget* w) {
    auto* enter = qobject_cast<CEnterValueDlg*>(w);
    ASSERT_NE(enter, nullptr);
    if (prompt != nullptr) *prompt = enter->findChild<QLabel*>()->text();
    if (initial != nullptr) *initial = enter->ValueEdit()->text();
    for (const QString& t : texts) {
      enter->ValueEdit()->setText(t);
      enter->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
      stillOpen.push_back(enter->isVisible());
    }
    if (enter->isVisible()) enter->reject();
  });
  sheet.DoubleClickRow(page, row);
  return stillOpen;
}

TEST(OptionsDlgTest, EnterValueKeepsToItsRange) {
  COptions sheet(COptionsValues{}, DstOptionsPage());
  QString prompt;
  QString initial;
  EXPECT_EQ(EnterValues(sheet, DstOptionsPage(), 4, {"9", "8.5", "8"}, &prompt, &initial),
            (std::vector<bool>{true, true, false}));
  EXPECT_EQ(prompt, "Enter value between 0 and 8, both inclusive");
  EXPECT_EQ(initial, "3");
  EXPECT_EQ(Value(sheet, DstOptionsPage(), 4), "8");
  EXPECT_EQ(sheet.Values().dst.Precision, 8);

  EXPECT_EQ(EnterValues(sheet, TextOptionsPage(), 11, {"0", "41", "40"}, &prompt),
            (std::vector<bool>{true, true, false}));
  EXPECT_EQ(prompt, "Enter value between 1 and 40, both inclusive");
  EXPECT_EQ(sheet.Values().text.ColumnWidth, 40);

  // Cancel leaves the row as it was; text that is no number reads as 0.
  EXPECT_EQ(EnterValues(sheet, ReadingOptionsPage(FormatNamed("ADC")), 0, {"200000"}, &prompt),
            (std::vector<bool>{true}));
  EXPECT_EQ(prompt, "Enter a value for Gen_Scale");
  EXPECT_EQ(Value(sheet, ReadingOptionsPage(FormatNamed("ADC")), 0), "0.004880");
  EXPECT_EQ(EnterValues(sheet, ReadingOptionsPage(FormatNamed("ADC")), 0, {"abc"}),
            std::vector<bool>{false});
  EXPECT_EQ(Value(sheet, ReadingOptionsPage(FormatNamed("ADC")), 0), "0.000000");
  // The MAC scale has no range.
  EXPECT_EQ(EnterValues(sheet, SelectionOptionsPage(FormatNamed("MAC")), 2, {"1e6"}, &prompt),
            std::vector<bool>{false});
  EXPECT_EQ(prompt, "Enter value for the scale factor");
  EXPECT_EQ(Value(sheet, SelectionOptionsPage(FormatNamed("MAC")), 2), "1000000.000000");
}

TEST(OptionsDlgTest, DefaultsCommandCancelAndOk) {
  testsupport::TempDir dir;
  guitest::TestApp test(dir.path());
  CKinex2App& app = test.app();
  app.ExportTo = 1;
  CMainFrame frame(test.app());
  c3dbuilder::Spec s;
  s.frames = 3;
  s.analogChannels = 2;
  c3dbuilder::AddStandardParameters(s, {}, {"A", "B"});
  const auto bytes = c3dbuilder::Build(s);
  testsupport::WriteFile(dir / "walk.c3d", {bytes.begin(), bytes.end()});
  CChildFrame* child = frame.OpenDocumentFile(QString::fromStdString((dir / "walk.c3d").string()));
  ASSERT_NE(child, nullptr);
  const COptionsValues before = COptionsValues::From(app);

  // Cancel after changes: nothing but the document's group names, merged
  // once, selected.
  int page = -1;
  OnNextModal([&](QWidget* w) {
    auto* sheet = qobject_cast<COptions*>(w);
    ASSERT_NE(sheet, nullptr);
    page = sheet->Pages()->currentIndex();
    sheet->DoubleClickRow(TextOptionsPage(), 7);
    sheet->DoubleClickRow(DstOptionsPage(), 0);
    sheet->reject();
  });
  frame.FindAction("De&faults...")->trigger();
  EXPECT_EQ(page, 1);  // "ExportTo" 1: the Text Export page first
  COptionsValues merged = before;
  ExportSelection& c3d = merged.selections[FormatIndex(FormatNamed("C3D"))];
  c3d.groupNames = {"POINT", "ANALOG"};
  c3d.groupFlags = {1, 1};
  EXPECT_EQ(COptionsValues::From(app), merged);

  // OK: the settings and the open document's next export take the change.
  OnNextModal([&](QWidget* w) {
    auto* sheet = qobject_cast<COptions*>(w);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->List(SelectionOptionsPage(FormatNamed("C3D")))->rowCount(),
              5);                                 // merged again: nothing added
    sheet->DoubleClickRow(TextOptionsPage(), 7);  // Delimiter: Comma
    sheet->accept();
  });
  frame.FindAction("De&faults...")->trigger();
  EXPECT_EQ(app.textOptions.Delimiter, 0);
  EXPECT_EQ(child->Document().Settings().text.Delimiter, 0);
  child->OnFileSave();
  const std::string text = testsupport::ReadFileText(dir / "walk.txt");
  EXPECT_NE(text.find("A,"), std::string::npos) << text;
  EXPECT_EQ(text.find('\t'), std::string::npos) << text;
}

}  // namespace
