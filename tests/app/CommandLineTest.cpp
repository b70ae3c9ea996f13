#include "app/CommandLine.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#endif

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "app/AppPaths.h"
#include "app/ConvertCommand.h"
#include "app/Kinex2App.h"
#include "c3dbuilder/C3dBuilder.h"
#include "formats/c3d/C3dWriter.h"
#include "support/TestSupport.h"
#include "vadbuilder/VadBuilder.h"

namespace {

using testsupport::RecordingPlatform;
using testsupport::TempDir;

constexpr char kSignatureStart[] = "#!DST-2.0 Data file created by Kinex2 2.560\n";

using testsupport::WriteTrial;

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.rfind(prefix, 0) == 0;
}
[[maybe_unused]] bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() &&
         s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
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

TEST(ConvertArgumentsTest, HelpAndStandardOutput) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--help"}, std::vector<std::string>{"in.c3d", "-h"}}) {
    CConvertRequest r;
    std::string error;
    EXPECT_TRUE(ParseConvertArguments(args, r, error)) << error;
    EXPECT_TRUE(r.help);
  }
  // "-" is standard output: kept as it stands, its kind left to --to or "ExportTo".
  CConvertRequest r;
  std::string error;
  ASSERT_TRUE(ParseConvertArguments({"in.c3d", "-"}, r, error)) << error;
  EXPECT_EQ(r.output, "-");
  EXPECT_FALSE(KindFromOutputName(r.output).has_value());
  EXPECT_EQ(ConvertOutputPath("-"), "-");
  EXPECT_EQ(ConvertOutputPath("out/x.dst"), std::filesystem::current_path() / "out" / "x.dst");
}

TEST(GlobalOptionsTest, StandBeforeTheVerb) {
  std::string error;
  CGlobalOptions g;
  ASSERT_TRUE(ParseGlobalOptions({"kinex2", "--settings", "s.ini", "convert", "a.c3d", "--help"}, g,
                                 error));
  EXPECT_EQ(g.settingsFile, "s.ini");
  EXPECT_EQ(g.rest, 3u);
  EXPECT_FALSE(g.help);  // the verb's own --help

  CGlobalOptions all;
  ASSERT_TRUE(ParseGlobalOptions({"kinex2", "--settings=t.ini", "-h", "--version"}, all, error));
  EXPECT_EQ(all.settingsFile, "t.ini");
  EXPECT_TRUE(all.help);
  EXPECT_TRUE(all.version);
  EXPECT_EQ(all.rest, 4u);

  // The first other argument ends them.
  CGlobalOptions file;
  ASSERT_TRUE(ParseGlobalOptions({"kinex2", "walk.c3d", "--version"}, file, error));
  EXPECT_FALSE(file.version);
  EXPECT_EQ(file.rest, 1u);

  CGlobalOptions bad;
  EXPECT_FALSE(ParseGlobalOptions({"kinex2", "--settings"}, bad, error));
  EXPECT_FALSE(ParseGlobalOptions({"kinex2", "--settings="}, bad, error));
}

TEST(InfoArgumentsTest, OneFileOrHelp) {
  std::string error;
  CInfoRequest r;
  ASSERT_TRUE(ParseInfoArguments({"walk.c3d"}, r, error));
  EXPECT_EQ(r.file, "walk.c3d");
  CInfoRequest help;
  ASSERT_TRUE(ParseInfoArguments({"--help"}, help, error));
  EXPECT_TRUE(help.help);
  CInfoRequest dashed;
  ASSERT_TRUE(ParseInfoArguments({"--", "--help"}, dashed, error));
  EXPECT_FALSE(dashed.help);
  EXPECT_EQ(dashed.file, "--help");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"a.c3d", "b.c3d"},
        std::vector<std::string>{"--bogus", "a.c3d"}}) {
    CInfoRequest bad;
    EXPECT_FALSE(ParseInfoArguments(args, bad, error));
  }
}

