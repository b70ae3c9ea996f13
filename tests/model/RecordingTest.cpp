#include "model/Recording.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A recording with one point of `frames` integer records.
class IntegerPoint : public ::testing::Test {
 protected:
  void SetUp() override {
    rec.integerData = true;
    rec.markerScale = -0.5f;  // only the magnitude scales residuals
    rec.points.resize(1);
    ASSERT_TRUE(rec.points[0].samples.Allocate(4 * 4, true));
  }
  void SetRecord(int i, std::int16_t x, std::int16_t y, std::int16_t z, std::int16_t w) {
    std::int16_t* r = rec.points[0].samples.Ints() + i * 4;
    r[0] = x;
    r[1] = y;
    r[2] = z;
    r[3] = w;
  }
  CRecording rec;
};

TEST_F(IntegerPoint, ResidualAndCamerasFromTheFourthWord) {
  char cams[8];
  SetRecord(0, 1, 1, 1, 0x0105);
  EXPECT_FLOAT_EQ(rec.GetResidualAndCameras(0, 0, cams), 2.5f);
  EXPECT_STREQ(cams, "1000000");
  SetRecord(0, 1, 1, 1, 0x7F00);
  EXPECT_FLOAT_EQ(rec.GetResidualAndCameras(0, 0, cams), 0.0f);
  EXPECT_STREQ(cams, "1111111");
  SetRecord(0, 1, 1, 1, 0x0080);
  EXPECT_FLOAT_EQ(rec.GetResidual(0, 0), 64.0f);
  SetRecord(0, 1, 1, 1, 0x03CE);  // the low byte is unsigned: 206, not -50
  EXPECT_FLOAT_EQ(rec.GetResidualAndCameras(0, 0, cams), 103.0f);
  EXPECT_STREQ(cams, "1100000");
  SetRecord(0, 1, 1, 1, -1);
  EXPECT_FLOAT_EQ(rec.GetResidualAndCameras(0, 0, cams), -1.0f);
  EXPECT_STREQ(cams, "0000000");
}

TEST_F(IntegerPoint, ValidFramesFollowTheIntegerRule) {
  SetRecord(0, 0, 0, 0, -1);  // invalid
  SetRecord(1, 0, 0, 0, -2);  // zeros but not the exact -1 word: holds data
  SetRecord(2, 5, 0, 0, -1);  // data despite the invalid word
  SetRecord(3, 0, 0, 0, -1);
  EXPECT_EQ(rec.FirstValidFrame(0), 1);
  EXPECT_EQ(rec.LastValidFrame(0), 2);
  EXPECT_EQ(rec.FirstValidFrame(-1), -1);
  EXPECT_EQ(rec.FirstValidFrame(1), -1);
}

TEST(RecordingTest, FloatValidityLooksAtCoordinatesOnly) {
  CRecording rec;
  rec.integerData = false;
  rec.points.resize(1);
  ASSERT_TRUE(rec.points[0].samples.Allocate(3 * 4, false));
  float* r = rec.points[0].samples.Floats();
  r[3] = 5.0f;   // frame 0: only a residual
  r[4 + 1] = 1;  // frame 1: y set
  EXPECT_EQ(rec.FirstValidFrame(0), 1);
  EXPECT_EQ(rec.LastValidFrame(0), 1);
}

TEST(RecordingTest, FloatResidualWordTruncatesSafely) {
  CRecording rec;
  rec.integerData = false;
  rec.markerScale = -2.0f;
  rec.points.resize(1);
  ASSERT_TRUE(rec.points[0].samples.Allocate(4, false));
  float* r = rec.points[0].samples.Floats();
  r[3] = 259.9f;  // word 0x0103
  char cams[8];
  EXPECT_FLOAT_EQ(rec.GetResidualAndCameras(0, 0, cams), 6.0f);
  EXPECT_STREQ(cams, "1000000");
  r[3] = NAN;
  EXPECT_EQ(rec.ResidualWord(0, 0), 0);
  r[3] = 1e20f;
  EXPECT_EQ(rec.ResidualWord(0, 0), 0);
  r[3] = -1.0f;
  EXPECT_FLOAT_EQ(rec.GetResidual(0, 0), -1.0f);
}

TEST(RecordingTest, ScalingDefaultsWithoutAnAnalogGroup) {
  CRecording rec;
  EXPECT_EQ(rec.GetGenScale(), 1.0f);
  EXPECT_EQ(rec.GetScale(3), 1.0f);
  EXPECT_EQ(rec.GetOffset(3), 2048.0f);
  EXPECT_EQ((2048.0f - rec.GetOffset(0)) * rec.GetGenScale() * rec.GetScale(0), 0.0f);
}

TEST(RecordingTest, ScalingReadsBytesSignedAndFallsBackPastTheEnd) {
  CRecording rec;
  rec.paramSet.AddGroup("Analog", "", -1);
  CParam& off = rec.paramSet.AddArrayParam(1, "OFFSET", "", kParamByte, 1);
  off.SetByte(0, 200);
  rec.paramSet.AddStringParam(1, "GEN_SCALE", "", 1);
  EXPECT_EQ(rec.GetOffset(0), -56.0f);
  EXPECT_EQ(rec.GetOffset(1), 2048.0f);
  EXPECT_EQ(rec.GetGenScale(), 1.0f);  // CHAR gives the default
}

TEST(FrameDataTest, TruncationOfFloatsToIntegers) {
  EXPECT_EQ(TruncateToInt32(-2.9f), -2);
  EXPECT_EQ(TruncateToInt32(NAN), 0);
  EXPECT_EQ(TruncateToInt32(3e9f), 0);
  EXPECT_EQ(TruncateToInt32(-2147483648.0f), INT32_MIN);
  EXPECT_EQ(TruncateToWord(65537.0f), 1);
  EXPECT_EQ(TruncateToWord(-1.5f), -1);
}

}  // namespace
