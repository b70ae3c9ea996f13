#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace {

CIniFile Parsed(std::string_view text) {
  CIniFile ini;
  ini.Parse(text);
  return ini;
}

TEST(IniFile, LookupRules) {
  const CIniFile ini = Parsed(
      "\xEF\xBB\xBF"
      "orphan=before any section\n"
      "[VdoLabels]\r\n"
      "  Label1 =  LASI, L_ASIS \t\r\n"
      "label2=\r\n"
      "; label3=commented\n"
      "no equals sign\n"
      "label4=a=b;not a comment\n"
      "LABEL1=second of the name\n"
      "[ other ]\n"
      "[vdolabels]\n"
      "late=only in the repeated section\n");
  // Names ignore case, values are trimmed, the first key of a name wins.
  EXPECT_EQ(ini.GetString("vdolabels", "LABEL1", "d", 256), "LASI, L_ASIS");
  // An empty value is a value: the default is not used.
  EXPECT_EQ(ini.GetString("VDOLABELS", "label2", "d", 256), "");
  EXPECT_EQ(ini.GetString("vdolabels", "label3", "none", 256), "none");
  EXPECT_EQ(ini.GetString("vdolabels", "no equals sign", "none", 256), "none");
  EXPECT_EQ(ini.GetString("vdolabels", "label4", "", 256), "a=b;not a comment");
  // Only the first section of a name is searched; keys before any section are lost.
  EXPECT_EQ(ini.GetString("vdolabels", "late", "none", 256), "none");
  EXPECT_EQ(ini.GetString("", "orphan", "none", 256), "none");
  // Missing: the default without its trailing blanks.
  EXPECT_EQ(ini.GetString("other", "x", "  two  ", 256), "  two");
  EXPECT_EQ(ini.GetString("absent", "label1", "def", 256), "def");
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
  const CIniFile ini = Parsed("[s]\nk=" + std::string(2000, 'v') + "\nq=\"abcdef\"\n");
  EXPECT_EQ(ini.GetString("s", "k", "", 256).size(), 255u);
  EXPECT_EQ(ini.GetString("s", "k", "", 512).size(), 511u);
  EXPECT_EQ(ini.GetString("s", "k", "", 1), "");
  EXPECT_EQ(ini.GetString("s", "k", "", 0), "");
  EXPECT_EQ(ini.GetString("s", "q", "", 4), "abc");
  EXPECT_EQ(ini.GetString("s", "none", "default", 4), "def");
}

TEST(IniFile, FilesMissingFoldersAndZeroBytes) {
  testsupport::TempDir dir;
  CIniFile ini;
  EXPECT_FALSE(ini.Load(dir / "absent.ini"));
  EXPECT_EQ(ini.GetString("a", "k", "def", 256), "def");
  // A folder in place of the file reads as no file.
  EXPECT_FALSE(ini.Load(dir.path()));

  const std::string text = std::string("[s]\r\nz=ab") + '\0' + "cd\r\nlast=no newline";
  testsupport::WriteFile(dir / "t.ini", std::vector<unsigned char>(text.begin(), text.end()));
  ASSERT_TRUE(ini.Load(dir / "t.ini"));
  EXPECT_EQ(ini.GetString("s", "z", "", 256), "ab");
  EXPECT_EQ(ini.GetString("s", "last", "", 256), "no newline");
}

}  // namespace