TEST(BatchArgumentsTest, OneListAndAtMostOneOverwriteRule) {
  CBatchRequest r;
  std::string error;
  ASSERT_TRUE(ParseBatchArguments({"list.txt", "--overwrite", "--settings=s.ini"}, r, error));
  EXPECT_EQ(r.list, "list.txt");
  EXPECT_TRUE(r.overwrite);
  EXPECT_EQ(r.settingsFile, "s.ini");
  CBatchRequest skip;
  ASSERT_TRUE(ParseBatchArguments({"--skip-existing", "--", "-list.txt"}, skip, error));
  EXPECT_TRUE(skip.skipExisting);
  EXPECT_EQ(skip.list, "-list.txt");
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"l.txt", "--overwrite", "--skip-existing"},
        std::vector<std::string>{}, std::vector<std::string>{"a.txt", "b.txt"},
        std::vector<std::string>{"l.txt", "--frames", "1:2"}}) {
    CBatchRequest b;
    EXPECT_FALSE(ParseBatchArguments(bad, b, error)) << bad.size();
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
}

// A ".c3d" output, in any case, is C3D from a VAD recording whatever
// "ExportTo" says, and refused, unread and unwritten, for any other input.
TEST_F(ConvertFileTest, C3dOutputOnlyFromFormatsThatWriteIt) {
  EXPECT_EQ(ConvertFile(app, input, dir / "d.c3d", std::nullopt), kExitNothingWritten);
  EXPECT_EQ(platform.messages.back().text,
            "ERROR in " + input.string() +
                " : Recordings of this format cannot be written as C3D files; choose a .dst or "
                ".txt output");
  EXPECT_FALSE(std::filesystem::exists(dir / "d.c3d"));

  testsupport::WriteFile(dir / "walk01.vad", vadbuilder::VadFile{}.Bytes(100));
  app.ExportTo = 1;
  EXPECT_EQ(ConvertFile(app, dir / "walk01.vad", dir / "jump.C3D", std::nullopt), kExitWritten);
  EXPECT_TRUE(StartsWith(testsupport::ReadFileText(dir / "jump.C3D"), "\x02\x50"));
}

// Written as C3D by a conversion, a VAD recording's words are copied from its
// file, never held in memory: the bytes are those written from memory, and a
// file cut after it was opened writes nothing rather than padding.
TEST_F(ConvertFileTest, C3dFromVadCopiesTheWordsFromTheFile) {
  vadbuilder::VadFile vad;
  vad.n = 9;
  vad.sample = [](std::int64_t f, int c) {
    return static_cast<std::int16_t>((f * 37 + c * 1001) % 60000 - 30000);
  };
  const std::filesystem::path vadPath = dir / "long01.vad";
  testsupport::WriteFile(vadPath, vad.Bytes(50000));  // many writer chunks
  ASSERT_EQ(ConvertFile(app, vadPath, dir / "copied.c3d", std::nullopt, 101, 45000), kExitWritten);
  std::unique_ptr<CDocumentBase> held = OpenConversionDocument(app, vadPath, dir / "held.dst");
  ASSERT_TRUE(held);
  EXPECT_EQ(held->Reader().wordsInFile, -1);
  ASSERT_TRUE(NarrowConversionFrames(app, *held, 101, 45000));
  ASSERT_GT(held->ExportC3d(dir / "held.c3d"), 0u);
  EXPECT_EQ(testsupport::ReadFileText(dir / "copied.c3d"),
            testsupport::ReadFileText(dir / "held.c3d"));

  std::unique_ptr<CDocumentBase> cut = OpenConversionDocument(app, vadPath, dir / "cut.c3d");
  ASSERT_TRUE(cut);
  EXPECT_GT(cut->Reader().wordsInFile, 0);
  std::filesystem::resize_file(vadPath, 22 + 48 * 9 + 2 * 9 * 40000);
  EXPECT_EQ(ExportConversion(*cut, dir / "cut.c3d", std::nullopt), 0u);
  EXPECT_TRUE(platform.messages.back().showBox);
  EXPECT_EQ(platform.messages.back().text,
            "ERROR in " + vadPath.string() + " : " + kErrC3dSourceChanged);
  EXPECT_FALSE(std::filesystem::exists(dir / "cut.c3d"));

  // Another recording of the same size put in its place is not copied either.
  testsupport::WriteFile(vadPath, vad.Bytes(50000));
  std::unique_ptr<CDocumentBase> replaced = OpenConversionDocument(app, vadPath, dir / "r.c3d");
  ASSERT_TRUE(replaced);
  vad.sample = [](std::int64_t f, int c) { return static_cast<std::int16_t>(f - c); };
  testsupport::WriteFile(dir / "other01.vad", vad.Bytes(50000));
  std::filesystem::rename(dir / "other01.vad", vadPath);
  EXPECT_EQ(ExportConversion(*replaced, dir / "r.c3d", std::nullopt), 0u);
  EXPECT_FALSE(std::filesystem::exists(dir / "r.c3d"));
}

