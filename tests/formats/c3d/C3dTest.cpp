#include "formats/ReaderSupport.h"
#include "formats/c3d/C3d.h"
#include "formats/c3d/C3dDescription.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "c3dbuilder/C3dBuilder.h"
#include "support/TestSupport.h"

namespace {

using c3dbuilder::Processor;
using c3dbuilder::Spec;
using testsupport::RecordingPlatform;
using testsupport::TempDir;

class C3dTest : public ::testing::Test {
 protected:
  // Writes `bytes` and opens them; the messages land in `platform`.
  bool OpenBytes(const std::vector<std::uint8_t>& bytes) {
    path = dir / "t.c3d";
    testsupport::WriteFile(path, bytes);
    c3d.SetPlatform(&platform);
    c3d.fileName = path;
    return c3d.Open();
  }
  std::string Error(const char* reason) const {
    return "ERROR in " + path.string() + " : " + reason;
  }
  // A file with no parameters whose parameter section (one block at 512) is
  // replaced by `records` after the 4-byte section start.
  static std::vector<std::uint8_t> WithRecords(const Spec& spec,
                                               const std::vector<std::uint8_t>& records) {
    std::vector<std::uint8_t> b = c3dbuilder::Build(spec);
    std::memset(&b[512 + 4], 0, 508);
    std::memcpy(&b[512 + 4], records.data(), records.size());
    return b;
  }

