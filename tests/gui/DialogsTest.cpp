// The small dialogs: Frames, Enter Value, the overwrite question, Logging,
// About.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "GuiTestSupport.h"
#include "gui/AboutDlg.h"
#include "gui/EnterValueDlg.h"
#include "gui/FramesDlg.h"
#include "gui/LoggingDlg.h"
#include "gui/OverwriteDlg.h"
#include "gui/VeltroInfoDlg.h"

namespace {

using guitest::OnNextModal;

// Enters a range and presses OK; true when the dialog closed with OK.
bool TryRange(CFramesDlg& dlg, const char* first, const char* last) {
  dlg.show();
  dlg.FirstEdit()->setText(first);
  dlg.LastEdit()->setText(last);
  dlg.accept();
  return !dlg.isVisible() && dlg.result() == QDialog::Accepted;
}

TEST(DialogsTest, FramesAcceptsOnlyRangesInsideTheRecording) {
  guitest::App();
  CFramesDlg dlg;
  dlg.SetInfo(101, 600);
  dlg.SetLimits(101, 600);
  dlg.SetRange(101, 600);
  EXPECT_EQ(dlg.windowTitle(), "Frames");
  EXPECT_EQ(dlg.FirstEdit()->text(), "101");
  EXPECT_FALSE(TryRange(dlg, "100", "600"));
  EXPECT_FALSE(TryRange(dlg, "101", "601"));
  EXPECT_FALSE(TryRange(dlg, "300", "200"));
  EXPECT_TRUE(TryRange(dlg, "101", "600"));
  EXPECT_EQ(dlg.First(), 101);
  EXPECT_EQ(dlg.Last(), 600);
  EXPECT_TRUE(TryRange(dlg, " 300", "300 "));
  EXPECT_EQ(dlg.First(), 300);
  EXPECT_EQ(dlg.Last(), 300);

  // Text that is not an unsigned whole number is refused with a message.
  QString said;
  OnNextModal([&said](QWidget* box) {
    for (QLabel* l : box->findChildren<QLabel*>()) said += l->text();
    box->close();
  });
  EXPECT_FALSE(TryRange(dlg, "-5", "300"));
  EXPECT_TRUE(said.contains("Please enter a positive integer."));
  EXPECT_EQ(dlg.First(), 300);
}

TEST(DialogsTest, FrameRangeTest) {
  EXPECT_TRUE(FrameRangeAcceptable(1, 89, 1, 89));
  EXPECT_TRUE(FrameRangeAcceptable(1, 89, 5, 5));
  EXPECT_FALSE(FrameRangeAcceptable(1, 89, 0, 89));
  EXPECT_FALSE(FrameRangeAcceptable(1, 89, 1, 90));
  EXPECT_FALSE(FrameRangeAcceptable(1, 89, 6, 5));
}

TEST(DialogsTest, EnterValueChecksTheRangeWhenAsked) {
  guitest::App();
  CEnterValueDlg dlg;
  dlg.Setup("Precision", true, 0, 8);
  EXPECT_EQ(dlg.windowTitle(), "Enter Value");
  auto tryValue = [&dlg](const char* text) {
    dlg.show();
    dlg.SetValue(text);
    dlg.accept();
    return !dlg.isVisible();
  };
  EXPECT_TRUE(tryValue("8"));
  EXPECT_TRUE(tryValue("0"));
  EXPECT_FALSE(tryValue("8.5"));
  EXPECT_FALSE(tryValue("9"));
  EXPECT_TRUE(tryValue("abc"));  // read as 0
  EXPECT_FALSE(tryValue("-1"));
  EXPECT_EQ(dlg.Value(), "-1");
  dlg.Setup("Anything", false, 0, 8);
  EXPECT_TRUE(tryValue("99"));

  EXPECT_EQ(LeadingNumber("  7.25xyz"), 7.25);
  EXPECT_EQ(LeadingNumber("+3"), 3);
  EXPECT_EQ(LeadingNumber("-2e1"), -20);
  EXPECT_EQ(LeadingNumber(""), 0);
}

TEST(DialogsTest, OverwriteQuestionAnswersByButtonAndCancelOtherwise) {
  guitest::App();
  for (int answer = COverwriteDlg::kYes; answer <= COverwriteDlg::kCancel; ++answer) {
    COverwriteDlg dlg;
    dlg.SetQuestion("Overwrite x?");
    OnNextModal([&dlg, answer](QWidget*) { dlg.Button(answer)->click(); });
    EXPECT_EQ(dlg.exec(), answer);
    EXPECT_EQ(dlg.Answer(), answer);
  }
  COverwriteDlg dlg;
  EXPECT_EQ(dlg.windowTitle(), "Kinex");
  EXPECT_EQ(dlg.Button(1)->text().remove('&'), "Yes");
  EXPECT_EQ(dlg.Button(2)->text().remove('&'), "Yes To All");
  OnNextModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
  dlg.exec();
  EXPECT_EQ(dlg.Answer(), COverwriteDlg::kCancel);
}

TEST(DialogsTest, LoggingNeedsAFileNameOnlyWhenEnabled) {
  guitest::App();
  CLoggingDlg dlg;
  EXPECT_EQ(dlg.windowTitle(), "Logging");
  dlg.SetValues(true, "", true);
  dlg.show();
  QString said;
  OnNextModal([&said](QWidget* box) {
    for (QLabel* l : box->findChildren<QLabel*>()) said += l->text();
    box->close();
  });
  dlg.accept();
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_TRUE(said.contains("You need to enter a file name, if logging is enabled"));

  dlg.LogCheck()->setChecked(false);
  dlg.accept();
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_FALSE(dlg.Log());
  EXPECT_TRUE(dlg.ErrorsOnly());

  dlg.SetValues(true, "/tmp/x.log", false);
  EXPECT_EQ(dlg.LogCheck()->text(), "Enable Logging");
  EXPECT_EQ(dlg.ErrorsOnlyCheck()->text(), "Log on Errors Only");
  EXPECT_EQ(dlg.LogFile(), "/tmp/x.log");
  EXPECT_FALSE(dlg.ErrorsOnly());
}

TEST(DialogsTest, AboutShowsNameAndVersionInArial) {
  guitest::App();
  CAboutDlg dlg("2.560");
  EXPECT_EQ(dlg.windowTitle(), "About Kinex");
  QStringList texts;
  for (QLabel* l : dlg.findChildren<QLabel*>()) {
    if (l->text().isEmpty()) continue;
    texts << l->text();
    EXPECT_EQ(l->font().family(), "Arial");
  }
  EXPECT_TRUE(texts.contains("Orvane Kinex2"));
  EXPECT_TRUE(texts.contains("Additional Information:"));
  EXPECT_TRUE(texts.contains("  Version : 2.560"));
}

}  // namespace

