#include "app/SettingsStore.h"

#include <gtest/gtest.h>

#include "app/QtSettingsStore.h"
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

TEST(QtSettingsStore, IniFileKeepsValuesAndReadsHandEditedOnes) {
  testsupport::TempDir dir;
  const auto file = dir / "settings.ini";
  {
    auto s = CQtSettingsStore::IniFile(file);
    s->WriteInt("Settings", "ExportTo", 1);
    s->WriteString("Veltro", "Equip", "Orvane, Inc VX-520");
    s->WriteString("Veltro", "Serial", "  ");
    s->WriteString("Settings", "LogFile", "/tmp/\xC3\xA9t\xC3\xA9/Kinex2.log");
    s->WriteString("", "Exe", "/opt/kinex2");
    EXPECT_TRUE(s->Flush());
  }
  auto s = CQtSettingsStore::IniFile(file);
  EXPECT_EQ(s->ReadInt("Settings", "ExportTo"), 1);
  EXPECT_EQ(s->ReadString("Veltro", "Equip"), "Orvane, Inc VX-520");
  EXPECT_EQ(s->ReadString("Veltro", "Serial"), "  ");
  EXPECT_EQ(s->ReadString("Settings", "LogFile"), "/tmp/\xC3\xA9t\xC3\xA9/Kinex2.log");
  EXPECT_EQ(s->ReadString("", "Exe"), "/opt/kinex2");
  EXPECT_EQ(s->ReadInt("Veltro", "Equip"), std::nullopt);

  // Typed in by hand: unquoted commas make a list, which still reads as the text.
  const auto handFile = dir / "hand.ini";
  const std::string text =
      "[Veltro]\nEquip=Orvane, Inc VX-520\n[Settings]\nExportTo=@Variant(garbage\nLog=  1  \n";
  testsupport::WriteFile(handFile, std::vector<unsigned char>(text.begin(), text.end()));
  auto hand = CQtSettingsStore::IniFile(handFile);
  EXPECT_EQ(hand->ReadString("Veltro", "Equip"), "Orvane, Inc VX-520");
  EXPECT_EQ(hand->ReadInt("Settings", "ExportTo"), std::nullopt);
  EXPECT_EQ(hand->ReadInt("Settings", "Log"), 1);
}

TEST(QtSettingsStore, UnwritableFileFailsToFlushWithoutHarm) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir / "file", {'x'});
  auto s = CQtSettingsStore::IniFile(dir / "file" / "settings.ini");
  s->WriteInt("Settings", "Log", 1);
  EXPECT_FALSE(s->Flush());
}

}  // namespace
