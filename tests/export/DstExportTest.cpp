#include "export/DstExport.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <csignal>

#include <cstdio>
#include <sstream>

#include "c3dbuilder/C3dBuilder.h"
#include "formats/c3d/C3d.h"
#include "formats/c3d/C3dDescription.h"
#include "support/TestSupport.h"

namespace {

using testsupport::RecordingPlatform;
using testsupport::TempDir;

constexpr char kSignature[] = "#!DST-2.0 Data file created by Kinex2 2.560\n";

// One point and one channel over two frames with two samples each; names
// with blanks and hyphens; a BYTE array with a value above 127; a locked group.
c3dbuilder::Spec SmallSpec(bool floatData) {
  using namespace c3dbuilder;
  Spec s;
  s.floatData = floatData;
  s.markerScale = 0.5f;
  s.frameRate = 50.0f;
  s.frames = 2;
  s.points = 1;
  s.analogChannels = 1;
  s.analogRatio = 2;
  s.events = {{"HS", 0.5f, 1}};
  s.groups = {{"POINT", "pt", false}, {"ANALOG", "an", true}, {"MY GROUP", "spaced", false}};
  s.params = {StringParam("POINT", "LABELS", {"LEFT-KNEE mk"}),
              StringParam("ANALOG", "LABELS", {"EMG 1-L"}),
              NumberParam("ANALOG", "SCALE", 4, {2.0f}),
              NumberParam("ANALOG", "OFFSET", 2, {10}),
              NumberParam("ANALOG", "GEN_SCALE", 4, {0.5f}),
              NumberParam("MY GROUP", "A PARAM", 1, {-3, 200}),
              NumberParam("MY GROUP", "SCALAR", 2, {7})};
  // Frame 0 valid (residual 4 counts, cameras 1 and 3), frame 1 invalid.
  s.pointValue = [](int i, int, int c) -> float {
    if (c == 3) return i == 0 ? 0x0504 : -1;
    return c == 0 ? 10.0f + i : (c == 1 ? -20.0f : 30.0f);
  };
  s.analogValue = [](int i, int sample, int) { return 100.0f + 2.0f * i + sample; };
  return s;
}

// Everything selected over the whole recording.
CExportSelection AllOf(const CRecording& r) {
  CExportSelection sel;
  sel.groups.assign(r.paramSet.groups.size(), '1');
  sel.params.assign(r.paramSet.params.size(), '1');
  sel.analog.assign(r.analog.size(), '1');
  sel.points.assign(r.points.size(), '1');
  sel.rangeFirst = r.firstFrame;
  sel.rangeLast = r.lastFrame;
  return sel;
}

class DstExportTest : public ::testing::Test {
 protected:
  void Open(const c3dbuilder::Spec& spec) {
    const auto bytes = c3dbuilder::Build(spec);
    input = dir / "small trial.c3d";
    testsupport::WriteFile(input, {bytes.begin(), bytes.end()});
    c3d.SetPlatform(&platform);
    c3d.fileName = input;
    ASSERT_TRUE(c3d.Open());
    selection = AllOf(c3d);
  }

  std::uint64_t Export(const DstOptions& options, bool overwriteAll = false) {
    CExportJob job{c3d, C3dFormatDescription(), selection, output, platform, overwriteAll, false};
    return ExportDstGeneral(job, options, kSignature);
  }

  // The lines of the output from the one starting with `opening` up to the
  // next section line.
  std::vector<std::string> Section(const std::string& opening) const {
    std::istringstream in(testsupport::ReadFileText(output));
    std::vector<std::string> lines;
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
      if (inside && !line.empty() && (line[0] == '!' || line[0] == '$')) break;
      if (line == opening) inside = true;
      if (inside) lines.push_back(line);
    }
    return lines;
  }

  TempDir dir;
  std::filesystem::path input;
  std::filesystem::path output = dir / "out.dst";
  RecordingPlatform platform;
  CC3d c3d;
  CExportSelection selection;
};

