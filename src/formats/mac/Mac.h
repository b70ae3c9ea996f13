#pragma once
// Reader of MAC analog files (.ana): text. A header line of six tokens (two
// unused, a duration T2, a rate T3, its divisor T4 and the channel count N),
// one line per channel starting with "~" (gain and label), then one line per
// frame in which every sample is two characters from "0" (value 0) on, the
// first worth 64 times the second.

#include <cstdint>

#include "model/Recording.h"

class CInputFile;

class CMac : public CRecording {
 public:
  CMac() = default;
  ~CMac() override { Close(); }

  bool Open() override;
  void Close() override;

  int channelCount = 0;
  float frequency = 0.0f;        // F = T3 / T4 (T3 when T4 < 1)
  std::int64_t expectedFrames = 0;

 private:
  bool ReadAll(CInputFile& file);
};
