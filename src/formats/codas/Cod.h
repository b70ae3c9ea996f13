#pragma once
// Reader of CODAS recordings (.dat, .wdq): a fixed header of one of two
// sizes, a table of per-channel scale and offset doubles, then multiplexed
// 16-bit words whose two low bits are not part of the value.
//
// Layout (little-endian): word A at 0 and word B at 2 give the channel count
// and the rate numerator (short header: bits 0-4 and 5-14 of A; long header:
// the low and the high byte of A; B is added to the numerator); the double at
// 28 is the interval between two samples of a channel in seconds; the uint32
// at 8 counts the data bytes; channel c's scale and offset doubles stand at
// 110 + 36c + 8 and + 16. The header ends with 0x8001 at 1154 (short) or
// 5294 (long); samples follow it.

#include <cstdint>

#include "model/Recording.h"

class CInputFile;

class CCod : public CRecording {
 public:
  CCod() = default;
  ~CCod() override { Close(); }

  bool Open() override;
  void Close() override;

  // Element k of ANALOG:OFFSET; 0 when the file gives none (its samples are
  // signed).
  float GetOffset(int k) const;

  int headerKind = 0;  // 0 short, 1 long
  int channelCount = 0;
  float rate = 0.0f;  // samples per second of one channel

 private:
  bool ReadAll(CInputFile& file);
};