TEST_F(DstExportTest, WholeFileOfAnIntegerRecordingWithDefaultOptions) {
  Open(SmallSpec(false));
  const std::uint64_t n = Export(DstOptions{});
  const std::string expected = std::string(kSignature) + "$OriginalFile\n" + input.string() +
                               "\n"
                               "$HeaderInformation\n"
                               "First Parameter Record     : 2\n"
                               "Number of 3D Points        : 1\n"
                               "Number of Analog Channels  : 1\n"
                               "First Video Frame          : 1\n"
                               "Last Video Frame           : 2\n"
                               "Maximum Interpolation Gap  : 0\n"
                               "Marker Scale Factor        : 0.500000\n"
                               "Data Start Record          : 3\n"
                               "Analog to Video Ratio      : 2\n"
                               "Video Frame Rate           : 50.000\n"
                               "$HS__\n"
                               "Type                       : EVENT\n"
                               "Label                      : HS  \n"
                               "Status                     : ON\n"
                               "Time                       : 0.5000\n"
                               "$POINT\n"
                               "Type                       : GROUP\n"
                               "Name                       : POINT\n"
                               "Description                : pt\n"
                               "Locked                     : FALSE\n"
                               "Number                     : -1\n"
                               "$ANALOG\n"
                               "Type                       : GROUP\n"
                               "Name                       : ANALOG\n"
                               "Description                : an\n"
                               "Locked                     : TRUE\n"
                               "Number                     : -2\n"
                               "$MY_GROUP\n"
                               "Type                       : GROUP\n"
                               "Name                       : MY GROUP\n"
                               "Description                : spaced\n"
                               "Locked                     : FALSE\n"
                               "Number                     : -3\n"
                               "$LABELS\n"
                               "Type                       : PARAMETER\n"
                               "Name                       : LABELS\n"
                               "Description                : \n"
                               "Locked                     : FALSE\n"
                               "Group                      : POINT\n"
                               "Number of Dimensions       : 2\n"
                               "Dimensions                 : 12 1\n"
                               "Data Type                  :CHAR\n"
                               "LEFT-KNEE mk\n"
                               "$LABELS\n"
                               "Type                       : PARAMETER\n"
                               "Name                       : LABELS\n"
                               "Description                : \n"
                               "Locked                     : FALSE\n"
                               "Group                      : ANALOG\n"
                               "Number of Dimensions       : 2\n"
                               "Dimensions                 : 7 1\n"
                               "Data Type                  :CHAR\n"
                               "EMG 1-L\n"
                               "$SCALE\n"
                               "Type                       : PARAMETER\n"
                               "Name                       : SCALE\n"
                               "Description                : \n"
                               "Locked                     : FALSE\n"
                               "Group                      : ANALOG\n"
                               "Number of Dimensions       : 0\n"
                               "Data Type                  :FLOAT\n"
                               "2.0000\n"
                               "$OFFSET\n"
                               "Type                       : PARAMETER\n"
                               "Name                       : OFFSET\n"
                               "Description                : \n"
                               "Locked                     : FALSE\n"
                               "Group                      : ANALOG\n"
                               "Number of Dimensions       : 0\n"
                               "Data Type                  :INT\n"
                               "10\n"
                               "$GEN_SCALE\n"
                               "Type                       : PARAMETER\n"
                               "Name                       : GEN_SCALE\n"
                               "Description                : \n"
                               "Locked                     : FALSE\n"
                               "Group                      : ANALOG\n"
                               "Number of Dimensions       : 0\n"
                               "Data Type                  :FLOAT\n"
                               "0.5000\n"
                               "$A_PARAM\n"
                               "Type                       : PARAMETER\n"
                               "Name                       : A PARAM\n"
                               "Description                : \n"
                               "Locked                     : FALSE\n"
                               "Group                      : MY GROUP\n"
                               "Number of Dimensions       : 1\n"
                               "Dimensions                 : 2\n"
                               "Data Type                  :BYTE\n"
                               "-3\n"
                               "-56\n"
                               "$SCALAR\n"
                               "Type                       : PARAMETER\n"
                               "Name                       : SCALAR\n"
                               "Description                : \n"
                               "Locked                     : FALSE\n"
                               "Group                      : MY GROUP\n"
                               "Number of Dimensions       : 0\n"
                               "Data Type                  :INT\n"
                               "7\n"
                               "!EMG_1_L-1\n"
                               "100\n"
                               "101\n"
                               "102\n"
                               "103\n"
                               "!LEFT_KNEE_mk-3\n"
                               "10 -20 30 \n"
                               "11 -20 30 \n";
  EXPECT_EQ(testsupport::ReadFileText(output), expected);
  EXPECT_EQ(n, expected.size());
  // Header, 3 groups, 7 parameters, 1 channel, 1 point.
  EXPECT_EQ(platform.progressRange, 13);
  EXPECT_EQ(platform.progressSteps, 13);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text,
            "Exported " + input.string() + " To " + output.string() + ". Frames 1 to 2");
  EXPECT_FALSE(platform.messages[0].showBox);
  EXPECT_TRUE(platform.messages[0].writeToLog);
  EXPECT_EQ(platform.waitDepth, 0);
}

