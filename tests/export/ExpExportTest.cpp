#include "export/ExpExport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "c3dbuilder/C3dBuilder.h"
#include "export/DstExport.h"
#include "formats/c3d/C3d.h"
#include "formats/c3d/C3dDescription.h"
#include "formats/codas/Cod.h"
#include "formats/codas/CodDescription.h"
#include "platform/Clock.h"
#include "support/TestSupport.h"

namespace {

using testsupport::ReadFileText;
using testsupport::RecordingPlatform;
using testsupport::TempDir;

TestSetValues TestSet() {
  return {{kVeltroLocation, "Lab\r\n2"}, {kVeltroSerial, "S-1"}, {kVeltroEquip, "Amp"},
          {kVeltroRes, "12"}};
}

// Pins the report date for one test.
class PinnedDate {
 public:
#ifdef _WIN32
  explicit PinnedDate(const char* seconds) { ::_putenv_s("SOURCE_DATE_EPOCH", seconds); }
  ~PinnedDate() { ::_putenv_s("SOURCE_DATE_EPOCH", ""); }
#else
  explicit PinnedDate(const char* seconds) { ::setenv("SOURCE_DATE_EPOCH", seconds, 1); }
  ~PinnedDate() { ::unsetenv("SOURCE_DATE_EPOCH"); }
#endif
};

CExportSelection AllAnalog(const CRecording& r) {
  CExportSelection sel;
  sel.analog.assign(r.analog.size(), '1');
  sel.rangeFirst = r.firstFrame;
  sel.rangeLast = r.lastFrame;
  return sel;
}

TEST(ExpExportTest, TheWholeReportOfASmallIntegerFile) {
  TempDir dir;
  RecordingPlatform platform;
  // Five channels, two samples per frame, three frames; raw value of sample s
  // of channel k is 2048 + (s - 2) * (k + 1): with offset 2048 and scales of
  // 1e-6 the report shows (s - 2) * (k + 1), "-0" never, and channel 5 is not
  // examined.
  c3dbuilder::Spec spec;
  spec.frames = 3;
  spec.frameRate = 50.0f;
  spec.analogChannels = 5;
  spec.analogRatio = 2;
  spec.analogValue = [](int i, int s, int k) {
    return 2048.0f + static_cast<float>((i * 2 + s - 2) * (k + 1));
  };
  spec.groups = {{"ANALOG", "", false}};
  spec.params = {c3dbuilder::NumberParam("ANALOG", "OFFSET", 2, {2048, 2048, 2048, 2048, 2048}),
                 c3dbuilder::NumberParam("ANALOG", "SCALE", 4, {1, 1, 1, 1, 1}),
                 c3dbuilder::NumberParam("ANALOG", "GEN_SCALE", 4, {1e-6f})};
  const auto bytes = c3dbuilder::Build(spec);
  const auto input = dir / "emg.c3d";
  testsupport::WriteFile(input, {bytes.begin(), bytes.end()});
  CC3d c3d;
  c3d.SetPlatform(&platform);
  c3d.fileName = input;
  ASSERT_TRUE(c3d.Open());
  CExportSelection sel = AllAnalog(c3d);
  sel.analog[2] = '0';
  sel.rangeFirst = 2;

  // A locale with a decimal comma and other month names changes nothing.
  const char* german = std::setlocale(LC_ALL, "de_DE.UTF-8");
  PinnedDate pin("1700000000");  // 2023-11-14 UTC
  const auto output = dir / "emg.dst";
  CExportJob job{c3d, C3dFormatDescription(), sel, output, platform, true, false};
  const std::uint64_t bytesWritten = ExportDstExp(job, TestSet(), 1.0f);
  if (german != nullptr) std::setlocale(LC_ALL, "C");
  ASSERT_GT(bytesWritten, 0u);
  EXPECT_EQ(ReadFileText(output),
            "#!DST-1.0 EXP-1.0 14/11/23 Lab  2\n"
            "$EXPeriment\nEMG source: Veltro EMG Test Set\n"
            "serial number: S-1\nEquipment under test: Amp\nDate of test: 14-Nov-2023\n"
            "Channels tested:  1 2 4 5\n"
            "!AdcSampleRate\n100\n$EmgPreProcessing\nraw\n$EmgUnits\nmicrovolts\n"
            "!AdcRESolution\n12\n!EMG-4\n"
            "0\t0\t0\t0\n1\t2\t4\t5\n2\t4\t8\t10\n3\t6\t12\t15\n");
  EXPECT_EQ(platform.Texts().back(),
            "Exported " + input.string() + " To " + output.string() + ". Frames 2 to 3");
  EXPECT_EQ(platform.progressRange, 2 * 2 + 1);

  // No channel: an empty line per sample.
  sel.analog.assign(5, '0');
  ASSERT_GT(ExportDstExp(job, TestSet(), 1.0f), 0u);
  const std::string none = ReadFileText(output);
  EXPECT_NE(none.find("Channels tested: \n"), std::string::npos);
  EXPECT_EQ(none.substr(none.find("!EMG-0\n")), "!EMG-0\n\n\n\n\n");
}

TEST(ExpExportTest, TheAmplitudeCheckJudgesTheValueAsWritten) {
  EXPECT_FALSE(ExceedsTestRange(1000.0f));
  EXPECT_FALSE(ExceedsTestRange(1000.5f));  // written "1000"
  EXPECT_TRUE(ExceedsTestRange(std::nextafter(1000.5f, 2000.0f)));
  EXPECT_FALSE(ExceedsTestRange(999.5f));
  EXPECT_TRUE(ExceedsTestRange(-5000.0f));
  EXPECT_TRUE(ExceedsTestRange(std::nanf("")));
  EXPECT_EQ(ShortReportDate(UtcDate(0)), "01/01/70 ");
  EXPECT_EQ(LongReportDate(UtcDate(951782400)), "29-Feb-2000");
}

// The report's values are the scaled analog values of the general DST in
// microvolts, on real EMG recordings.
TEST(ExpExportTest, RealRecordingsMatchTheGeneralExport) {
  KX_REQUIRE_SHARED_DATA();
  TempDir dir;
  RecordingPlatform platform;
  const auto check = [&](CRecording& rec, const CFormatDescription& format) {
    rec.SetPlatform(&platform);
    ASSERT_TRUE(rec.Open()) << rec.fileName;
    CExportSelection sel = AllAnalog(rec);
    const auto exp = dir / "exp.dst";
    const auto dst = dir / "gen.dst";
    CExportJob expJob{rec, format, sel, exp, platform, true, true};
    ASSERT_GT(ExportDstExp(expJob, TestSet(), 1.0f), 0u);
    DstOptions options;
    options.AnalogScaled = 1;
    options.Precision = 9;
    CExportJob dstJob{rec, format, sel, dst, platform, true, true};
    ASSERT_GT(ExportDstGeneral(dstJob, options, "sig\n"), 0u);
    // Channel 1's column against its DST section.
    std::istringstream e(ReadFileText(exp));
    std::istringstream d(ReadFileText(dst));
    std::string line;
    while (std::getline(e, line) && line.rfind("!EMG-", 0) != 0) {
    }
    while (std::getline(d, line) && line.rfind("!", 0) != 0) {
    }
    int rows = 0;
    std::string general;
    while (std::getline(e, line) && std::getline(d, general) && general[0] != '!') {
      const double expected = std::stod(general) * 1e6;
      EXPECT_NEAR(std::stod(line.substr(0, line.find('\t'))), expected,
                  std::max(1.0, std::fabs(expected) * 1e-6))
          << rec.fileName << " row " << rows;
      ++rows;
    }
    EXPECT_EQ(rows, rec.FrameCount() * (format.allAnalogSamples ? rec.analogRatio : 1));
  };
  CC3d c3d;
  c3d.fileName = testsupport::SharedDataDir() / "c3d" / "Gait with EMG.c3d";
  check(c3d, C3dFormatDescription());
  for (const auto& entry :
       std::filesystem::directory_iterator(testsupport::SharedDataDir() / "codas")) {
    CCod cod;
    cod.fileName = entry.path();
    check(cod, CodFormatDescription());
  }
}

}  // namespace
