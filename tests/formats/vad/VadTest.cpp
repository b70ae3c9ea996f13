#include "formats/vad/Vad.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "vadbuilder/VadBuilder.h"

namespace {

using testsupport::RecordingPlatform;
using testsupport::TempDir;

using vadbuilder::VadFile;

class VadTest : public ::testing::Test {
 protected:
  bool OpenBytes(const std::vector<unsigned char>& bytes, const std::string& name = "walk01.vad") {
    platform.messages.clear();
    path = dir / name;
    testsupport::WriteFile(path, bytes);
    vad.SetPlatform(&platform);
    vad.fileName = path;
    return vad.Open();
  }
  void WriteText(const std::string& name, const std::string& text) {
    testsupport::WriteFile(dir / name, std::vector<unsigned char>(text.begin(), text.end()));
  }
  const CParam& Param(const char* group, const char* name) const {
    const CParam* p = vad.paramSet.Find(group, name);
    EXPECT_NE(p, nullptr) << group << ":" << name;
    return *p;
  }
  std::string Error(const char* reason) const {
    return "ERROR in " + path.string() + " : " + reason;
  }

  TempDir dir;
  std::filesystem::path path;
  RecordingPlatform platform;
  CVad vad;
};

TEST_F(VadTest, HeaderChannelsAndSamples) {
  VadFile f;
  f.signature = "!vad";  // any case
  f.n = 3;
  ASSERT_TRUE(OpenBytes(f.Bytes(4)));
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(vad.version, "!vad10");
  EXPECT_EQ(vad.videoFrameRate, 50);
  EXPECT_EQ(vad.videoSync, 3);
  EXPECT_EQ(vad.analogRate, 1000.0f);
  EXPECT_EQ(vad.FrameCount(), 4);
  ASSERT_EQ(vad.AnalogCount(), 3);
  EXPECT_EQ(vad.analog[2].samples.At(3), 3 * 7 + 2);
  ASSERT_EQ(vad.channels.size(), 3u);
  EXPECT_EQ(vad.channels[1].first, 1);
  EXPECT_EQ(vad.channels[1].second, -1);
  EXPECT_EQ(vad.channels[1].label, "L1");  // cut at NUL, trailing blanks gone
  EXPECT_EQ(vad.channels[2].description, "D2");
}

TEST_F(VadTest, MoreThan65535FramesAreReadWhole) {
  VadFile f;
  f.n = 1;
  ASSERT_TRUE(OpenBytes(f.Bytes(70000)));
  EXPECT_EQ(vad.FrameCount(), 70000);
  EXPECT_EQ(vad.analog[0].samples.At(69999), static_cast<std::int16_t>(69999 * 7));
}

TEST_F(VadTest, WithoutCalibrationEveryValueTakesItsDefault) {
  VadFile f;
  f.n = 2;
  ASSERT_TRUE(OpenBytes(f.Bytes(5000)));
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(vad.GetGenScale(), 0.004885f);
  EXPECT_EQ(vad.GetScale(1), 1.0f);
  EXPECT_EQ(vad.GetOffset(1), 2048.0f);
  EXPECT_EQ(Param("Analog", "Units").strings, (std::vector<std::string>{"None", "None"}));
  EXPECT_EQ(Param("Analog", "Labels").strings, (std::vector<std::string>{"CH001", "CH002"}));
  EXPECT_EQ(Param("Analog", "Descriptions").strings,
            (std::vector<std::string>{"Channel 001", "Channel 002"}));
  EXPECT_EQ(Param("Analog", "Labels").dimensions, (std::vector<std::uint8_t>{5, 2}));
  EXPECT_EQ(Param("Force_Platform", "Used").GetValue(0), 0.0f);
  EXPECT_EQ(Param("Force_Platform", "Zero").GetValue(0), 1.0f);
  EXPECT_EQ(Param("Force_Platform", "Zero").GetValue(1), 10.0f);
  EXPECT_EQ(Param("Force_Platform", "Corners").elementCount, 0);
  EXPECT_EQ(Param("Point", "Rate").GetValue(0), 50.0f);
  EXPECT_EQ(Param("Point", "Frames").GetValue(0), 250.0f);  // 5000 frames / (1000 / 50)

  const char* names[] = {"Gen_Scale", "Rate",         "Used", "Scale", "Offset", "Units",
                         "Labels",    "Descriptions", "Used", "Zero",  "Type",   "Corners",
                         "Origin",    "Channel",      "Rate", "Frames"};
  const int groups[] = {1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 3, 3};
  ASSERT_EQ(vad.paramSet.ParamCount(), 16);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(vad.paramSet.params[static_cast<std::size_t>(i)].name, names[i]);
    EXPECT_EQ(vad.paramSet.params[static_cast<std::size_t>(i)].groupNumber, groups[i]);
  }
  ASSERT_EQ(vad.paramSet.GroupCount(), 3);
  EXPECT_EQ(vad.paramSet.groups[0].name, "ANALOG");
  EXPECT_EQ(vad.paramSet.groups[1].name, "FORCE_PLATFORM");
  EXPECT_EQ(vad.paramSet.groups[2].name, "POINT");
  EXPECT_EQ(vad.paramSet.groups[2].number, -3);
}