TEST_F(DstExportTest, ResidualAndMaskColumnsFollowTheirOptions) {
  Open(SmallSpec(false));
  struct Case {
    int resid, mask;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {0, 0, {"!LEFT_KNEE_mk-3", "10 -20 30 ", "11 -20 30 "}},
      {1, 0, {"!LEFT_KNEE_mk-4", "10 -20 30 2 ", "11 -20 30 -1 "}},
      {0, 1, {"!LEFT_KNEE_mk-4", "10 -20 30 1010000", "11 -20 30 0000000"}},
      {1, 1, {"!LEFT_KNEE_mk-5", "10 -20 30 2 1010000", "11 -20 30 -1 0000000"}},
  };
  for (const Case& c : cases) {
    DstOptions o;
    o.ShowResid = c.resid;
    o.ShowMask = c.mask;
    ASSERT_GT(Export(o, true), 0u);
    EXPECT_EQ(Section(c.lines[0]), c.lines) << c.resid << c.mask;
  }
}

TEST_F(DstExportTest, IntegerCoordinatesAreScaledOnlyWithVideoScaled) {
  Open(SmallSpec(false));
  DstOptions o;
  o.VideoScaled = 1;
  o.ShowResid = 1;
  ASSERT_GT(Export(o), 0u);
  // The residual is already in units; it is never scaled again.
  EXPECT_EQ(Section("!LEFT_KNEE_mk-4"),
            (std::vector<std::string>{"!LEFT_KNEE_mk-4", "5.000 -10.000 15.000 2.000 ",
                                      "5.500 -10.000 15.000 -1.000 "}));
}

TEST_F(DstExportTest, FloatRecordingsAlwaysCarryDecimals) {
  Open(SmallSpec(true));
  DstOptions o;
  o.Precision = 2;
  o.ShowResid = 1;
  ASSERT_GT(Export(o), 0u);
  EXPECT_EQ(Section("!EMG_1_L-1"),
            (std::vector<std::string>{"!EMG_1_L-1", "100.00", "101.00", "102.00", "103.00"}));
  EXPECT_EQ(Section("!LEFT_KNEE_mk-4"),
            (std::vector<std::string>{"!LEFT_KNEE_mk-4", "10.00 -20.00 30.00 2.00 ",
                                      "11.00 -20.00 30.00 -1.00 "}));
  EXPECT_EQ(Section("$HeaderInformation")[7], "Marker Scale Factor        : -0.500000");
}

