#include "documents/C3dDoc.h"

#include <gtest/gtest.h>

#include "c3dbuilder/C3dBuilder.h"
#include "formats/c3d/C3dDescription.h"
#include "support/TestSupport.h"

namespace {

using testsupport::RecordingPlatform;
using testsupport::TempDir;

constexpr char kSignature[] = "#!DST-2.0 Data file created by Kinex2 2.560\n";

// Frames 101..600, groups POINT, ANALOG and a second "point" group, two
// points and three channels.
c3dbuilder::Spec TrialSpec() {
  c3dbuilder::Spec s;
  s.firstFrame = 101;
  s.frames = 500;
  s.points = 2;
  s.analogChannels = 3;
  c3dbuilder::AddStandardParameters(s, {"A", "B"}, {"X", "Y", "Z"});
  s.groups.push_back({"SUBJECT", "", false});
  s.params.push_back(c3dbuilder::StringParam("SUBJECT", "NAME", {"someone"}));
  return s;
}

class C3dDocTest : public ::testing::Test {
 protected:
  std::filesystem::path Write(const c3dbuilder::Spec& spec, const std::string& name) {
    const auto bytes = c3dbuilder::Build(spec);
    const std::filesystem::path p = dir / name;
    testsupport::WriteFile(p, {bytes.begin(), bytes.end()});
    return p;
  }
  void OpenTrial() {
    settings.dstSignature = kSignature;
    doc.SetSettings(settings);
    input = Write(TrialSpec(), "trial01.c3d");
    ASSERT_TRUE(doc.OnOpenDocument(input));
  }

  TempDir dir;
  RecordingPlatform platform;
  CDocumentSettings settings;
  CC3dDoc doc{platform};
  std::filesystem::path input;
};

TEST(SavePathsTest, SaveAndSaveAsNames) {
  EXPECT_EQ(SaveOutputPath("/data/trial01.c3d", 1), "/data/trial01.txt");
  EXPECT_EQ(SaveOutputPath("/data/trial01.c3d", 0), "/data/trial01.dst");
  EXPECT_EQ(SaveOutputPath("/data/a.b.C3D", 0), "/data/a.b.dst");
  EXPECT_EQ(SaveAsPath("/x/out", ExportKind::Text), "/x/out.txt");
  EXPECT_EQ(SaveAsPath("/x/out.csv", ExportKind::Text), "/x/out.csv");
  EXPECT_EQ(SaveAsPath("/x/out", ExportKind::Dst), "/x/out.dst");
  EXPECT_EQ(SaveAsPath("/x/out", ExportKind::C3d), "/x/out.c3d");
}

TEST(DstFlavourTest, FlavoursTheFormatLacksFallBackToGeneral) {
  CFormatDescription plain = C3dFormatDescription();
  plain.hasVdoFlavour = plain.hasExpFlavour = false;
  EXPECT_EQ(ChooseDstFlavour(C3dFormatDescription(), 0), DstFlavour::General);
  EXPECT_EQ(ChooseDstFlavour(C3dFormatDescription(), 1), DstFlavour::Vdo);
  EXPECT_EQ(ChooseDstFlavour(C3dFormatDescription(), 2), DstFlavour::Exp);
  EXPECT_EQ(ChooseDstFlavour(C3dFormatDescription(), 3), DstFlavour::General);
  EXPECT_EQ(ChooseDstFlavour(plain, 1), DstFlavour::General);
  EXPECT_EQ(ChooseDstFlavour(plain, 2), DstFlavour::General);
}

TEST_F(C3dDocTest, OpeningShowsStatusLogsAndSelectsEverything) {
  settings.logErrorOnly = false;
  OpenTrial();
  const std::string path = doc.Reader().fileName.string();
  EXPECT_EQ(doc.Reader().fileName, std::filesystem::absolute(input).lexically_normal());
  EXPECT_EQ(platform.statusTexts,
            (std::vector<std::string>{"Opening File " + path, "Opened File " + path}));
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "Opened File " + path);
  EXPECT_FALSE(platform.messages[0].showBox);
  EXPECT_TRUE(platform.messages[0].writeToLog);
  EXPECT_TRUE(doc.loaded);
  EXPECT_TRUE(doc.treeOutdated);

