#include "formats/mac/Mac.h"

#include <gtest/gtest.h>

#include <string>

#include "support/TestSupport.h"

namespace {

using testsupport::RecordingPlatform;
using testsupport::TempDir;

// Frame lines of `n` channels: sample c of frame f is written as the two
// characters of (f + c) % 4096.
std::string Frames(int n, int frames, const char* eol = "\n") {
  std::string s;
  for (int f = 0; f < frames; ++f) {
    for (int c = 0; c < n; ++c) {
      const int v = (f + c) % 4096;
      s += static_cast<char>('0' + v / 64);
      s += static_cast<char>('0' + v % 64);
    }
    s += eol;
  }
  return s;
}

class MacTest : public ::testing::Test {
 protected:
  bool OpenText(const std::string& text) {
    path = dir / "t.ana";
    testsupport::WriteFile(path, std::vector<unsigned char>(text.begin(), text.end()));
    mac.SetPlatform(&platform);
    mac.fileName = path;
    return mac.Open();
  }
  std::string Error(const std::string& reason) const {
    return "ERROR in " + path.string() + " : " + reason;
  }

  TempDir dir;
  std::filesystem::path path;
  RecordingPlatform platform;
  CMac mac;
};

TEST_F(MacTest, HeaderChannelsAndFramesWithEitherLineEnd) {
  for (const char* eol : {"\n", "\r\n"}) {
    const std::string e = eol;
    // 0.53 s at 100 Hz is 53 frames, though 0.53f * 100 falls just short.
    ASSERT_TRUE(OpenText("walk trial 0.53 100 1 2 " + e + "~ 4 EMG1" + e + "~ 3 " + e + e +
                         Frames(2, 53, eol)))
        << platform.Texts().front();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(mac.FrameCount(), 53);
    EXPECT_EQ(mac.frequency, 100.0f);
    EXPECT_EQ(mac.paramSet.Find("Analog", "Labels")->GetString(0), "EMG1");
    EXPECT_EQ(mac.paramSet.Find("Analog", "Labels")->GetString(1), "CH002");  // no third token
    EXPECT_EQ(mac.GetScale(0), 0.25f);
    EXPECT_EQ(mac.GetScale(1), 1.0f);
    EXPECT_EQ(mac.paramSet.Find("Analog", "Gain")->GetValue(1), 3.0f);
    EXPECT_EQ(mac.analog[1].samples.At(52), 53);
  }
  // T4 divides the rate; the expected count follows.
  ASSERT_TRUE(OpenText("a b 2.5 2000 4 1\n~ 1 X\n" + Frames(1, 1250)));
  EXPECT_EQ(mac.frequency, 500.0f);
  EXPECT_EQ(mac.FrameCount(), 1250);
}

TEST_F(MacTest, SamplesAreTwoCharactersEach) {
  ASSERT_TRUE(OpenText("a b 3 1 1 1\n~ 1 X\n0o\n\no0\n10\n"));
  EXPECT_EQ(mac.analog[0].samples.At(0), 63);
  EXPECT_EQ(mac.analog[0].samples.At(1), 4032);
  EXPECT_EQ(mac.analog[0].samples.At(2), 64);
}

TEST_F(MacTest, FrameLineFailures) {
  EXPECT_FALSE(OpenText("a b 1 2 1 1\n~ 1 X\n00\n01\n02\n"));
  EXPECT_EQ(platform.Texts().back(), Error("More frames found in file than expected"));
  EXPECT_FALSE(OpenText("a b 1 2 1 1\n~ 1 X\n00\n01 \n"));
  EXPECT_EQ(platform.Texts().back(), Error("Incorrect amount of data at Frame 2"));
  // A small file claiming a billion frames: counted, refused, nothing taken.
  EXPECT_FALSE(OpenText("a b 1000000 1000 1 1\n~ 1 X\n00\n"));
  EXPECT_EQ(platform.Texts().back(), Error("Incorrect number of frames found in file"));
  EXPECT_EQ(mac.paramSet.GroupCount(), 0);
}

TEST_F(MacTest, FilesThatAreNotMac) {
  path = dir / "t.ana";
  const std::string notMac = Error("This is not a MAC analog file");
  for (const char* text : {"", "\n\n", "a b 1 2 1\n~ 1 X\n00\n", "a b 1 2 1 2\n~ 1 X\n"}) {
    platform.messages.clear();
    EXPECT_FALSE(OpenText(text)) << text;
    EXPECT_EQ(platform.Texts(), std::vector<std::string>{notMac}) << text;
  }
}

}  // namespace