TEST_F(VadTest, CalibrationFileGivesScalesLabelsAndPlates) {
  WriteText("walk.car",
            "[Analogue]\n"
            "GeneralScale=0.5\n"
            "Channel1=0, 1, 1, 0.25,2000, mV,EMG1,Left rectus\n"
            "Channel2=0, 1, 1, 0.5\n"
            "[ForcePlates]\n"
            "Count=2\n"
            "Zero=5\n"
            "[ForcePlate1]\n"
            "Type=3\n"
            "Corners=1,2,3,4,5,6,7,8,9,10,11,12,13\n"
            "Origin=0.5,,x\n"
            "Channels=1,2,3,4,5,6\n"
            "[Video]\n"
            "Frequency=\"60\"\n");
  VadFile f;
  f.n = 3;
  ASSERT_TRUE(OpenBytes(f.Bytes(10)));
  EXPECT_EQ(vad.GetGenScale(), 0.5f);
  EXPECT_EQ(vad.GetScale(0), 0.25f);
  EXPECT_EQ(vad.GetOffset(0), 2000.0f);
  // Four fields: the rest take the values of a short key, not those of a
  // missing one.
  EXPECT_EQ(vad.GetScale(1), 0.5f);
  EXPECT_EQ(vad.GetOffset(1), 2048.0f);
  EXPECT_EQ(Param("Analog", "Units").strings, (std::vector<std::string>{" mV", "V", "None"}));
  EXPECT_EQ(Param("Analog", "Labels").strings,
            (std::vector<std::string>{"EMG1", "CH002", "CH003"}));
  EXPECT_EQ(Param("Analog", "Descriptions").GetString(0), "Left rectus");

  EXPECT_EQ(Param("Force_Platform", "Used").GetValue(0), 2.0f);
  EXPECT_EQ(Param("Force_Platform", "Zero").GetValue(0), 5.0f);
  EXPECT_EQ(Param("Force_Platform", "Zero").GetValue(1), 0.0f);
  const CParam& type = Param("Force_Platform", "Type");
  EXPECT_EQ(type.elementCount, 2);
  EXPECT_EQ(type.GetValue(0), 3.0f);
  EXPECT_EQ(type.GetValue(1), 2.0f);  // plate 2 has no section
  const CParam& corners = Param("Force_Platform", "Corners");
  EXPECT_EQ(corners.dimensions, (std::vector<std::uint8_t>{4, 3, 2}));
  EXPECT_EQ(corners.GetValue(11), 12.0f);
  EXPECT_EQ(corners.GetValue(12), 0.0f);
  const CParam& origin = Param("Force_Platform", "Origin");
  EXPECT_EQ(origin.dimensions, (std::vector<std::uint8_t>{3, 2}));
  EXPECT_EQ(origin.GetValue(0), 0.5f);
  EXPECT_EQ(origin.GetValue(2), 0.0f);
  EXPECT_EQ(Param("Force_Platform", "Channel").GetValue(5), 6.0f);
  EXPECT_EQ(Param("Point", "Rate").GetValue(0), 60.0f);
}