namespace {
TEST(DialogsTest, VeltroInformationStoresAnEditAtOnce) {
  testsupport::TempDir dir;
  guitest::TestApp test(dir.path());
  CVeltroInfoDlg dlg(test.app());
  QTableWidget* list = dlg.List();
  ASSERT_EQ(list->rowCount(), 4);
  EXPECT_EQ(list->item(0, 1)->text(), "ORV");
  EXPECT_EQ(list->item(1, 1)->text(), "  ");
  EXPECT_EQ(list->item(2, 0)->text(), "Equipment Under Test");
  EXPECT_EQ(list->item(3, 1)->text(), "12");

  QString prompt;
  OnNextModal([&](QWidget* w) {
    auto* enter = qobject_cast<CEnterValueDlg*>(w);
    ASSERT_NE(enter, nullptr);
    prompt = enter->findChild<QLabel*>()->text();
    enter->ValueEdit()->setText("");  // an empty value is a value
    enter->accept();
  });
  EXPECT_TRUE(dlg.EditRow(2));
  EXPECT_EQ(prompt, "Enter value for Equipment");
  EXPECT_EQ(list->item(2, 1)->text(), "");
  EXPECT_FALSE(dlg.EditRow(-1));  // no row selected: nothing happens

  // Stored at once: a second application on the same settings file sees it.
  testsupport::TempDir other;
  std::filesystem::copy_file(test.SettingsFile(), other / "settings.ini");
  guitest::TestApp again(other.path());
  EXPECT_EQ(again.app().veltro.at("Equip"), "");
  EXPECT_EQ(again.app().veltro.at("Location"), "ORV");
}
}  // namespace
