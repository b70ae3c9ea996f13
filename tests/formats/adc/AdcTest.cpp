#include "formats/adc/Adc.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "support/TestSupport.h"

namespace {

using testsupport::RecordingPlatform;
using testsupport::TempDir;

// ADC files as the two families of computers write them: `records` records
// of `n` channels, sample c of record i = i * 10 + c. RSX records carry
// `padding` bytes and never cross a 512-byte block boundary.
std::vector<unsigned char> AdcFile(int n, int records, int r, bool rsx, int padding = 0) {
  std::vector<unsigned char> b;
  const auto word = [&](int v) {
    b.push_back(static_cast<unsigned char>(v & 0xFF));
    b.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
  };
  const std::size_t size = 10 + 2 * static_cast<std::size_t>(n) + (rsx ? padding : 0);
  for (int i = 0; i < records; ++i) {
    if (rsx && b.size() % 512 + size > 512) b.resize((b.size() / 512 + 1) * 512, 0xEE);
    for (int v : {n, 0, r, rsx ? 1 : 0, 0}) word(v);
    for (int c = 0; c < n; ++c) word(i * 10 + c);
    if (rsx) b.resize(b.size() + static_cast<std::size_t>(padding), 0);
  }
  return b;
}

class AdcTest : public ::testing::Test {
 protected:
  bool OpenBytes(const std::vector<unsigned char>& bytes) {
    path = dir / "t.adc";
    testsupport::WriteFile(path, bytes);
    adc.SetPlatform(&platform);
    adc.fileName = path;
    return adc.Open();
  }
  std::string Error(const char* reason) const {
    return "ERROR in " + path.string() + " : " + reason;
  }

  TempDir dir;
  std::filesystem::path path;
  RecordingPlatform platform;
  CAdc adc;
};

TEST_F(AdcTest, VmsAndRsxLayoutsReadTheSameSamples) {
  for (int padding : {0, 2, 8}) {
    for (bool rsx : {false, true}) {
      // 7 channels: 24-byte records leave gaps at the end of every block.
      ASSERT_TRUE(OpenBytes(AdcFile(7, 300, 4, rsx, padding))) << rsx << padding;
      EXPECT_TRUE(platform.messages.empty());
      EXPECT_EQ(adc.FrameCount(), 300);
      ASSERT_EQ(adc.AnalogCount(), 7);
      EXPECT_EQ(adc.analog[6].samples.At(299), 2996);
      EXPECT_EQ(adc.analog[0].samples.At(123), 1230);
    }
  }
}

TEST_F(AdcTest, ParametersFromTheSettings) {
  adc.videoRate = 59.89f;
  adc.genScaleSetting = 0.01f;
  ASSERT_TRUE(OpenBytes(AdcFile(2, 1000, 4, false)));
  EXPECT_FLOAT_EQ(adc.paramSet.Find("Analog", "Rate")->GetValue(0), 239.56f);
  EXPECT_FLOAT_EQ(adc.paramSet.Find("Point", "Rate")->GetValue(0), 59.89f);
  EXPECT_EQ(adc.paramSet.Find("Point", "Frames")->GetValue(0), 250.0f);
  EXPECT_FLOAT_EQ(adc.GetGenScale(), 0.01f);
  EXPECT_EQ(adc.GetOffset(1), 2048.0f);
  EXPECT_EQ(adc.paramSet.Find("Analog", "Labels")->GetString(1), "CH002");
  EXPECT_EQ(adc.paramSet.Find("Analog", "Descriptions")->GetString(0), "Channel 001");

  adc.videoRate = 200.0f;
  adc.UpdateRates();
  EXPECT_FLOAT_EQ(adc.analogRate, 800.0f);
  EXPECT_FLOAT_EQ(adc.paramSet.Find("Analog", "Rate")->GetValue(0), 800.0f);
}

TEST_F(AdcTest, MoreThan65535RecordsAreReadWhole) {
  ASSERT_TRUE(OpenBytes(AdcFile(1, 70000, 1, false)));
  EXPECT_EQ(adc.FrameCount(), 70000);
  EXPECT_EQ(adc.analog[0].samples.At(69999), static_cast<std::int16_t>(699990 & 0xFFFF));
  // The stored count keeps the 16 bits it has always had.
  EXPECT_EQ(adc.paramSet.Find("Point", "Frames")->GetValue(0),
            static_cast<float>(static_cast<std::int16_t>(70000 & 0xFFFF)));
}

TEST_F(AdcTest, ACutLastRecordIsReportedAndDropped) {
  std::vector<unsigned char> b = AdcFile(3, 10, 1, false);
  b.resize(b.size() - 3);
  ASSERT_TRUE(OpenBytes(b));
  EXPECT_EQ(platform.Texts(), std::vector<std::string>{Error(
                                  "Incompatibily between reported frames and actual frame count")});
  EXPECT_EQ(adc.FrameCount(), 9);
}

TEST_F(AdcTest, FilesThatAreNotAdc) {
  path = dir / "t.adc";
  const std::string type = Error("Could not determine the type of ADC file");
  EXPECT_FALSE(OpenBytes({}));
  EXPECT_EQ(platform.Texts().back(), type);
  std::vector<unsigned char> b = AdcFile(2, 5, 1, false);
  b[6] = 2;  // file type 2
  EXPECT_FALSE(OpenBytes(b));
  EXPECT_EQ(platform.Texts().back(), type);
  b = AdcFile(2, 5, 0, false);  // no samples per video frame: no rate to time frames by
  EXPECT_FALSE(OpenBytes(b));
  EXPECT_EQ(platform.Texts().back(), type);
  b = AdcFile(2, 5, 1, true, 10);  // the next record 10 bytes on
  EXPECT_FALSE(OpenBytes(b));
  EXPECT_EQ(platform.Texts().back(), Error("Could not determine RSX Record Size"));
  EXPECT_EQ(adc.paramSet.GroupCount(), 0);
}

}  // namespace
