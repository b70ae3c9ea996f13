// Loading and saving the settings of the application object.

#include <gtest/gtest.h>

#include <set>
#include <variant>

#include "app/AppFixture.h"
#include "support/FormatNamed.h"

namespace {

using SettingsTest = AppTest;

void ExpectSameSettings(const CKinex2App& a, const CKinex2App& b) {
  EXPECT_EQ(a.ExportTo, b.ExportTo);
  EXPECT_EQ(a.logSettings, b.logSettings);
  EXPECT_EQ(a.ShowCmd, b.ShowCmd);
  EXPECT_EQ(a.dstOptions, b.dstOptions);
  EXPECT_EQ(a.textOptions, b.textOptions);
  EXPECT_EQ(a.selections, b.selections);
  EXPECT_EQ(a.adcParam, b.adcParam);
  EXPECT_EQ(a.veltro, b.veltro);
}

using testsupport::FormatNamed;

// Every stored setting away from its default.
void ChangeEverything(CKinex2App& app) {
  app.ExportTo = 1;
  app.logSettings = {1, "/var/log/kinex2 runs.log", 0};
  app.ShowCmd = 1;
  app.dstOptions = {1, 1, 1, 1, 6, 2};
  app.textOptions = {1, 0, 1, 0, 1, 1, 1, 8, 0, 1, 0, 40, 0, 1};
  for (std::size_t f = 0; f < app.selections.size(); ++f) {
    ExportSelection& s = app.selections[f];
    s.Header = 0;
    s.AnalogData = 0;
    s.groupNames = {"POINT", "ANALOG " + std::to_string(f), "FORCE_PLATFORM"};
    s.groupFlags = {1, 0, 1};
  }
  app.Selection(FormatNamed("C3D")).VideoData = 0;
  app.Selection(FormatNamed("MAC")).Scale = 0.25f;
  app.adcParam = {3, 0.0125f};
  app.veltro = {{"Location", "Lab 2"}, {"Serial", ""}, {"Equip", "EMG, 16 ch"}, {"Res", "16"}};
}

TEST_F(SettingsTest, FirstRunTakesTheDefaultsAndWritesTheStoredForms) {
  app.LoadSettings();
  EXPECT_EQ(app.logSettings, (LogSettings{0, (dir / "Kinex2.log").string(), 1}));
  EXPECT_EQ(app.ShowCmd, 3);
  EXPECT_EQ(app.textOptions, TextOptions{});
  EXPECT_EQ(app.DelimiterChar(), "\t");
  EXPECT_FLOAT_EQ(app.VideoRate(), 50.0f);
  EXPECT_FLOAT_EQ(app.adcParam.Gen_Scale, 0.00488f);
  const std::map<std::string, std::string> veltro = {
      {"Location", "ORV"}, {"Serial", "  "}, {"Equip", "Orvane, Inc VX-520"}, {"Res", "12"}};
  EXPECT_EQ(app.veltro, veltro);
  EXPECT_EQ(app.DstSignature, "#!DST-2.0 Data file created by Kinex2 2.560\n");

  ASSERT_TRUE(app.SaveSettings());
  EXPECT_EQ(store->ReadString("ADC_Param", "Gen_Scale"), "0.00488000");
  EXPECT_EQ(store->ReadString("MacSelection", "Scale"), "0.00100000");
  EXPECT_EQ(store->ReadString("TextExport", "Delimiter"), "Tab");
  // Texts are stored as strings, everything else as integers.
  const std::set<std::string> texts = {"Gen_Scale", "Scale",  "Delimiter", "LogFile",
                                       "Location",  "Serial", "Equip",     "Res"};
  for (const auto& [section, name] : store->Names()) {
    const bool isText = std::holds_alternative<std::string>(*store->Find(section, name));
    EXPECT_EQ(isText, texts.count(name) == 1) << section << "/" << name;
  }
  // Only the C3D selection has markers, only the MAC one a scale; an unchanged
  // show state is not written.
  EXPECT_EQ(store->Find("VadSelection", "VideoData"), nullptr);
  EXPECT_NE(store->Find("C3dSelection", "VideoData"), nullptr);
  EXPECT_EQ(store->Find("C3dSelection", "Scale"), nullptr);
  EXPECT_EQ(store->Find("Settings", "ShowCmd"), nullptr);
  app.ShowCmd = 1;
  app.SaveSettings();
  EXPECT_EQ(store->ReadInt("Settings", "ShowCmd"), 1);
}

TEST_F(SettingsTest, EverySettingSurvivesSaveAndLoad) {
  ChangeEverything(app);
  ASSERT_TRUE(app.SaveSettings());
  CKinex2App fresh(ui);
  fresh.UseSettingsStore(std::make_unique<CMemorySettingsStore>(*store));
  fresh.LoadSettings();
  ExpectSameSettings(app, fresh);
}

// Written back through the Qt settings store, where the build has it.
#ifndef KINEX2_NO_QT
TEST_F(SettingsTest, StartAndExitThroughAnIniSettingsFile) {
  const auto file = dir / "kinex2-settings.ini";
  app.InitInstance(file);
  ChangeEverything(app);
  CKinex2App expected(ui);
  ChangeEverything(expected);
  ASSERT_TRUE(app.ExitInstance());

  CKinex2App next(ui);
  next.SetDataFolder(dir.path());
  next.InitInstance(file);
  ExpectSameSettings(expected, next);
}
#endif

TEST_F(SettingsTest, OutOfRangeNumbersAreCorrected) {
  store->WriteInt("Settings", "ExportTo", 5);
  store->WriteInt("GCDExport", "Dstlexicon", 3);
  store->WriteInt("ADC_Param", "RateIndex", 7);
  store->WriteInt("GCDExport", "Precision", 300);       // low byte 44
  store->WriteInt("TextExport", "ColumnWidth", 65548);  // low 16 bits 12
  store->WriteInt("TextExport", "Precision", -1);       // low byte 255
  app.LoadSettings();
  EXPECT_EQ(app.ExportTo, 1);
  EXPECT_EQ(app.dstOptions.Dstlexicon, 0);
  EXPECT_EQ(app.adcParam.RateIndex, 0);
  EXPECT_EQ(app.dstOptions.Precision, 44);
  EXPECT_EQ(app.textOptions.ColumnWidth, 12);
  EXPECT_EQ(app.textOptions.Precision, 255);

  // Only the low byte counts, before the range check.
  store->WriteInt("Settings", "ExportTo", 256);
  store->WriteInt("GCDExport", "Dstlexicon", 258);
  store->WriteInt("ADC_Param", "RateIndex", 259);
  app.LoadSettings();
  EXPECT_EQ(app.ExportTo, 0);
  EXPECT_EQ(app.dstOptions.Dstlexicon, 2);
  EXPECT_EQ(app.adcParam.RateIndex, 3);
}

TEST_F(SettingsTest, DelimiterIsReadIgnoringCaseAndWrittenByName) {
  const std::pair<const char*, const char*> cases[] = {
      {"comma", "Comma"}, {"SPACE", "Space"}, {"Semicolon", "Tab"}, {"", "Tab"}, {" comma", "Tab"}};
  for (const auto& [stored, written] : cases) {
    store->WriteString("TextExport", "Delimiter", stored);
    app.LoadSettings();
    app.SaveSettings();
    EXPECT_EQ(store->ReadString("TextExport", "Delimiter"), written) << stored;
  }
}

TEST_F(SettingsTest, ScaleTextsReadAsTheirLeadingNumber) {
  const std::pair<const char*, float> cases[] = {
      {"0.5abc", 0.5f}, {"abc", 0.0f},  {"", 0.0f},    {"1e-3", 0.001f}, {"-2", -2.0f},
      {"  .25", 0.25f}, {".", 0.0f},    {"-", 0.0f},   {"5.", 5.0f},     {"2e+", 2.0f},
      {"1e999", 0.0f},  {"1e39", 0.0f}, {"inf", 0.0f}, {"nan", 0.0f},    {"0x10", 0.0f},
      {"+3.5", 3.5f},   {"1,5", 1.0f}};
  for (const auto& [stored, value] : cases) {
    store->WriteString("ADC_Param", "Gen_Scale", stored);
    store->WriteString("MacSelection", "Scale", stored);
    app.LoadSettings();
    EXPECT_FLOAT_EQ(app.adcParam.Gen_Scale, value) << stored;
    EXPECT_FLOAT_EQ(app.Selection(FormatNamed("MAC")).Scale, value) << stored;
  }
}

TEST_F(SettingsTest, SelectionsSkipEmptyNamesAndAreRenumberedOnSave) {
  store->WriteInt("AdcSelection", "NumPar", 3);
  store->WriteString("AdcSelection", "ParName0", "ANALOG");
  store->WriteInt("AdcSelection", "ParSel0", 1);
  store->WriteString("AdcSelection", "ParName1", "");
  store->WriteInt("AdcSelection", "ParSel1", 1);
  store->WriteString("AdcSelection", "ParName2", "SUBJECT");
  store->WriteInt("AdcSelection", "ParSel2", 0);
  app.LoadSettings();
  const ExportSelection& s = app.Selection(FormatNamed("ADC"));
  EXPECT_EQ(s.groupNames, (std::vector<std::string>{"ANALOG", "SUBJECT"}));
  EXPECT_EQ(s.groupFlags, (std::vector<std::uint8_t>{1, 0}));

  app.SaveSettings();
  EXPECT_EQ(store->ReadInt("AdcSelection", "NumPar"), 2);
  EXPECT_EQ(store->ReadString("AdcSelection", "ParName1"), "SUBJECT");
  EXPECT_EQ(store->ReadInt("AdcSelection", "ParSel1"), 0);
}

TEST_F(SettingsTest, GarbageInEveryValueGivesDefaultsOrCorrections) {
  // Every name the program stores, plus those it writes only sometimes.
  app.selections[0].groupNames = {"G"};
  app.selections[0].groupFlags = {1};
  app.ShowCmd = 1;
  app.SaveSettings();
  const auto names = store->Names();
  const auto fill = [&](const CMemorySettingsStore::Value& v) {
    for (const auto& [section, name] : names) {
      if (const auto* i = std::get_if<std::int64_t>(&v)) {
        store->WriteInt(section, name, *i);
      } else {
        store->WriteString(section, name, std::get<std::string>(v));
      }
    }
  };

  // Texts where numbers belong take the defaults.
  fill(std::string("garbage \xFF\x01"));
  app.LoadSettings();
  EXPECT_EQ(app.ExportTo, 0);
  EXPECT_EQ(app.logSettings.LogErrorOnly, 1);
  EXPECT_EQ(app.logSettings.LogFile, "garbage \xFF\x01");
  EXPECT_EQ(app.dstOptions, DstOptions{});
  EXPECT_EQ(app.textOptions, TextOptions{});
  for (const ExportSelection& s : app.selections) EXPECT_EQ(s.NumPar(), 0);
  EXPECT_EQ(app.adcParam, (AdcSettings{0, 0.0f}));
  EXPECT_EQ(app.veltro.at("Res"), "garbage \xFF\x01");

  fill(std::string());
  app.LoadSettings();
  EXPECT_EQ(app.logSettings.LogFile, "");
  EXPECT_EQ(app.veltro.at("Location"), "");

  // Huge and negative numbers, texts included; a huge "NumPar" must not make
  // loading read for ever.
  for (const std::int64_t n : {INT64_MAX, INT64_MIN, std::int64_t{-1}, std::int64_t{0x7FFFFFFF}}) {
    fill(n);
    app.LoadSettings();
    EXPECT_LE(app.ExportTo, 1);
    EXPECT_LE(app.dstOptions.Dstlexicon, 2);
    EXPECT_LE(app.adcParam.RateIndex, 3);
    EXPECT_LE(app.logSettings.Log, 1);
    for (const ExportSelection& s : app.selections) {
      EXPECT_LE(s.NumPar(), 1);
      EXPECT_EQ(s.groupNames.size(), s.groupFlags.size());
      for (const std::uint8_t flag : s.groupFlags) EXPECT_EQ(flag, 1);
    }
    EXPECT_EQ(app.veltro.at("Equip"), std::to_string(n));
    EXPECT_TRUE(app.SaveSettings());
  }
}

TEST_F(SettingsTest, ExecutablePathIsRecordedInTheMachineStore) {
  // Counts the writes that reach the disk.
  struct CountingStore : CMemorySettingsStore {
    bool Flush() override {
      ++flushes;
      return true;
    }
    int flushes = 0;
  } machine;
  app.RecordExecutablePath(machine);
#ifdef _WIN32
  EXPECT_EQ(machine.ReadString("", "Exe"), (dir / "Kinex2.exe").string());
#else
  EXPECT_EQ(machine.ReadString("", "Exe"), (dir / "kinex2").string());
#endif
  EXPECT_EQ(machine.flushes, 1);
  // The next start finds its path there and writes nothing.
  app.RecordExecutablePath(machine);
  EXPECT_EQ(machine.flushes, 1);
  // A moved program is recorded again.
  app.SetExecutablePath(dir / "moved" / "kinex2");
  app.RecordExecutablePath(machine);
  EXPECT_EQ(machine.flushes, 2);
}

}  // namespace
