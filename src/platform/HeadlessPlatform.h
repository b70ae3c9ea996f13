#pragma once
// Platform for the command line: messages go to standard error, questions are
// answered by a policy the caller chooses (default: do not overwrite), and the
// progress bar is drawn on standard error only when it is a terminal.

#include <cstdio>
#include <string>

#include "platform/Platform.h"

class CHeadlessPlatform : public CPlatform {
 public:
  enum class AnswerPolicy {
    No,             // never overwrite
    Yes,            // always overwrite (--overwrite)
    AskOnTerminal,  // ask on the terminal when standard input is one, else No
  };

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

  std::FILE* m_err;
  AnswerPolicy m_policy = AnswerPolicy::No;
  bool m_verbose = false;
  int m_range = 0;
  int m_pos = 0;
  int m_drawn = -1;
  bool m_barShown = false;
  bool m_errIsTerminal = false;  // checked once per progress run
};
