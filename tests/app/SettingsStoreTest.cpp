#include "app/SettingsStore.h"

#include <gtest/gtest.h>

#include "app/ConfFileStore.h"
#ifndef KINEX2_NO_QT
#include "qtstore/QtSettingsStore.h"
#endif
#include "support/TestSupport.h"

namespace {

TEST(ParseStoredInt, AcceptsWholeNumbersOnly) {
  EXPECT_EQ(ParseStoredInt("42"), 42);
  EXPECT_EQ(ParseStoredInt("  -7 "), -7);
  EXPECT_EQ(ParseStoredInt("+3"), 3);
  EXPECT_EQ(ParseStoredInt("-9223372036854775808"), INT64_MIN);
  for (const char* bad : {"", "-", "+-1", "1.5", "0x10", "12abc", "1 2", "9223372036854775808"}) {
    EXPECT_EQ(ParseStoredInt(bad), std::nullopt) << bad;
  }
}

// Conversions read the store's files without Qt: both readers must agree on
// every value the Qt store writes and on hand-edited files.
// The Qt settings store, where the build has the window library.
#ifndef KINEX2_NO_QT
TEST(QtSettingsStore, IniFileKeepsValuesAndTheQtFreeReaderAgrees) {
  testsupport::TempDir dir;
  const auto file = dir / "settings.ini";
  const std::string tricky = " lead, \"q\" back\\slash\ttab\nnew\x01 ;=# @at ";
  {
    auto s = CQtSettingsStore::IniFile(file);
    s->WriteInt("Settings", "ExportTo", 1);
    s->WriteInt("Settings", "Big", -(std::int64_t{1} << 40));
    s->WriteString("Veltro", "Equip", "Orvane, Inc VX-520");
    s->WriteString("Veltro", "Serial", "  ");
    s->WriteString("Veltro", "Empty", "");
    s->WriteString("Settings", "LogFile", "/tmp/\xC3\xA9t\xC3\xA9/Kinex2.log");
    s->WriteString("Settings", "Tricky", tricky);
    s->WriteString("Settings", "At", "@Variant(x)");
    s->WriteString("Group Name", "Key name%", "v");
    s->WriteString("General", "x", "section named General");
    s->WriteString("", "Exe", "/opt/kinex2");
    EXPECT_TRUE(s->Flush());
  }
  const auto qt = CQtSettingsStore::IniFile(file);
  const CConfFileStore conf({file});
  for (const CSettingsStore* s : {static_cast<const CSettingsStore*>(qt.get()),
                                  static_cast<const CSettingsStore*>(&conf)}) {
    EXPECT_EQ(s->ReadInt("Settings", "ExportTo"), 1);
    EXPECT_EQ(s->ReadInt("Settings", "Big"), -(std::int64_t{1} << 40));
    EXPECT_EQ(s->ReadString("Veltro", "Equip"), "Orvane, Inc VX-520");
    EXPECT_EQ(s->ReadString("Veltro", "Serial"), "  ");
    EXPECT_EQ(s->ReadString("Veltro", "Empty"), "");
    EXPECT_EQ(s->ReadString("Settings", "LogFile"), "/tmp/\xC3\xA9t\xC3\xA9/Kinex2.log");
    EXPECT_EQ(s->ReadString("Settings", "Tricky"), tricky);
    EXPECT_EQ(s->ReadString("Settings", "At"), "@Variant(x)");
    EXPECT_EQ(s->ReadString("Group Name", "Key name%"), "v");
    EXPECT_EQ(s->ReadString("General", "x"), "section named General");
    EXPECT_EQ(s->ReadString("", "Exe"), "/opt/kinex2");
    EXPECT_EQ(s->ReadInt("Veltro", "Equip"), std::nullopt);
    EXPECT_EQ(s->ReadString("Veltro", "Missing"), std::nullopt);
  }

  // Typed in by hand: unquoted commas make a list, which still reads as the text.
  const auto handFile = dir / "hand.ini";
  const std::string text =
      "; comment\n[Veltro]\nEquip=Orvane,  Inc VX-520 \nQuoted = \"a, b\" \n"
      "[Settings]\nExportTo=@Variant(garbage\nLog=  1  \nHex=\\x41\\x42\n";
  testsupport::WriteFile(handFile, std::vector<unsigned char>(text.begin(), text.end()));
  const auto handQt = CQtSettingsStore::IniFile(handFile);
  const CConfFileStore handConf({handFile});
  for (const CSettingsStore* s : {static_cast<const CSettingsStore*>(handQt.get()),
                                  static_cast<const CSettingsStore*>(&handConf)}) {
    EXPECT_EQ(s->ReadString("Veltro", "Equip"), "Orvane, Inc VX-520");
    EXPECT_EQ(s->ReadString("Veltro", "Quoted"), "a, b");
    EXPECT_EQ(s->ReadInt("Settings", "ExportTo"), std::nullopt);
    EXPECT_EQ(s->ReadInt("Settings", "Log"), 1);
    EXPECT_EQ(s->ReadString("Settings", "Hex"), "AB");
  }
}

TEST(QtSettingsStore, UnwritableFileFailsToFlushWithoutHarm) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir / "file", {'x'});
  auto s = CQtSettingsStore::IniFile(dir / "file" / "settings.ini");
  s->WriteInt("Settings", "Log", 1);
  EXPECT_FALSE(s->Flush());
}
#endif

}  // namespace
