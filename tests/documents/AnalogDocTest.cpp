#include <gtest/gtest.h>

#include "documents/AdcDoc.h"
#include "documents/AnalogDocs.h"
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
