#include "formats/codas/Cod.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "support/TestSupport.h"

namespace {

using testsupport::RecordingPlatform;
using testsupport::TempDir;

// A short-header file: word A, word B, the interval double at 28, and
// `frames` frames of `n` words, word (f, c) = ((f * n + c) << 2).
std::vector<unsigned char> CodFile(std::uint16_t a, std::uint16_t b, double interval, int n,
                                   int frames, std::uint32_t claimedBytes = 0) {
  std::vector<unsigned char> f(1156, 0);
  const auto put16 = [&](std::size_t at, std::uint16_t v) {
    f[at] = static_cast<unsigned char>(v & 0xFF);
    f[at + 1] = static_cast<unsigned char>(v >> 8);
  };
  put16(0, a);
  put16(2, b);
  const std::uint32_t bytes = claimedBytes != 0 ? claimedBytes : 2u * n * frames;
  std::memcpy(&f[8], &bytes, 4);
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(interval);
  std::memcpy(&f[28], &bits, 8);
  for (int c = 0; c < n; ++c) {
    const double scale = 0.5 + c;
    const double offset = -c;
    std::memcpy(&f[110 + 36 * c + 8], &scale, 8);
    std::memcpy(&f[110 + 36 * c + 16], &offset, 8);
  }
  put16(1154, 0x8001);
  for (int i = 0; i < frames * n; ++i) {
    f.push_back(static_cast<unsigned char>((i << 2) & 0xFF));
    f.push_back(static_cast<unsigned char>(((i << 2) >> 8) & 0xFF));
  }
  return f;
}

class CodTest : public ::testing::Test {
 protected:
  bool OpenBytes(const std::vector<unsigned char>& bytes) {
    path = dir / "t.wdq";
    testsupport::WriteFile(path, bytes);
    return OpenPath(path);
  }
  bool OpenPath(const std::filesystem::path& p) {
    path = p;
    cod.SetPlatform(&platform);
    cod.fileName = p;
    return cod.Open();
  }
  std::string Error(const std::string& reason) const {
    return "ERROR in " + path.string() + " : " + reason;
  }

  TempDir dir;
  std::filesystem::path path;
  RecordingPlatform platform;
  CCod cod;
};

TEST_F(CodTest, RealRecordingsOpenWithTheirStoredRates) {
  KX_REQUIRE_SHARED_DATA();
  const std::filesystem::path data = testsupport::SharedDataDir() / "codas";
  struct Expected {
    const char* file;
    int channels;
    float rate;
    int frames;
    int claimed;  // header's frames when the file holds fewer
  };
  const Expected files[] = {
      {"20190923-T1.WDQ", 2, 2400.0f, 144000, 0},  {"AUTO.WDQ", 6, 9.375f, 4067, 0},
      {"Proband_01.WDQ", 3, 200.0f, 490544, 0},    {"SAMPLE.WDQ", 4, 250.0f, 5012, 33559432},
      {"sample_byte28.wdq", 4, 250.25f, 5012, 0},  {"sample_byte44.wdq", 4, 10.0f, 5012, 0},
      {"rat_01_02ml.wdq", 4, 512.8205f, 307200, 15022302},
  };
  for (const Expected& e : files) {
    platform.messages.clear();
    ASSERT_TRUE(OpenPath(data / e.file)) << e.file;
    EXPECT_EQ(cod.channelCount, e.channels) << e.file;
    EXPECT_NEAR(cod.rate, e.rate, 1e-3) << e.file;
    EXPECT_EQ(cod.FrameCount(), e.frames) << e.file;
    EXPECT_EQ(cod.paramSet.Find("Analog", "Rate")->GetValue(0), cod.rate) << e.file;
    if (e.claimed != 0) {
      EXPECT_EQ(platform.Texts(),
                std::vector<std::string>{Error("The file holds " + std::to_string(e.frames) +
                                               " of the " + std::to_string(e.claimed) +
                                               " frames its header gives")});
    } else {
      EXPECT_TRUE(platform.messages.empty()) << e.file;
    }
  }
}

TEST_F(CodTest, SamplesScalesAndTheRateFromTheHeaderWords) {
  // Word A 0x0043: 3 channels, numerator 2; no usable interval.
  ASSERT_TRUE(OpenBytes(CodFile(0x0043, 0, 0.0, 3, 2500)));
  EXPECT_NEAR(cod.rate, 0.6667f, 1e-4);
  EXPECT_EQ(cod.FrameCount(), 2500);
  EXPECT_EQ(cod.analog[2].samples.At(2499), 2499 * 3 + 2);
  EXPECT_EQ(cod.analog[1].samples.At(1500), static_cast<std::int16_t>(1500 * 3 + 1));
  EXPECT_EQ(cod.GetScale(1), 1.5f);
  EXPECT_EQ(cod.GetOffset(2), -2.0f);
  EXPECT_EQ(cod.GetOffset(7), 0.0f);  // no offset stored: 0, not 2048

  // Two low bits are flags: 0xFFFC reads -1, 0x7FFF reads 8191.
  std::vector<unsigned char> b = CodFile(0x0021, 0, 0.001, 1, 2);
  b[1156] = 0xFC;
  b[1157] = 0xFF;
  b[1158] = 0xFF;
  b[1159] = 0x7F;
  ASSERT_TRUE(OpenBytes(b));
  EXPECT_EQ(cod.rate, 1000.0f);
  EXPECT_EQ(cod.analog[0].samples.At(0), -1);
  EXPECT_EQ(cod.analog[0].samples.At(1), 8191);
}

TEST_F(CodTest, HeaderFailures) {
  std::vector<unsigned char> b = CodFile(0x0043, 0, 0.0, 3, 10);
  b[1154] = 0;
  EXPECT_FALSE(OpenBytes(b));
  EXPECT_EQ(platform.Texts().back(), Error("This is not a CODAS File"));
  EXPECT_FALSE(OpenBytes(CodFile(0x0020, 0, 0.0, 0, 0)));  // numerator 1, no channels
  EXPECT_EQ(platform.Texts().back(), Error("Error in sampling rate"));
  EXPECT_FALSE(OpenBytes(CodFile(0x0000, 0, 0.01, 0, 0)));  // a rate, but no channels
  EXPECT_EQ(platform.Texts().back(), Error("Did not find channels in file"));
  EXPECT_FALSE(OpenBytes(CodFile(0x0003, 0, -1.0, 3, 10)));  // neither gives a rate
  EXPECT_EQ(platform.Texts().back(), Error("Error in sampling rate"));
}

}  // namespace
