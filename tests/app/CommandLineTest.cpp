#include "app/CommandLine.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>

#include "app/ConvertCommand.h"
#include "app/Kinex2App.h"
#include "c3dbuilder/C3dBuilder.h"
#include "support/TestSupport.h"

namespace {

using testsupport::RecordingPlatform;
using testsupport::TempDir;

constexpr char kSignatureStart[] = "#!DST-2.0 Data file created by Kinex2 2.560\n";

void WriteTrial(const std::filesystem::path& p, int frames = 5) {
  c3dbuilder::Spec s;
  s.frames = frames;
  s.points = 1;
  s.analogChannels = 1;
  c3dbuilder::AddStandardParameters(s, {"M"}, {"A"});
  const auto bytes = c3dbuilder::Build(s);
  testsupport::WriteFile(p, {bytes.begin(), bytes.end()});
}

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.rfind(prefix, 0) == 0;
}

TEST(CommaFormTest, ArgumentTextFollowsTheQuotedProgramPath) {
  EXPECT_EQ(ArgumentTextOfCommandLine("\"C:\\Kinex2\\kinex2.exe\" walk.c3d,walk.dst"),
            " walk.c3d,walk.dst");
  // Without a quoted program path there is no argument text at all.
  EXPECT_EQ(ArgumentTextOfCommandLine("C:\\Kinex2\\kinex2.exe walk.c3d,walk.dst"), "");
  EXPECT_EQ(ArgumentTextOfCommandLine("\""), "");
  EXPECT_EQ(ArgumentTextOfArguments({"kinex2", "walk.c3d,", "walk.dst"}), " walk.c3d, walk.dst");
}

TEST(CommaFormTest, SplitAndTrim) {
  EXPECT_EQ(SplitAtCommas(",,a b,,c,"), (std::vector<std::string>{"a b", "c"}));
  EXPECT_TRUE(SplitAtCommas(",,,").empty());

  CCommaConversion c = ParseCommaConversion(" walk.c3d,walk.dst");
  EXPECT_EQ(c.kind, CCommaConversion::Kind::Convert);
  EXPECT_EQ(c.dataFile, "walk.c3d");
  EXPECT_EQ(c.outputFile, "walk.dst");

  // The output keeps a blank after the comma; the data file is trimmed.
  c = ParseCommaConversion("  a.c3d , b.txt");
  EXPECT_EQ(c.dataFile, "a.c3d");
  EXPECT_EQ(c.outputFile, " b.txt");

  EXPECT_EQ(ParseCommaConversion(" a.c3d,b.dst,c").kind, CCommaConversion::Kind::TooMany);
  EXPECT_EQ(ParseCommaConversion(" walk.c3d").kind, CCommaConversion::Kind::NotConversion);
  EXPECT_EQ(ParseCommaConversion("").kind, CCommaConversion::Kind::NotConversion);
  EXPECT_EQ(ParseCommaConversion(" ,x.dst").kind, CCommaConversion::Kind::MissingName);
  // A single data path holding one comma is taken as a conversion request.
  EXPECT_EQ(ParseCommaConversion(" my,file.c3d").kind, CCommaConversion::Kind::Convert);
}

TEST(ConvertArgumentsTest, WellFormed) {
  CConvertRequest r;
  std::string error;
  ASSERT_TRUE(ParseConvertArguments(
      {"in.c3d", "--to", "TEXT", "out.dst", "--frames", "3:9", "--overwrite", "--settings=my.ini"},
      r, error))
      << error;
  EXPECT_EQ(r.input, "in.c3d");
  EXPECT_EQ(r.output, "out.dst");
  EXPECT_EQ(r.kind, ExportKind::Text);
  EXPECT_EQ(r.first, 3);
  EXPECT_EQ(r.last, 9);
  EXPECT_TRUE(r.overwrite);
  EXPECT_EQ(r.settingsFile, "my.ini");

  CConvertRequest dashed;
  ASSERT_TRUE(ParseConvertArguments({"--", "-in.c3d", "-out.dst"}, dashed, error));
  EXPECT_EQ(dashed.input, "-in.c3d");
  EXPECT_FALSE(dashed.kind.has_value());
}

TEST(ConvertArgumentsTest, Malformed) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"in.c3d"},
      {"in.c3d", "out.dst", "third"},
      {"in.c3d", "out.dst", "--to", "xls"},
      {"in.c3d", "out.dst", "--to"},
      {"in.c3d", "out.dst", "--frames", "3-9"},
      {"in.c3d", "out.dst", "--frames", "3:"},
      {"in.c3d", "out.dst", "--frames", "a:9"},
      {"in.c3d", "out.dst", "--settings="},
      {"in.c3d", "out.dst", "--verbose"},
  };
  for (const auto& args : cases) {
    CConvertRequest r;
    std::string error;
    EXPECT_FALSE(ParseConvertArguments(args, r, error)) << args.size();
    EXPECT_FALSE(error.empty());
  }
}

