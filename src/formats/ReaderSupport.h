#pragma once
// What every reader needs around its own layout: fixed-width loaders, the
// open-read-close sequence with its messages, the sample-memory checks, the
// allocation of the common shape's buffers and the channels' value ranges.

#include <bit>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

class CInputFile;
class CRecording;

// Values from bytes in file order.
inline std::uint16_t LoadLe16(const std::uint8_t* b) {
  return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}
inline std::uint32_t LoadLe32(const std::uint8_t* b) {
  return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
         (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}
inline std::uint64_t LoadLe64(const std::uint8_t* b) {
  return static_cast<std::uint64_t>(LoadLe32(b)) |
         (static_cast<std::uint64_t>(LoadLe32(b + 4)) << 32);
}
inline std::uint16_t LoadBe16(const std::uint8_t* b) {
  return static_cast<std::uint16_t>((b[0] << 8) | b[1]);
}
inline std::uint32_t LoadBe32(const std::uint8_t* b) {
  return (static_cast<std::uint32_t>(b[0]) << 24) | (static_cast<std::uint32_t>(b[1]) << 16) |
         (static_cast<std::uint32_t>(b[2]) << 8) | static_cast<std::uint32_t>(b[3]);
}
inline std::int16_t LoadLeI16(const std::uint8_t* b) {
  return static_cast<std::int16_t>(LoadLe16(b));
}
inline std::int32_t LoadLeI32(const std::uint8_t* b) {
  return static_cast<std::int32_t>(LoadLe32(b));
}
inline float LoadLeFloat(const std::uint8_t* b) {
  return std::bit_cast<float>(LoadLe32(b));
}
inline float LoadBeFloat(const std::uint8_t* b) {
  return std::bit_cast<float>(LoadBe32(b));
}
inline double LoadLeDouble(const std::uint8_t* b) {
  return std::bit_cast<double>(LoadLe64(b));
}

// A double stored in a file as a float: beyond the float range it becomes an
// infinity of its sign instead of an undefined conversion.
float NarrowToFloat(double value);

// The memory texts the readers report.
extern const char kNotEnoughMemory[];            // "Not Enough Memory"
extern const char kNotEnoughMemoryToReadData[];  // "Not Enough memory to read data"

// The frames a reader opens: the header's `claimed` count, or the `held`
// whole frames the file really has when that is fewer, reported as "The file
// holds %d of the %u frames its header gives". A cut-off file opens with what
// it holds; memory is never taken for frames that are not in the file.
std::int64_t FramesTheFileHolds(const CRecording& recording, std::int64_t claimed,
                                std::int64_t held);

// Reports "ERROR in <the recording's file> : <reason>" in a box and the log.
void ReportReadError(const CRecording& recording, std::string_view reason);

// The whole of a reader's Open: closes what the recording held, opens its
// file read-only, runs `read`, closes the file. A file that cannot be opened
// is reported with its system error text, memory running out with
// `outOfMemory`; on failure everything read is released.
// `plausible` judges the first bytes of a pipe (see CPipeReading);
// a FIFO's writer is waited for where the platform may wait.
bool ReadRecordingFile(CRecording& recording, const std::function<bool(CInputFile&)>& read,
                       std::string_view outOfMemory,
                       bool (*plausible)(const unsigned char*, std::size_t) = nullptr);

// Refuses recordings whose sample buffers would need more than `bytes`
// (0: the machine's physical memory). For fuzzing and tests.
void SetSampleMemoryLimit(std::uint64_t bytes);
std::uint64_t SampleMemoryLimit();

// Gives the recording `points` 3D points of `pointSamples` samples each and
// `channels` analog channels of `channelSamples` samples each, zeroed, in the
// width `integerData` says, all from one block. Reports `outOfMemory` and
// returns false when that is more than the limit or cannot be had.
bool AllocateSamples(CRecording& recording, std::size_t points, std::size_t pointSamples,
                     std::size_t channels, std::size_t channelSamples,
                     std::string_view outOfMemory);

// Fills the recording's allocated channels with `frames` frames of
// little-endian 16-bit words stored from byte `at` on, frame after frame,
// channel 0 first, each word shifted right by `flagBits` with its sign kept.
// The caller has checked that the file holds them.
void ReadFrameWords(CRecording& recording, CInputFile& file, std::int64_t at, std::int64_t frames,
                    int flagBits = 0);

// Widens [mn, mx] by s[0], s[step], s[2 step], ... below n, taken in order
// (so a float range keeps the first of +0 and -0, and a NaN it holds).
template <typename Sample>
void WidenRange(const Sample* s, std::size_t n, std::size_t step, Sample& mn, Sample& mx);

// Each channel's minimum and maximum over all samples and over the first
// sample of every frame (the recording's analogRatio apart).
void ComputeAnalogRanges(CRecording& recording);

// Forward reading through a window of a file, for readers that walk records
// from start to end without reading them one system call at a time.
class CForwardReader {
 public:
  explicit CForwardReader(CInputFile& file) : m_file(file) {}

  // The `n` bytes at `offset`, or nullptr when the file ends before them.
  // Offsets may go back no further than the start of the last window.
  const std::uint8_t* At(std::int64_t offset, std::size_t n);
  std::int64_t FileSize() const;

 private:
  // Small enough to stay in the cache between the copy from the system and
  // the reader's pass over it.
  static constexpr std::size_t kWindow = 1u << 17;
  CInputFile& m_file;
  std::vector<std::uint8_t> m_window;
  std::int64_t m_start = 0;
  std::size_t m_size = 0;  // bytes of the window that hold file data
};
