#include "documents/VadDoc.h"

#include <gtest/gtest.h>

#include "documents/C3dDoc.h"
#include "support/TestSupport.h"
#include "vadbuilder/VadBuilder.h"

namespace {

using testsupport::ReadFileText;
using testsupport::RecordingPlatform;
using testsupport::TempDir;
using vadbuilder::VadFile;

constexpr char kCalibration[] =
    "[Analogue]\nGeneralScale=0.0025\nChannel1=0, 1, 1, 0.5,2000,mV,EMG1,Left rectus\n"
    "Channel3=0, 1, 1, 3,1000,mV,EMG 3\n[Video]\nFrequency=60.5\n";

class VadDocTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings.dstSignature = "#!DST-2.0 Data file created by Kinex2 2.560\n";
    settings.logErrorOnly = false;
    settings.dst.AnalogScaled = 1;
    settings.dst.Precision = 4;
    doc.SetSettings(settings);
  }
  bool Open(const VadFile& f, std::int64_t frames) {
    testsupport::WriteFile(
        dir / "walk.car",
        std::vector<unsigned char>(kCalibration, kCalibration + sizeof kCalibration - 1));
    testsupport::WriteFile(input, f.Bytes(frames));
    return doc.OnOpenDocument(input);
  }
  // The analog sections of a general DST export of `d`.
  std::string AnalogSections(CDocumentBase& d, const std::string& name) {
    const auto out = dir / name;
    EXPECT_GT(d.ExportDst(out), 0u);
    const std::string text = ReadFileText(out);
    return text.substr(std::min(text.find("\n!"), text.size()));
  }

  TempDir dir;
  std::filesystem::path input = dir / "walk01.vad";
  RecordingPlatform platform;
  CDocumentSettings settings;
  CVadDoc doc{platform};
};

// Written as C3D and opened again, the recording exports the analog sections
// its own document exports over the frames written: whole C3D frames of R
// samples from the first frame of the range.
TEST_F(VadDocTest, SavedAsC3dItExportsItsOwnAnalogSections) {
  struct Case {
    std::int16_t videoRate;
    std::int64_t frames;
    int first, last, lastWritten;
  };
  for (const Case c : {Case{50, 1001, 1, 1001, 1000}, Case{60, 100, 5, 60, 52}}) {
    SCOPED_TRACE(c.videoRate);
    VadFile f;
    f.n = 4;
    f.videoRate = c.videoRate;
    f.sample = [](std::int64_t i, int k) {
      return static_cast<std::int16_t>(2048 + (i * 37 + k * 11) % 900 - 450);
    };
    ASSERT_TRUE(Open(f, c.frames));
    ASSERT_TRUE(doc.SetFrameRange(c.first, c.last));
    const auto out = dir / "walk.c3d";
    platform.answerYes = true;  // the second case replaces the first's file
    ASSERT_GT(doc.SaveAs(dir / "walk", ExportKind::C3d), 0u);
    const std::vector<std::string> texts = platform.Texts();
    const bool cut = c.lastWritten < c.last;
    ASSERT_GE(texts.size(), cut ? 2u : 1u);
    EXPECT_EQ(texts[texts.size() - (cut ? 2 : 1)],
              "Exported " + input.string() + " To " + out.string() + ". Frames " +
                  std::to_string(c.first) + " to " + std::to_string(c.lastWritten));
    if (cut) {
      // The samples past the last whole video frame are said to be left out.
      EXPECT_EQ(texts.back(), "Warning: " + input.string() + " : the last " +
                                  std::to_string(c.last - c.lastWritten) +
                                  " samples of each channel make no whole video frame and were "
                                  "not written to " +
                                  out.string());
    }
    EXPECT_EQ(platform.statusTexts.back().rfind("Saved file " + out.string() + " (", 0), 0u);
    EXPECT_EQ(doc.Reader().paramSet.ParamCount(), 16);  // no DATA_START left behind

    CC3dDoc written(platform);
    written.SetSettings(settings);
    ASSERT_TRUE(written.OnOpenDocument(out));
    ASSERT_TRUE(doc.SetFrameRange(c.first, c.lastWritten));
    const std::string own = AnalogSections(doc, "own.dst");
    EXPECT_NE(own.find("!EMG_3-1\n"), std::string::npos);
    EXPECT_EQ(AnalogSections(written, "back.dst"), own);
    doc.OnCloseDocument();
  }
}

TEST_F(VadDocTest, SaveAsOffersC3dAndANameEndingInC3dIsWrittenAsC3d) {
  const std::vector<CSaveAsChoice> choices = SaveAsChoices(doc.Description());
  // DST, text, C3D and MOT: a VAD recording has no markers for TRC.
  ASSERT_EQ(choices.size(), 4u);
  EXPECT_STREQ(choices[2].filter, "C3d Files (*.c3d)");
  EXPECT_EQ(choices[2].kind, ExportKind::C3d);
  EXPECT_EQ(choices[3].kind, ExportKind::Mot);
  ASSERT_TRUE(Open(VadFile{}, 100));
  ASSERT_GT(doc.SaveAs(dir / "out.C3D", ExportKind::Dst), 0u);
  const std::string bytes = ReadFileText(dir / "out.C3D");
  EXPECT_EQ(bytes.substr(0, 2), "\x02\x50");
}

TEST_F(VadDocTest, RefusalsAreReportedBeforeAnythingIsAskedOrWritten) {
  const auto out = dir / "out.c3d";
  testsupport::WriteFile(out, {'o', 'l', 'd'});
  platform.answerYes = true;
  VadFile f;
  f.videoRate = 0;
  ASSERT_TRUE(Open(f, 100));
  EXPECT_EQ(doc.ExportC3d(out), 0u);
  EXPECT_EQ(platform.Texts().back(),
            "ERROR in " + input.string() + " : The recording cannot be laid out in C3D frames");
  EXPECT_TRUE(platform.messages.back().showBox);

  f.videoRate = 1;
  f.analogRate = 40000;  // R = 40000 samples of 2 channels in one frame
  ASSERT_TRUE(Open(f, 40000));
  EXPECT_EQ(doc.ExportC3d(out), 0u);
  EXPECT_EQ(platform.Texts().back(),
            "ERROR in " + input.string() + " : The recording is too large for a C3D file");
  EXPECT_TRUE(platform.questions.empty());
  EXPECT_EQ(ReadFileText(out), "old");
}

}  // namespace
