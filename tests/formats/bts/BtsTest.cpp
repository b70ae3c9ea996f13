#include "formats/bts/Bts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "formats/c3d/C3d.h"
#include "support/TestSupport.h"

namespace {

using testsupport::RecordingPlatform;
using testsupport::TempDir;

// A BTS file of `n` channels at `rate` Hz from start to end time, holding
// `frames` frames, sample (f, c) = f * 10 + c. Slot c is labelled "EMGc" and
// its units are "uV"; each table value is slot + table * 100.
struct BtsFile {
  int startS = 0, startMs = 0, endS = 0, endMs = 0;
  int n = 2;
  int rate = 1000;

  std::vector<unsigned char> Bytes(int frames) const {
    std::vector<unsigned char> b(1024, 0);
    const auto put = [&](std::size_t at, int v) {
      b[at] = static_cast<unsigned char>(v & 0xFF);
      b[at + 1] = static_cast<unsigned char>((v >> 8) & 0xFF);
    };
    put(0, startMs);
    put(2, startS);
    put(4, endMs);
    put(6, endS);
    put(8, n);
    put(10, rate);
    for (int c = 0; c < 32; ++c) {
      const std::string label = "EMG" + std::to_string(c);
      for (std::size_t i = 0; i < label.size(); ++i) b[12 + 8 * c + i] = label[i];
      b[268 + 4 * c] = 'u';
      b[268 + 4 * c + 1] = 'V';
      for (int t = 0; t < 6; ++t) put(512 + 64 * t + 2 * c, c + t * 100);
    }
    put(396, 3);
    put(438, 1);
    for (int f = 0; f < frames; ++f) {
      for (int c = 0; c < n; ++c) {
        const int v = f * 10 + c;
        b.push_back(static_cast<unsigned char>(v & 0xFF));
        b.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
      }
    }
    return b;
  }
};

class BtsTest : public ::testing::Test {
 protected:
  bool OpenBytes(const std::vector<unsigned char>& bytes) {
    path = dir / "t.emg";
    testsupport::WriteFile(path, bytes);
    return OpenPath(path);
  }
  bool OpenPath(const std::filesystem::path& p) {
    platform.messages.clear();
    path = p;
    bts.SetPlatform(&platform);
    bts.fileName = p;
    return bts.Open();
  }
  std::string Error(const char* reason) const {
    return "ERROR in " + path.string() + " : " + reason;
  }

