// The reader against real recordings from public sources (../shared/data/c3d).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "formats/c3d/C3d.h"
#include "support/TestSupport.h"

namespace {

using testsupport::RecordingPlatform;
using testsupport::SharedDataDir;

std::filesystem::path C3dDir() {
  return SharedDataDir() / "c3d";
}

struct Opened {
  RecordingPlatform platform;
  CC3d c3d;
  bool ok = false;
  explicit Opened(const std::string& name) {
    c3d.SetPlatform(&platform);
    c3d.fileName = C3dDir() / name;
    ok = c3d.Open();
  }
};

TEST(C3dRealFiles, EveryRecordingOpens) {
  KX_REQUIRE_SHARED_DATA();
  int opened = 0;
  for (const auto& entry : std::filesystem::directory_iterator(C3dDir())) {
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    Opened f(name);
    if (name == "Empty.c3d") {
      EXPECT_FALSE(f.ok);
      ASSERT_EQ(f.platform.messages.size(), 1u);
      EXPECT_EQ(f.platform.messages[0].text,
                "ERROR in " + entry.path().string() +
                    " : [CC3d::GetFileHeader()] Error reading data from file");
      continue;
    }
    EXPECT_TRUE(f.ok);
    EXPECT_TRUE(f.platform.messages.empty());
    ++opened;
  }
  EXPECT_GE(opened, 60);
}

TEST(C3dRealFiles, QuirksOfRealFiles) {
  KX_REQUIRE_SHARED_DATA();
  {
    // DATA_START 188 (> 127) must be read unsigned; two groups are named
    // PROCESSING; far more than 255 parameters.
    Opened f("bigparlove.c3d");
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.c3d.PointCount(), 205);
    EXPECT_GT(f.c3d.paramSet.ParamCount(), 255);
  }
  {
    // An empty group with name length 9 and next offset -1 ends the section
    // early; the file still opens with what came before.
    Opened f("bad_parameter_section.c3d");
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.c3d.PointCount(), 45);
    EXPECT_NE(f.c3d.paramSet.Find("POINT", "LABELS"), nullptr);
  }
  {
    // Every residual is -1, yet a float file's frames hold data by their
    // coordinates alone.
    Opened f("basketball.c3d");
    ASSERT_TRUE(f.ok);
    char cams[8];
    EXPECT_EQ(f.c3d.GetResidualAndCameras(0, 0, cams), -1.0f);
    EXPECT_STREQ(cams, "0000000");
    EXPECT_EQ(f.c3d.FirstValidFrame(0), 0);
  }
  {
    Opened f("2198928.c3d");
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.c3d.processorType, kProcessorDec);
    EXPECT_EQ(f.c3d.events.size(), 6u);
  }
}

// Scaled point coordinate c of point j at frame i.
float ScaledPoint(const CC3d& c, int j, int i, int k) {
  const float v = c.points[j].samples.At(static_cast<std::size_t>(i) * 4 + k);
  return c.integerData ? v * c.markerScaleFactor : v;
}
float ScaledAnalog(const CC3d& c, int k, std::size_t s) {
  return (c.analog[k].samples.At(s) - c.GetOffset(k)) * c.GetGenScale() * c.GetScale(k);
}

