// Loading and saving the settings of the application object.

#include <gtest/gtest.h>

#include <variant>

#include "app/AppFixture.h"
#include "app/QtSettingsStore.h"

namespace {

using SettingsTest = AppTest;

// Every stored member of `a` equals that of `b`.
void ExpectSameSettings(const CKinex2App& a, const CKinex2App& b) {
  EXPECT_EQ(a.ExportTo, b.ExportTo);
  EXPECT_EQ(a.logSettings, b.logSettings);
  EXPECT_EQ(a.ShowCmd, b.ShowCmd);
  EXPECT_EQ(a.dstOptions, b.dstOptions);
  EXPECT_EQ(a.textOptions, b.textOptions);
  for (std::size_t f = 0; f < kSelectionFormatCount; ++f) {
    EXPECT_EQ(a.selections[f], b.selections[f]) << "selection " << f;
  }
  EXPECT_EQ(a.adcParam, b.adcParam);
  EXPECT_EQ(a.veltro, b.veltro);
}

// Changes every stored setting away from its default.
void ChangeEverything(CKinex2App& app) {
  app.ExportTo = 1;
  app.logSettings = {1, "/var/log/kinex2 runs.log", 0};
  app.ShowCmd = 1;
  app.dstOptions = {1, 1, 1, 1, 6, 2};
  TextOptions& t = app.textOptions;
  t.AnalogScaled = 1;
  t.AnalogColNames = 0;
  t.VideoScaled = 1;
  t.VideoColNames = 0;
  t.ShowResid = 1;
  t.ShowMask = 1;
  t.Delimiter = 1;
  t.Precision = 8;
  t.SamplesByFrame = 0;
  t.StartAtZero = 1;
  t.DoubleLimitTrajectory = 0;
  t.ColumnWidth = 40;
  t.DelimitColNames = 0;
  t.Mean_StdDev = 1;
  for (std::size_t f = 0; f < kSelectionFormatCount; ++f) {
    ExportSelection& s = app.selections[f];
    s.Header = 0;
    s.AnalogData = 0;
    s.groupNames = {"POINT", "ANALOG " + std::to_string(f), "FORCE_PLATFORM"};
    s.groupFlags = {1, 0, 1};
  }
  app.Selection(SelectionFormat::C3d).VideoData = 0;
  app.Selection(SelectionFormat::Mac).Scale = 0.25f;
  app.adcParam = {3, 0.0125f};
  app.veltro = {{"Location", "Lab 2"}, {"Serial", ""}, {"Equip", "EMG, 16 ch"}, {"Res", "16"}};
}

TEST_F(SettingsTest, FirstRunTakesTheDefaults) {
  app.LoadSettings();
  EXPECT_EQ(app.ExportTo, 0);
  EXPECT_EQ(app.logSettings.Log, 0);
  EXPECT_EQ(app.logSettings.LogErrorOnly, 1);
  EXPECT_EQ(app.logSettings.LogFile, (dir / "Kinex2.log").string());
  EXPECT_EQ(app.ShowCmd, 3);
  EXPECT_EQ(app.dstOptions, DstOptions{});
  EXPECT_EQ(app.textOptions, TextOptions{});
  EXPECT_EQ(app.textOptions.Delimiter, 2);
  EXPECT_EQ(app.DelimiterChar(), "\t");
  for (const ExportSelection& s : app.selections) EXPECT_EQ(s, ExportSelection{});
  EXPECT_EQ(app.adcParam.RateIndex, 0);
  EXPECT_FLOAT_EQ(app.VideoRate(), 50.0f);
  EXPECT_FLOAT_EQ(app.adcParam.Gen_Scale, 0.00488f);
  EXPECT_FLOAT_EQ(app.Selection(SelectionFormat::Mac).Scale, 0.001f);
  const std::map<std::string, std::string> veltro = {
      {"Location", "ORV"}, {"Serial", "  "}, {"Equip", "Orvane, Inc VX-520"}, {"Res", "12"}};
  EXPECT_EQ(app.veltro, veltro);
  EXPECT_EQ(app.DstSignature, "#!DST-2.0 Data file created by Kinex2 2.560\n");
  EXPECT_FALSE(app.overwriteAll);
}

TEST_F(SettingsTest, FirstSaveWritesTheStoredForms) {
  app.LoadSettings();
  ASSERT_TRUE(app.SaveSettings());
  const auto text = [&](const char* section, const char* name) -> std::string {
    const auto* v = store->Find(section, name);
    return v != nullptr && std::holds_alternative<std::string>(*v) ? std::get<std::string>(*v)
                                                                   : "<not a text>";
  };
  const auto number = [&](const char* section, const char* name) -> std::int64_t {
    const auto* v = store->Find(section, name);
    return v != nullptr && std::holds_alternative<std::int64_t>(*v) ? std::get<std::int64_t>(*v)
                                                                    : -999;
  };
  EXPECT_EQ(text("ADC_Param", "Gen_Scale"), "0.00488000");
  EXPECT_EQ(text("MacSelection", "Scale"), "0.00100000");
  EXPECT_EQ(text("TextExport", "Delimiter"), "Tab");
  EXPECT_EQ(text("Settings", "LogFile"), (dir / "Kinex2.log").string());
  EXPECT_EQ(text("Veltro", "Serial"), "  ");
  EXPECT_EQ(number("Settings", "ExportTo"), 0);
  EXPECT_EQ(number("Settings", "LogErrorOnly"), 1);
  EXPECT_EQ(number("GCDExport", "Precision"), 3);
  EXPECT_EQ(number("TextExport", "ColumnWidth"), 12);
  EXPECT_EQ(number("TextExport", "DelimitColNames"), 1);
  EXPECT_EQ(number("C3dSelection", "VideoData"), 1);
  EXPECT_EQ(number("BtsSelection", "NumPar"), 0);
  EXPECT_EQ(number("ADC_Param", "RateIndex"), 0);
  // Only the C3D selection has markers, only the MAC one a scale.
  EXPECT_EQ(store->Find("VadSelection", "VideoData"), nullptr);
  EXPECT_EQ(store->Find("C3dSelection", "Scale"), nullptr);
  // An unchanged show state is not written; a changed one is.
  EXPECT_EQ(store->Find("Settings", "ShowCmd"), nullptr);
  app.ShowCmd = 1;
  app.SaveSettings();
  EXPECT_EQ(number("Settings", "ShowCmd"), 1);
}

TEST_F(SettingsTest, EverySettingSurvivesSaveAndLoad) {
  app.LoadSettings();
  ChangeEverything(app);
  ASSERT_TRUE(app.SaveSettings());

  CKinex2App fresh(ui);
  fresh.SetDataFolder(dir.path());
  fresh.UseSettingsStore(std::make_unique<CMemorySettingsStore>(*store));
  fresh.LoadSettings();
  ExpectSameSettings(app, fresh);
  EXPECT_EQ(fresh.DelimiterChar(), " ");
  EXPECT_FLOAT_EQ(fresh.VideoRate(), 200.0f);
}

TEST_F(SettingsTest, StartAndExitThroughAnIniSettingsFile) {
  const auto file = dir / "kinex2-settings.ini";
  app.InitInstance(file);
  ChangeEverything(app);
  CKinex2App expected(ui);
  ChangeEverything(expected);
  ASSERT_TRUE(app.ExitInstance());
  ASSERT_TRUE(std::filesystem::exists(file));

  CKinex2App next(ui);
  next.SetDataFolder(dir.path());
  next.InitInstance(file);
  ExpectSameSettings(expected, next);
}

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
  const std::pair<const char*, int> cases[] = {{"comma", 0}, {"COMMA", 0},     {"Space", 1},
                                               {"Tab", 2},   {"Semicolon", 2}, {"", 2},
                                               {" comma", 2}};
  for (const auto& [stored, index] : cases) {
    store->WriteString("TextExport", "Delimiter", stored);
    app.LoadSettings();
    EXPECT_EQ(app.textOptions.Delimiter, index) << stored;
  }
  store->WriteString("TextExport", "Delimiter", "Semicolon");
  app.LoadSettings();
  app.SaveSettings();
  EXPECT_EQ(store->ReadString("TextExport", "Delimiter"), "Tab");
  store->WriteString("TextExport", "Delimiter", "comma");
  app.LoadSettings();
  app.SaveSettings();
  EXPECT_EQ(store->ReadString("TextExport", "Delimiter"), "Comma");
}

