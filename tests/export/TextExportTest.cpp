// The text export on small synthetic C3D files (exact text) and on the real
// recordings of ../shared/data/c3d.

#include "export/TextExport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "c3dbuilder/C3dBuilder.h"
#include "formats/c3d/C3d.h"
#include "formats/c3d/C3dDescription.h"
#include "formats/codas/Cod.h"
#include "formats/codas/CodDescription.h"
#include "support/TestSupport.h"

namespace {

using c3dbuilder::NumberParam;
using c3dbuilder::StringParam;
using testsupport::ReadFileText;
using testsupport::RecordingPlatform;
using testsupport::TempDir;

CFormatDescription C3dTextFormat() {
  return C3dFormatDescription();
}

// One point, two channels with two samples per frame, three frames, two
// events, two groups and a handful of parameters.
c3dbuilder::Spec SmallSpec(bool floatData) {
  c3dbuilder::Spec s;
  s.floatData = floatData;
  s.markerScale = 0.1f;
  s.frameRate = 100.0f;
  s.firstFrame = 1;
  s.frames = 3;
  s.points = 1;
  s.analogChannels = 2;
  s.analogRatio = 2;
  s.events = {{"RHS", 0.25f, 1}, {"LTO", 1.5f, 0}};
  s.groups = {{"POINT", "3-D point parameters", false}, {"ANALOG", "Analog data", true}};
  s.params = {StringParam("POINT", "LABELS", {"LASI"}, "Point labels"),
              StringParam("ANALOG", "LABELS", {"EMG 1", "Force-X"}),
              NumberParam("ANALOG", "SCALE", 4, {0.5f, 2.0f}),
              NumberParam("ANALOG", "OFFSET", 2, {10.0f, 0.0f}),
              NumberParam("ANALOG", "GEN_SCALE", 4, {0.25f}),
              NumberParam("ANALOG", "BITS", 1, {200.0f}, "Resolution")};
  // Residual words: 0x0105 (residual 5, camera 1), invalid, 0x0302.
  s.pointValue = [floatData](int i, int, int c) -> float {
    static const float words[] = {261.0f, -1.0f, 770.0f};
    switch (c) {
      case 0:
        return floatData ? 1.0f * (i + 1) : 10.0f * (i + 1);
      case 1:
        return floatData ? -2.0f * (i + 1) : -20.0f * (i + 1);
      case 2:
        return floatData ? 100.0f + 0.1f * i : 1000.0f + i;
      default:
        return words[i];
    }
  };
  s.analogValue = [](int i, int s, int k) -> float {
    return k == 0 ? 100.0f + 10.0f * i + s : -3.0f + i;
  };
  return s;
}

class TextExportTest : public ::testing::Test {
 protected:
  void Open(const c3dbuilder::Spec& spec) {
    const std::vector<std::uint8_t> bytes = c3dbuilder::Build(spec);
    testsupport::WriteFile(dir / "in.c3d", {bytes.begin(), bytes.end()});
    c3d.SetPlatform(&platform);
    c3d.fileName = dir / "in.c3d";
    ASSERT_TRUE(c3d.Open());
    selection.header = 1;
    selection.groups.assign(c3d.paramSet.groups.size(), '1');
    selection.params.assign(c3d.paramSet.params.size(), '1');
    selection.analog.assign(c3d.analog.size(), '1');
    selection.points.assign(c3d.points.size(), '1');
    selection.rangeFirst = c3d.firstFrame;
    selection.rangeLast = c3d.lastFrame;
  }

  // Only the analog and point tables.
  void SelectSamplesOnly() {
    selection.header = 0;
    selection.groups.assign(selection.groups.size(), '0');
    selection.params.assign(selection.params.size(), '0');
  }

  std::string Export(const TextOptions& options) {
    const CExportJob job{c3d, format, selection, dir / "out.txt", platform, true, false};
    length = ExportText(job, options);
    return ReadFileText(dir / "out.txt");
  }

  std::string In() const { return c3d.fileName.string(); }

