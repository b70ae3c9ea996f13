// kinex2.ini: marker-label translations and VDO extra lines.

#include <gtest/gtest.h>

#include "app/AppFixture.h"

namespace {

using LabelsTest = AppTest;

void WriteIni(const std::filesystem::path& path, const std::string& text) {
  testsupport::WriteFile(path, std::vector<unsigned char>(text.begin(), text.end()));
}

TEST_F(LabelsTest, PairsNeedExactlyOneComma) {
  WriteIni(app.IniFilePath(),
           "[vdolabels]\n"
           "label1=LASI, L_ASIS\n"
           "label2=A,B,C\n"
           "label3=NoComma\n"
           "label4= RASI ,R_ASIS\n"
           "label5=LONE,\n"
           "label6=,LONE\n");
  app.LoadLabelTranslations();
  EXPECT_EQ(app.labelSourceNames, (std::vector<std::string>{"LASI", "RASI"}));
  EXPECT_EQ(app.labelDstNames, (std::vector<std::string>{"L_ASIS", "R_ASIS"}));
}

TEST_F(LabelsTest, NamedIniFileReplacesTheProgramsOwn) {
  WriteIni(app.IniFilePath(), "[vdolabels]\nlabel1=OWN,O\n");
  const std::filesystem::path named = dir / "pipeline.ini";
  WriteIni(named, "[vdolabels]\nlabel1=LASI,L_ASIS\n[vdoextra]\nextra1=$Trial,1\n");
  app.UseIniFile(named);
  app.LoadLabelTranslations();
  app.LoadVdoExtraLines();
  EXPECT_EQ(app.labelSourceNames, (std::vector<std::string>{"LASI"}));
  EXPECT_EQ(app.vdoExtraLines, (std::vector<std::string>{"$Trial,1"}));
  EXPECT_EQ(app.IniFilePath(), named);  // the sheet writes back where it read
}

TEST_F(LabelsTest, ScanStopsAfterFiftyMissingKeys) {
  WriteIni(app.IniFilePath(), "[vdolabels]\nlabel50=A,B\nlabel60=C,D\n");
  app.LoadLabelTranslations();
  EXPECT_TRUE(app.labelSourceNames.empty());

  // An ignored value still extends the scan.
  WriteIni(app.IniFilePath(),
           "[vdolabels]\nlabel49=ignored\nlabel99=A,B\nlabel149=C,D\nlabel200=E,F\nlabel01=G,H\n"
           "[vdoextra]\nextra1=$Trial,1\nextra51=$Side,Left\nextra102=$Late,1\n");
  app.LoadLabelTranslations();
  app.LoadVdoExtraLines();
  EXPECT_EQ(app.labelSourceNames, (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(app.vdoExtraLines, (std::vector<std::string>{"$Trial,1", "$Side,Left"}));
}

TEST_F(LabelsTest, RewriteNumbersDenselyFromOne) {
  WriteIni(app.IniFilePath(),
           "; old comment\n[VDOLABELS]\nLABEL1=LASI,L_ASIS\nlabel51=rasi , R_ASIS\n"
           "[other]\nkept=no\n"
           "[vdoextra]\nextra3=  $Trial,1  \nextra4=\nextra5=$Side,Left\n");
  app.LoadLabelTranslations();
  app.LoadVdoExtraLines();
  ASSERT_TRUE(app.WriteVdoIniFile());
  EXPECT_EQ(testsupport::ReadFileText(app.IniFilePath()),
            testsupport::PlatformLines("[vdolabels]\n"
                                       "label1=LASI,L_ASIS\n"
                                       "label2=rasi,R_ASIS\n"
                                       "[vdoextra]\n"
                                       "extra1=$Trial,1\n"
                                       "extra2=$Side,Left\n"));
  EXPECT_TRUE(ui.messages.empty());

  // Two new entries nobody edited yet, and no file at first.
  std::filesystem::remove(app.IniFilePath());
  app.LoadVdoExtraLines();
  EXPECT_TRUE(app.vdoExtraLines.empty());
  app.labelSourceNames = {"XXXX", "XXXX"};
  app.labelDstNames = {"NewXXXX", "NewXXXX"};
  ASSERT_TRUE(app.WriteVdoIniFile());
  EXPECT_EQ(testsupport::ReadFileText(app.IniFilePath()),
            testsupport::PlatformLines(
                "[vdolabels]\nlabel1=XXXX,NewXXXX\nlabel2=XXXX,NewXXXX\n[vdoextra]\n"));
}

TEST_F(LabelsTest, ValuesAreCutAtTheirBuffers) {
  const std::string longDst(400, 'd');
  const std::string longExtra(2000, 'e');
  WriteIni(app.IniFilePath(),
           "[vdolabels]\nlabel1=SRC," + longDst + "\n[vdoextra]\nextra1=" + longExtra + "\n");
  app.LoadLabelTranslations();
  app.LoadVdoExtraLines();
  ASSERT_EQ(app.labelDstNames.size(), 1u);
  EXPECT_EQ(app.labelDstNames[0], std::string(255 - 4, 'd'));
  ASSERT_EQ(app.vdoExtraLines.size(), 1u);
  EXPECT_EQ(app.vdoExtraLines[0].size(), 1023u);
}

TEST_F(LabelsTest, FailedWriteIsReportedAndKeepsTheOldFile) {
  // kinex2.ini is a folder: the new file cannot take its place.
  std::filesystem::create_directory(app.IniFilePath());
  app.labelSourceNames = {"LASI"};
  app.labelDstNames = {"L_ASIS"};
  EXPECT_FALSE(app.WriteVdoIniFile());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "Could not open " + app.IniFilePath().string() + " to write marker information");
  EXPECT_TRUE(ui.messages[0].showBox);
  EXPECT_TRUE(std::filesystem::is_directory(app.IniFilePath()));
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);

  // The folder cannot even be made: a file stands in its way.
  testsupport::WriteFile(dir / "plain", {'x'});
  app.SetDataFolder(dir / "plain" / "sub");
  EXPECT_FALSE(app.WriteVdoIniFile());
  EXPECT_EQ(ui.messages.size(), 2u);
}

// An installed program's folder cannot be written, so its data folder is the
// user's own: the translations installed beside the program are read until
// the user saves a copy, which is read from then on.
TEST_F(LabelsTest, InstalledTranslationsServeUntilTheUserSavesACopy) {
  const auto installed = dir / "program";
  const auto user = dir / "user";
  std::filesystem::create_directories(installed);
  std::filesystem::create_directories(user);
  app.SetExecutablePath(installed / "kinex2");
  app.SetDataFolder(user);
  const std::string shipped = "[vdolabels]\nlabel1=LASI,L_ASIS\n[vdoextra]\nextra1=$Lab,Gait\n";
  WriteIni(installed / "kinex2.ini", shipped);
  app.LoadLabelTranslations();
  app.LoadVdoExtraLines();
  EXPECT_EQ(app.labelDstNames, (std::vector<std::string>{"L_ASIS"}));
  EXPECT_EQ(app.vdoExtraLines, (std::vector<std::string>{"$Lab,Gait"}));

  app.labelDstNames = {"LEFT_ASIS"};
  ASSERT_TRUE(app.WriteVdoIniFile());
  EXPECT_EQ(app.IniFilePath(), user / "kinex2.ini");
  EXPECT_EQ(testsupport::ReadFileText(installed / "kinex2.ini"), shipped);
  app.LoadLabelTranslations();
  EXPECT_EQ(app.labelDstNames, (std::vector<std::string>{"LEFT_ASIS"}));
}

TEST_F(LabelsTest, LookupIsTrimmedCaseInsensitiveFirstMatch) {
  app.labelSourceNames = {" LASI ", "RASI", "lasi"};
  app.labelDstNames = {"L_ASIS", "R_ASIS", "SECOND"};
  EXPECT_EQ(app.FindLabelTranslation("lasi"), 0);
  EXPECT_EQ(app.FindLabelTranslation("  Rasi\t"), 1);
  EXPECT_EQ(app.FindLabelTranslation("LAS"), -1);
  EXPECT_EQ(app.FindLabelTranslation(""), -1);
}

}  // namespace