  TempDir dir;
  std::filesystem::path path;
  RecordingPlatform platform;
  CC3d c3d;
};

Spec SmallSpec(Processor p, bool floatData) {
  Spec s;
  s.processor = p;
  s.floatData = floatData;
  s.points = 2;
  s.analogChannels = 3;
  s.analogRatio = 2;
  s.frames = 5;
  s.frameRate = 60.0f;
  s.markerScale = 0.25f;
  s.events = {{"HS", 0.5f, 1}, {"TO", 1.0f, 0}};
  c3dbuilder::AddStandardParameters(s, {"LASI", "RASI"}, {"FX", "FY", "FZ"});
  return s;
}

TEST_F(C3dTest, EveryEncodingReadsTheSameSamples) {
  for (Processor p : {Processor::Intel, Processor::Dec, Processor::Mips}) {
    for (bool floatData : {false, true}) {
      SCOPED_TRACE(testing::Message() << "processor " << int(p) << " float " << floatData);
      ASSERT_TRUE(OpenBytes(c3dbuilder::Build(SmallSpec(p, floatData))));
      EXPECT_EQ(c3d.processorType, int(p));
      EXPECT_EQ(c3d.integerData, !floatData);
      EXPECT_EQ(c3d.numAnalogChannels, 3);
      EXPECT_FLOAT_EQ(c3d.videoFrameRate, 60.0f);
      EXPECT_FLOAT_EQ(std::fabs(c3d.markerScaleFactor), 0.25f);
      ASSERT_EQ(c3d.PointCount(), 2);
      ASSERT_EQ(c3d.AnalogCount(), 3);
      // Builder pattern: point j coordinate c at frame i = (j+1)*100 + c*10 + i%7.
      EXPECT_EQ(c3d.points[1].samples.At(3 * 4 + 2), 200 + 20 + 3);
      // Analog sample s of channel k at frame i = (k+1)*10 + s + i%5.
      EXPECT_EQ(c3d.analog[2].samples.At(4 * 2 + 1), 30 + 1 + 4);
      EXPECT_EQ(c3d.analog[0].minimum, 10);
      EXPECT_EQ(c3d.analog[0].maximum, 15);
      EXPECT_EQ(c3d.analog[0].frameMaximum, 14);
      EXPECT_EQ(c3d.points[0].minX, 100);
      EXPECT_EQ(c3d.points[0].maxX, 104);
      ASSERT_EQ(c3d.events.size(), 2u);
      EXPECT_EQ(c3d.events[0].label, "HS  ");
      EXPECT_EQ(c3d.events[0].frame, 31);  // ceil(60 * 0.5 + 1)
      EXPECT_EQ(c3d.events[1].frame, 61);
      EXPECT_EQ(c3d.events[1].displayFlag, 0);
      const CParam* labels = c3d.paramSet.Find("point", "labels");
      ASSERT_NE(labels, nullptr);
      EXPECT_EQ(labels->strings, (std::vector<std::string>{"LASI", "RASI"}));
      EXPECT_FLOAT_EQ(c3d.GetGenScale(), 0.01f);
      EXPECT_FLOAT_EQ(c3d.GetScale(1), 0.5f);
      EXPECT_EQ(c3d.GetOffset(1), 0.0f);
      EXPECT_TRUE(platform.messages.empty());
    }
  }
}

TEST_F(C3dTest, ProcessorFromTheFrameRateWhenTheByteIsUnknown) {
  for (Processor p : {Processor::Intel, Processor::Dec, Processor::Mips}) {
    std::vector<std::uint8_t> b = c3dbuilder::Build(SmallSpec(p, false));
    b[512 + 3] = 0;
    ASSERT_TRUE(OpenBytes(b));
    EXPECT_EQ(c3d.processorType, int(p));
  }
  std::vector<std::uint8_t> b = c3dbuilder::Build(SmallSpec(Processor::Intel, false));
  b[512 + 3] = 0;
  std::memset(&b[20], 0, 4);  // rate 0 reads as 0 every way
  EXPECT_FALSE(OpenBytes(b));
  EXPECT_EQ(platform.Texts().back(),
            Error("Could not file the Platform on which file was collected"));
}

TEST_F(C3dTest, AKnownProcessorByteNeverConsultsTheRate) {
  Spec s = SmallSpec(Processor::Intel, false);
  s.frameRate = 0.0f;
  EXPECT_TRUE(OpenBytes(c3dbuilder::Build(s)));
}

TEST_F(C3dTest, HeaderFailures) {
  EXPECT_FALSE(OpenBytes({}));
  EXPECT_EQ(platform.Texts().back(), Error("[CC3d::GetFileHeader()] Error reading data from file"));
  std::vector<std::uint8_t> b = c3dbuilder::Build(SmallSpec(Processor::Intel, false));
  b.resize(29);
  EXPECT_FALSE(OpenBytes(b));
  b = c3dbuilder::Build(SmallSpec(Processor::Intel, false));
  b[1] = 0x51;
  EXPECT_FALSE(OpenBytes(b));
  EXPECT_EQ(platform.Texts().back(), Error("This is not a C3D File"));
  EXPECT_TRUE(platform.messages.back().showBox);
  EXPECT_TRUE(platform.messages.back().writeToLog);
  c3d.fileName = dir / "missing.c3d";
  EXPECT_FALSE(c3d.Open());
  EXPECT_EQ(platform.Texts().back(),
            "ERROR in " + (dir / "missing.c3d").string() + " : The file could not be located");
}

TEST_F(C3dTest, HeaderEvents) {
  Spec s = SmallSpec(Processor::Intel, false);
  s.frameRate = 100.0f;
  std::vector<std::uint8_t> b = c3dbuilder::Build(s);
  ASSERT_TRUE(OpenBytes(b));
  EXPECT_EQ(c3d.events[0].frame, 51);
  EXPECT_EQ(c3d.events[1].frame, 101);
  b[300] = 19;  // more than 18 events: none
  ASSERT_TRUE(OpenBytes(b));
  EXPECT_TRUE(c3d.events.empty());
  b[300] = 2;
  b[396 + 2] = 0;  // label text ends inside the first label
  ASSERT_TRUE(OpenBytes(b));
  EXPECT_EQ(c3d.events[0].label, "HS");
  EXPECT_EQ(c3d.events[1].label, "");
}

TEST_F(C3dTest, CharParametersSplitAtTheWidthAndTrim) {
  Spec s;
  s.points = 0;
  // Group 1 "G"; CHAR [4,3] holding 8 letters and 4 zero bytes; CHAR with
  // no dimensions; CHAR [4,0].
  std::vector<std::uint8_t> r = {1, 0xFF, 'G', 3, 0, 0};
  auto add = [&r](std::vector<std::uint8_t> rec) { r.insert(r.end(), rec.begin(), rec.end()); };
  add({6,   1,   'L', 'A', 'B', 'E', 'L', 'S', 19, 0, 0xFF, 2, 4, 3,
       'A', 'B', 'C', 'D', ' ', 'F', 'G', ' ', 0,  0, 0,    0, 0});
  add({1, 1, 'C', 6, 0, 0xFF, 0, 'x', 0});
  add({1, 1, 'E', 7, 0, 0xFF, 2, 4, 0, 0});
  ASSERT_TRUE(OpenBytes(WithRecords(s, r)));
  ASSERT_EQ(c3d.paramSet.ParamCount(), 3);
  const CParam& labels = c3d.paramSet.params[0];
  EXPECT_EQ(labels.elementCount, 3);
  EXPECT_EQ(labels.strings, (std::vector<std::string>{"ABCD", "FG", ""}));
  EXPECT_EQ(c3d.paramSet.params[1].strings, (std::vector<std::string>{"x"}));
  EXPECT_EQ(c3d.paramSet.params[1].elementCount, 1);
  EXPECT_TRUE(c3d.paramSet.params[2].strings.empty());
  EXPECT_EQ(c3d.paramSet.GetGroupName(labels), "G");
  EXPECT_EQ(c3d.paramSet.groups[0].locked, 0);

  // Each string is a field of its own: a zero byte ends only its field.
  r = {1, 0xFF, 'G', 3, 0, 0};
  add({1, 1, 'L', 19, 0, 0xFF, 2, 4, 3, 'A', 'B', 0, 'x', 'C', 'D', 0, 0, ' ', 'E', 'F', ' ', 0});
  ASSERT_TRUE(OpenBytes(WithRecords(s, r)));
  EXPECT_EQ(c3d.paramSet.params[0].strings, (std::vector<std::string>{"AB", "CD", "EF"}));
}

TEST_F(C3dTest, UnsignedAnalogWords) {
  Spec s = SmallSpec(Processor::Intel, false);
  s.analogValue = [](int i, int, int k) { return k == 0 ? 40000.0f + i : 100.0f; };
  s.params.push_back(c3dbuilder::StringParam("ANALOG", "FORMAT", {" unsigned"}));
  for (c3dbuilder::Param& p : s.params) {
    if (p.name == "OFFSET") p = c3dbuilder::NumberParam("ANALOG", "OFFSET", 2, {-32768, 5, -2});
  }
  ASSERT_TRUE(OpenBytes(c3dbuilder::Build(s)));
  EXPECT_EQ(c3d.analog[0].samples.At(0), 40000.0f);
  EXPECT_EQ(c3d.analog[0].minimum, 40000.0f);
  EXPECT_EQ(c3d.analog[0].maximum, 40004.0f);
  EXPECT_EQ(c3d.GetOffset(0), 32768.0f);
  EXPECT_EQ(c3d.GetOffset(1), 5.0f);
  EXPECT_EQ(c3d.GetOffset(2), 65534.0f);
  EXPECT_EQ(c3d.paramSet.Find("ANALOG", "OFFSET")->GetInt(0), -32768);  // listings keep it
  // Without the format the same words are signed.
  s.params.erase(std::remove_if(s.params.begin(), s.params.end(),
                                [](const c3dbuilder::Param& p) { return p.name == "FORMAT"; }),
                 s.params.end());
  ASSERT_TRUE(OpenBytes(c3dbuilder::Build(s)));
  EXPECT_EQ(c3d.analog[0].samples.At(0), 40000.0f - 65536.0f);
  EXPECT_EQ(c3d.GetOffset(0), -32768.0f);
}

TEST_F(C3dTest, UsedChannelsMendAHeaderThatIsNoMultipleOfTheRatio) {
  Spec s = SmallSpec(Processor::Intel, true);  // 3 channels, ratio 2: 6 per frame
  std::vector<std::uint8_t> b = c3dbuilder::Build(s);
  const std::size_t end = (b[16] - 1) * 512 + 5 * (4 * 2 + 6) * 4;
  b.resize(end);
  std::vector<std::uint8_t> wrong = b;
  c3dbuilder::PutWord(&wrong[4], 5, Processor::Intel);
  ASSERT_TRUE(OpenBytes(wrong));
  EXPECT_EQ(c3d.AnalogCount(), 3);
  EXPECT_EQ(c3d.analogPerFrame, 6);
  EXPECT_EQ(c3d.analog[2].samples.At(4 * 2 + 1), 30 + 1 + 4);
  // A layout the file does not hold exactly leaves the header as it is.
  wrong.resize(end + 600);
  ASSERT_TRUE(OpenBytes(wrong));
  EXPECT_EQ(c3d.AnalogCount(), 2);
  EXPECT_EQ(c3d.analogPerFrame, 5);
}

TEST_F(C3dTest, TheParameterSectionEndsWithoutFailingTheOpen) {
  Spec s;
  const std::vector<std::uint8_t> group = {0xFF, 0xFF, 'G', 3, 0, 0};  // locked
  const std::vector<std::uint8_t> ok = {1, 1, 'A', 5, 0, 2, 0, 7, 0, 0};
  auto with = [&](std::vector<std::uint8_t> bad) {
    std::vector<std::uint8_t> r = group;
    r.insert(r.end(), bad.begin(), bad.end());
    r.insert(r.end(), ok.begin(), ok.end());
    return WithRecords(s, r);
  };
  // A parameter whose next offset is 0: the following name length reads 0.
  ASSERT_TRUE(OpenBytes(with({1, 1, 'Z', 0, 0, 2, 0, 1, 0, 0})));
  EXPECT_EQ(c3d.paramSet.ParamCount(), 1);
  EXPECT_EQ(c3d.paramSet.groups[0].locked, 1);
  // A negative next offset ends the section before the parameter is kept.
  ASSERT_TRUE(OpenBytes(with({1, 1, 'Z', 0xFF, 0xFF, 2, 0, 1, 0, 0})));
  EXPECT_EQ(c3d.paramSet.ParamCount(), 0);
  // A negative dimension count, and data larger than 32767 bytes.
  ASSERT_TRUE(OpenBytes(with({1, 1, 'Z', 8, 0, 2, 0xFF, 1, 0, 0})));
  EXPECT_EQ(c3d.paramSet.ParamCount(), 0);
  ASSERT_TRUE(OpenBytes(with({1, 1, 'Z', 8, 0, 4, 2, 255, 255, 0})));
  EXPECT_EQ(c3d.paramSet.ParamCount(), 0);
  EXPECT_EQ(c3d.paramSet.GroupCount(), 1);
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(C3dTest, HugeDimensionProductsEndTheSection) {
  Spec s;
  // 100 dimensions of 255 (a product far beyond 64 bits), then a CHAR of width
  // 0 whose further dimensions would ask for 255^3 empty strings.
  std::vector<std::uint8_t> big = {1, 1, 'Z', 104, 0, 4, 100};
  big.insert(big.end(), 100, 255);
  std::vector<std::uint8_t> r = {1, 0xFF, 'G', 3, 0, 0};
  r.insert(r.end(), big.begin(), big.end());
  ASSERT_TRUE(OpenBytes(WithRecords(s, r)));
  EXPECT_EQ(c3d.paramSet.ParamCount(), 0);
  r = {1, 0xFF, 'G', 3, 0, 0, 1, 1, 'W', 8, 0, 0xFF, 4, 0, 255, 255, 255, 0};
  ASSERT_TRUE(OpenBytes(WithRecords(s, r)));
  EXPECT_EQ(c3d.paramSet.ParamCount(), 0);
  r = {1, 0xFF, 'G', 3, 0, 0, 1, 1, 'W', 7, 0, 0xFF, 3, 0, 100, 100, 0};
  ASSERT_TRUE(OpenBytes(WithRecords(s, r)));
  ASSERT_EQ(c3d.paramSet.ParamCount(), 1);
  EXPECT_EQ(c3d.paramSet.params[0].elementCount, 10000);
  EXPECT_EQ(c3d.paramSet.params[0].strings[9999], "");
}

TEST_F(C3dTest, TheSectionEndsAtItsLastBlockOrTheData) {
  Spec s;
  for (int g = 0; g < 60; ++g)
    s.groups.push_back({"GROUP" + std::to_string(g), "twenty characters..", false});
  std::vector<std::uint8_t> b = c3dbuilder::Build(s);
  ASSERT_TRUE(OpenBytes(b));
  EXPECT_EQ(c3d.paramSet.GroupCount(), 60);
  // A block count too small: the records go on up to the data section.
  b[512 + 2] = 1;
  ASSERT_TRUE(OpenBytes(b));
  EXPECT_EQ(c3d.paramSet.GroupCount(), 60);
  // Where the data section starts no further, the count ends the walk.
  c3dbuilder::PutWord(&b[16], 3, Processor::Intel);
  ASSERT_TRUE(OpenBytes(b));
  EXPECT_GT(c3d.paramSet.GroupCount(), 0);
  EXPECT_LT(c3d.paramSet.GroupCount(), 60);
}

TEST_F(C3dTest, NoParameterSectionBeforeBlockTwo) {
  for (std::uint8_t first : {0, 1}) {
    std::vector<std::uint8_t> b = c3dbuilder::Build(SmallSpec(Processor::Intel, false));
    b[0] = first;
    ASSERT_TRUE(OpenBytes(b));
    EXPECT_EQ(c3d.processorType, kProcessorIntel);
    EXPECT_EQ(c3d.paramSet.GroupCount(), 0);
    EXPECT_EQ(c3d.PointCount(), 2);
  }
}

TEST_F(C3dTest, TrialRangeMustMatchTheHeader) {
  Spec s = SmallSpec(Processor::Intel, false);
  s.firstFrame = 1;
  s.frames = 500;
  s.groups.push_back({"TRIAL", "", false});
  s.params.push_back(c3dbuilder::NumberParam("TRIAL", "ACTUAL_START_FIELD", 2, {1, 0}));
  s.params.push_back(c3dbuilder::NumberParam("TRIAL", "ACTUAL_END_FIELD", 2, {500, 0}));
  EXPECT_TRUE(OpenBytes(c3dbuilder::Build(s)));
  s.params[s.params.size() - 2].numbers = {1, 1};
  EXPECT_FALSE(OpenBytes(c3dbuilder::Build(s)));
  ASSERT_FALSE(platform.messages.empty());
  EXPECT_EQ(
      platform.messages.back().text,
      "This file has extra frames defined in the TRIAL group.  \nPlease contact Orvane, Inc.");
  EXPECT_TRUE(platform.messages.back().showBox);
  EXPECT_FALSE(platform.messages.back().writeToLog);
  EXPECT_EQ(c3d.PointCount(), 0);  // a failed open leaves the reader empty
  EXPECT_EQ(c3d.paramSet.GroupCount(), 0);
}

TEST_F(C3dTest, FrameRangesThatCannotBeSized) {
  Spec s = SmallSpec(Processor::Intel, false);
  std::vector<std::uint8_t> b = c3dbuilder::Build(s);
  b[8] = 0;  // last frame 0 < first frame 1
  EXPECT_FALSE(OpenBytes(b));
  EXPECT_EQ(platform.Texts().back(), Error("Not Enough Memory to Read Data"));
  // Without points or channels the same range opens.
  b[2] = 0;
  b[4] = 0;
  EXPECT_TRUE(OpenBytes(b));
  // A small file whose header claims 65535 points x 65535 frames holds not
  // one such frame: refused before any sample memory is taken.
  b = c3dbuilder::Build(s);
  b[2] = 0xFF;
  b[3] = 0xFF;  // 65535 points
  b[8] = 0xFF;
  b[9] = 0xFF;  // 65535 frames
  EXPECT_FALSE(OpenBytes(b));
  EXPECT_EQ(platform.Texts().back(),
            Error("The file holds 0 of the 65535 frames its header gives"));
}

TEST_F(C3dTest, ACutFileOpensWithTheWholeFramesItHolds) {
  Spec s = SmallSpec(Processor::Intel, true);
  std::vector<std::uint8_t> b = c3dbuilder::Build(s);
  const std::size_t frameSize = (4 * 2 + 6) * 4;
  const std::size_t dataStart = (b[16] - 1) * 512;
  b.resize(dataStart + 2 * frameSize + 10);  // two frames and a bit of the third
  ASSERT_TRUE(OpenBytes(b));
  EXPECT_EQ(platform.Texts().back(), Error("The file holds 2 of the 5 frames its header gives"));
  EXPECT_TRUE(platform.messages.back().showBox);
  EXPECT_EQ(c3d.FrameCount(), 2);
  EXPECT_EQ(c3d.lastVideoFrame, 5);  // the header block keeps the header's numbers
  EXPECT_EQ(c3d.points[0].samples.Size(), 2u * 4);
  EXPECT_EQ(c3d.analog[0].samples.Size(), 2u * 2);
  EXPECT_EQ(c3d.points[0].samples.At(1 * 4), 101);
  EXPECT_EQ(c3d.LastValidFrame(0), 1);
}

TEST_F(C3dTest, LongTrialsWithATrialGroupOpen) {
  // 60000 frames: the low word of the TRIAL fields passes 32767.
  Spec s;
  s.frames = 60000;
  s.analogChannels = 1;
  s.groups.push_back({"TRIAL", "", false});
  s.params.push_back(c3dbuilder::NumberParam("TRIAL", "ACTUAL_START_FIELD", 2, {1, 0}));
  s.params.push_back(c3dbuilder::NumberParam("TRIAL", "ACTUAL_END_FIELD", 2,
                                             {static_cast<float>(60000 - 65536), 0}));
  ASSERT_TRUE(OpenBytes(c3dbuilder::Build(s))) << platform.Texts().back();
  EXPECT_EQ(c3d.FrameCount(), 60000);
}

// The TRIAL fields of a range: two INT words each, low word first, the low
// word stored as a signed 16-bit number.
std::vector<float> TrialField(std::int64_t frame) {
  const auto low = static_cast<std::int16_t>(static_cast<std::uint16_t>(frame & 0xFFFF));
  return {static_cast<float>(low), static_cast<float>(frame >> 16)};
}

// 100000 frames of one point and one channel; the header holds 34464.
Spec LongSpec() {
  Spec s;
  s.frames = 100000;
  s.points = 1;
  s.analogChannels = 1;
  s.analogRatio = 2;
  s.pointValue = [](int i, int, int c) { return c == 3 ? 0.0f : static_cast<float>(i % 30000); };
  s.analogValue = [](int i, int sample, int) {
    return static_cast<float>((2 * i + sample) % 32000);
  };
  return s;
}

TEST_F(C3dTest, MoreThan65535FramesOpenWholeFromTheTrialRange) {
  Spec s = LongSpec();
  s.groups.push_back({"TRIAL", "", false});
  s.params.push_back(c3dbuilder::NumberParam("TRIAL", "ACTUAL_START_FIELD", 2, TrialField(1)));
  s.params.push_back(c3dbuilder::NumberParam("TRIAL", "ACTUAL_END_FIELD", 2, TrialField(100000)));
  const std::vector<std::uint8_t> b = c3dbuilder::Build(s);
  ASSERT_TRUE(OpenBytes(b)) << platform.Texts().back();
  EXPECT_TRUE(c3d.longRecording);
  EXPECT_EQ(c3d.lastVideoFrame, 100000 % 65536);  // the header keeps its 16 bits
  EXPECT_EQ(c3d.firstFrame, 1);
  EXPECT_EQ(c3d.lastFrame, 100000);
  ASSERT_EQ(c3d.points[0].samples.Size(), 100000u * 4);
  EXPECT_EQ(c3d.points[0].samples.At(99999 * 4), 99999 % 30000);
  EXPECT_EQ(c3d.analog[0].samples.At(2 * 99999 + 1), (2 * 99999 + 1) % 32000);
  const std::string header = C3dFormatDescription().dstHeaderLines(c3d);
  EXPECT_NE(header.find("First Video Frame          : 1\n"), std::string::npos) << header;
  EXPECT_NE(header.find("Last Video Frame           : 100000\n"), std::string::npos) << header;

  // A range whose count differs from the header's modulo 65536, or that the
  // data section does not hold, is refused as before.
  s.params.back().numbers = TrialField(100001);
  EXPECT_FALSE(OpenBytes(c3dbuilder::Build(s)));
  EXPECT_EQ(platform.Texts().back().rfind("This file has extra frames", 0), 0u);
  // A cut file opens what it holds, as a short one does.
  std::vector<std::uint8_t> cut = b;
  const std::size_t frameSize = (4 * 1 + 2) * 2;
  cut.resize((b[16] - 1) * 512 + 100000 * frameSize - 1);  // the last frame cut short
  ASSERT_TRUE(OpenBytes(cut));
  EXPECT_EQ(platform.Texts().back(),
            Error("The file holds 99999 of the 100000 frames its header gives"));
  EXPECT_EQ(c3d.FrameCount(), 99999);
  EXPECT_EQ(c3d.points[0].samples.Size(), 99999u * 4);
}

TEST_F(C3dTest, AHeaderRangeOf65536FramesIsNotEmpty) {
  Spec s = SmallSpec(Processor::Intel, false);
  s.firstFrame = 0;
  std::vector<std::uint8_t> b = c3dbuilder::Build(s);
  c3dbuilder::PutWord(&b[8], 65535, Processor::Intel);  // frames 0 .. 65535
  b.resize((b[16] - 1) * 512 + 5 * (4 * 2 + 6) * 2);
  ASSERT_TRUE(OpenBytes(b));
  EXPECT_EQ(platform.Texts().back(),
            Error("The file holds 5 of the 65536 frames its header gives"));
  EXPECT_EQ(c3d.FrameCount(), 5);
  EXPECT_EQ(c3d.points[0].samples.Size(), 5u * 4);  // nothing taken for the frames not held
  EXPECT_EQ(c3d.points[1].samples.At(4 * 4), 200 + 4);
}

TEST_F(C3dTest, LongFramesGiveTheCountBeyondTheHeader) {
  Spec s = LongSpec();
  s.groups.push_back({"POINT", "", false});
  s.params.push_back(c3dbuilder::NumberParam("POINT", "LONG_FRAMES", 4, {100000.0f}));
  ASSERT_TRUE(OpenBytes(c3dbuilder::Build(s)));
  EXPECT_EQ(c3d.FrameCount(), 100000);
  EXPECT_EQ(c3d.analog[0].samples.At(2 * 99999), (2 * 99999) % 32000);
  // A count that disagrees with the header is not taken: the header's range
  // opens as without the parameter.
  s.params.back().numbers = {100001.0f};
  ASSERT_TRUE(OpenBytes(c3dbuilder::Build(s)));
  EXPECT_FALSE(c3d.longRecording);
  EXPECT_EQ(c3d.FrameCount(), 100000 % 65536);
}

TEST_F(C3dTest, AnalogRatioZeroMeansNoChannels) {
  Spec s = SmallSpec(Processor::Intel, false);
  std::vector<std::uint8_t> b = c3dbuilder::Build(s);
  b[18] = 0;
  ASSERT_TRUE(OpenBytes(b));
  EXPECT_EQ(c3d.AnalogCount(), 0);
  EXPECT_EQ(c3d.PointCount(), 2);
}

// Frames are read a few hundred kilobytes at a time: a point's range must not
// depend on where those blocks end, and a NaN coordinate is passed over as
// the first reading of the file did, value after value.
TEST_F(C3dTest, RangesSpanEveryReadBlock) {
  constexpr int kFrames = 20000;
  for (bool floatData : {false, true}) {
    SCOPED_TRACE(floatData ? "float" : "integer");
    const auto value = [](int i, int j, int c) {
      if (j == 0 && (i < 5000 || i > 9000)) return 0.0f;    // seen only mid-file
      if (j == 1) return 0.0f;                              // never seen
      if (c == 1 && i % 5 == 0) return 0.0f;                // zeros do not count
      if (j == 2 && c == 2 && i == 12340) return -5000.0f;  // just before the NaN
      return float((i * 31 + j * 17 + c * 13) % 2001 - 1000);
    };
    Spec s = SmallSpec(Processor::Intel, floatData);
    s.points = 3;
    s.frames = kFrames;
    s.events.clear();
    s.params.clear();
    s.groups.clear();
    c3dbuilder::AddStandardParameters(s, {"A", "B", "C"}, {"FX", "FY", "FZ"});
    s.pointValue = [&](int i, int j, int c) {
      const bool seen = !(j == 1 || (j == 0 && (i < 5000 || i > 9000)));
      if (c == 3) return seen ? 0.0f : -1.0f;
      if (floatData && j == 2 && c == 2 && i == 12345) return std::nanf("");
      return value(i, j, c);
    };
    s.analogValue = [](int i, int smp, int k) {
      return float((i * 7919 + smp * 131 + k * 104729) % 20001 - 10000);
    };
    ASSERT_TRUE(OpenBytes(c3dbuilder::Build(s)));
    for (int j = 0; j < 3; ++j) {
      float lo[3] = {}, hi[3] = {};
      for (int c = 0; c < 3; ++c) {
        bool has = false;
        for (int i = 0; i < kFrames; ++i) {
          const float v = value(i, j, c);
          if (v == 0) continue;
          lo[c] = has ? std::min(lo[c], v) : v;
          hi[c] = has ? std::max(hi[c], v) : v;
          has = true;
        }
      }
      const CVideo& v = c3d.points[j];
      EXPECT_EQ((std::vector<float>{v.minX, v.minY, v.minZ, v.maxX, v.maxY, v.maxZ}),
                (std::vector<float>{lo[0], lo[1], lo[2], hi[0], hi[1], hi[2]}))
          << "point " << j;
    }
    for (int k = 0; k < 3; ++k) {
      float mn = 1e9f, mx = -1e9f, fmn = 1e9f, fmx = -1e9f;
      for (int i = 0; i < kFrames; ++i) {
        for (int smp = 0; smp < 2; ++smp) {
          const float v = s.analogValue(i, smp, k);
          mn = std::min(mn, v);
          mx = std::max(mx, v);
          if (smp == 0) fmn = std::min(fmn, v), fmx = std::max(fmx, v);
        }
      }
      const CAnalog& a = c3d.analog[k];
      EXPECT_EQ((std::vector<float>{a.minimum, a.maximum, a.frameMinimum, a.frameMaximum}),
                (std::vector<float>{mn, mx, fmn, fmx}))
          << "channel " << k;
    }
  }
}

TEST(C3dConversions, WordsAndFloats) {
  EXPECT_EQ(SwapWord(0x1234), 0x3412);
  const std::uint8_t big[4] = {0x42, 0x70, 0, 0};  // 60.0 big-endian
  EXPECT_EQ(SwapFloat(big), 60.0f);
  const std::uint8_t dec[4] = {0x70, 0x43, 0, 0};  // 60.0 in DEC order
  EXPECT_EQ(DecToIeee(dec), 60.0f);
  const std::uint8_t zero[4] = {0, 0, 0, 0};
  EXPECT_EQ(DecToIeee(zero), 0.0f);
  const std::uint8_t wrap[4] = {0, 0, 0, 0x80};  // b1 - 1 wraps to 0xFF: bytes 00 80 00 FF
  std::uint32_t bits;
  const float f = DecToIeee(wrap);
  std::memcpy(&bits, &f, 4);
  EXPECT_EQ(bits, 0xFF008000u);
}

TEST_F(C3dTest, DamagedFilesNeverCrash) {
  const std::vector<std::uint8_t> good = c3dbuilder::Build(SmallSpec(Processor::Dec, true));
  SetSampleMemoryLimit(64u << 20);
  for (std::size_t at = 0; at < good.size(); at += 7) {
    std::vector<std::uint8_t> b = good;
    b[at] ^= 0xA5;
    OpenBytes(b);
    b = good;
    b.resize(at);
    OpenBytes(b);
  }
  SetSampleMemoryLimit(0);
}

}  // namespace