TEST_F(SettingsTest, ScaleTextsReadAsTheirLeadingNumber) {
  const std::pair<const char*, float> cases[] = {{"0.5abc", 0.5f},
                                                 {"abc", 0.0f},
                                                 {"", 0.0f},
                                                 {"1e-3", 0.001f},
                                                 {"-2", -2.0f},
                                                 {"  .25", 0.25f},
                                                 {".", 0.0f},
                                                 {"-", 0.0f},
                                                 {"5.", 5.0f},
                                                 {"2e", 2.0f},
                                                 {"2e+", 2.0f},
                                                 {"1e999", 0.0f},
                                                 {"1e39", 0.0f},
                                                 {"inf", 0.0f},
                                                 {"nan", 0.0f},
                                                 {"0x10", 0.0f},
                                                 {"+3.5", 3.5f},
                                                 {"1,5", 1.0f},
                                                 {"0.00488000", 0.00488f}};
  for (const auto& [stored, value] : cases) {
    store->WriteString("ADC_Param", "Gen_Scale", stored);
    store->WriteString("MacSelection", "Scale", stored);
    app.LoadSettings();
    EXPECT_FLOAT_EQ(app.adcParam.Gen_Scale, value) << stored;
    EXPECT_FLOAT_EQ(app.Selection(SelectionFormat::Mac).Scale, value) << stored;
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
  const ExportSelection& s = app.Selection(SelectionFormat::Adc);
  EXPECT_EQ(s.NumPar(), 2);
  EXPECT_EQ(s.groupNames, (std::vector<std::string>{"ANALOG", "SUBJECT"}));
  EXPECT_EQ(s.groupFlags, (std::vector<std::uint8_t>{1, 0}));

  app.SaveSettings();
  EXPECT_EQ(store->ReadInt("AdcSelection", "NumPar"), 2);
  EXPECT_EQ(store->ReadString("AdcSelection", "ParName0"), "ANALOG");
  EXPECT_EQ(store->ReadString("AdcSelection", "ParName1"), "SUBJECT");
  EXPECT_EQ(store->ReadInt("AdcSelection", "ParSel1"), 0);
}

TEST_F(SettingsTest, GarbageInEveryValueGivesDefaultsOrCorrections) {
  const char* sections[] = {"Settings",       "GCDExport",    "TextExport",   "Veltro",
                            "C3dSelection",   "VadSelection", "AdcSelection", "MacSelection",
                            "CodasSelection", "BtsSelection", "ADC_Param"};
  const char* names[] = {"ExportTo",
                         "Log",
                         "LogFile",
                         "LogErrorOnly",
                         "ShowCmd",
                         "AnalogScaled",
                         "VideoScaled",
                         "ShowResid",
                         "ShowMask",
                         "Precision",
                         "Dstlexicon",
                         "AnalogColNames",
                         "VideoColNames",
                         "Delimiter",
                         "SamplesByFrame",
                         "StartAtZero",
                         "DoubleLimitTrajectory",
                         "ColumnWidth",
                         "DelimitColNames",
                         "Mean_StdDev",
                         "Location",
                         "Serial",
                         "Equip",
                         "Res",
                         "Header",
                         "AnalogData",
                         "VideoData",
                         "NumPar",
                         "ParName0",
                         "ParSel0",
                         "Scale",
                         "RateIndex",
                         "Gen_Scale"};
  const auto fill = [&](const CMemorySettingsStore::Value& v) {
    store->Clear();
    for (const char* s : sections) {
      for (const char* n : names) {
        if (const auto* i = std::get_if<std::int64_t>(&v)) {
          store->WriteInt(s, n, *i);
        } else {
          store->WriteString(s, n, std::get<std::string>(v));
        }
      }
    }
  };

  // Texts where numbers belong: numbers take their defaults.
  fill(std::string("garbage \xFF\x01"));
  app.LoadSettings();
  EXPECT_EQ(app.ExportTo, 0);
  EXPECT_EQ(app.logSettings.LogErrorOnly, 1);
  EXPECT_EQ(app.logSettings.LogFile, "garbage \xFF\x01");
  EXPECT_EQ(app.dstOptions, DstOptions{});
  TextOptions tabDefaults;
  EXPECT_EQ(app.textOptions, tabDefaults);
  for (const ExportSelection& s : app.selections) {
    EXPECT_EQ(s.NumPar(), 0);
    EXPECT_EQ(s.Header, 1);
  }
  EXPECT_EQ(app.adcParam.Gen_Scale, 0.0f);
  EXPECT_EQ(app.veltro.at("Res"), "garbage \xFF\x01");

  // Empty texts.
  fill(std::string());
  app.LoadSettings();
  EXPECT_EQ(app.logSettings.LogFile, "");
  EXPECT_EQ(app.textOptions.Delimiter, 2);
  EXPECT_EQ(app.veltro.at("Location"), "");
  EXPECT_EQ(app.adcParam.Gen_Scale, 0.0f);

  // Huge and negative numbers everywhere, texts included; a huge "NumPar"
  // must not make loading read for ever.
  for (const std::int64_t n : {INT64_MAX, INT64_MIN, std::int64_t{-1}, std::int64_t{0x7FFFFFFF}}) {
    fill(n);
    app.LoadSettings();
    EXPECT_LE(app.ExportTo, 1);
    EXPECT_LE(app.dstOptions.Dstlexicon, 2);
    EXPECT_LE(app.adcParam.RateIndex, 3);
    EXPECT_LE(app.textOptions.Delimiter, 2);
    EXPECT_TRUE(app.logSettings.Log == 0 || app.logSettings.Log == 1);
    for (const ExportSelection& s : app.selections) {
      EXPECT_LE(s.NumPar(), 4096);
      EXPECT_EQ(s.groupNames.size(), s.groupFlags.size());
      for (const std::uint8_t flag : s.groupFlags) EXPECT_LE(flag, 1);
    }
    EXPECT_EQ(app.veltro.at("Equip"), std::to_string(n));
    EXPECT_TRUE(app.SaveSettings());
  }
}

TEST_F(SettingsTest, StartDirAndWindowPosAreWrittenAtOnce) {
  EXPECT_EQ(app.ReadStartDir(), "");
  EXPECT_EQ(app.ReadWindowPos(), std::nullopt);
  app.WriteStartDir("/data/walks/");
  app.WriteWindowPos("0,1,-1,-1,-1,-1,10,10,800,600");
  EXPECT_EQ(store->ReadString("Settings", "StartDir"), "/data/walks/");
  EXPECT_EQ(app.ReadStartDir(), "/data/walks/");
  EXPECT_EQ(app.ReadWindowPos(), "0,1,-1,-1,-1,-1,10,10,800,600");
}

TEST_F(SettingsTest, ExecutablePathIsRecordedInTheMachineStore) {
  CMemorySettingsStore machine;
  app.RecordExecutablePath(machine);
#ifdef _WIN32
  EXPECT_EQ(machine.ReadString("", "Exe"), (dir / "Kinex2.exe").string());
#else
  EXPECT_EQ(machine.ReadString("", "Exe"), (dir / "kinex2").string());
#endif
}

}  // namespace