  TempDir dir;
  RecordingPlatform platform;
  CC3d c3d;
  CExportSelection selection;
  CFormatDescription format = C3dTextFormat();
  std::uint64_t length = 0;
};

// Every section of the file, default options: tab, width 12, raw analog
// counts, integer coordinates scaled but without decimals, a trailing empty
// cell after each point, frames counted from the start of the file.
TEST_F(TextExportTest, DefaultOptionsGiveTheExactText) {
  Open(SmallSpec(false));
  const std::string text = Export(TextOptions{});
  const std::string expected = "OriginalFile\t" + In() +
                               "\n"
                               "First Parameter Record\t2\n"
                               "Number of 3D Points\t1\n"
                               "Number of Analog Channels\t2\n"
                               "First Video Frame\t1\n"
                               "Last Video Frame\t3\n"
                               "Maximum Interpolation Gap\t0\n"
                               "Marker Scale Factor\t0.100000\n"
                               "Data Start Record\t3\n"
                               "Analog to Video Ratio\t2\n"
                               "Video Frame Rate\t100.000\n"
                               "\n"
                               "Event Name\tRHS \tLTO \n"
                               "Status\tON\tOFF\n"
                               "Time\t0.2500\t1.5000\n"
                               "\n"
                               "Group Name\tPOINT\tANALOG\n"
                               "Description\t3-D point parameters\tAnalog data\n"
                               "Locked\tFALSE\tTRUE\n"
                               "Number\t-1\t-2\n"
                               "\n"
                               "Param Name\tLABELS\tLABELS\tSCALE\tOFFSET\tGEN_SCALE\tBITS\n"
                               "Description\tPoint labels\t\t\t\t\tResolution\n"
                               "Group\tPOINT\tANALOG\tANALOG\tANALOG\tANALOG\tANALOG\n"
                               "Locked\tFALSE\tFALSE\tFALSE\tFALSE\tFALSE\tFALSE\n"
                               "Number\t1\t2\t2\t2\t2\t2\n"
                               "Data Type\tCHAR\tCHAR\tFLOAT\tINT\tFLOAT\tBYTE\n"
                               "Dimensions\t2\t2\t1\t1\t0\t0\n"
                               "Dim 1\t4\t7\t2\t2\t\t\n"
                               "Dim 2\t1\t2\t\t\t\t\n"
                               "Data 1\tLASI\tEMG 1\t0.5000\t10\t0.2500\t-56\n"
                               "Data 2\t\tForce-X\t2.0000\t0\t\t\n"
                               "\n"
                               "Frames\t       EMG 1\t     Force-X\n"
                               "   1\t         100\t          -3\n"
                               "   2\t         101\t          -3\n"
                               "   3\t         110\t          -2\n"
                               "   4\t         111\t          -2\n"
                               "   5\t         120\t          -1\n"
                               "   6\t         121\t          -1\n"
                               "\n"
                               "Frames\t      LASI X\t      LASI Y\t      LASI Z\t\n"
                               "   1\t           1\t          -2\t         100\t\n"
                               "   2\t           2\t          -4\t         100\t\n"
                               "   3\t           3\t          -6\t         100\t\n";
  EXPECT_EQ(text, expected);
  EXPECT_EQ(length, expected.size());
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text,
            "Exported " + In() + " To " + (dir / "out.txt").string() + ". Frames 1 to 3");
  EXPECT_FALSE(platform.messages[0].showBox);
  EXPECT_TRUE(platform.messages[0].writeToLog);
  // (L - F) + R (L - F + 1) + 4: three section steps, six analog rows, three
  // point rows.
  EXPECT_EQ(platform.progressRange, 12);
  EXPECT_EQ(platform.progressSteps, 12);
  EXPECT_EQ(platform.waitDepth, 0);
}

// Comma, width 8, two decimals, scaled analog ((raw - offset) x scale x
// general scale), residual and mask columns, mean and standard deviation rows,
// no separators in the name lines, time in seconds.
TEST_F(TextExportTest, SwitchedOptionsGiveTheExactText) {
  Open(SmallSpec(false));
  SelectSamplesOnly();
  TextOptions o;
  o.Delimiter = 0;
  o.ColumnWidth = 8;
  o.Precision = 2;
  o.AnalogScaled = 1;
  o.VideoScaled = 1;
  o.ShowResid = 1;
  o.ShowMask = 1;
  o.Mean_StdDev = 1;
  o.DelimitColNames = 0;
  o.SamplesByFrame = 0;
  EXPECT_EQ(Export(o),
            "\n"
            "Time     EMG 1 Force-X\n"
            " 0.005,   11.25,   -1.50\n"
            " 0.010,   11.38,   -1.50\n"
            " 0.015,   12.50,   -1.00\n"
            " 0.020,   12.62,   -1.00\n"
            " 0.025,   13.75,   -0.50\n"
            " 0.030,   13.88,   -0.50\n"
            "Mean,   12.56,   -1.00\n"
            "StdDev,    1.12,    0.45\n"
            "\n"
            "Time    LASI X  LASI Y  LASI ZLASI ResLASI Msk\n"
            " 0.000,    1.00,   -2.00,  100.00,    0.50,1000000,\n"
            " 0.010,    2.00,   -4.00,  100.10,   -1.00,0000000,\n"
            " 0.020,    3.00,   -6.00,  100.20,    0.20,1100000,\n"
            "Mean,    2.00,   -4.00,  100.10,   -0.10,,\n"
            // Single-precision sums: 0.09, not 0.10, for the Z column.
            "StdDev,    1.00,    2.00,    0.09,    0.79,,\n");
}

