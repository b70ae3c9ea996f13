#pragma once
// Shared by the tests: where the real recordings are, a temporary folder per
// test, and a platform that records what was said and asked.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace testsupport {

// The line end of text files the program writes in text mode (the log,
// kinex2.ini): the platform's own.
#ifdef _WIN32
inline constexpr char kLineEnd[] = "\r\n";
#else
inline constexpr char kLineEnd[] = "\n";
#endif
// `text` with each "\n" as the platform writes it.
std::string PlatformLines(const std::string& text);

// ../shared/data beside the source tree; empty when it is absent.
std::filesystem::path SharedDataDir();
// The project's source folder (for samples/).
std::filesystem::path SourceDir();

// Skips the current test with a clear message when ../shared/data is absent.
#define KX_REQUIRE_SHARED_DATA()                                                 \
  do {                                                                           \
    if (::testsupport::SharedDataDir().empty())                                  \
      GTEST_SKIP() << "../shared/data is absent: real recordings not available"; \
  } while (0)

// A fresh, empty folder removed when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return m_path; }
  std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

 private:
  std::filesystem::path m_path;
};

// Writes `bytes` to `path`.
void WriteFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes);
// A C3D recording of `frames` frames, one point "M" and one channel "A": the
// smallest that every export writes. WriteTrial writes it to `path`.
std::vector<unsigned char> SmallTrialBytes(int frames = 5);
void WriteTrial(const std::filesystem::path& path, int frames = 5);
#ifndef _WIN32
// Feeds `data` into the existing FIFO `fifo` from a writer that is there
// before the reader, while `read` runs on a thread of its own; returns once
// the writer has closed and `read` has returned, false when a write failed.
bool FeedFifo(const std::filesystem::path& fifo, const std::string& data,
              const std::function<void()>& read);
#endif
std::string ReadFileText(const std::filesystem::path& path);

struct LoggedMessage {
  std::string text;
  bool showBox;
  bool writeToLog;
};

class RecordingPlatform : public CPlatform {
 public:
  std::vector<LoggedMessage> messages;
  std::vector<std::string> questions;
  std::vector<std::string> statusTexts;
  bool answerYes = false;
  OverwriteAnswer overwriteAnswer = OverwriteAnswer::No;
  int progressRange = -1;
  int progressSteps = 0;
  int waitDepth = 0;

  void LogMessage(const std::string& text, bool showBox, bool writeToLog) override {
    messages.push_back({text, showBox, writeToLog});
  }
  bool AskYesNo(const std::string& q) override {
    questions.push_back(q);
    return answerYes;
  }
  OverwriteAnswer AskOverwrite(const std::string& q) override {
    questions.push_back(q);
    return overwriteAnswer;
  }
  void BeginWaitCursor() override { ++waitDepth; }
  void EndWaitCursor() override { --waitDepth; }
  void ProgressBegin(int range) override {
    progressRange = range;
    progressSteps = 0;
  }
  void ProgressStep() override { ++progressSteps; }
  void SetStatusText(const std::string& t) override { statusTexts.push_back(t); }

  // Texts only, in order.
  std::vector<std::string> Texts() const;
};

}  // namespace testsupport
