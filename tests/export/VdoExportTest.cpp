#include "export/VdoExport.h"

#include <gtest/gtest.h>

#include "c3dbuilder/C3dBuilder.h"
#include "formats/c3d/C3d.h"
#include "formats/c3d/C3dDescription.h"
#include "support/TestSupport.h"

namespace {

using testsupport::RecordingPlatform;
using testsupport::TempDir;

// Two frames of two samples at 50 Hz; points LHEE and RTOE in millimetres
// (marker scale 0.5); a type-2 plate on channels 1-6 with constant loads
// Fx 10, Fy 0, Fz 500, Mx 1000, My -2000, Mz 100 (origin depth 40), centred at
// (300, 200) in the common orientation; an EMG channel counting 0, 1, 2, 3.
c3dbuilder::Spec PlateSpec() {
  using namespace c3dbuilder;
  Spec s;
  s.markerScale = 0.5f;
  s.frameRate = 50.0f;
  s.frames = 2;
  s.points = 2;
  s.analogChannels = 7;
  s.analogRatio = 2;
  AddStandardParameters(s, {"LHEE", "RTOE"}, {"FX1", "FY1", "FZ1", "MX1", "MY1", "MZ1", "EMG 1-L"});
  for (Param& p : s.params) {
    if (p.name == "SCALE" && p.group == "ANALOG") p.numbers.assign(7, 1.0f);
    if (p.name == "GEN_SCALE") p.numbers = {1.0f};
  }
  s.params.push_back(StringParam("POINT", "UNITS", {"MM "}));
  s.groups.push_back({"FORCE_PLATFORM", "", false});
  s.params.push_back(NumberParam("FORCE_PLATFORM", "USED", 2, {1}));
  s.params.push_back(NumberParam("FORCE_PLATFORM", "TYPE", 2, {2}));
  s.params.push_back(NumberParam("FORCE_PLATFORM", "CHANNEL", 2, {1, 2, 3, 4, 5, 6}));
  s.params.push_back(NumberParam("FORCE_PLATFORM", "ORIGIN", 4, {0, 0, -40}));
  s.params.push_back(NumberParam("FORCE_PLATFORM", "CORNERS", 4,
                                 {500, 0, 0, 100, 0, 0, 100, 400, 0, 500, 400, 0}));
  s.pointValue = [](int i, int, int c) -> float {
    const float v[4] = {100.0f + 2.0f * i, 200.0f, -300.0f, 0.0f};
    return v[c];
  };
  s.analogValue = [](int i, int sample, int c) -> float {
    const float loads[6] = {10, 0, 500, 1000, -2000, 100};
    return c < 6 ? loads[c] : 2.0f * i + sample;
  };
  return s;
}

class VdoExportTest : public ::testing::Test {
 protected:
  void Open(const c3dbuilder::Spec& spec) {
    const auto bytes = c3dbuilder::Build(spec);
    const std::filesystem::path input = dir / "walk.c3d";
    testsupport::WriteFile(input, {bytes.begin(), bytes.end()});
    c3d.SetPlatform(&platform);
    c3d.fileName = input;
    ASSERT_TRUE(c3d.Open());
    selection.analog.assign(c3d.analog.size(), '1');
    selection.points.assign(c3d.points.size(), '1');
    selection.forcePlates = "111111";
    selection.rangeFirst = c3d.firstFrame;
    selection.rangeLast = c3d.lastFrame;
  }
  std::string Export(const LabelTranslations& labels) {
    CExportJob job{c3d, C3dFormatDescription(), selection, output, platform, true, true};
    EXPECT_GT(ExportDstVdo(job, DstOptions{}, labels), 0u);
    return testsupport::ReadFileText(output);
  }