TEST_F(TextExportTest, DelimiterByIndexAnythingElseIsTab) {
  Open(SmallSpec(false));
  SelectSamplesOnly();
  selection.points.assign(selection.points.size(), '0');
  selection.analog = "01";
  const struct {
    std::uint8_t index;
    const char* d;
  } cases[] = {{0, ","}, {1, " "}, {2, "\t"}, {3, "\t"}, {255, "\t"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int{c.index});
    TextOptions o;
    o.Delimiter = c.index;
    o.ColumnWidth = 3;
    const std::string d = c.d;
    EXPECT_EQ(Export(o), "\nFrames" + d + "Force-X\n   1" + d + " -3\n   2" + d + " -3\n   3" + d +
                             " -2\n   4" + d + " -2\n   5" + d + " -1\n   6" + d + " -1\n");
  }
}

TEST_F(TextExportTest, NoSelectionLeavesSectionsOutWithoutBlankLines) {
  Open(SmallSpec(false));
  SelectSamplesOnly();
  selection.header = 1;
  selection.analog = "00";
  selection.points = "0";
  const std::string text = Export(TextOptions{});
  EXPECT_EQ(text.substr(0, 13), "OriginalFile\t");
  // The header block, then the event table and nothing else.
  EXPECT_TRUE(text.ends_with("\nStatus\tON\tOFF\nTime\t0.2500\t1.5000\n")) << text;
  EXPECT_EQ(text.find("\n\n"), text.find("\nEvent Name") - 1);
  EXPECT_EQ(text.find("Group Name"), std::string::npos);
  EXPECT_EQ(text.find("Frames"), std::string::npos);

  // A header flag that is off also drops the events.
  selection.header = 0;
  selection.groups = "01";
  EXPECT_EQ(Export(TextOptions{}),
            "\nGroup Name\tANALOG\nDescription\tAnalog data\nLocked\tTRUE\nNumber\t-2\n");

  // A file without events has no event table.
  c3dbuilder::Spec spec = SmallSpec(false);
  spec.events.clear();
  Open(spec);
  SelectSamplesOnly();
  selection.header = 1;
  selection.analog = "00";
  selection.points = "0";
  const std::string headerOnly = Export(TextOptions{});
  EXPECT_EQ(headerOnly.find("\n\n"), std::string::npos);
  EXPECT_TRUE(headerOnly.ends_with("\nVideo Frame Rate\t100.000\n")) << headerOnly;
}

TEST_F(TextExportTest, OneFrameRange) {
  Open(SmallSpec(false));
  SelectSamplesOnly();
  selection.rangeFirst = selection.rangeLast = 2;
  TextOptions o;
  o.Mean_StdDev = 1;
  o.DoubleLimitTrajectory = 0;
  o.ColumnWidth = 4;
  EXPECT_EQ(Export(o),
            "\n"
            "Frames\tEMG 1\tForce-X\n"
            "   3\t 110\t  -2\n"
            "   4\t 111\t  -2\n"
            "Mean\t 110\t  -2\n"  // 110.5 rounds to even
            "StdDev\t   1\t   0\n"
            "\n"
            "Frames\tLASI X\tLASI Y\tLASI Z\n"
            "   2\t   2\t  -4\t 100\n"
            "Mean\t   2\t  -4\t 100\n"
            "StdDev\t   0\t   0\t   0\n");
  EXPECT_EQ(platform.progressRange, 0 + 2 * 1 + 4);

  // Starting at zero; with one sample per frame the analog deviation is 0 too.
  o.StartAtZero = 1;
  o.SamplesByFrame = 0;
  c3dbuilder::Spec spec = SmallSpec(false);
  spec.analogRatio = 1;
  Open(spec);
  SelectSamplesOnly();
  selection.rangeFirst = selection.rangeLast = 3;
  EXPECT_EQ(Export(o),
            "\n"
            "Time  \tEMG 1\tForce-X\n"
            " 0.000\t 120\t  -1\n"
            "Mean\t 120\t  -1\n"
            "StdDev\t   0\t   0\n"
            "\n"
            "Time  \tLASI X\tLASI Y\tLASI Z\n"
            " 0.000\t   3\t  -6\t 100\n"
            "Mean\t   3\t  -6\t 100\n"
            "StdDev\t   0\t   0\t   0\n");
}

