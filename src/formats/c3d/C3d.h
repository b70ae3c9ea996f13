#pragma once
// Reader of C3D files written on Intel, DEC or MIPS processors, integer or
// floating-point. Open reads the whole file into the common shape
// (CRecording) and reports every failure itself through the platform.

#include <cstdint>
#include <string>

#include "model/Recording.h"

class CInputFile;

enum ProcessorType : std::uint8_t { kProcessorIntel = 1, kProcessorDec = 2, kProcessorMips = 3 };

// Byte-order and number-format conversions. Inputs are the bytes in file order.
std::uint16_t SwapWord(std::uint16_t w);
float SwapFloat(const std::uint8_t b[4]);
// DEC (VAX F) single to IEEE: bytes b2 b3 b0 (b1 - 1), the subtraction wrapping
// modulo 256; four zero bytes give 0.0.
float DecToIeee(const std::uint8_t b[4]);

class CC3d : public CRecording {
 public:
  CC3d() = default;
  ~CC3d() override { Close(); }

  // Reads the file named by `fileName`. On failure everything read so far is
  // released and false is returned; the failure has been reported already.
  bool Open() override;
  void Close() override;

  // Header fields, converted to host form.
  std::uint8_t processorType = kProcessorIntel;
  std::uint8_t firstParameterRecord = 0;
  std::uint16_t numPoints = 0;
  std::uint16_t analogPerFrame = 0;  // analog measurements per frame
  std::uint16_t firstVideoFrame = 0;
  std::uint16_t lastVideoFrame = 0;
  std::uint16_t maxInterpolationGap = 0;
  std::uint16_t dataStartRecord = 0;
  std::uint16_t analogToVideoRatio = 0;
  std::uint16_t numAnalogChannels = 0;
  float markerScaleFactor = 0;
  float videoFrameRate = 0;
  int parameterBlocks = 0;
  bool dataAllocated = false;
  // More than 65535 frames: the header's 16-bit range is exceeded and the
  // true one (firstFrame .. lastFrame) came from the TRIAL range or
  // POINT:LONG_FRAMES.
  bool longRecording = false;

 private:
  struct Header;
  class ParamCursor;

  bool ReadAll(CInputFile& file);
  bool GetFileHeader(CInputFile& file, Header& h);
  void ReadHeaderEvents(const Header& h);
  void ReadParameters(CInputFile& file);
  bool ReadGroup(ParamCursor& in, int n, int g);
  bool ReadParameter(ParamCursor& in, int n, int g);
  bool CheckTrialRange() const;
  bool TakeLongRange(std::int64_t first, std::int64_t last);
  bool TakeTrialRange();
  void TakeLongFrames();
  // Analog measurements per frame that are no multiple of the ratio, where
  // ANALOG:USED gives a layout the data section holds exactly, take it.
  void TakeUsedChannels(std::int64_t fileSize);
  std::int64_t FrameSize() const;
  // The byte where the data section starts.
  std::int64_t DataStartByte() const;
  bool LimitFramesToFile(std::int64_t fileSize);
  bool AllocateData();
  template <typename Sample, typename Convert>
  void ReadFrames(CInputFile& file, Convert convert);
  void ReadIntegerFrames(CInputFile& file);
  void ReadFloatFrames(CInputFile& file);

  float ConvertFloat(const std::uint8_t b[4]) const;
  std::uint16_t ConvertWord(const std::uint8_t b[2]) const;
  void Report(const char* reason) const;
};