  const CExportSelection& sel = doc.Selection();
  EXPECT_EQ(sel.header, 1);
  EXPECT_EQ(sel.groups, "111");
  EXPECT_EQ(sel.analog, "111");
  EXPECT_EQ(sel.points, "11");
  EXPECT_EQ(sel.params, std::string(doc.Reader().paramSet.params.size(), '1'));
  EXPECT_TRUE(sel.forcePlates.empty());  // no FORCE_PLATFORM group
  EXPECT_EQ(sel.rangeFirst, 101);
  EXPECT_EQ(sel.rangeLast, 600);
}

TEST_F(C3dDocTest, FailedOpenKeepsTheOpeningText) {
  settings.logErrorOnly = true;
  doc.SetSettings(settings);
  const std::filesystem::path missing = dir / "missing.c3d";
  EXPECT_FALSE(doc.OnOpenDocument(missing));
  EXPECT_EQ(platform.statusTexts, (std::vector<std::string>{"Opening File " + missing.string()}));
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text.rfind("ERROR in " + missing.string(), 0), 0u);
  EXPECT_FALSE(doc.loaded);
}

TEST_F(C3dDocTest, StoredSelectionDeselectsANamedGroupAndItsParameters) {
  settings.selection.AnalogData = 1;
  settings.selection.VideoData = 0;
  settings.selection.Header = 0;
  settings.selection.groupNames = {"point", "NOT IN FILE"};
  settings.selection.groupFlags = {0, 0};
  OpenTrial();
  const CParamSet& set = doc.Reader().paramSet;
  const CExportSelection& sel = doc.Selection();
  EXPECT_EQ(sel.header, 0);
  EXPECT_EQ(sel.groups, "011");
  for (int p = 0; p < set.ParamCount(); ++p) {
    const bool inPoint = set.GetGroupName(set.params[p]) == "POINT";
    EXPECT_EQ(sel.params[p], inPoint ? '0' : '1') << set.params[p].name;
  }
  EXPECT_EQ(sel.analog, "111");
  EXPECT_EQ(sel.points, "00");
  EXPECT_EQ(doc.States().data, 2);
  EXPECT_EQ(doc.States().analog, 1);
  EXPECT_EQ(doc.States().points, 0);
  EXPECT_EQ(doc.States().parameters, 2);
}

TEST_F(C3dDocTest, FramesAcceptOnlyAnOrderedRangeInsideTheRecording) {
  OpenTrial();
  EXPECT_EQ(doc.RangeMinimum(), 101);
  EXPECT_EQ(doc.RangeMaximum(), 600);
  EXPECT_FALSE(doc.SetFrameRange(100, 200));
  EXPECT_FALSE(doc.SetFrameRange(200, 601));
  EXPECT_FALSE(doc.SetFrameRange(300, 200));
  EXPECT_EQ(doc.Selection().rangeFirst, 101);
  EXPECT_EQ(doc.Selection().rangeLast, 600);
  EXPECT_TRUE(doc.SetFrameRange(250, 250));
  EXPECT_EQ(doc.Selection().rangeFirst, 250);
  EXPECT_EQ(doc.Selection().rangeLast, 250);
  EXPECT_TRUE(doc.SetFrameRange(101, 600));
}