TEST(ConvertArgumentsTest, KindFromTheOutputName) {
  EXPECT_EQ(KindFromOutputName("a/out.DST"), ExportKind::Dst);
  EXPECT_EQ(KindFromOutputName("out.txt"), ExportKind::Text);
  EXPECT_FALSE(KindFromOutputName("out.csv").has_value());
}

class ConvertFileTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteTrial(input); }
  TempDir dir;
  std::filesystem::path input = dir / "walk.c3d";
  RecordingPlatform platform;
  CKinex2App app{platform};  // an in-memory settings store
};

TEST_F(ConvertFileTest, FollowsExportToUnlessAKindIsGiven) {
  EXPECT_EQ(ConvertFile(app, input, dir / "a.dst", std::nullopt), kExitWritten);
  EXPECT_TRUE(StartsWith(testsupport::ReadFileText(dir / "a.dst"), kSignatureStart));
  app.ExportTo = 1;
  EXPECT_EQ(ConvertFile(app, input, dir / "b.dst", std::nullopt), kExitWritten);
  EXPECT_TRUE(StartsWith(testsupport::ReadFileText(dir / "b.dst"), "OriginalFile\t"));
  EXPECT_EQ(ConvertFile(app, input, dir / "c.txt", ExportKind::Dst), kExitWritten);
  EXPECT_TRUE(StartsWith(testsupport::ReadFileText(dir / "c.txt"), kSignatureStart));
  // A C3D document does not write C3D: ".c3d" output follows "ExportTo".
  EXPECT_EQ(ConvertFile(app, input, dir / "d.c3d", std::nullopt), kExitWritten);
  EXPECT_TRUE(StartsWith(testsupport::ReadFileText(dir / "d.c3d"), "OriginalFile\t"));
}

TEST_F(ConvertFileTest, FramesNarrowTheRangeOrWriteNothing) {
  EXPECT_EQ(ConvertFile(app, input, dir / "a.dst", ExportKind::Dst, 2, 3), kExitWritten);
  EXPECT_EQ(platform.messages.back().text,
            "Exported " + input.string() + " To " + (dir / "a.dst").string() + ". Frames 2 to 3");
  EXPECT_EQ(ConvertFile(app, input, dir / "b.dst", ExportKind::Dst, 0, 3), kExitNothingWritten);
  EXPECT_TRUE(platform.messages.back().showBox);
  EXPECT_EQ(ConvertFile(app, input, dir / "b.dst", ExportKind::Dst, 4, 3), kExitNothingWritten);
  EXPECT_FALSE(std::filesystem::exists(dir / "b.dst"));
}

TEST_F(ConvertFileTest, NothingWrittenWhenUnreadableOrDeclined) {
  EXPECT_EQ(ConvertFile(app, dir / "none.c3d", dir / "a.dst", std::nullopt), kExitNothingWritten);
  EXPECT_TRUE(StartsWith(platform.messages.back().text, "ERROR in "));
  testsupport::WriteFile(dir / "a.dst", {'o', 'l', 'd'});
  platform.answerYes = false;
  EXPECT_EQ(ConvertFile(app, input, dir / "a.dst", std::nullopt), kExitNothingWritten);
  EXPECT_EQ(testsupport::ReadFileText(dir / "a.dst"), "old");
}

// The built program, run headless in a folder of its own with its own
// settings folder: no display, no user settings touched.
class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program = std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "bin" /
              "kinex2";
    if (!std::filesystem::exists(program)) GTEST_SKIP() << "kinex2 is not built";
    WriteTrial(dir / "walk.c3d");
  }
  // Runs kinex2 with `args` (shell words) and returns its exit status.
  int Run(const std::string& args) {
    // The machine-wide store is redirected too: start-up records the program there.
    const std::string d = dir.path().string();
    const std::string command =
        "cd '" + d + "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME='" + d +
        "' XDG_CONFIG_HOME='" + Config().string() + "' XDG_CONFIG_DIRS='" + d + "/machine' '" +
        program.string() + "' " + args + " </dev/null >out.log 2>err.log";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::filesystem::path Config() const { return dir / "config"; }
  std::string Err() const { return testsupport::ReadFileText(dir / "err.log"); }

  TempDir dir;
  std::filesystem::path program;
};