// FIFOs in the file system are POSIX.
#ifndef _WIN32
// As with a shell's redirection, a conversion into a pipe nobody reads yet
// waits for its reader.
TEST(ConvertToPipeTest, WaitsForTheReader) {
  TempDir dir;
  WriteTrial(dir / "walk.c3d");
  testsupport::WriteFile(dir / "s.ini", {'[', ']'});
  const std::filesystem::path fifo = dir / "out.fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::atomic<int> status = -1;
  std::thread convert([&] {
    status = RunConvertCommand({(dir / "walk.c3d").string(), fifo.string(), "--to", "dst"}, stderr,
                               dir / "s.ini", {});
  });
  // A conversion that gave up at once would leave the reader waiting for ever.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  if (status != -1) {
    convert.join();
    FAIL() << "the conversion did not wait: status " << status;
  }
  const std::string received = testsupport::ReadFileText(fifo);
  convert.join();
  EXPECT_EQ(status, kExitWritten);
  EXPECT_TRUE(StartsWith(received, kSignatureStart)) << received.substr(0, 40);
}
#endif

// Names come in as UTF-8 and stay whole: a Greek name on a Windows system
// whose code page has no Greek, a Swedish one in and out of it.
TEST_F(ConvertFileTest, NamesOutsideTheCodePageAreConverted) {
  const std::string greek = (dir / "").string() + "\xCE\x94\xCE\xBF\xCE\xBA.c3d";  // Δοκ
  const std::string swedish = (dir / "").string() + "G\xC3\xA5ng.dst";                // Gång
  CConvertRequest request;
  std::string error;
  ASSERT_TRUE(ParseConvertArguments({greek, swedish}, request, error)) << error;
  EXPECT_EQ(PathToUtf8(request.input), greek);
  EXPECT_EQ(PathToUtf8(request.output), swedish);
  std::filesystem::copy_file(input, request.input);
  ASSERT_EQ(ConvertFile(app, request.input, request.output, std::nullopt), kExitWritten);
  const std::string dst = testsupport::ReadFileText(request.output);
  EXPECT_NE(dst.find("\n" + greek + "\n"), std::string::npos) << dst.substr(0, 120);
}