TEST_F(VadTest, CalibrationNameIsFoundIgnoringCase) {
  EXPECT_EQ(CVad::CalibrationName("/d/walk01.vad"), std::filesystem::path("/d/walk.car"));
  EXPECT_EQ(CVad::CalibrationName("/d/w1.vad"), std::filesystem::path("/d/.car"));
  WriteText("WALK.CAR", "[Analogue]\nChannel1=0,1,1,0.125\n");
  VadFile f;
  f.n = 1;
  ASSERT_TRUE(OpenBytes(f.Bytes(2)));
  EXPECT_TRUE(std::filesystem::equivalent(vad.calibrationPath, dir / "WALK.CAR"));
  EXPECT_EQ(vad.GetScale(0), 0.125f);
#ifndef _WIN32
  // The exact name wins when both are there (a Windows folder holds one of
  // them only).
  WriteText("walk.car", "[Analogue]\nChannel1=0,1,1,0.75\n");
  ASSERT_TRUE(OpenBytes(f.Bytes(2)));
  EXPECT_EQ(vad.GetScale(0), 0.75f);
#endif
}

TEST_F(VadTest, ForcePlateCountOutOfRange) {
  VadFile f;
  WriteText("walk.car", "[ForcePlates]\nCount=-4\n");
  ASSERT_TRUE(OpenBytes(f.Bytes(2)));
  EXPECT_EQ(Param("Force_Platform", "Used").GetValue(0), 0.0f);
  EXPECT_EQ(Param("Force_Platform", "Type").elementCount, 0);
  WriteText("walk.car", "[ForcePlates]\nCount=255\n");
  ASSERT_TRUE(OpenBytes(f.Bytes(2)));
  EXPECT_EQ(Param("Force_Platform", "Used").GetValue(0), 255.0f);
  EXPECT_EQ(Param("Force_Platform", "Channel").elementCount, 6 * 255);
  WriteText("walk.car", "[ForcePlates]\nCount=256\n");
  EXPECT_FALSE(OpenBytes(f.Bytes(2)));
  EXPECT_EQ(platform.Texts(),
            std::vector<std::string>{Error("Too many force plates in the calibration file")});
  EXPECT_EQ(vad.AnalogCount(), 0);
}

TEST_F(VadTest, CutAndContradictoryFilesAreRefused) {
  VadFile f;
  f.n = 2;
  const std::vector<unsigned char> b = f.Bytes(10);
  EXPECT_FALSE(OpenBytes(std::vector<unsigned char>(b.begin(), b.begin() + 21)));
  EXPECT_EQ(platform.Texts(),
            std::vector<std::string>{Error("Incorrect amount of data data read")});
  EXPECT_FALSE(OpenBytes(std::vector<unsigned char>(b.begin(), b.begin() + 22 + 48 + 47)));
  EXPECT_EQ(platform.Texts(),
            std::vector<std::string>{Error("Incorrect amount of channel desc data read")});
  EXPECT_FALSE(OpenBytes(std::vector<unsigned char>(b.begin(), b.end() - 1)));
  EXPECT_EQ(platform.Texts(), std::vector<std::string>{Error("Error reading data from file")});
  EXPECT_EQ(vad.AnalogCount(), 0);

  VadFile wrong = f;
  wrong.signature = "!VAE";
  EXPECT_FALSE(OpenBytes(wrong.Bytes(10)));
  EXPECT_EQ(platform.Texts(),
            std::vector<std::string>{Error("Incorrect File version information")});
  for (std::int16_t n : {0, -3}) {
    VadFile none = f;
    none.n = n;
    EXPECT_FALSE(OpenBytes(none.Bytes(0, 100))) << n;
    EXPECT_EQ(platform.Texts(), std::vector<std::string>{Error("Incorrect number of channels")});
  }
  // A count of four billion samples in a small file is refused for what the
  // file holds, before memory is sought for it.
  EXPECT_FALSE(OpenBytes(f.Bytes(10, 0xFFFFFFF0)));
  EXPECT_EQ(platform.Texts(), std::vector<std::string>{Error("Error reading data from file")});
}

}  // namespace