TEST_F(C3dDocTest, SaveWritesBesideTheInputByExportTo) {
  OpenTrial();
  platform.statusTexts.clear();
  const std::uint64_t n = doc.OnFileSave();
  const std::filesystem::path dst = dir / "trial01.dst";
  ASSERT_GT(n, 0u);
  EXPECT_EQ(n, std::filesystem::file_size(dst));
  EXPECT_EQ(testsupport::ReadFileText(dst).rfind(kSignature, 0), 0u);
  EXPECT_EQ(platform.statusTexts, (std::vector<std::string>{"Saving to file " + dst.string(),
                                                            "Saved file " + dst.string() + " (" +
                                                                std::to_string(n) + " bytes)"}));

  settings.exportTo = 1;
  doc.SetSettings(settings);
  EXPECT_GT(doc.OnFileSave(), 0u);
  EXPECT_TRUE(std::filesystem::exists(dir / "trial01.txt"));

  // Declining to overwrite clears the status text.
  platform.statusTexts.clear();
  platform.answerYes = false;
  EXPECT_EQ(doc.OnFileSave(), 0u);
  EXPECT_EQ(platform.statusTexts.back(), "");
}

TEST_F(C3dDocTest, SaveAsKeepsAChosenExtensionAndExportTo) {
  OpenTrial();
  EXPECT_GT(doc.SaveAs(dir / "out", ExportKind::Text), 0u);
  EXPECT_GT(doc.SaveAs(dir / "out.csv", ExportKind::Text), 0u);
  EXPECT_GT(doc.SaveAs(dir / "other", ExportKind::Dst), 0u);
  EXPECT_TRUE(std::filesystem::exists(dir / "out.txt"));
  EXPECT_TRUE(std::filesystem::exists(dir / "out.csv"));
  EXPECT_TRUE(std::filesystem::exists(dir / "other.dst"));
  EXPECT_EQ(doc.Settings().exportTo, 0);
  // A C3D document cannot write C3D: nothing is written, whatever the filter.
  EXPECT_EQ(doc.SaveAs(dir / "copy", ExportKind::C3d), 0u);
  EXPECT_FALSE(std::filesystem::exists(dir / "copy.c3d"));
  EXPECT_EQ(doc.SaveAs(dir / "copy.C3D", ExportKind::Dst), 0u);
  EXPECT_FALSE(std::filesystem::exists(dir / "copy.C3D"));
  EXPECT_TRUE(platform.messages.back().showBox);
  EXPECT_NE(platform.messages.back().text.find(kC3dNotWritable), std::string::npos);
}

TEST_F(C3dDocTest, DstlexiconChoosesTheFlavour) {
  OpenTrial();
  for (std::uint8_t lexicon : {0, 1, 2, 7}) {
    settings.dst.Dstlexicon = lexicon;
    settings.overwriteAll = true;
    doc.SetSettings(settings);
    const std::filesystem::path out = dir / "flavour.dst";
    ASSERT_GT(doc.ExportDst(out), 0u);
    const char* first = lexicon == 1   ? "#!DST-2.0 VDO-2.0\n"
                        : lexicon == 2 ? "#!DST-1.0 EXP-1.0 "
                                       : kSignature;
    EXPECT_EQ(testsupport::ReadFileText(out).rfind(first, 0), 0u) << int(lexicon);
  }
}

TEST_F(C3dDocTest, ForcePlateFlagsSixPerUsedPlate) {
  c3dbuilder::Spec spec = TrialSpec();
  spec.groups.push_back({"FORCE_PLATFORM", "", false});
  spec.params.push_back(c3dbuilder::NumberParam("FORCE_PLATFORM", "USED", 2, {2}));
  const std::filesystem::path p = Write(spec, "plates.c3d");
  ASSERT_TRUE(doc.OnOpenDocument(p));
  EXPECT_EQ(doc.ForcePlateCount(), 2);
  EXPECT_EQ(doc.Selection().forcePlates, std::string(12, '1'));

  // A hostile count asks for no more than a 16-bit number of plates.
  spec.params.back() = c3dbuilder::NumberParam("FORCE_PLATFORM", "USED", 4, {1.0e9f});
  ASSERT_TRUE(doc.OnOpenDocument(Write(spec, "hostile.c3d")));
  EXPECT_EQ(doc.ForcePlateCount(), 32767);
}

}  // namespace