// Each row's time is its number over the rate: summing a single-precision
// step drifted by a tenth of a second over a minute at 2400 Hz.
TEST_F(TextExportTest, TimesAreCountedExactlyOverLongRecordings) {
  c3dbuilder::Spec s;
  s.frameRate = 100.0f;
  s.frames = 6000;
  s.analogChannels = 1;
  s.analogRatio = 24;  // a row per sample: 2400 Hz
  c3dbuilder::AddStandardParameters(s, {}, {"A"});
  s.analogValue = [](int, int, int) { return 0.0f; };
  Open(s);
  SelectSamplesOnly();
  TextOptions o;
  o.SamplesByFrame = 0;
  o.AnalogColNames = 0;
  o.ColumnWidth = 1;
  const std::string text = Export(o);
  EXPECT_EQ(text.substr(0, 10), "\n 0.000\t0\n");
  EXPECT_NE(text.find("\n30.000\t0\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 9), "60.000\t0\n");
}

TEST_F(TextExportTest, ColumnWidthIsCapped) {
  Open(SmallSpec(false));
  SelectSamplesOnly();
  selection.points.assign(selection.points.size(), '0');
  selection.rangeFirst = selection.rangeLast = 1;
  TextOptions o;
  o.AnalogColNames = 0;
  o.ColumnWidth = 65535;
  const std::string text = Export(o);
  EXPECT_EQ(text, "\n   1\t" + std::string(997, ' ') + "100\t" + std::string(998, ' ') + "-3\n" +
                      "   2\t" + std::string(997, ' ') + "101\t" + std::string(998, ' ') + "-3\n");
}

// Without DelimitColNames the name lines are only padded; the empty cell of
// DoubleLimitTrajectory then adds nothing there, but stays in every data,
// Mean and StdDev row.
TEST_F(TextExportTest, DoubleLimitTrajectoryWithUndelimitedNames) {
  c3dbuilder::Spec spec = SmallSpec(false);
  spec.points = 2;
  spec.params[0] = StringParam("POINT", "LABELS", {"L ASI", "R-ASI"});
  Open(spec);
  SelectSamplesOnly();
  selection.analog = "00";
  selection.rangeLast = 2;
  TextOptions o;
  o.DelimitColNames = 0;
  o.ColumnWidth = 8;
  o.Mean_StdDev = 1;
  o.ShowMask = 1;
  EXPECT_EQ(Export(o),
            "\n"
            "Frames L ASI X L ASI Y L ASI ZL ASI Msk R-ASI X R-ASI Y R-ASI ZR-ASI Msk\n"
            "   1\t       1\t      -2\t     100\t1000000\t\t       1\t      -2\t     100\t"
            "1000000\t\n"
            "   2\t       2\t      -4\t     100\t0000000\t\t       2\t      -4\t     100\t"
            "0000000\t\n"
            "Mean\t       2\t      -3\t     100\t\t\t       2\t      -3\t     100\t\t\n"
            "StdDev\t       1\t       1\t       0\t\t\t       1\t       1\t       0\t\t\n");
}

// A constant column: rounding can leave sum of squares - sum^2/n slightly
// below zero, which must give 0, never a NaN.
TEST_F(TextExportTest, ConstantColumnHasZeroDeviation) {
  c3dbuilder::Spec spec = SmallSpec(true);
  spec.frames = 1000;
  spec.analogRatio = 1;
  spec.analogValue = [](int, int, int k) { return k == 0 ? 0.1f : 1234.567f; };
  spec.pointValue = [](int, int, int c) { return c == 3 ? 261.0f : 0.3f; };
  Open(spec);
  // The test is only meaningful if single-precision rounding really goes
  // negative for one of the columns.
  float sum = 0, sumSq = 0;
  for (int i = 0; i < 1000; ++i) {
    sum += 1234.567f;
    sumSq += 1234.567f * 1234.567f;
  }
  ASSERT_LT(sumSq - sum * sum / 1000.0f, 0.0f);
  SelectSamplesOnly();
  TextOptions o;
  o.Mean_StdDev = 1;
  o.AnalogScaled = 1;
  o.ShowResid = 1;
  format.analogScalable = false;  // the samples as stored, with decimals
  const std::string text = Export(o);
  EXPECT_EQ(text.find("nan"), std::string::npos);
  // Single-precision sums drift (1234.573); the second column's variance
  // rounds below zero.
  EXPECT_NE(text.find("\nMean\t       0.100\t    1234.573\n"), std::string::npos);
  EXPECT_NE(text.find("\nStdDev\t       0.001\t       0.000\n"), std::string::npos);
  EXPECT_NE(text.find("\nStdDev\t       0.000\t       0.000\t       0.000\t       0.000\t\n"),
            std::string::npos);
}

// Integer files: coordinates always scaled, decimals only with VideoScaled.
// Floating-point files: always Precision decimals; analog values keep 0
// decimals without AnalogScaled even though they are floats; NaN and
// infinities print right-aligned.
TEST_F(TextExportTest, IntegerAndFloatFiles) {
  TextOptions o;
  o.DoubleLimitTrajectory = 0;
  o.VideoColNames = 0;
  o.AnalogColNames = 0;
  Open(SmallSpec(false));
  SelectSamplesOnly();
  selection.analog = "00";
  selection.rangeLast = 1;
  EXPECT_EQ(Export(o), "\n   1\t           1\t          -2\t         100\n");
  o.VideoScaled = 1;
  EXPECT_EQ(Export(o), "\n   1\t       1.000\t      -2.000\t     100.000\n");

  c3dbuilder::Spec spec = SmallSpec(true);
  spec.analogValue = [](int i, int s, int k) {
    const float special[] = {std::numeric_limits<float>::quiet_NaN(),
                             -std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(),
                             2.5f,
                             3.5f};
    return k == 0 ? special[i * 2 + s] : 1.25f;
  };
  Open(spec);
  SelectSamplesOnly();
  o.VideoScaled = 0;
  EXPECT_EQ(Export(o),
            "\n"
            "   1\t         nan\t           1\n"
            "   2\t        -nan\t           1\n"
            "   3\t         inf\t           1\n"
            "   4\t        -inf\t           1\n"
            "   5\t           2\t           1\n"
            "   6\t           4\t           1\n"
            "\n"
            "   1\t       1.000\t      -2.000\t     100.000\n"
            "   2\t       2.000\t      -4.000\t     100.100\n"
            "   3\t       3.000\t      -6.000\t     100.200\n");
}

TEST_F(TextExportTest, NamesLabelsAndLongNames) {
  c3dbuilder::Spec spec = SmallSpec(false);
  spec.analogChannels = 3;
  spec.params[1] = StringParam("ANALOG", "LABELS", {"Very long channel name"});
  Open(spec);
  SelectSamplesOnly();
  selection.points = "0";
  selection.rangeLast = 1;
  TextOptions o;
  o.ColumnWidth = 10;
  EXPECT_EQ(Export(o),
            "\n"
            "Frames\tVery long channel name\tChannel 02\tChannel 03\n"
            "   1\t       100\t        -3\t        -3\n"
            "   2\t       101\t        -3\t        -3\n");

  // A LABELS parameter that is not text leaves the default names.
  c3d.paramSet.params[1].type = kParamInt;
  EXPECT_NE(Export(o).find("Frames\tChannel 01\tChannel 02\tChannel 03\n"), std::string::npos);
}

TEST_F(TextExportTest, CharParameterWithWrongLengthIsReportedAndWritten) {
  Open(SmallSpec(false));
  SelectSamplesOnly();
  selection.analog = "00";
  selection.points = "0";
  selection.params = "010000";  // ANALOG:LABELS
  c3d.paramSet.params[1].strings.pop_back();
  const std::string text = Export(TextOptions{});
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[0].text,
            "ERROR in " + In() + " [CC3dDoc::WriteTextParams()] Incorrect Parameter Length");
  EXPECT_TRUE(platform.messages[0].showBox);
  EXPECT_TRUE(platform.messages[0].writeToLog);
  EXPECT_NE(text.find("\nData 1\tEMG 1\nData 2\t\n"), std::string::npos);
  EXPECT_GT(length, 0u);
}

TEST_F(TextExportTest, OverwriteQuestionAndLogFlags) {
  Open(SmallSpec(false));
  testsupport::WriteFile(dir / "out.txt", {'o', 'l', 'd'});
  const CExportJob ask{c3d, format, selection, dir / "out.txt", platform, false, true};
  EXPECT_EQ(ExportText(ask, TextOptions{}), 0u);
  EXPECT_EQ(platform.questions.size(), 1u);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(ReadFileText(dir / "out.txt"), "old");

  platform.answerYes = true;
  EXPECT_GT(ExportText(ask, TextOptions{}), 0u);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_FALSE(platform.messages[0].writeToLog);  // only errors reach the log
  EXPECT_EQ(ReadFileText(dir / "out.txt").substr(0, 12), "OriginalFile");
}

// Every real recording, with the default options and with every option the
// other way, exports without a single error.
TEST(TextExportRealFiles, EveryRecordingWithEveryOption) {
  KX_REQUIRE_SHARED_DATA();
  TempDir dir;
  const CFormatDescription format = C3dTextFormat();
  TextOptions switched;
  switched.AnalogScaled = 1;
  switched.AnalogColNames = 0;
  switched.VideoScaled = 1;
  switched.VideoColNames = 0;
  switched.ShowResid = 1;
  switched.ShowMask = 1;
  switched.Delimiter = 0;
  switched.Precision = 5;
  switched.SamplesByFrame = 0;
  switched.StartAtZero = 1;
  switched.DoubleLimitTrajectory = 0;
  switched.ColumnWidth = 1;
  switched.DelimitColNames = 0;
  switched.Mean_StdDev = 1;
  int exported = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(testsupport::SharedDataDir() / "c3d")) {
    SCOPED_TRACE(entry.path().filename().string());
    RecordingPlatform platform;
    CC3d c3d;
    c3d.SetPlatform(&platform);
    c3d.fileName = entry.path();
    if (!c3d.Open()) continue;  // the reader's own tests cover files it refuses
    CExportSelection selection;
    selection.groups.assign(c3d.paramSet.groups.size(), '1');
    selection.params.assign(c3d.paramSet.params.size(), '1');
    selection.analog.assign(c3d.analog.size(), '1');
    selection.points.assign(c3d.points.size(), '1');
    selection.rangeFirst = c3d.firstFrame;
    selection.rangeLast = c3d.lastFrame;
    for (const TextOptions& options : {TextOptions{}, switched}) {
      platform.messages.clear();
      const CExportJob job{c3d, format, selection, dir / "out.txt", platform, true, false};
      const std::uint64_t length = ExportText(job, options);
      EXPECT_EQ(length, std::filesystem::file_size(dir / "out.txt"));
      ASSERT_FALSE(platform.messages.empty());
      for (std::size_t m = 0; m + 1 < platform.messages.size(); ++m) {
        // Real files may hold text parameters of the wrong length; that is
        // reported and the export goes on.
        EXPECT_NE(platform.messages[m].text.find("Incorrect Parameter Length"), std::string::npos)
            << platform.messages[m].text;
      }
      EXPECT_EQ(platform.messages.back().text.rfind("Exported ", 0), 0u);
      EXPECT_LE(platform.progressSteps, platform.progressRange);
    }
    ++exported;
  }
  EXPECT_GE(exported, 60);
}

}  // namespace