  TempDir dir;
  std::filesystem::path path;
  RecordingPlatform platform;
  CBts bts;
};

TEST_F(BtsTest, RealRecordingMatchesItsC3dTwin) {
  KX_REQUIRE_SHARED_DATA();
  ASSERT_TRUE(OpenPath(testsupport::SharedDataDir() / "bts" / "1123xa01.EMG"));
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(bts.AnalogCount(), 8);
  EXPECT_EQ(bts.Rate(), 1000);
  EXPECT_EQ(bts.FrameCount(), 4564);
  // Slots end at their NUL; the 0xCD filler behind it is not part of them.
  EXPECT_EQ(bts.paramSet.Find("Analog", "Labels")->GetString(0), "R_RF    ");
  EXPECT_EQ(bts.paramSet.Find("Analog", "Labels")->GetString(7), "L_GAL   ");
  EXPECT_EQ(bts.paramSet.Find("Analog", "Units")->GetString(0), "mV  ");
  EXPECT_EQ(bts.paramSet.Find("Analog", "SetupFile")->GetString(0), std::string(12, ' '));

  RecordingPlatform c3dPlatform;
  CC3d c3d;
  c3d.SetPlatform(&c3dPlatform);
  c3d.fileName = testsupport::SharedDataDir() / "c3d" / "1123x01EMG.c3d";
  ASSERT_TRUE(c3d.Open());
  ASSERT_EQ(c3d.AnalogCount(), 8);
  for (int k = 0; k < 8; ++k) {
    ASSERT_EQ(c3d.analog[k].samples.Size(), 4564u) << k;
    int differ = 0;
    for (std::size_t s = 0; s < 4564; ++s) {
      const float value =
          (c3d.analog[k].samples.At(s) - c3d.GetOffset(k)) * c3d.GetGenScale() * c3d.GetScale(k);
      if (bts.analog[k].samples.At(s) * 0.0048828125f != value) ++differ;
    }
    EXPECT_EQ(differ, 0) << "channel " << k;
  }
}

TEST_F(BtsTest, FrameCountFromWholeMilliseconds) {
  struct Case {
    int startS, startMs, endS, endMs, rate, frames;
  };
  const Case cases[] = {
      {1, 500, 3, 0, 1000, 1500}, {0, 14, 1, 26, 1000, 1012},  // single precision came to 1011
      {0, 0, 1, 50, 100, 105},                                 // and here to 104
      {2, 0, 2, 0, 1000, 0},                                   // equal times: no frames
      {0, 0, 0, 999, 1, 0},
  };
  for (const Case& c : cases) {
    BtsFile f{c.startS, c.startMs, c.endS, c.endMs, 2, c.rate};
    ASSERT_TRUE(OpenBytes(f.Bytes(c.frames))) << c.frames;
    EXPECT_EQ(bts.FrameCount(), c.frames);
    ASSERT_EQ(bts.AnalogCount(), 2);
    if (c.frames > 0) {
      EXPECT_EQ(bts.analog[1].samples.At(static_cast<std::size_t>(c.frames) - 1),
                (c.frames - 1) * 10 + 1);
    }
  }
  // A file holding more than the times say keeps its extra bytes unread.
  BtsFile f{0, 0, 0, 3, 2, 1000};
  ASSERT_TRUE(OpenBytes(f.Bytes(5)));
  EXPECT_EQ(bts.FrameCount(), 3);
}

TEST_F(BtsTest, ParametersCarryAllThirtyTwoSlots) {
  BtsFile f{0, 0, 0, 10, 4, 500};
  std::vector<unsigned char> b = f.Bytes(5);
  // Slot 1: a label with NUL and filler after four characters; slot 2's
  // units fill their four bytes.
  const char label[] = {'A', 'B', 'C', 'D', 0, '\xCD', '\xCD', '\xCD'};
  std::copy(label, label + 8, b.begin() + 12 + 8);
  const char units[] = {'m', 'V', 'r', 's'};
  std::copy(units, units + 4, b.begin() + 268 + 8);
  const char setup[] = "WALK.SET";
  std::copy(setup, setup + 8, b.begin() + 398);
  ASSERT_TRUE(OpenBytes(b));
  const char* names[] = {"SetupFile", "Used",          "Scale",     "Gain", "Hpfreq",
                         "Lpfreq",    "Rectification", "Integral",  "Rate", "Labels",
                         "Units",     "Execution",     "FSWPresent"};
  ASSERT_EQ(bts.paramSet.ParamCount(), 13);
  ASSERT_EQ(bts.paramSet.GroupCount(), 1);
  EXPECT_EQ(bts.paramSet.groups[0].name, "ANALOG");
  for (int i = 0; i < 13; ++i) {
    EXPECT_EQ(bts.paramSet.params[static_cast<std::size_t>(i)].name, names[i]);
    EXPECT_EQ(bts.paramSet.params[static_cast<std::size_t>(i)].groupNumber, 1);
  }
  const auto param = [&](const char* name) { return bts.paramSet.Find("Analog", name); };
  EXPECT_EQ(param("Used")->GetValue(0), 4.0f);
  EXPECT_EQ(param("Rate")->GetValue(0), 500.0f);
  EXPECT_EQ(param("Execution")->GetValue(0), 3.0f);
  EXPECT_EQ(param("FSWPresent")->GetValue(0), 1.0f);
  EXPECT_EQ(param("Gain")->elementCount, 32);
  EXPECT_EQ(param("Gain")->GetValue(31), 131.0f);
  EXPECT_EQ(param("Integral")->GetValue(5), 505.0f);
  const CParam* labels = param("Labels");
  EXPECT_EQ(labels->dimensions, (std::vector<std::uint8_t>{8, 32}));
  ASSERT_EQ(labels->strings.size(), 32u);
  EXPECT_EQ(labels->GetString(0), "EMG0    ");
  EXPECT_EQ(labels->GetString(1), "ABCD    ");
  EXPECT_EQ(labels->GetString(31), "EMG31   ");
  EXPECT_EQ(param("Units")->dimensions, (std::vector<std::uint8_t>{4, 32}));
  EXPECT_EQ(param("Units")->GetString(0), "uV  ");
  EXPECT_EQ(param("Units")->GetString(2), "mVrs");
  EXPECT_EQ(param("SetupFile")->dimensions, (std::vector<std::uint8_t>{12, 1}));
  EXPECT_EQ(param("SetupFile")->GetString(0), "WALK.SET    ");
}

TEST_F(BtsTest, CutAndContradictoryFilesAreRefused) {
  const BtsFile good{0, 0, 0, 100, 3, 1000};  // 100 frames
  std::vector<unsigned char> b = good.Bytes(100);
  EXPECT_FALSE(OpenBytes(std::vector<unsigned char>(b.begin(), b.begin() + 511)));
  EXPECT_EQ(platform.Texts(),
            std::vector<std::string>{Error("Could not access the first Header of the file")});
  EXPECT_FALSE(OpenBytes(std::vector<unsigned char>(b.begin(), b.begin() + 1023)));
  EXPECT_EQ(platform.Texts(),
            std::vector<std::string>{Error("Could not access the second Header of the file")});
  // One sample short of the last frame.
  EXPECT_FALSE(OpenBytes(std::vector<unsigned char>(b.begin(), b.end() - 2)));
  EXPECT_EQ(platform.Texts(), std::vector<std::string>{Error("Not all frames could be read")});
  EXPECT_EQ(bts.AnalogCount(), 0);

  BtsFile backwards = good;
  backwards.startS = 1;
  EXPECT_FALSE(OpenBytes(backwards.Bytes(100)));
  EXPECT_EQ(platform.Texts(),
            std::vector<std::string>{Error("Start Time is Greater than End Time")});

  for (int n : {33, -1}) {
    BtsFile channels = good;
    channels.n = n;
    EXPECT_FALSE(OpenBytes(channels.Bytes(0))) << n;
    EXPECT_EQ(platform.Texts(), std::vector<std::string>{Error("Incorrect number of channels")});
  }
  BtsFile negative = good;
  negative.rate = -1000;
  EXPECT_FALSE(OpenBytes(negative.Bytes(0)));
  EXPECT_EQ(platform.Texts(), std::vector<std::string>{Error("Incorrect sampling rate")});

  // Times claiming eight hours at 32 kHz over 32 channels: refused for what the
  // file holds, before memory is sought for it.
  const BtsFile huge{0, 0, 30000, 0, 32, 32000};
  EXPECT_FALSE(OpenBytes(huge.Bytes(2)));
  EXPECT_EQ(platform.Texts(), std::vector<std::string>{Error("Not all frames could be read")});
}

}  // namespace
