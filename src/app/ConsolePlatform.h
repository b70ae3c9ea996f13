#pragma once
// The terminal platform of the headless commands, counting the errors it
// showed and the overwrite questions answered No, so that a run that wrote
// nothing can say why when no error explains it.

#include "platform/HeadlessPlatform.h"

class CConsolePlatform : public CHeadlessPlatform {
 public:
  using CHeadlessPlatform::CHeadlessPlatform;
  void LogMessage(const std::string& text, bool showBox, bool writeToLog) override {
    if (showBox) ++shown;
    CHeadlessPlatform::LogMessage(text, showBox, writeToLog);
  }
  bool AskYesNo(const std::string& question) override {
    const bool yes = CHeadlessPlatform::AskYesNo(question);
    if (!yes) declined = true;
    return yes;
  }
  bool MayWaitForPipeReader() const override { return true; }
  int shown = 0;
  bool declined = false;
};
