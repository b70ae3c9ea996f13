// The real recordings convert to general DST with default options and with
// every option switched; the six encodings of one trial give the same file.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "documents/C3dDoc.h"
#include "support/TestSupport.h"

namespace {

using testsupport::RecordingPlatform;
using testsupport::TempDir;

constexpr char kSignature[] = "#!DST-2.0 Data file created by Kinex2 2.560\n";

DstOptions Switched() {
  DstOptions o;
  o.AnalogScaled = 1;
  o.VideoScaled = 1;
  o.ShowResid = 1;
  o.ShowMask = 1;
  o.Precision = 6;
  return o;
}

std::vector<std::string> Lines(const std::filesystem::path& p) {
  std::istringstream in(testsupport::ReadFileText(p));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Writes `input` as general DST with `options`; empty when it does not open.
std::filesystem::path Convert(const std::filesystem::path& input, const DstOptions& options,
                              const std::filesystem::path& output, RecordingPlatform& platform) {
  CC3dDoc doc(platform);
  CDocumentSettings s;
  s.dst = options;
  s.dstSignature = kSignature;
  s.overwriteAll = true;
  doc.SetSettings(s);
  if (!doc.OnOpenDocument(input)) return {};
  if (doc.ExportDst(output) == 0) return {};
  return output;
}

TEST(C3dDocRealFilesTest, EveryReadableRecordingConvertsWithBothOptionSets) {
  KX_REQUIRE_SHARED_DATA();
  TempDir dir;
  int converted = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(testsupport::SharedDataDir() / "c3d")) {
    for (const DstOptions& options : {DstOptions{}, Switched()}) {
      RecordingPlatform platform;
      CC3dDoc doc(platform);
      CDocumentSettings s;
      s.dst = options;
      s.dstSignature = kSignature;
      s.overwriteAll = true;
      doc.SetSettings(s);
      if (!doc.OnOpenDocument(entry.path())) continue;  // damaged samples: the reader said why
      const std::size_t openMessages = platform.messages.size();
      const std::filesystem::path out = dir / "out.dst";
      const std::uint64_t n = doc.ExportDst(out);
      ASSERT_GT(n, 0u) << entry.path();
      EXPECT_EQ(n, std::filesystem::file_size(out));
      ASSERT_EQ(platform.messages.size(), openMessages + 1) << entry.path();
      EXPECT_EQ(platform.messages.back().text.rfind("Exported ", 0), 0u);

      // Every channel and point section holds one line per sample or frame.
      const CRecording& r = doc.Reader();
      const std::vector<std::string> lines = Lines(out);
      std::size_t sections = 0;
      for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty() || lines[i][0] != '!') continue;
        const bool analog = sections < r.analog.size();  // channels come before points
        const std::size_t expected = static_cast<std::size_t>(r.FrameCount()) *
                                     (analog ? static_cast<std::size_t>(r.analogRatio) : 1u);
        std::size_t k = i + 1;
        while (k < lines.size() && (lines[k].empty() || lines[k][0] != '!')) ++k;
        EXPECT_EQ(k - i - 1, expected) << entry.path() << " " << lines[i];
        ++sections;
      }
      EXPECT_EQ(sections, r.analog.size() + r.points.size()) << entry.path();
      ++converted;
    }
  }
  EXPECT_GT(converted, 100);
}

// Lines where two files differ, as "line number: a | b".
std::vector<std::string> Differences(const std::vector<std::string>& a,
                                     const std::vector<std::string>& b) {
  std::vector<std::string> d;
  for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    const std::string x = i < a.size() ? a[i] : "<none>";
    const std::string y = i < b.size() ? b[i] : "<none>";
    if (x != y) d.push_back(std::to_string(i + 1) + ": " + x + " | " + y);
  }
  return d;
}

TEST(C3dDocRealFilesTest, SixEncodingsOfOneTrialWriteTheSameFile) {
  KX_REQUIRE_SHARED_DATA();
  TempDir dir;
  const std::filesystem::path c3d = testsupport::SharedDataDir() / "c3d";
  RecordingPlatform platform;
  for (const DstOptions& options : {DstOptions{}, Switched()}) {
    std::map<std::string, std::vector<std::string>> files;
    for (const char* e : {"pi", "pr", "vi", "vr", "si", "sr"}) {
      const auto out = Convert(c3d / (std::string("Eb015") + e + ".c3d"), options,
                               dir / (std::string(e) + ".dst"), platform);
      ASSERT_FALSE(out.empty()) << e;
      files[e] = Lines(out);
    }
    // The same numbers in the same processor family's other byte orders and
    // number formats: only the original file differs.
    for (const char* e : {"vi", "si"}) {
      const auto d = Differences(files["pi"], files[e]);
      ASSERT_EQ(d.size(), 1u) << e << " " << d[1];
      EXPECT_EQ(d[0].rfind("3: ", 0), 0u);
    }
    for (const char* e : {"vr", "sr"}) {
      const auto d = Differences(files["pr"], files[e]);
      ASSERT_EQ(d.size(), 1u) << e << " " << d[1];
    }
    if (options.AnalogScaled == 0) continue;
    // Scaled output: integer and float files hold the same values; the scale
    // factor's sign marks the float file, in the header and in POINT:SCALE.
    const auto d = Differences(files["pi"], files["pr"]);
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0].rfind("3: ", 0), 0u);
    EXPECT_NE(
        d[1].find("Marker Scale Factor        : 0.083333 | Marker Scale Factor        : -0.083333"),
        std::string::npos);
    EXPECT_NE(d[2].find("0.0833 | -0.0833"), std::string::npos);
    const std::vector<std::string>& pi = files["pi"];
    std::size_t at = std::stoul(d[2]) - 1;
    while (at > 0 && pi[at][0] != '$') --at;
    EXPECT_EQ(pi[at], "$SCALE");
    EXPECT_EQ(pi[at + 5], "Group                      : POINT");
  }
}

}  // namespace
