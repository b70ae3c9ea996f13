#include "formats/c3d/C3dWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/c3d/C3d.h"
#include "formats/vad/Vad.h"
#include "platform/OutputFile.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "support/TestSupport.h"
#include "vadbuilder/VadBuilder.h"

namespace {

using testsupport::RecordingPlatform;
using testsupport::TempDir;
using vadbuilder::VadFile;

std::string Upper(std::string s) {
  for (char& c : s) c = AsciiUpper(c);
  return s;
}

class C3dWriterTest : public ::testing::Test {
 protected:
  void OpenVad(const VadFile& f, std::int64_t frames, const std::string& calibration) {
    testsupport::WriteFile(dir / "walk.car",
                           std::vector<unsigned char>(calibration.begin(), calibration.end()));
    testsupport::WriteFile(dir / "walk01.vad", f.Bytes(frames));
    vad.SetPlatform(&platform);
    vad.fileName = dir / "walk01.vad";
    ASSERT_TRUE(vad.Open());
  }
  // A plain recording of one channel of `frames` samples at 100 Hz, R = 1,
  // and a group POINT holding CHAR parameters of the widths given.
  void MakePlain(int frames, const std::vector<int>& widths, int strings = 1) {
    plain.paramSet.AddGroup("POINT", "", -1);
    for (std::size_t i = 0; i < widths.size(); ++i) {
      CParam& p = plain.paramSet.AddStringParam(1, "NOTE" + std::to_string(i), "", strings);
      for (std::string& s : p.strings) s.assign(static_cast<std::size_t>(widths[i]), 'x');
      CParamSet::FinishStringParam(p);
    }
    plain.analog.resize(1);
    ASSERT_TRUE(plain.analog[0].samples.Allocate(static_cast<std::size_t>(frames), true));
    plain.firstFrame = 1;
    plain.lastFrame = frames;
  }
  CC3dSource Plain() { return {plain, 100.0f, 100, 1, plain.lastFrame}; }
  CC3dSource Vad(int first = -1, int last = -1) {
    return {vad, vad.analogRate, vad.videoFrameRate, first < 0 ? vad.firstFrame : first,
            last < 0 ? vad.lastFrame : last};
  }
  // Writes the file and reads it back with the C3D reader.
  void WriteAndRead(const CC3dWriter& w) {
    ASSERT_EQ(w.Refusal(), nullptr);
    COutputFile out(platform, dir / "out.c3d");
    ASSERT_TRUE(out.Create(true));
    {
      CProgressScope progress(platform, 3);
      w.Write(out, progress);
    }
    ASSERT_GT(out.Commit(), 0u);
    EXPECT_EQ(platform.progressSteps, 3);
    c3d.Close();
    c3d.SetPlatform(&platform);
    c3d.fileName = dir / "out.c3d";
    ASSERT_TRUE(c3d.Open());
  }

