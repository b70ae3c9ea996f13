#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace {

CIniFile Parsed(std::string_view text) {
  CIniFile ini;
  ini.Parse(text);
  return ini;
}

TEST(IniFile, NamesIgnoreCaseAndValuesAreTrimmed) {
  const CIniFile ini = Parsed(
      "[VdoLabels]\r\n"
      "  Label1 =  LASI, L_ASIS \t\r\n"
      "label2=\r\n"
      "[ spaced ]\n"
      "key=x\n");
  EXPECT_EQ(ini.GetString("vdolabels", "LABEL1", "d", 256), "LASI, L_ASIS");
  EXPECT_EQ(ini.GetString("VDOLABELS", "label1", "d", 256), "LASI, L_ASIS");
  // An empty value is a value: the default is not used.
  EXPECT_EQ(ini.GetString("vdolabels", "label2", "d", 256), "");
  EXPECT_EQ(ini.GetString("spaced", "key", "", 256), "x");
}

TEST(IniFile, MissingSectionKeyOrFileGivesTheDefault) {
  const CIniFile ini = Parsed("[a]\nk=v\n");
  EXPECT_EQ(ini.GetString("b", "k", "def", 256), "def");
  EXPECT_EQ(ini.GetString("a", "x", "def", 256), "def");
  // Trailing blanks of the default are removed, leading ones kept.
  EXPECT_EQ(ini.GetString("a", "x", "  two  ", 256), "  two");

  testsupport::TempDir dir;
  CIniFile missing;
  EXPECT_FALSE(missing.Load(dir / "absent.ini"));
  EXPECT_EQ(missing.GetString("a", "k", "def", 256), "def");
  // A folder in place of the file reads as no file.
  CIniFile folder;
  folder.Load(dir.path());
  EXPECT_EQ(folder.GetString("a", "k", "def", 256), "def");
}

TEST(IniFile, MatchingQuotesAreRemoved) {
  const CIniFile ini = Parsed(
      "[q]\n"
      "double=\"  padded  \"\n"
      "single='x'\n"
      "mixed=\"x'\n"
      "lone=\"\n"
      "inner=a \"b\" c\n"
      "empty=\"\"\n");
  EXPECT_EQ(ini.GetString("q", "double", "", 256), "  padded  ");
  EXPECT_EQ(ini.GetString("q", "single", "", 256), "x");
  EXPECT_EQ(ini.GetString("q", "mixed", "", 256), "\"x'");
  EXPECT_EQ(ini.GetString("q", "lone", "", 256), "\"");
  EXPECT_EQ(ini.GetString("q", "inner", "", 256), "a \"b\" c");
  EXPECT_EQ(ini.GetString("q", "empty", "d", 256), "");
}

TEST(IniFile, ValuesAreCutAtTheCallersBuffer) {
  const std::string longValue(2000, 'v');
  const CIniFile ini = Parsed("[s]\nk=" + longValue + "\nq=\"abcdef\"\n");
  EXPECT_EQ(ini.GetString("s", "k", "", 256).size(), 255u);
  EXPECT_EQ(ini.GetString("s", "k", "", 1024).size(), 1023u);
  EXPECT_EQ(ini.GetString("s", "k", "", 512).size(), 511u);
  EXPECT_EQ(ini.GetString("s", "k", "", 1), "");
  EXPECT_EQ(ini.GetString("s", "k", "", 0), "");
  EXPECT_EQ(ini.GetString("s", "q", "", 4), "abc");
  EXPECT_EQ(ini.GetString("s", "none", "default", 4), "def");
}

TEST(IniFile, FirstSectionAndFirstKeyWin) {
  const CIniFile ini = Parsed(
      "orphan=before any section\n"
      "[s]\n"
      "k=first\n"
      "K=second\n"
      "[other]\n"
      "[S]\n"
      "k=third\n"
      "late=only in the repeated section\n");
  EXPECT_EQ(ini.GetString("s", "k", "", 256), "first");
  EXPECT_EQ(ini.GetString("s", "late", "none", 256), "none");
  EXPECT_EQ(ini.GetString("", "orphan", "none", 256), "none");
}

TEST(IniFile, CommentsBomAndOddLinesAreSkipped) {
  const CIniFile ini = Parsed(
      "\xEF\xBB\xBF[s]\n"
      "; k=commented\n"
      "   ;k=indented comment\n"
      "no equals sign\n"
      "k=a=b;not a comment\n"
      "[unclosed\n"
      "u=1\n");
  EXPECT_EQ(ini.GetString("s", "k", "", 256), "a=b;not a comment");
  EXPECT_EQ(ini.GetString("s", "no equals sign", "none", 256), "none");
  EXPECT_EQ(ini.GetString("unclosed", "u", "", 256), "1");
}

TEST(IniFile, ZeroByteEndsAValueAndLoadReadsFiles) {
  testsupport::TempDir dir;
  const std::string text = std::string("[s]\r\nz=ab") + '\0' + "cd\r\nlast=no newline";
  testsupport::WriteFile(dir / "t.ini", std::vector<unsigned char>(text.begin(), text.end()));
  CIniFile ini;
  ASSERT_TRUE(ini.Load(dir / "t.ini"));
  EXPECT_EQ(ini.GetString("s", "z", "", 256), "ab");
  EXPECT_EQ(ini.GetString("s", "last", "", 256), "no newline");
}

}  // namespace