void ExpectSameRecording(const CC3d& a, const CC3d& b) {
  EXPECT_EQ(a.numPoints, b.numPoints);
  EXPECT_EQ(a.numAnalogChannels, b.numAnalogChannels);
  EXPECT_EQ(a.firstVideoFrame, b.firstVideoFrame);
  EXPECT_EQ(a.lastVideoFrame, b.lastVideoFrame);
  EXPECT_EQ(a.analogToVideoRatio, b.analogToVideoRatio);
  EXPECT_EQ(a.dataStartRecord, b.dataStartRecord);
  EXPECT_FLOAT_EQ(std::fabs(a.markerScaleFactor), std::fabs(b.markerScaleFactor));
  EXPECT_FLOAT_EQ(a.videoFrameRate, b.videoFrameRate);
  ASSERT_EQ(a.events.size(), b.events.size());
  for (std::size_t e = 0; e < a.events.size(); ++e) {
    EXPECT_EQ(a.events[e].label, b.events[e].label);
    EXPECT_FLOAT_EQ(a.events[e].time, b.events[e].time);
  }
  ASSERT_EQ(a.paramSet.ParamCount(), b.paramSet.ParamCount());
  ASSERT_EQ(a.paramSet.GroupCount(), b.paramSet.GroupCount());
  for (int p = 0; p < a.paramSet.ParamCount(); ++p) {
    const CParam& x = a.paramSet.params[p];
    const CParam& y = b.paramSet.params[p];
    SCOPED_TRACE(x.name);
    EXPECT_EQ(x.name, y.name);
    EXPECT_EQ(x.type, y.type);
    EXPECT_EQ(x.dimensions, y.dimensions);
    EXPECT_EQ(x.strings, y.strings);
    // POINT:SCALE tells integer from float by its sign.
    const bool sign = x.name == "SCALE" && a.paramSet.GetGroupName(x) == "POINT";
    for (int i = 0; i < x.elementCount; ++i) {
      EXPECT_FLOAT_EQ(sign ? std::fabs(x.GetValue(i)) : x.GetValue(i),
                      sign ? std::fabs(y.GetValue(i)) : y.GetValue(i));
    }
  }
  const int frames = a.FrameCount();
  for (int j = 0; j < a.PointCount(); ++j) {
    for (int i = 0; i < frames; ++i) {
      for (int k = 0; k < 3; ++k) {
        ASSERT_NEAR(ScaledPoint(a, j, i, k), ScaledPoint(b, j, i, k), 0.01f)
            << "point " << j << " frame " << i;
      }
    }
  }
  for (int k = 0; k < a.AnalogCount(); ++k) {
    for (std::size_t s = 0; s < a.analog[k].samples.Size(); ++s) {
      ASSERT_NEAR(ScaledAnalog(a, k, s), ScaledAnalog(b, k, s), 1e-3f) << "channel " << k;
    }
  }
}

void ExpectSameRawSamples(const CC3d& a, const CC3d& b) {
  ASSERT_TRUE(a.integerData && b.integerData);
  for (int j = 0; j < a.PointCount(); ++j) {
    const auto& x = a.points[j].samples;
    const auto& y = b.points[j].samples;
    ASSERT_EQ(x.Size(), y.Size());
    EXPECT_TRUE(std::equal(x.Ints(), x.Ints() + x.Size(), y.Ints())) << "point " << j;
  }
  for (int k = 0; k < a.AnalogCount(); ++k) {
    const auto& x = a.analog[k].samples;
    const auto& y = b.analog[k].samples;
    ASSERT_EQ(x.Size(), y.Size());
    EXPECT_TRUE(std::equal(x.Ints(), x.Ints() + x.Size(), y.Ints())) << "channel " << k;
  }
}

TEST(C3dRealFiles, SixEncodingsOfOneRecordingReadAlike) {
  KX_REQUIRE_SHARED_DATA();
  Opened pi("Eb015pi.c3d");
  ASSERT_TRUE(pi.ok);
  EXPECT_EQ(pi.c3d.processorType, kProcessorIntel);
  for (const char* name :
       {"Eb015pr.c3d", "Eb015vi.c3d", "Eb015vr.c3d", "Eb015si.c3d", "Eb015sr.c3d"}) {
    SCOPED_TRACE(name);
    Opened other(name);
    ASSERT_TRUE(other.ok);
    ExpectSameRecording(pi.c3d, other.c3d);
    if (other.c3d.integerData) ExpectSameRawSamples(pi.c3d, other.c3d);
  }
  Opened vr("Eb015vr.c3d");
  EXPECT_EQ(vr.c3d.processorType, kProcessorDec);
  Opened sr("Eb015sr.c3d");
  EXPECT_EQ(sr.c3d.processorType, kProcessorMips);
}

