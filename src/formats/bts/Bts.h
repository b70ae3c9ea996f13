#pragma once
// Reader of BTS EMG recordings (.emg): two fixed 512-byte headers, then
// frame-multiplexed 16-bit samples of up to 32 channels.
//
// Layout (little-endian int16 unless said otherwise):
//   first header, bytes 0-511
//     0 start ms    2 start s    4 end ms    6 end s
//     8 N channels (0-32)        10 sampling rate in Hz
//     12 + 8c    label of channel slot c (8 chars), c = 0 ... 31
//     268 + 4c   units of channel slot c (4 chars)
//     396 execution method       398 set-up file name (12 chars)
//     438 footswitch present (1 on, 0 off); the rest is unused
//   second header, bytes 512-1023: six tables of 32 values, one per slot
//     512 scale  576 gain  640 high-pass  704 low-pass  768 rectified  832 integral
//   samples from byte 1024: frame after frame, N values, channel 0 first.
// Character slots end at their first NUL; what follows it is filler.
// The frame count is the rate times the recording's length, which the header
// gives only as start and end times.

#include <array>
#include <cstdint>
#include <string>

#include "model/Recording.h"

class CInputFile;

class CBts : public CRecording {
 public:
  static constexpr int kSlots = 32;
  static constexpr std::size_t kHeaderSize = 512;

  CBts() = default;
  ~CBts() override { Close(); }

  bool Open() override;
  void Close() override;

  // The fields of the first header.
  int StartMilliseconds() const { return Word(m_first, 0); }
  int StartSeconds() const { return Word(m_first, 2); }
  int EndMilliseconds() const { return Word(m_first, 4); }
  int EndSeconds() const { return Word(m_first, 6); }
  int ChannelCount() const { return Word(m_first, 8); }
  int Rate() const { return Word(m_first, 10); }
  int Execution() const { return Word(m_first, 396); }
  int Footswitch() const { return Word(m_first, 438); }
  // Slot texts up to their first NUL, padded with spaces to 8, 4 and 12
  // characters.
  std::string Label(int slot) const;
  std::string Units(int slot) const;
  std::string SetupFile() const;

  // The six per-slot tables of the second header.
  enum Table { kScale, kGain, kHighPass, kLowPass, kRectification, kIntegral };
  int TableValue(Table table, int slot) const;

  // Start and end time in seconds, as the headers of the exports show them.
  float StartTime() const;
  float EndTime() const;

 private:
  static int Word(const std::array<std::uint8_t, kHeaderSize>& h, std::size_t at);
  bool ReadAll(CInputFile& file);
  void BuildParameters();

  std::array<std::uint8_t, kHeaderSize> m_first{};
  std::array<std::uint8_t, kHeaderSize> m_second{};
};
