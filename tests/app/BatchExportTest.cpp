#include "app/BatchExport.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <fstream>
#include <optional>

#include "app/ConvertCommand.h"
#include "app/Kinex2App.h"
#include "c3dbuilder/C3dBuilder.h"
#include "support/TestSupport.h"
#include "vadbuilder/VadBuilder.h"

namespace {

using testsupport::ReadFileText;

// Little-endian words and the smallest recordings of each analog format.
void Put(std::vector<unsigned char>& b, long long v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
}

using testsupport::SmallTrialBytes;

// Five VMS records of two channels.
std::vector<unsigned char> AdcFile() {
  std::vector<unsigned char> b;
  for (int i = 0; i < 5; ++i) {
    for (int v : {2, 0, 4, 0, 0, i * 10, i * 10 + 1}) Put(b, v, 2);
  }
  return b;
}

// Two channels at 1000 Hz for 5 ms.
std::vector<unsigned char> BtsFile() {
  std::vector<unsigned char> b(1024, 0);
  const auto put = [&](std::size_t at, int v) {
    b[at] = static_cast<unsigned char>(v & 0xFF);
    b[at + 1] = static_cast<unsigned char>((v >> 8) & 0xFF);
  };
  put(4, 5);  // end time 5 ms
  put(8, 2);
  put(10, 1000);
  for (int c = 0; c < 32; ++c) {
    b[12 + 8 * c] = 'E';
    b[13 + 8 * c] = static_cast<unsigned char>('A' + c);
    b[268 + 4 * c] = 'u';
    b[269 + 4 * c] = 'V';
    for (int t = 0; t < 6; ++t) put(512 + 64 * t + 2 * c, c + t * 100);
  }
  put(396, 3);
  put(438, 1);
  for (int i = 0; i < 10; ++i) Put(b, i * 3, 2);
  return b;
}

// A short-header CODAS file of two channels and five frames.
std::vector<unsigned char> CodasFile() {
  std::vector<unsigned char> f(1156, 0);
  f[0] = 0x22;  // two channels
  f[8] = 20;    // data bytes
  const double interval = 0.01;
  std::memcpy(&f[28], &interval, 8);
  f[1154] = 0x01;
  f[1155] = 0x80;
  for (int i = 0; i < 10; ++i) Put(f, i << 2, 2);
  return f;
}

constexpr char kMacFile[] = "a b 0.08 50 1 2\n~ 2 LEFT\n~ 1 RIGHT\n0001\n0203\n0405\n0607\n";

// "!VAD", version, rates, two labelled channels, five frames.
std::vector<unsigned char> VadFile() {
  std::vector<unsigned char> b = {'!', 'V', 'A', 'D', '1', '0'};
  Put(b, 50, 2);
  Put(b, 3, 4);
  Put(b, 1000, 4);
  Put(b, 10, 4);
  Put(b, 2, 2);
  for (int c = 0; c < 2; ++c) {
    Put(b, c, 2);
    Put(b, -c, 2);
    std::string label = "L" + std::to_string(c);
    label.resize(12 + 32, '\0');
    b.insert(b.end(), label.begin(), label.end());
  }
  for (int i = 0; i < 10; ++i) Put(b, i, 2);
  return b;
}

// Answers the overwrite questions in turn.
class ScriptedPlatform : public testsupport::RecordingPlatform {
 public:
  std::deque<OverwriteAnswer> answers;
  OverwriteAnswer AskOverwrite(const std::string& q) override {
    questions.push_back(q);
    const OverwriteAnswer a = answers.empty() ? OverwriteAnswer::No : answers.front();
    if (!answers.empty()) answers.pop_front();
    return a;
  }
};

class StatusLines : public CBatchListener {
 public:
  void RowStarted(std::size_t row, std::size_t rows, const std::string& status,
                  const std::filesystem::path& /*output*/) override {
    lines.push_back(std::to_string(row) + "/" + std::to_string(rows) + " " + status);
  }
  std::vector<std::string> lines;
};

// Every case runs with the rows one after the other and with three at once:
// what the user sees and gets must not depend on it.
class BatchExportTest : public ::testing::TestWithParam<int> {
 protected:
  BatchExportTest() : app(ui) {
    app.SetExecutablePath(dir / "kinex2");
    app.SetDataFolder(dir.path());
    std::filesystem::create_directories(data);
  }
  std::filesystem::path Write(const std::string& name, const std::vector<unsigned char>& bytes) {
    testsupport::WriteFile(data / name, bytes);
    return data / name;
  }
  std::filesystem::path WriteList(const std::string& text) {
    std::ofstream(data / "list.txt", std::ios::binary) << text;
    return data / "list.txt";
  }
  CBatchResult Run(bool yesToAll = false) {
    EXPECT_TRUE(ReadBatchList(data / "list.txt", rows));
    return RunBatch(app, rows, data, yesToAll, &status, GetParam());
  }