TEST_F(ProgramTest, CommaFormConvertsAndSavesTheSettings) {
  EXPECT_EQ(Run("walk.c3d,walk.dst"), 0) << Err();
  EXPECT_TRUE(StartsWith(testsupport::ReadFileText(dir / "walk.dst"), kSignatureStart));
  EXPECT_TRUE(std::filesystem::exists(Config() / "ORV" / "Kinex2.conf"));
  EXPECT_TRUE(std::filesystem::exists(dir / "machine" / "ORV" / "Kinex2.conf"));

  // "ExportTo" 1 writes a text export, whatever the output is called.
  std::ofstream(Config() / "ORV" / "Kinex2.conf") << "[Settings]\nExportTo=1\n";
  EXPECT_EQ(Run("walk.c3d,walk2.dst"), 0) << Err();
  EXPECT_TRUE(StartsWith(testsupport::ReadFileText(dir / "walk2.dst"), "OriginalFile\t"));

  // A blank after the comma stays in the output name.
  EXPECT_EQ(Run("walk.c3d, b.txt"), 0) << Err();
  EXPECT_TRUE(std::filesystem::exists(dir / " b.txt"));
}

TEST_F(ProgramTest, CommaFormFailures) {
  EXPECT_EQ(Run("walk.c3d,b.dst,c"), 2);
  EXPECT_EQ(Err(), "");
  EXPECT_FALSE(std::filesystem::exists(dir / "b.dst"));

  EXPECT_EQ(Run("' ,x.dst'"), 2);
  EXPECT_EQ(Err(), "You need to specify the Data File and the Output File\n");

  EXPECT_EQ(Run("none.c3d,x.dst"), 1);
  EXPECT_TRUE(StartsWith(Err(), "ERROR in "));

  // An existing output with no terminal to ask on is kept.
  testsupport::WriteFile(dir / "x.dst", {'o', 'l', 'd'});
  EXPECT_EQ(Run("walk.c3d,x.dst"), 1);
  EXPECT_EQ(testsupport::ReadFileText(dir / "x.dst"), "old");
}

TEST_F(ProgramTest, ConvertVerb) {
  EXPECT_EQ(Run("convert walk.c3d walk.txt"), 0) << Err();
  EXPECT_TRUE(StartsWith(testsupport::ReadFileText(dir / "walk.txt"), "OriginalFile\t"));
  // The script form reads the settings but never writes them.
  EXPECT_FALSE(std::filesystem::exists(Config()));

  EXPECT_EQ(Run("convert walk.c3d walk.txt --to dst"), 1);
  EXPECT_NE(Err().find("nothing written"), std::string::npos);
  EXPECT_EQ(Run("convert walk.c3d walk.txt --to dst --overwrite --frames 2:2"), 0) << Err();
  const std::string dst = testsupport::ReadFileText(dir / "walk.txt");
  EXPECT_TRUE(StartsWith(dst, kSignatureStart));
  EXPECT_NE(dst.find("!M-3\n"), std::string::npos);

  std::ofstream(dir / "scaled.ini") << "[GCDExport]\nVideoScaled=1\nPrecision=1\n";
  EXPECT_EQ(Run("convert walk.c3d scaled.dst --settings scaled.ini"), 0) << Err();
  const std::string scaled = testsupport::ReadFileText(dir / "scaled.dst");
  EXPECT_NE(scaled.find("!M-3\n10.0 11.0 12.0 \n"), std::string::npos) << scaled;

  EXPECT_EQ(Run("convert walk.c3d out.dst --frames 0:3"), 1);
  EXPECT_EQ(Run("convert walk.c3d out.dst --frames 3"), 2);
  EXPECT_EQ(Run("convert walk.c3d"), 2);
  EXPECT_EQ(Run("convert none.c3d out.dst"), 1);
}

TEST_F(ProgramTest, HelpInfoAndNoArguments) {
  EXPECT_EQ(Run("--help"), 0);
  EXPECT_NE(testsupport::ReadFileText(dir / "out.log").find("kinex2 convert IN OUT"),
            std::string::npos);
  EXPECT_EQ(Run("info walk.c3d"), 0);
  EXPECT_TRUE(StartsWith(testsupport::ReadFileText(dir / "out.log"), "$HeaderInformation\n"));
  EXPECT_EQ(Run("info none.c3d"), 1);
  // No display: the desktop program cannot start, which is said plainly.
  EXPECT_EQ(Run(""), 2);
  EXPECT_NE(Err().find("no display"), std::string::npos);
}

}  // namespace