// The sample-two files were written by different programs: their parameters
// come in different orders, so only the samples are compared.
TEST(C3dRealFiles, SampleTwoEncodingsHoldTheSameSamples) {
  KX_REQUIRE_SHARED_DATA();
  Opened pcInt("pc_int.c3d");
  Opened sgiInt("sgi_int.c3d");
  ASSERT_TRUE(pcInt.ok && sgiInt.ok);
  EXPECT_EQ(sgiInt.c3d.processorType, kProcessorMips);
  ExpectSameRawSamples(pcInt.c3d, sgiInt.c3d);
  Opened pcReal("pc_real.c3d");
  ASSERT_TRUE(pcReal.ok);
  for (const char* name : {"sgi_real.c3d", "dec_real.c3d"}) {
    SCOPED_TRACE(name);
    Opened other(name);
    ASSERT_TRUE(other.ok);
    ASSERT_EQ(other.c3d.PointCount(), pcReal.c3d.PointCount());
    for (int j = 0; j < other.c3d.PointCount(); ++j) {
      const auto& x = pcReal.c3d.points[j].samples;
      const auto& y = other.c3d.points[j].samples;
      ASSERT_EQ(x.Size(), y.Size());
      for (std::size_t i = 0; i < x.Size(); ++i) ASSERT_FLOAT_EQ(x.At(i), y.At(i));
    }
  }
}

}  // namespace

// Values on which independent readers and the C3D standard agree, where a
// literal reading of the layout gave other numbers.
TEST(C3dRealFiles, NumbersOtherReadersAgreeOn) {
  KX_REQUIRE_SHARED_DATA();
  {
    // Residual bytes above 127 are unsigned: RANK at frame 130.
    Opened f("TYPE-2a.c3d");
    ASSERT_TRUE(f.ok);
    EXPECT_NEAR(f.c3d.GetResidual(8, 129), 12.043f, 0.0005f);
  }
  {
    // ANALOG:FORMAT "UNSIGNED": the INT offset -32768 is 32768.
    Opened f("FunctionalWalk.c3d");
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.c3d.GetOffset(0), 32768.0f);
    const float first = (f.c3d.analog[0].samples.At(0) - f.c3d.GetOffset(0)) * f.c3d.GetScale(0) *
                        f.c3d.GetGenScale();
    EXPECT_NEAR(first, 0.3855f, 0.00005f);
  }
  {
    // The parameter records run past the section's declared blocks.
    Opened f("golfswing.c3d");
    ASSERT_TRUE(f.ok);
    EXPECT_NE(f.c3d.paramSet.Find("ANALOG", "LABELS"), nullptr);
    EXPECT_NE(f.c3d.paramSet.Find("POINT", "DESCRIPTIONS"), nullptr);
  }
  {
    // Analog measurements per frame (16) that are no multiple of the ratio
    // (7): ANALOG:USED's 16 channels fill the data section exactly, and the
    // markers move smoothly from frame to frame.
    Opened f("MotionMonitorC3D.c3d");
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.c3d.AnalogCount(), 16);
    EXPECT_EQ(f.c3d.FrameCount(), 840);
    float largestStep = 0.0f;
    const CSampleBuffer& m1 = f.c3d.points[1].samples;
    for (int i = 1; i < f.c3d.FrameCount(); ++i) {
      for (int c = 0; c < 3; ++c) {
        largestStep = std::max(largestStep, std::fabs(m1.At(4 * i + c) - m1.At(4 * (i - 1) + c)));
      }
    }
    EXPECT_LT(largestStep, 0.05f);  // metres
    // Each label is a field of its own, zero bytes ending only that field.
    const CParam* points = f.c3d.paramSet.Find("POINT", "LABELS");
    const CParam* channels = f.c3d.paramSet.Find("ANALOG", "LABELS");
    ASSERT_TRUE(points != nullptr && channels != nullptr);
    EXPECT_EQ(points->strings[1], "M1");
    EXPECT_EQ(points->strings[7], "M7");
    EXPECT_EQ(channels->strings[0], "A1");
    EXPECT_EQ(channels->strings[7], "A8");
  }
}