  testsupport::TempDir dir;
  std::filesystem::path data = dir / "data";
  ScriptedPlatform ui;
  CKinex2App app;
  std::vector<CBatchRow> rows;
  StatusLines status;
};

TEST_P(BatchExportTest, EveryFormatInOneListWritesWhatSingleConversionsWrite) {
  const auto c3d = Write("walk.c3d", SmallTrialBytes());
  Write("trial.adc", AdcFile());
  Write("emg.emg", BtsFile());
  Write("run.wdq", CodasFile());
  Write("gait.ana", {std::begin(kMacFile), std::end(kMacFile) - 1});
  Write("jump.vad", VadFile());
  app.logSettings = {1, (dir / "kinex2.log").string(), 0};
  // Relative and absolute inputs, default and explicit outputs, blank lines
  // and a line end of either kind, fields past the fourth ignored, and the
  // byte-order mark some editors write first.
  WriteList("\xEF\xBB\xBFwalk.c3d\n" + (data / "trial.adc").string() +
            " , adc.dst , -1 , -1 \r\n"
            "   \n"
            "emg.emg,emg.dst,2,3,ignored\n"
            "\n"
            "run.wdq,run.dst,2,2\n"
            "gait.ana,gait.dst,,2\n"
            "jump.vad,jump.dst,3,-1\n"
            "walk.c3d,outside.dst,0,3\n"
            "missing.c3d,missing.dst\n");
  const CBatchResult result = Run();
  const std::vector<std::string> texts = ui.Texts();
  std::string said;
  for (const std::string& t : texts) said += t + "\n";
  EXPECT_EQ(rows.size(), 8u);
  EXPECT_EQ(result.written, 6u) << said;
  EXPECT_EQ(result.notWritten, 2u);
  EXPECT_EQ(result.Status(), 1);
  EXPECT_FALSE(app.overwriteAll);
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_EQ(status.lines.front(), "0/8 Exporting from walk.c3d To walk.dst");
  EXPECT_EQ(status.lines.back(), "7/8 Exporting from missing.c3d To missing.dst");
  EXPECT_FALSE(std::filesystem::exists(data / "outside.dst"));
  EXPECT_FALSE(std::filesystem::exists(data / "missing.dst"));
  EXPECT_NE(std::find(texts.begin(), texts.end(),
                      "ERROR in " + c3d.string() +
                          " : Frames 0 to 3 are not within the recording's frames 1 to 5"),
            texts.end());

  // One "Exported" line per written row, with its frames.
  std::ifstream log(dir / "kinex2.log");
  std::vector<std::string> exported;
  for (std::string line; std::getline(log, line);) {
    if (line.rfind("Exported ", 0) == 0) exported.push_back(line);
  }
  ASSERT_EQ(exported.size(), 6u);
  EXPECT_EQ(exported[0],
            "Exported " + c3d.string() + " To " + (data / "walk.dst").string() + ". Frames 1 to 5");
  EXPECT_NE(exported[2].find("emg.dst. Frames 2 to 3"), std::string::npos) << exported[2];
  EXPECT_NE(exported[3].find("run.dst. Frames 2 to 2"), std::string::npos) << exported[3];

  // The same bytes as one conversion of each row.
  struct Single {
    const char* input;
    const char* output;
    std::optional<long long> first, last;
  };
  for (const Single& s :
       {Single{"walk.c3d", "walk.dst", {}, {}}, Single{"trial.adc", "adc.dst", {}, {}},
        Single{"emg.emg", "emg.dst", 2, 3}, Single{"run.wdq", "run.dst", 2, 2},
        Single{"gait.ana", "gait.dst", {}, 2}, Single{"jump.vad", "jump.dst", 3, {}}}) {
    const auto single = dir / (std::string("single-") + s.output);
    ASSERT_EQ(ConvertFile(app, data / s.input, single, std::nullopt, s.first, s.last), kExitWritten)
        << s.input;
    EXPECT_EQ(ReadFileText(data / s.output), ReadFileText(single)) << s.input;
  }

  // "ExportTo" 1 names the default output .txt and writes text.
  app.ExportTo = 1;
  WriteList("walk.c3d\n");
  EXPECT_EQ(Run().Status(), 0);
  ASSERT_EQ(ConvertFile(app, c3d, dir / "single.txt", ExportKind::Text), kExitWritten);
  EXPECT_EQ(ReadFileText(data / "walk.txt"), ReadFileText(dir / "single.txt"));
}

TEST_P(BatchExportTest, OverwriteAnswersAndRefusedOutputs) {
  Write("walk.c3d", SmallTrialBytes());
  for (const char* name : {"a.dst", "b.dst", "c.dst", "d.dst"}) Write(name, {'o', 'l', 'd'});
  WriteList("walk.c3d,a.dst\nwalk.c3d,b.dst\nwalk.c3d,c.dst\nwalk.c3d,d.dst\n");
  ui.answers = {OverwriteAnswer::No, OverwriteAnswer::Yes, OverwriteAnswer::YesToAll};
  CBatchResult result = Run();
  // Yes To All answers for the rest of the run: three questions, not four.
  ASSERT_EQ(ui.questions.size(), 3u);
  EXPECT_EQ(ui.questions[0], "The File " + (data / "a.dst").string() +
                                 " already exists.\nDo you want to overwrite it?");
  EXPECT_EQ(ReadFileText(data / "a.dst"), "old");
  for (const char* name : {"b.dst", "c.dst", "d.dst"}) {
    EXPECT_NE(ReadFileText(data / name), "old") << name;
  }
  EXPECT_EQ(result.written, 3u);
  EXPECT_EQ(result.Status(), 1);

  // Cancel ends the run; the rows after it are not written either.
  Write("b.dst", {'o', 'l', 'd'});
  WriteList("walk.c3d,e.dst\nwalk.c3d,b.dst\nwalk.c3d,f.dst\n");
  ui.questions.clear();
  ui.answers = {OverwriteAnswer::Cancel};
  result = Run();
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(ReadFileText(data / "b.dst"), "old");
  if (GetParam() == 1) {
    EXPECT_EQ(result.written, 1u);
    EXPECT_EQ(result.notWritten, 2u);
    EXPECT_FALSE(std::filesystem::exists(data / "f.dst"));
  } else {
    // A row already under way when the user cancelled is finished, and
    // counted as written.
    EXPECT_EQ(result.written + result.untried, 3u);
    EXPECT_EQ(std::filesystem::exists(data / "f.dst"), result.written == 2u);
  }

  // Yes To All from the start (--overwrite) asks nothing.
  ui.questions.clear();
  EXPECT_EQ(Run(true).Status(), 0);
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_NE(ReadFileText(data / "b.dst"), "old");

  // Its own input as output is refused unasked; a format that does not write
  // C3D never writes a file named .c3d.
  const auto mac = Write("gait.ana", {std::begin(kMacFile), std::end(kMacFile) - 1});
  WriteList("gait.ana,gait.ana\nwalk.c3d,copy.C3D\n");
  ui.messages.clear();
  ui.questions.clear();
  EXPECT_EQ(Run().notWritten, 2u);
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_EQ(ReadFileText(mac), kMacFile);
  EXPECT_FALSE(std::filesystem::exists(data / "copy.C3D"));
  const std::vector<std::string> texts = ui.Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(),
                      "ERROR in " + mac.string() + " : The output file is the input file"),
            texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(),
                      "ERROR in " + (data / "walk.c3d").string() + " : " + kC3dNotWritable),
            texts.end());
}