TEST_F(DstExportTest, ScaledAnalogValuesAreComputedInSinglePrecision) {
  c3dbuilder::Spec spec = SmallSpec(false);
  spec.params[2] = c3dbuilder::NumberParam("ANALOG", "SCALE", 4, {0.1f});
  spec.params[4] = c3dbuilder::NumberParam("ANALOG", "GEN_SCALE", 4, {0.3f});
  spec.analogValue = [](int, int, int) { return 1234.0f; };
  spec.markerScale = 0.1f;
  Open(spec);
  DstOptions o;
  o.AnalogScaled = 1;
  o.VideoScaled = 1;
  o.Precision = 8;
  ASSERT_GT(Export(o), 0u);
  const float scale = 0.3f * 0.1f;
  const float value = (1234.0f - 10.0f) * scale;
  char single[64];
  char twice[64];
  std::snprintf(single, sizeof single, "%.8f", value);
  std::snprintf(twice, sizeof twice, "%.8f", (1234.0 - 10.0) * (0.3 * 0.1));
  ASSERT_STRNE(single, twice);  // the case tells the two apart
  EXPECT_EQ(Section("!EMG_1_L-1")[1], single);
  // 10 counts x 0.1 is exactly 1 in single precision (1.00000001 in double).
  EXPECT_EQ(Section("!LEFT_KNEE_mk-3")[1], "1.00000000 -2.00000000 3.00000000 ");
}

TEST_F(DstExportTest, OneFrameRangeWritesOneFramesSamplesAndOneLine) {
  Open(SmallSpec(false));
  selection.rangeFirst = selection.rangeLast = 2;
  ASSERT_GT(Export(DstOptions{}), 0u);
  EXPECT_EQ(Section("!EMG_1_L-1"), (std::vector<std::string>{"!EMG_1_L-1", "102", "103"}));
  EXPECT_EQ(Section("!LEFT_KNEE_mk-3"),
            (std::vector<std::string>{"!LEFT_KNEE_mk-3", "11 -20 30 "}));
  EXPECT_EQ(platform.messages.back().text,
            "Exported " + input.string() + " To " + output.string() + ". Frames 2 to 2");
}

TEST_F(DstExportTest, NothingSelectedLeavesSignatureAndOriginalFile) {
  Open(SmallSpec(false));
  selection.header = 0;
  std::fill(selection.groups.begin(), selection.groups.end(), '0');
  std::fill(selection.params.begin(), selection.params.end(), '0');
  std::fill(selection.analog.begin(), selection.analog.end(), '0');
  std::fill(selection.points.begin(), selection.points.end(), '0');
  ASSERT_GT(Export(DstOptions{}), 0u);
  EXPECT_EQ(testsupport::ReadFileText(output),
            std::string(kSignature) + "$OriginalFile\n" + input.string() + "\n");
  EXPECT_EQ(platform.progressRange, 0);
}

TEST_F(DstExportTest, DefaultNamesAndMissingGroupForUnlabelledItems) {
  c3dbuilder::Spec spec = SmallSpec(false);
  spec.analogChannels = 3;
  spec.params[1] =
      c3dbuilder::StringParam("ANALOG", "LABELS", {"ONLY", "   "});  // one blank, one missing
  spec.params.erase(spec.params.begin());                            // no POINT:LABELS
  spec.params.push_back(c3dbuilder::NumberParam("NOWHERE", "ORPHAN", 2, {1}));  // no such group
  Open(spec);
  ASSERT_GT(Export(DstOptions{}), 0u);
  EXPECT_EQ(Section("$ORPHAN")[5], "Group                      : ");
  EXPECT_EQ(Section("!ONLY-1").size(), 5u);
  EXPECT_EQ(Section("!Channel_02-1").size(), 5u);
  EXPECT_EQ(Section("!Channel_03-1").size(), 5u);
  EXPECT_EQ(Section("!Marker_01-3").size(), 3u);
}

