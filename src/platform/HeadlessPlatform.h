#pragma once
// Platform for the command line: messages go to standard error, questions are
// answered by a policy the caller chooses (default: do not overwrite), and the
// progress bar is drawn on standard error only when it is a terminal.

#include <cstdio>
#include <string>

#include "platform/Platform.h"

// Writes `question` followed by " [y/N] " to the terminal `device` and reads
// one line of answer from it: true for an answer starting with y or Y; false
// for anything else, end of input, or a device that cannot be opened.
// Standard error may be redirected to a file; the terminal still shows the
// question, so nobody waits for an answer to a question they cannot see.
bool AskYesNoOnTerminal(const char* device, const std::string& question);
// The four-answer question the same way, with " [y/a/n/c] ": y Yes, a Yes To
// All, c Cancel; anything else, end of input or no device is No.
OverwriteAnswer AskOverwriteOnTerminal(const char* device, const std::string& question);

class CHeadlessPlatform : public CPlatform {
 public:
  enum class AnswerPolicy {
    No,             // never overwrite
    Yes,            // always overwrite (--overwrite; the batch's question: Yes To All)
    AskOnTerminal,  // ask on the terminal when standard input is one, else No
  };

  // The controlling terminal, where AskOnTerminal asks and reads the answer.
  static const char* const kTerminalDevice;

  explicit CHeadlessPlatform(std::FILE* err = stderr) : m_err(err) {}

  void SetAnswerPolicy(AnswerPolicy policy) { m_policy = policy; }
  // Whether informational lines (no box) are echoed; errors always are.
  void SetVerbose(bool verbose) { m_verbose = verbose; }

  void LogMessage(const std::string& text, bool showBox, bool writeToLog) override;
  bool AskYesNo(const std::string& question) override;
  OverwriteAnswer AskOverwrite(const std::string& question) override;
  void ProgressBegin(int range) override;
  void ProgressStep() override;
  void ProgressEnd() override;

 private:
  void DrawProgress();
  void ClearProgress();

  std::FILE* m_err;
  AnswerPolicy m_policy = AnswerPolicy::No;
  bool m_verbose = false;
  int m_range = 0;
  int m_pos = 0;
  int m_drawn = -1;
  bool m_barShown = false;
  bool m_errIsTerminal = false;  // checked once per progress run
};