// Rows sharing a file run in list order even when they run at once: a row
// reading what an earlier row writes reads it finished, and rows writing one
// output write it in turn, the last one's bytes kept. Messages come row by
// row as in a run of one row at a time.
TEST_P(BatchExportTest, RowsSharingFilesRunInTurn) {
  Write("gait.ana", {std::begin(kMacFile), std::end(kMacFile) - 1});
  std::string list;
  for (int i = 0; i < 4; ++i) {
    const std::string vad = "jump" + std::to_string(i) + ".vad";
    testsupport::WriteFile(data / vad, vadbuilder::VadFile{}.Bytes(100 + 10 * i));
    list += vad + ",copy.c3d\n";
    list += "copy.c3d,copy" + std::to_string(i) + ".dst\n";
    list += "gait.ana,shared.dst,1," + std::to_string(1 + i % 2) + "\n";
    list += "missing" + std::to_string(i) + ".c3d\n";
  }
  WriteList(list);
  app.ExportTo = 0;
  const CBatchResult result = Run(true);
  EXPECT_EQ(result.written, 12u);
  EXPECT_EQ(result.notWritten, 4u);
  for (int i = 0; i < 4; ++i) {
    const std::string n = std::to_string(i);
    const auto single = dir / ("single" + n + ".c3d");
    ASSERT_EQ(ConvertFile(app, data / ("jump" + n + ".vad"), single, std::nullopt), kExitWritten);
    ASSERT_EQ(ConvertFile(app, single, dir / ("single" + n + ".dst"), std::nullopt), kExitWritten);
    // The same but for the name of the recording it came from.
    std::string expected = ReadFileText(dir / ("single" + n + ".dst"));
    expected.replace(expected.find(single.string()), single.string().size(),
                     (data / "copy.c3d").string());
    EXPECT_EQ(ReadFileText(data / ("copy" + n + ".dst")), expected) << i;
  }
  ASSERT_EQ(ConvertFile(app, data / "gait.ana", dir / "shared.dst", std::nullopt, 1, 2),
            kExitWritten);
  EXPECT_EQ(ReadFileText(data / "shared.dst"), ReadFileText(dir / "shared.dst"));
  std::vector<std::string> errors;
  for (const std::string& text : ui.Texts()) {
    if (text.rfind("ERROR in ", 0) == 0) errors.push_back(text);
  }
  std::string said;
  for (const std::string& e : errors) said += e + "\n";
  ASSERT_EQ(errors.size(), 4u) << said;
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_NE(errors[i].find("missing" + std::to_string(i) + ".c3d"), std::string::npos)
        << errors[i];
  }
  ASSERT_EQ(status.lines.size(), 16u);
  EXPECT_EQ(status.lines[15], "15/16 Exporting from missing3.c3d To missing3.dst");
}

TEST_P(BatchExportTest, AListThatCannotBeOpened) {
  EXPECT_FALSE(ReadBatchList(data / "none.txt", rows));
  EXPECT_FALSE(ReadBatchList(data, rows));
#ifndef _WIN32
  // A FIFO nobody writes to is refused at once instead of hanging the batch.
  ASSERT_EQ(::mkfifo((data / "fifo.txt").c_str(), 0600), 0);
  EXPECT_FALSE(ReadBatchList(data / "fifo.txt", rows));
#endif
}

INSTANTIATE_TEST_SUITE_P(Jobs, BatchExportTest, ::testing::Values(1, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == 1 ? std::string("OneByOne")
                                                  : std::string("ThreeAtOnce");
                         });

}  // namespace