TEST_F(ConvertFileTest, FramesNarrowTheRangeOrWriteNothing) {
  EXPECT_EQ(ConvertFile(app, input, dir / "a.dst", ExportKind::Dst, 2, 3), kExitWritten);
  EXPECT_EQ(platform.messages.back().text,
            "Exported " + input.string() + " To " + (dir / "a.dst").string() + ". Frames 2 to 3");
  EXPECT_EQ(ConvertFile(app, input, dir / "b.dst", ExportKind::Dst, 0, 3), kExitNothingWritten);
  EXPECT_TRUE(platform.messages.back().showBox);
  EXPECT_EQ(platform.messages.back().text,
            "ERROR in " + input.string() +
                " : Frames 0 to 3 are not within the recording's frames 1 to 5");
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

// The whole program run through a POSIX shell (pipes, redirections,
// process substitution); on Windows the comparison of its outputs over the
// real recordings stands in for these.
#ifndef _WIN32

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
  // Runs kinex2 with `args` (shell words) and the environment assignments
  // `env`, and returns its exit status.
  int Run(const std::string& args, const std::string& env = "") {
    // The machine-wide store is redirected too: start-up records the program there.
    const std::string d = dir.path().string();
    const std::string command =
        "cd '" + d + "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME='" + d +
        "' XDG_CONFIG_HOME='" + Config().string() + "' XDG_CONFIG_DIRS='" + d + "/machine' " + env +
        " '" + program.string() + "' " + args + " </dev/null >out.log 2>err.log";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::filesystem::path Config() const { return dir / "config"; }
  std::string Err() const { return testsupport::ReadFileText(dir / "err.log"); }
  std::string Out() const { return testsupport::ReadFileText(dir / "out.log"); }
  // A file of the folder the program runs in, as the program names it in full.
  std::string Full(const std::string& name) const {
    return (std::filesystem::canonical(dir.path()) / name).string();
  }

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

  // Settings are written back to a settings file, never to anything else
  // named by mistake.
  std::ofstream(dir / "mine.ini") << "[GCDExport]\nPrecision=2\n";
  EXPECT_EQ(Run("--settings mine.ini walk.c3d,walk3.dst"), 0) << Err();
  EXPECT_NE(testsupport::ReadFileText(dir / "mine.ini").find("ExportTo="), std::string::npos);
  const std::string recording = testsupport::ReadFileText(dir / "walk.c3d");
  std::ofstream(dir / "list.txt") << "walk.c3d,a.dst\nwalk.c3d,b.dst\n";
  for (const char* named : {"walk.c3d", "list.txt"}) {
    const std::string before = testsupport::ReadFileText(dir / named);
    EXPECT_EQ(Run(std::string("--settings ") + named + " walk.c3d,from-" + named + ".dst"), 0)
        << Err();
    EXPECT_EQ(testsupport::ReadFileText(dir / named), before) << named;
    EXPECT_NE(Err().find("kinex2: " + Full(named) + " holds no Kinex2 settings"), std::string::npos)
        << Err();
  }
  EXPECT_EQ(testsupport::ReadFileText(dir / "walk.c3d"), recording);

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

// A log file that is the recording itself (through a link too) would have
// every log line appended to the recording: logging stops for the run.
TEST_F(ProgramTest, ALogFileThatIsTheInputIsRefused) {
  const std::string recording = testsupport::ReadFileText(dir / "walk.c3d");
  std::filesystem::create_symlink(dir / "walk.c3d", dir / "walk.log");
  std::ofstream(dir / "log.ini") << "[Settings]\nLog=1\nLogErrorOnly=0\nLogFile=" +
                                        (dir / "walk.log").string() + "\n";
  EXPECT_EQ(Run("--settings log.ini convert walk.c3d out.dst"), 0) << Err();
  EXPECT_EQ(testsupport::ReadFileText(dir / "walk.c3d"), recording);
  EXPECT_NE(Err().find("The log file is the recording being read; nothing is logged in this run"),
            std::string::npos)
      << Err();
  // Another log file is written as before.
  std::ofstream(dir / "log.ini") << "[Settings]\nLog=1\nLogErrorOnly=0\nLogFile=" +
                                        (dir / "run.log").string() + "\n";
  EXPECT_EQ(Run("--settings log.ini convert walk.c3d out2.dst"), 0) << Err();
  EXPECT_NE(testsupport::ReadFileText(dir / "run.log").find("Exported "), std::string::npos);
}

// --set changes one setting for one run, in every form, and is never stored;
// `kinex2 settings` shows what a run would use.
TEST_F(ProgramTest, SetChangesASettingForOneRun) {
  std::ofstream(dir / "mine.ini") << "[GCDExport]\nPrecision=2\n";
  EXPECT_EQ(Run("--settings mine.ini --set GCDExport/VideoScaled=1 convert walk.c3d a.dst "
                "--set gcdexport/precision=1"),
            0)
      << Err();
  EXPECT_NE(testsupport::ReadFileText(dir / "a.dst").find("!M-3\n10.0 11.0 12.0 \n"),
            std::string::npos);
  EXPECT_EQ(Run("--set Settings/ExportTo=1 batch list.txt --overwrite"), 1);  // no list.txt
  EXPECT_EQ(Run("--settings mine.ini --set TextExport/Delimiter=COMMA settings"), 0) << Err();
  EXPECT_NE(Out().find("GCDExport/Precision                = 2\n      default 3; takes 0 to 255"),
            std::string::npos)
      << Out();
  EXPECT_NE(Out().find("TextExport/Delimiter               = COMMA\n"), std::string::npos);
  // The comma form writes its settings back, but not what --set changed.
  EXPECT_EQ(Run("--settings mine.ini --set GCDExport/Precision=5 --set GCDExport/VideoScaled=1 "
                "walk.c3d,b.dst"),
            0)
      << Err();
  const std::string stored = testsupport::ReadFileText(dir / "mine.ini");
  EXPECT_NE(stored.find("Precision=2"), std::string::npos) << stored;
  EXPECT_EQ(stored.find("VideoScaled=1"), std::string::npos) << stored;
  EXPECT_NE(testsupport::ReadFileText(dir / "b.dst").find("!M-3\n10.00000 11.00000 12.00000 \n"),
            std::string::npos);

  EXPECT_EQ(Run("--set GCDExport/Bogus=1 convert walk.c3d c.dst"), 2);
  EXPECT_EQ(Err().rfind("kinex2: unknown setting GCDExport/Bogus", 0), 0u) << Err();
  EXPECT_EQ(Run("convert walk.c3d c.dst --set GCDExport/Dstlexicon=3"), 2);
  EXPECT_EQ(Run("convert walk.c3d c.dst --set TextExport/Delimiter=PIPE"), 2);
  EXPECT_EQ(Run("convert walk.c3d c.dst --set Precision"), 2);
  EXPECT_FALSE(std::filesystem::exists(dir / "c.dst"));
}

// A batch list and kinex2.ini may come from a pipe, as settings may: read to
// their end once; a piped list's relative names are the current folder's.
TEST_F(ProgramTest, ListsAndTranslationsFromPipes) {
  std::ofstream(dir / "pipes.sh")
      << "cd '" << dir.path().string() << "' || exit 9\n"
      << "\"$KX\" batch <(printf 'walk.c3d,piped.txt\\n') --overwrite || exit 1\n"
      << "\"$KX\" convert walk.c3d vdo.dst --set GCDExport/Dstlexicon=1 "
         "--ini <(printf '[vdolabels]\\nlabel1=M,MARK\\n') || exit 2\n";
  const std::string d = dir.path().string();
  const std::string command = "env -u DISPLAY HOME='" + d + "' XDG_CONFIG_HOME='" + d +
                              "/config' KX='" + program.string() + "' bash '" + d +
                              "/pipes.sh' </dev/null >out.log 2>err.log";
  const int status = std::system(("cd '" + d + "' && " + command).c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << Err();
  EXPECT_TRUE(StartsWith(testsupport::ReadFileText(dir / "piped.txt"), "OriginalFile\t"));
  EXPECT_NE(testsupport::ReadFileText(dir / "vdo.dst").find("!MARK-3\n"), std::string::npos);
}

// The kinds OpenSim reads, chosen by OUT's extension or --to, from the one
// table of export kinds.
TEST_F(ProgramTest, TrcAndMotByExtensionOrTo) {
  EXPECT_EQ(Run("convert walk.c3d walk.trc"), 0) << Err();
  EXPECT_TRUE(StartsWith(testsupport::ReadFileText(dir / "walk.trc"), "PathFileType\t4\t"));
  EXPECT_EQ(Run("convert walk.c3d walk.mot"), 0) << Err();
  EXPECT_TRUE(StartsWith(testsupport::ReadFileText(dir / "walk.mot"), "walk.mot\nversion=1\n"));
  EXPECT_EQ(Run("convert walk.c3d markers.out --to trc"), 0) << Err();
  EXPECT_TRUE(StartsWith(testsupport::ReadFileText(dir / "markers.out"), "PathFileType"));
  EXPECT_EQ(Run("convert walk.c3d x.out --to xls"), 2);
  EXPECT_NE(Err().find("--to takes dst, text, trc or mot"), std::string::npos) << Err();
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
  EXPECT_EQ(Run("convert walk.c3d ends.dst --frames -1:2"), 0) << Err();  // -1: that end
  EXPECT_EQ(Run("convert walk.c3d ends.txt --frames 2:-1"), 0) << Err();
  EXPECT_EQ(Run("convert walk.c3d"), 2);
  EXPECT_EQ(Run("convert none.c3d out.dst"), 1);
}

TEST_F(ProgramTest, BatchVerb) {
  std::ofstream(dir / "list.txt") << "walk.c3d\nwalk.c3d,b.txt,2,3\nnone.c3d\n";
  EXPECT_EQ(Run("batch list.txt"), 1);
  EXPECT_TRUE(StartsWith(Err(),
                         "Exporting from walk.c3d To walk.dst\n"
                         "Exporting from walk.c3d To b.txt\n"
                         "Exporting from none.c3d To none.dst\n"
                         "ERROR in " +
                             Full("none.c3d") + " : "))
      << Err();
  EXPECT_TRUE(EndsWith(Err(), "\nkinex2: 2 of 3 rows written, 0 skipped, 1 failed\n")) << Err();
  EXPECT_TRUE(StartsWith(testsupport::ReadFileText(dir / "walk.dst"), kSignatureStart));
  // The output's extension decides its kind, as in convert.
  EXPECT_TRUE(StartsWith(testsupport::ReadFileText(dir / "b.txt"), "OriginalFile\t"));
  EXPECT_FALSE(std::filesystem::exists(Config()));  // settings read, never written

  // No terminal to ask on: an existing output is kept, as with --skip-existing;
  // --overwrite replaces it.
  std::ofstream(dir / "one.txt") << "walk.c3d\n";
  testsupport::WriteFile(dir / "walk.dst", {'o', 'l', 'd'});
  EXPECT_EQ(Run("batch one.txt"), 1);
  const std::string summary = "kinex2: 0 of 1 rows written, 1 skipped, 0 failed\n";
  EXPECT_EQ(Err(), "Exporting from walk.c3d To walk.dst\nkinex2: " + Full("walk.dst") +
                       " exists; nothing written (answer y, or pass --overwrite)\n" + summary);
  EXPECT_EQ(Run("batch one.txt --skip-existing"), 1);
  EXPECT_EQ(Err(), "Exporting from walk.c3d To walk.dst\nkinex2: " + Full("walk.dst") +
                       " exists; skipped\n" + summary);
  EXPECT_EQ(testsupport::ReadFileText(dir / "walk.dst"), "old");
  std::ofstream(dir / "text.ini") << "[Settings]\nExportTo=1\n";
  EXPECT_EQ(Run("--settings text.ini batch one.txt --overwrite"), 0) << Err();
  EXPECT_TRUE(StartsWith(testsupport::ReadFileText(dir / "walk.txt"), "OriginalFile\t"));

  EXPECT_EQ(Run("batch one.txt --overwrite --skip-existing"), 2);
  EXPECT_EQ(Run("batch none.txt"), 1);
  EXPECT_EQ(Err(), "ERROR in " + Full("none.txt") + " : Unable to Open the selected file\n");
  EXPECT_EQ(Run("batch --help"), 0);
  EXPECT_TRUE(StartsWith(Out(), "Usage:\n  kinex2 batch LIST")) << Out();
  EXPECT_EQ(Run("--help"), 0);
  EXPECT_NE(Out().find("kinex2 batch LIST"), std::string::npos);
}

TEST_F(ProgramTest, BothFormsWriteTheVdoFlavourWithTheNamedTranslations) {
  std::ofstream(dir / "vdo.ini") << "[GCDExport]\nDstlexicon=1\n";
  std::ofstream(dir / "labels.ini") << "[vdolabels]\nlabel1=m , Marker-One\n";
  const std::string expected = "!Marker_One-3\n10.000 11.000 12.000 \n";
  EXPECT_EQ(Run("convert walk.c3d a.dst --settings vdo.ini --ini labels.ini"), 0) << Err();
  const std::string a = testsupport::ReadFileText(dir / "a.dst");
  EXPECT_TRUE(StartsWith(a, "#!DST-2.0 VDO-2.0\n")) << a;
  EXPECT_NE(a.find(expected), std::string::npos) << a;
  EXPECT_EQ(Run("--settings vdo.ini --ini labels.ini walk.c3d,b.dst"), 0) << Err();
  EXPECT_EQ(testsupport::ReadFileText(dir / "b.dst"), a);
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
  // A mistyped verb or option never opens the window, display or not.
  for (const char* env : {"", "DISPLAY=:99"}) {
    EXPECT_EQ(Run("conver walk.c3d b.dst", env), 2);
    EXPECT_TRUE(StartsWith(Err(), "kinex2: unknown command 'conver'\nUsage:\n")) << Err();
    EXPECT_EQ(Run("--bogus", env), 2);
    EXPECT_TRUE(StartsWith(Err(), "kinex2: unknown option '--bogus'\n")) << Err();
    EXPECT_EQ(Run("infoo", env), 2);
  }
  // A display that is not there: said, not an abort inside the window library.
  EXPECT_EQ(Run("walk.c3d", "DISPLAY=:99"), 2);
  EXPECT_NE(Err().find("kinex2: cannot open the display :99;"), std::string::npos) << Err();
}

TEST_F(ProgramTest, OptionsOfTheWholeProgramAndHelpOfEachVerb) {
  EXPECT_EQ(Run("--version"), 0);
  EXPECT_EQ(Out(), "Kinex2 2.560\n");
  EXPECT_EQ(Run("-h"), 0);
  EXPECT_NE(Out().find("kinex2 convert IN OUT"), std::string::npos);

  EXPECT_EQ(Run("convert --help"), 0) << Err();
  EXPECT_TRUE(StartsWith(Out(), "Usage:\n  kinex2 convert IN OUT")) << Out();
  EXPECT_EQ(Run("convert walk.c3d out.dst -h"), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "out.dst"));
  EXPECT_EQ(Run("info --help"), 0) << Err();
  EXPECT_TRUE(StartsWith(Out(), "Usage:\n  kinex2 info FILE")) << Out();

  std::ofstream(dir / "scaled.ini") << "[GCDExport]\nVideoScaled=1\nPrecision=1\n";
  EXPECT_EQ(Run("--settings scaled.ini convert walk.c3d scaled.dst"), 0) << Err();
  EXPECT_NE(testsupport::ReadFileText(dir / "scaled.dst").find("!M-3\n10.0 11.0 12.0 \n"),
            std::string::npos);
}

TEST_F(ProgramTest, SettingsFileMustBeARegularReadableFile) {
  const std::string missing = "kinex2: cannot read settings file missing.ini\n";
  EXPECT_EQ(Run("convert walk.c3d a.dst --settings missing.ini"), 2);
  EXPECT_EQ(Err(), missing);
  EXPECT_EQ(Run("--settings missing.ini convert walk.c3d a.dst"), 2);
  EXPECT_EQ(Err(), missing);
  EXPECT_EQ(Run("--settings missing.ini walk.c3d,a.dst"), 2);
  EXPECT_EQ(Err(), missing);
  EXPECT_FALSE(std::filesystem::exists(dir / "a.dst"));
  // A FIFO nobody writes to is refused at once instead of hanging the run.
  ASSERT_EQ(::mkfifo((dir / "fifo.ini").c_str(), 0600), 0);
  EXPECT_EQ(Run("convert walk.c3d a.dst --settings fifo.ini"), 2);
  EXPECT_EQ(Err(), "kinex2: cannot read settings file fifo.ini\n");
  EXPECT_EQ(Run("--settings . convert walk.c3d a.dst"), 2);
  EXPECT_EQ(Run("convert walk.c3d a.dst --ini missing.ini"), 2);
  EXPECT_EQ(Err(), "kinex2: cannot read kinex2.ini file missing.ini\n");
  EXPECT_EQ(Run("--ini missing.ini walk.c3d,a.dst"), 2);
  EXPECT_FALSE(std::filesystem::exists(dir / "a.dst"));
}

// Settings piped to the program (as `--settings <(...)` does) are read to
// their end once, and used as they came.
TEST(PipedSettingsTest, APipeWithAWriterIsReadToItsEnd) {
  TempDir dir;
  const std::filesystem::path fifo = dir / "piped.ini";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  bool readable = false;
  const std::string text = "[Settings]\nExportTo=1\n;" + std::string(100000, 'x') + "\n";
  ASSERT_TRUE(testsupport::FeedFifo(fifo, text, [&] { readable = IsReadableNamedFile(fifo); }));
  ASSERT_TRUE(readable);
  EXPECT_TRUE(IsReadableNamedFile(fifo));  // asked again: the text kept
  RecordingPlatform platform;
  CKinex2App app(platform);
  app.InitInstance(fifo, {}, true);
  EXPECT_EQ(app.ExportTo, 1);
}

TEST_F(ProgramTest, DeclinedOverwriteSaysWhyInBothForms) {
  testsupport::WriteFile(dir / "x.dst", {'o', 'l', 'd'});
  const std::string why =
      "kinex2: " + Full("x.dst") + " exists; nothing written (answer y, or pass --overwrite)\n";
  EXPECT_EQ(Run("convert walk.c3d x.dst"), 1);
  EXPECT_EQ(Err(), why);
  EXPECT_EQ(Run("walk.c3d,x.dst"), 1);
  EXPECT_EQ(Err(), why);
  EXPECT_EQ(testsupport::ReadFileText(dir / "x.dst"), "old");
}

// Only a VAD input writes a file named .c3d, and only as C3D.
TEST_F(ProgramTest, NoDstOrTextBytesInAFileNamedC3d) {
  const std::string refused = "ERROR in " + Full("walk.c3d") +
                              " : Recordings of this format cannot be written as C3D files; "
                              "choose a .dst or .txt output\n";
  EXPECT_EQ(Run("convert walk.c3d walk2.c3d --overwrite"), 1);
  EXPECT_EQ(Err(), refused);
  EXPECT_EQ(Run("walk.c3d,walk2.C3D"), 1);
  EXPECT_EQ(Err(), refused);
  EXPECT_EQ(Run("convert walk.c3d walk2.C3D --to text"), 2);
  EXPECT_FALSE(std::filesystem::exists(dir / "walk2.c3d"));
  EXPECT_FALSE(std::filesystem::exists(dir / "walk2.C3D"));

  testsupport::WriteFile(dir / "walk01.vad", vadbuilder::VadFile{}.Bytes(100));
  EXPECT_EQ(Run("convert walk01.vad out.c3d --to dst"), 2);
  EXPECT_EQ(Run("convert walk01.vad out.c3d"), 0) << Err();
  EXPECT_TRUE(StartsWith(testsupport::ReadFileText(dir / "out.c3d"), "\x02\x50"));
}

TEST_F(ProgramTest, MessagesNameFilesInFull) {
  EXPECT_EQ(Run("convert walk.c3d missing/x.dst"), 1);
  EXPECT_TRUE(StartsWith(Err(), "ERROR in " + Full("missing") + "/x.dst : ")) << Err();
  EXPECT_EQ(Run("convert walk.c3d out.dst --frames 0:3"), 1);
  EXPECT_EQ(Err(), "ERROR in " + Full("walk.c3d") +
                       " : Frames 0 to 3 are not within the recording's frames 1 to 5\n");
}

// Conversions start without loading the window libraries; the desktop
// program still starts, from its own module.
TEST_F(ProgramTest, WindowLibrariesLoadOnlyForTheDesktopProgram) {
  EXPECT_EQ(Run("info walk.c3d", "LD_DEBUG=libs"), 0);
  ASSERT_NE(Err().find("libc.so"), std::string::npos) << "the loader lists what it loads";
  EXPECT_EQ(Err().find("libQt6Widgets"), std::string::npos);
  EXPECT_EQ(Err().find("libQt6Gui"), std::string::npos);
  EXPECT_EQ(Run("convert walk.c3d walk.dst", "LD_DEBUG=libs"), 0);
  EXPECT_EQ(Err().find("libQt6Widgets"), std::string::npos);

  // Two data files: the desktop program's own usage, printed before any window.
  EXPECT_EQ(Run("walk.c3d other.c3d", "QT_QPA_PLATFORM=offscreen"), 1);
  EXPECT_EQ(Err(), "Usage: kinex2 [--settings FILE] [--ini FILE] [DATAFILE]\n");
  EXPECT_EQ(Run("walk.c3d --settings missing.ini", "QT_QPA_PLATFORM=offscreen"), 2);
  EXPECT_EQ(Err(), "kinex2: cannot read settings file missing.ini\n");
}

#endif

}  // namespace
