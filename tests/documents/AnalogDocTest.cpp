#include <gtest/gtest.h>

#include "documents/AdcDoc.h"
#include "documents/AnalogDocs.h"
#include "documents/ItemDetails.h"
#include "documents/VadDoc.h"
#include "support/TestSupport.h"

namespace {

using testsupport::ReadFileText;
using testsupport::RecordingPlatform;
using testsupport::TempDir;

// A MAC file of two channels and three frames at 50 Hz.
constexpr char kMac[] = "a b 0.06 50 1 2\n~ 2 LEFT\n~ 1 RIGHT\n0001\n0203\n0405\n";

class AnalogDocTest : public ::testing::Test {
 protected:
  std::filesystem::path Write(const std::string& name, const std::string& text) {
    const std::filesystem::path p = dir / name;
    testsupport::WriteFile(p, std::vector<unsigned char>(text.begin(), text.end()));
    return p;
  }

  TempDir dir;
  RecordingPlatform platform;
  CDocumentSettings settings;
};

TEST_F(AnalogDocTest, AnalogFormatsExportTheirOwnHeaderOneRowPerFrame) {
  CMacDoc doc(platform);
  settings.dstSignature = "#!DST-2.0 Data file created by Kinex2 2.560\n";
  settings.logErrorOnly = false;
  settings.text.SamplesByFrame = 0;  // seconds at the reader's rate
  doc.SetSettings(settings);
  ASSERT_TRUE(doc.OnOpenDocument(Write("walk.ana", kMac)));
  EXPECT_EQ(doc.Selection().points, "");
  ASSERT_TRUE(doc.SetFrameRange(2, 3));

  const auto dst = dir / "walk.dst";
  ASSERT_GT(doc.ExportDst(dst), 0u);
  const std::string d = ReadFileText(dst);
  EXPECT_NE(d.find("$HeaderInformation\n"
                   "Number of Analog Channels  : 2\n"
                   "First Frame                : 1\n"
                   "Last Frame                 : 3\n"
                   "Sampling Frequency         : 50.000\n$ANALOG\n"),
            std::string::npos);
  EXPECT_NE(d.find("!LEFT-1\n2\n4\n!RIGHT-1\n3\n5\n"), std::string::npos);
  EXPECT_EQ(platform.Texts().back(),
            "Exported " + (dir / "walk.ana").string() + " To " + dst.string() + ". Frames 2 to 3");

  const auto txt = dir / "walk.txt";
  ASSERT_GT(doc.ExportText(txt), 0u);
  const std::string t = ReadFileText(txt);
  EXPECT_NE(t.find("Last Frame\t3\nSampling Frequency\t50.000\n"), std::string::npos);
  // Frame 2 of a 50 Hz recording is at 0.040 s.
  EXPECT_NE(t.find("\n 0.040\t           2\t           3\n 0.060\t"), std::string::npos) << t;
}

TEST_F(AnalogDocTest, BtsDocumentsWriteTheirSamplesAsStored) {
  KX_REQUIRE_SHARED_DATA();
  CBtsDoc doc(platform);
  settings.dstSignature = "#!DST-2.0 Data file created by Kinex2 2.560\n";
  settings.dst.AnalogScaled = 1;
  settings.dst.Precision = 2;
  doc.SetSettings(settings);
  ASSERT_TRUE(doc.OnOpenDocument(testsupport::SharedDataDir() / "bts" / "1123xa01.EMG"));
  ASSERT_TRUE(doc.SetFrameRange(1000, 1001));
  const auto dst = dir / "emg.dst";
  ASSERT_GT(doc.ExportDst(dst), 0u);
  const std::string d = ReadFileText(dst);
  // The end time's key is one space short of the others.
  EXPECT_NE(d.find("$HeaderInformation\n"
                   "Number of Analog Channels  : 8\n"
                   "Sampling Rate              : 1000.0000 Hz\n"
                   "Start Time                 : 0.000 sec\n"
                   "End Time                  : 4.564 sec\n$ANALOG\n"),
            std::string::npos);
  // Channel names without the filler behind their NUL; samples unscaled.
  EXPECT_NE(d.find("!R_BFCL-1\n13.00\n-6.00\n!R_TA-1\n"), std::string::npos) << d;
  // Unscaled, they are counts whatever unit the file names: the pane and
  // the plot say so.
  EXPECT_EQ(ChannelUnit(doc.Reader(), doc.Description(), 0), kRawCountsUnit);
  EXPECT_EQ(ChannelSeries(doc.Reader(), doc.Description(), 0, "c").unit, kRawCountsUnit);
}

TEST_F(AnalogDocTest, VadDocumentsScaleByTheirCalibrationFile) {
  // One channel "EMG1" of two frames, 1000 Hz analog, 50 Hz video, sync 7.
  std::string vad = std::string("!VAD10") + '\x32' + '\0' + '\x07' + std::string(3, '\0') + '\xE8' +
                    '\x03' + std::string(2, '\0') + '\x02' + std::string(3, '\0') + '\x01' + '\0';
  vad += std::string(4, '\0') + "EMG1" + std::string(8 + 32, '\0');
  vad += std::string("\x00\x09\x00\x07", 4);  // 2304, 1792
  Write("RUN.CAR", "[Analogue]\nGeneralScale=0.5\nChannel1=0,1,1,0.25,2048,V,EMG1\n");
  CVadDoc doc(platform);
  settings.dstSignature = "#!DST-2.0 Data file created by Kinex2 2.560\n";
  settings.logErrorOnly = false;
  settings.dst.AnalogScaled = 1;
  settings.dst.Precision = 2;
  doc.SetSettings(settings);
  const auto input = Write("run01.vad", vad);
  ASSERT_TRUE(doc.OnOpenDocument(input));
  const auto dst = dir / "run.dst";
  ASSERT_GT(doc.ExportDst(dst), 0u);
  const std::string d = ReadFileText(dst);
  EXPECT_NE(d.find("$HeaderInformation\n"
                   "Video Frame Rate           : 50\n"
                   "Video Sync                 : 7\n"
                   "Number of Analog Channels  : 1\n"
                   "First Frame                : 1\n"
                   "Last Frame                 : 2\n"
                   "Analog Rate                : 1000.000\n$ANALOG\n"),
            std::string::npos);
  // (2304 - 2048) x 0.25 x 0.5 and (1792 - 2048) x 0.25 x 0.5.
  EXPECT_NE(d.find("!EMG1-1\n32.00\n-32.00\n"), std::string::npos) << d;
  EXPECT_EQ(platform.Texts().back(),
            "Exported " + input.string() + " To " + dst.string() + ". Frames 1 to 2");

  const auto txt = dir / "run.txt";
  ASSERT_GT(doc.ExportText(txt), 0u);
  EXPECT_NE(ReadFileText(txt).find("Number of Analog Channels\t1\nFirst Frame\t1\n"
                                   "Last Frame\t2\nVideo Frame Rate\t50\nVideo Sync\t7\n"),
            std::string::npos);
}

TEST_F(AnalogDocTest, AnAdcDocumentTakesChangedSettingsAtOnce) {
  std::string bytes;
  for (int i = 0; i < 8; ++i) {
    for (int w : {1, 0, 4, 0, 0, 2048 + i}) {
      bytes += static_cast<char>(w & 0xFF);
      bytes += static_cast<char>(w >> 8);
    }
  }
  CAdcDoc doc(platform);
  settings.adc.RateIndex = 1;
  doc.SetSettings(settings);
  ASSERT_TRUE(doc.OnOpenDocument(Write("t.adc", bytes)));
  EXPECT_FLOAT_EQ(doc.Adc().analogRate, 4 * 59.89f);
  settings.adc.RateIndex = 3;
  settings.adc.Gen_Scale = 0.5f;
  doc.SetSettings(settings);
  EXPECT_FLOAT_EQ(doc.Adc().analogRate, 800.0f);
  EXPECT_FLOAT_EQ(doc.Adc().paramSet.Find("Point", "Rate")->GetValue(0), 200.0f);
  EXPECT_FLOAT_EQ(doc.Adc().GetGenScale(), 0.5f);
}

}  // namespace

namespace {
// The MAC "Scale" setting multiplies every channel of its EMG report, which
// logs its frames with "%d".
TEST_F(AnalogDocTest, AMacTestReportTakesTheScaleSetting) {
  CMacDoc doc(platform);
  settings.dst.Dstlexicon = 2;
  settings.selection.Scale = 1e-5f;
  settings.logErrorOnly = false;
  doc.SetSettings(settings);
  // Raw 2047, 2049 and 2048 + 64: offset 2048, gain 1, general scale 1/204.8.
  ASSERT_TRUE(doc.OnOpenDocument(Write("emg.ana", "a b 0.03 100 1 1\n~ 1 EMG\nOo\nP1\nQ0\n")));
  const auto out = dir / "emg.dst";
  ASSERT_GT(doc.ExportDst(out), 0u);
  const std::string report = ReadFileText(out);
  EXPECT_EQ(report.substr(report.find("!EMG-1\n")), "!EMG-1\n-0\n0\n3\n");
  EXPECT_NE(report.find("!AdcSampleRate\n100\n"), std::string::npos);
  EXPECT_EQ(platform.Texts().back(),
            "Exported " + (dir / "emg.ana").string() + " To " + out.string() + ". Frames 1 to 3");
}
}  // namespace