  TempDir dir;
  std::filesystem::path output = dir / "walk.dst";
  RecordingPlatform platform;
  CC3d c3d;
  CExportSelection selection;
};

TEST_F(VdoExportTest, WholeFileUnderTranslatedNames) {
  Open(PlateSpec());
  LabelTranslations labels;
  // The first of two pairs for LHEE wins; names match trimmed, in any case.
  labels.sourceNames = {"lhee ", "LHEE", " emg 1-l"};
  labels.dstNames = {"L HEEL-1", "Other", "Emg Left"};
  labels.extraLines = {"$Trial,5", "!Var", "#comment,x", ",empty", "$A,b,c"};
  auto repeat = [&](const std::string& v) {
    std::string s;
    for (int i = 0; i < 4; ++i) s += v + "\n";
    return s;
  };
  const std::string expected =
      "#!DST-2.0 VDO-2.0\n"
      "!MarkerFrequency\n50.00\n"
      "!ForcePlateFrequency\n100.00\n"
      "!EMGFrequency\n100.00\n"
      "$Trial\n5\n"
      "!Var\n\n"
      "$A\nb\n"
      "!ForcePlate1Corner1-3\n0.500  0.000  0.000\n"
      "!ForcePlate1Corner2-3\n0.100  0.000  0.000\n"
      "!ForcePlate1Corner3-3\n0.100  0.400  0.000\n"
      "!ForcePlate1Corner4-3\n0.500  0.400  0.000\n"
      "!Emg_Left-1\n0.000\n1.000\n2.000\n3.000\n"
      "!ForcePlate1FX\n" +
      repeat("10.000") +
      // A zero force of a plate whose Y axis runs against the laboratory's.
      "!ForcePlate1FY\n" + repeat("-0.000") + "!ForcePlate1FZ\n" + repeat("-500.000") +
      // Centre (300, 200) mm plus the plate's centre of pressure (4.8, -2) mm.
      "!ForcePlate1DX\n" + repeat("0.305") + "!ForcePlate1DY\n" + repeat("0.198") +
      // Mz + Fx Qy - Fy Qx = 100 + 10 x 2 N mm.
      "!ForcePlate1TZ\n" + repeat("0.120") +
      "!L_HEEL_1-3\n"
      "0.050 0.100 -0.150 \n"
      "0.051 0.100 -0.150 \n";
  EXPECT_EQ(Export(labels), expected);
  EXPECT_EQ(platform.progressRange, 1 + 7 + 2 + 6);
  EXPECT_EQ(platform.progressSteps, 1 + 1 + 6 + 1);
  ASSERT_EQ(platform.messages.size(), 1u);  // the log line only
  EXPECT_FALSE(platform.messages[0].showBox);
}

TEST_F(VdoExportTest, PlateTurnedRoundRangeAndUnselectedComponents) {
  c3dbuilder::Spec spec = PlateSpec();
  for (c3dbuilder::Param& p : spec.params) {
    if (p.name == "CORNERS") p.numbers = {100, 400, 0, 500, 400, 0, 500, 0, 0, 100, 0, 0};
  }
  Open(spec);
  selection.forcePlates = "110000";
  selection.rangeFirst = selection.rangeLast = 2;
  LabelTranslations labels;
  labels.sourceNames = {"x"};
  labels.dstNames = {"y"};
  const std::string text = Export(labels);
  EXPECT_NE(text.find("!ForcePlate1FX\n-10.000\n-10.000\n!ForcePlate1FY\n0.000\n0.000\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("!ForcePlate1FZ"), std::string::npos);
  EXPECT_EQ(platform.progressSteps, 1 + 6);
}

TEST_F(VdoExportTest, NoTranslationsNoPlates) {
  c3dbuilder::Spec spec = PlateSpec();
  for (c3dbuilder::Param& p : spec.params) {
    if (p.name == "USED" && p.group == "FORCE_PLATFORM") p.numbers = {0};
  }
  Open(spec);
  const std::string text = Export(LabelTranslations{});
  EXPECT_EQ(text,
            "#!DST-2.0 VDO-2.0\n!MarkerFrequency\n50.00\n!ForcePlateFrequency\n100.00\n"
            "!EMGFrequency\n100.00\n");
  ASSERT_EQ(platform.messages.size(), 2u);  // the warning, then the log line
  EXPECT_EQ(platform.messages[0].text, kNoMarkerTranslations);
  EXPECT_TRUE(platform.messages[0].showBox);
  EXPECT_FALSE(platform.messages[0].writeToLog);
  EXPECT_EQ(platform.progressRange, 1 + 7 + 2);
}

TEST(PointUnitFactorTest, KnownUnitsInAnyCaseElseOne) {
  auto factor = [](const std::vector<std::string>& units) {
    CParamSet set;
    set.AddGroup("POINT", "", -1);
    if (!units.empty()) {
      CParam& p = set.AddStringParam(1, "UNITS", "", static_cast<int>(units.size()));
      p.strings = units;
    }
    return PointUnitFactor(set);
  };
  EXPECT_EQ(factor({" MM "}), 0.001f);
  EXPECT_EQ(factor({"cm"}), 0.01f);
  EXPECT_EQ(factor({"Feet"}), 0.3048f);
  EXPECT_EQ(factor({"in"}), 0.0254f);
  EXPECT_EQ(factor({"m"}), 1.0f);
  EXPECT_EQ(factor({}), 1.0f);
}

}  // namespace