  TempDir dir;
  RecordingPlatform platform;
  CVad vad;
  CRecording plain;
  CC3d c3d;
};

// Channels 1-4 with scales and a force plate, so that every parameter type
// and shape is written; a video frequency that differs from the header's.
constexpr char kCalibration[] =
    "[Analogue]\nGeneralScale=0.0025\nChannel1=0, 1, 1, 0.5,2000,mV,EMG1,Left rectus\n"
    "[ForcePlates]\nCount=1\n[ForcePlate1]\nCorners=1,2,3,4,5,6,7,8,9,10,11,12\n"
    "Origin=0,0,-40\nChannels=1,2,3,4,5,6\n[Video]\nFrequency=60.5\n";

TEST_F(C3dWriterTest, VadRecordingReadsBackWithItsParametersAndRawSamples) {
  VadFile f;
  f.n = 4;
  OpenVad(f, 1001, kCalibration);  // R = 20: the last sample is not written
  const CC3dWriter w(Vad());
  WriteAndRead(w);
  EXPECT_EQ(c3d.processorType, kProcessorIntel);
  EXPECT_TRUE(c3d.integerData);
  EXPECT_EQ(c3d.markerScaleFactor, 1.0f);
  EXPECT_EQ(c3d.numPoints, 0);
  EXPECT_EQ(c3d.analogPerFrame, 80);
  EXPECT_EQ(c3d.analogToVideoRatio, 20);
  EXPECT_EQ(c3d.firstVideoFrame, 1);
  EXPECT_EQ(c3d.lastVideoFrame, 50);
  EXPECT_EQ(c3d.videoFrameRate, 50.0f);
  EXPECT_TRUE(c3d.events.empty());
  EXPECT_EQ(w.LastFrameWritten(), 1000);
  EXPECT_EQ(std::filesystem::file_size(dir / "out.c3d"),
            (c3d.dataStartRecord - 1) * 512u + 50u * 80u * 2u);

  // The recording's parameters in upper case, POINT:RATE and POINT:FRAMES
  // as the header says, then DATA_START; the recording itself unchanged.
  ASSERT_EQ(c3d.paramSet.GroupCount(), 3);
  for (int g = 0; g < 3; ++g) {
    const CGroup& in = vad.paramSet.groups[static_cast<std::size_t>(g)];
    const CGroup& out = c3d.paramSet.groups[static_cast<std::size_t>(g)];
    EXPECT_EQ(out.name, Upper(in.name));
    EXPECT_EQ(out.number, in.number);
    EXPECT_EQ(out.locked, 1);
    EXPECT_EQ(out.description, in.description);
  }
  ASSERT_EQ(vad.paramSet.ParamCount(), 16);
  ASSERT_EQ(c3d.paramSet.ParamCount(), 17);
  for (int i = 0; i < 16; ++i) {
    const CParam& in = vad.paramSet.params[static_cast<std::size_t>(i)];
    const CParam& out = c3d.paramSet.params[static_cast<std::size_t>(i)];
    SCOPED_TRACE(in.name);
    EXPECT_EQ(out.name, Upper(in.name));
    EXPECT_EQ(out.locked, 1);
    EXPECT_EQ(out.groupNumber, in.groupNumber);
    EXPECT_EQ(out.description, in.description);
    EXPECT_EQ(out.type, in.type);
    EXPECT_EQ(out.dimensions, in.dimensions);
    if (out.name == "RATE" && out.groupNumber == 3) {
      EXPECT_EQ(out.GetValue(0), 50.0f);
      EXPECT_EQ(in.GetValue(0), 60.5f);
    } else if (out.name == "FRAMES") {
      EXPECT_EQ(out.GetValue(0), 50.0f);
    } else {
      EXPECT_EQ(out.values, in.values);
      EXPECT_EQ(out.strings, in.strings);
    }
  }
  const CParam& start = c3d.paramSet.params.back();
  EXPECT_EQ(c3d.paramSet.GetGroupName(start), "POINT");
  EXPECT_EQ(start.name, "DATA_START");
  EXPECT_EQ(start.locked, 1);
  EXPECT_EQ(start.GetValue(0), c3d.dataStartRecord);
  EXPECT_EQ(c3d.dataStartRecord, w.DataStart());
  EXPECT_EQ(c3d.parameterBlocks, w.ParameterBlocks());
  EXPECT_EQ(vad.paramSet.params[0].name, "Gen_Scale");

  ASSERT_EQ(c3d.AnalogCount(), 4);
  for (int k = 0; k < 4; ++k) {
    ASSERT_EQ(c3d.analog[k].samples.Size(), 1000u);
    for (std::size_t i = 0; i < 1000; ++i) {
      ASSERT_EQ(c3d.analog[k].samples.Ints()[i], vad.analog[k].samples.Ints()[i]) << k << " " << i;
    }
  }
}

TEST_F(C3dWriterTest, FrameRangeAndARateThatIsNoWholeMultiple) {
  VadFile f;
  f.videoRate = 60;  // 1000 Hz / 60 Hz: R = 16, frames timed at 62.5 Hz
  OpenVad(f, 100, "");
  const CC3dWriter w(Vad(5, 60));  // 56 frames: 3 video frames from sample 4
  WriteAndRead(w);
  EXPECT_EQ(c3d.analogToVideoRatio, 16);
  EXPECT_EQ(c3d.lastVideoFrame, 3);
  EXPECT_EQ(c3d.videoFrameRate, 62.5f);
  EXPECT_EQ(c3d.paramSet.Find("POINT", "RATE")->GetValue(0), 62.5f);
  EXPECT_EQ(c3d.paramSet.Find("ANALOG", "RATE")->GetValue(0), 1000.0f);
  EXPECT_EQ(w.LastFrameWritten(), 52);
  ASSERT_EQ(c3d.analog[1].samples.Size(), 48u);
  EXPECT_EQ(c3d.analog[1].samples.Ints()[0], 4 * 7 + 1);
  EXPECT_EQ(c3d.analog[1].samples.Ints()[47], 51 * 7 + 1);
}

TEST_F(C3dWriterTest, ParameterSectionEndingOnAndPastABlockEdge) {
  // The records end at byte p; the data start at the first block boundary
  // at or after p: ending at 1000 or exactly at 1024 puts them at block 3.
  MakePlain(10, {1, 1});
  const int base = CC3dWriter(Plain()).ParameterEnd();
  ASSERT_LT(base, 1000);
  for (const int end : {1000, 1024, 1025}) {
    SCOPED_TRACE(end);
    plain.paramSet.Clear();
    const int extra = end - base;
    const int first = std::min(extra, 254);
    MakePlain(10, {1 + first, 1 + extra - first});
    const CC3dWriter w(Plain());
    ASSERT_EQ(w.ParameterEnd(), end);
    EXPECT_EQ(w.ParameterBlocks(), end <= 1024 ? 1 : 2);
    EXPECT_EQ(w.DataStart(), end <= 1024 ? 3 : 4);
    WriteAndRead(w);
    EXPECT_EQ(c3d.dataStartRecord, w.DataStart());
    EXPECT_EQ(c3d.paramSet.Find("POINT", "DATA_START")->GetValue(0), w.DataStart());
    EXPECT_EQ(c3d.paramSet.ParamCount(), 3);
    EXPECT_EQ(std::filesystem::file_size(dir / "out.c3d"), (w.DataStart() - 1) * 512u + 20u);
  }
}

TEST_F(C3dWriterTest, RefusesWhatCannotBeLaidOutOrIsTooLarge) {
  MakePlain(40000, {4});
  const auto refusal = [&](float analogRate, int videoRate, int first, int last) {
    return CC3dWriter({plain, analogRate, videoRate, first, last}).Refusal();
  };
  EXPECT_EQ(refusal(100.0f, 100, 1, 100), nullptr);
  EXPECT_EQ(refusal(100.0f, 0, 1, 100), kErrC3dLayout);    // no video rate
  EXPECT_EQ(refusal(40.0f, 50, 1, 100), kErrC3dLayout);    // R = 0
  EXPECT_EQ(refusal(2000.0f, 100, 1, 19), kErrC3dLayout);  // fewer than R frames
  EXPECT_EQ(refusal(2000.0f, 100, 1, 20), nullptr);
  EXPECT_EQ(refusal(3.3e6f, 100, 1, 40000), kErrC3dTooLarge);  // N x R > 32767

  // A dimension over 255, a record's next-record offset over 32767, a
  // section over 255 blocks, more than 65535 video frames.
  CParam& used = plain.paramSet.AddArrayParam(1, "USED", "", kParamInt, 256);
  EXPECT_EQ(CC3dWriter(Plain()).Refusal(), kErrC3dTooLarge);
  used.elementCount = 255;
  used.values.resize(255);
  used.dimensions = {255};
  EXPECT_EQ(CC3dWriter(Plain()).Refusal(), nullptr);
  plain.paramSet.Clear();
  MakePlain(100, {254}, 129);  // 32766 bytes of data, offset 32773
  EXPECT_EQ(CC3dWriter(Plain()).Refusal(), kErrC3dTooLarge);
  plain.paramSet.Clear();
  MakePlain(100, std::vector<int>(5, 255), 128);  // 5 x 32640 bytes: 319 blocks
  EXPECT_EQ(CC3dWriter(Plain()).Refusal(), kErrC3dTooLarge);
  plain.paramSet.Clear();
  MakePlain(65536, {4});
  EXPECT_EQ(CC3dWriter(Plain()).Refusal(), kErrC3dTooLarge);
  EXPECT_EQ(refusal(200.0f, 100, 1, 65536), nullptr);
}

}  // namespace