TEST_F(DstExportTest, DeclinedOverwriteLeavesTheTargetAndLogsNothing) {
  Open(SmallSpec(false));
  testsupport::WriteFile(output, {'o', 'l', 'd'});
  platform.answerYes = false;
  EXPECT_EQ(Export(DstOptions{}), 0u);
  EXPECT_EQ(testsupport::ReadFileText(output), "old");
  ASSERT_EQ(platform.questions.size(), 1u);
  EXPECT_EQ(platform.questions[0],
            "The File " + output.string() + " already exists.\nDo you want to overwrite it?");
  EXPECT_TRUE(platform.messages.empty());

  // A batch never asks.
  EXPECT_GT(Export(DstOptions{}, true), 0u);
  EXPECT_EQ(platform.questions.size(), 1u);
}

TEST_F(DstExportTest, WriteFailuresAreReportedAndLeaveTheOldTarget) {
  Open(SmallSpec(false));
  output = dir / "missing folder" / "out.dst";
  EXPECT_EQ(Export(DstOptions{}), 0u);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text.rfind("ERROR in " + output.string() + " : ", 0), 0u);
  EXPECT_TRUE(platform.messages[0].showBox);

#ifndef _WIN32
  // Windows ignores the read-only attribute of folders.
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the super-user";
  const std::filesystem::path locked = dir / "locked";
  std::filesystem::create_directory(locked);
  output = locked / "out.dst";
  testsupport::WriteFile(output, {'o', 'l', 'd'});
  std::filesystem::permissions(
      locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  platform.messages.clear();
  EXPECT_EQ(Export(DstOptions{}, true), 0u);
  std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
  EXPECT_EQ(testsupport::ReadFileText(output), "old");
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text.rfind("ERROR in " + output.string() + " : ", 0), 0u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(locked), {}), 1);
#endif
}

// A write that fails half-way (the file-size limit stands in for a full disk;
// a POSIX limit with a POSIX signal).
#ifndef _WIN32
TEST_F(DstExportTest, CutOffWriteIsReportedAndLeavesTheOldTarget) {
  Open(SmallSpec(false));
  testsupport::WriteFile(output, {'o', 'l', 'd'});
  struct rlimit saved {};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit small = saved;
  small.rlim_cur = 200;
  void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::uint64_t n = Export(DstOptions{}, true);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(testsupport::ReadFileText(output), "old");
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text.rfind("ERROR in " + output.string() + " : ", 0), 0u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}
#endif

TEST(DstSignatureTest, FilledWithTheVersion) {
  EXPECT_EQ(MakeDstSignature("2.560"), kSignature);
}

}  // namespace

// Writing a recording's export over the recording itself would destroy it.
TEST(DstExportOverItsInput, IsRefusedAndLeavesTheInput) {
  testsupport::TempDir dir;
  c3dbuilder::Spec spec;
  spec.points = 1;
  const auto path = dir / "trial.c3d";
  const std::vector<std::uint8_t> bytes = c3dbuilder::Build(spec);
  c3dbuilder::WriteFile(path.string(), bytes);
  testsupport::RecordingPlatform platform;
  CC3d c3d;
  c3d.SetPlatform(&platform);
  c3d.fileName = path;
  ASSERT_TRUE(c3d.Open());
  CExportSelection sel;
  sel.points = "1";
  sel.rangeFirst = 1;
  sel.rangeLast = spec.frames;
  CExportJob job{c3d, C3dFormatDescription(), sel, path, platform, true, true};
  EXPECT_EQ(ExportDstGeneral(job, DstOptions{}, MakeDstSignature("2.560")), 0u);
  ASSERT_FALSE(platform.messages.empty());
  EXPECT_EQ(platform.messages.back().text,
            "ERROR in " + path.string() + " : The output file is the input file");
  EXPECT_EQ(std::filesystem::file_size(path), bytes.size());
}