namespace {

// Long CODAS recordings: the last row's time is its sample number over the
// rate, not what a running single-precision sum reached.
TEST(TextExportRealFiles, LongRecordingsEndAtTheirLastSamplesTime) {
  KX_REQUIRE_SHARED_DATA();
  TempDir dir;
  TextOptions options;
  options.SamplesByFrame = 0;
  for (const auto& [name, last] :
       {std::pair<const char*, const char*>{"Proband_01.WDQ", "2452.720"},
        {"20190923-T1.WDQ", "60.000"}}) {
    SCOPED_TRACE(name);
    RecordingPlatform platform;
    CCod cod;
    cod.SetPlatform(&platform);
    cod.fileName = testsupport::SharedDataDir() / "codas" / name;
    ASSERT_TRUE(cod.Open());
    CExportSelection selection;
    selection.analog.assign(cod.analog.size(), '1');
    selection.rangeFirst = cod.firstFrame;
    selection.rangeLast = cod.lastFrame;
    const CExportJob job{cod,  CodFormatDescription(), selection, dir / "out.txt", platform, true,
                         false};
    ASSERT_GT(ExportText(job, options), 0u);
    const std::string text = ReadFileText(dir / "out.txt");
    const std::size_t row = text.rfind('\n', text.size() - 2) + 1;
    EXPECT_EQ(text.substr(row, text.find('\t', row) - row), last);
  }
}

}  // namespace
