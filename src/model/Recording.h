#pragma once
// The common shape every reader fills and everything downstream reads: the
// parameter set, analog channels with their samples and, for C3D, points and
// events, plus the frame range and the scaling accessors. Readers derive from
// CRecording and add their own header fields and Open/Close.

#include <filesystem>
#include <string>
#include <vector>

#include "model/FrameData.h"
#include "model/ParamSet.h"
#include "platform/Files.h"

class CPlatform;

class CRecording {
 public:
  CRecording();
  virtual ~CRecording() = default;
  CRecording(const CRecording&) = delete;
  CRecording& operator=(const CRecording&) = delete;

  // Reads the file named by `fileName` into this shape; false after the
  // reader has reported why. Close releases everything read. A plain
  // recording (filled by a test or a builder) has no file to read.
  virtual bool Open() { return false; }
  virtual void Close() { ClearData(); }

  // Where failures are reported; the default platform unless set.
  void SetPlatform(CPlatform* platform) { m_platform = platform; }
  CPlatform& Platform() const;

  // Full path of the input; set before Open and used in every message.
  std::filesystem::path fileName;

  CParamSet paramSet;
  std::vector<CEvent> events;
  std::vector<CAnalog> analog;  // one per channel, in channel order
  std::vector<CVideo> points;   // one per 3D point, in file order

  // Frame numbers as stored in the file; frame count = last - first + 1.
  int firstFrame = 1;
  int lastFrame = 0;
  int analogRatio = 1;       // R: analog samples per channel in one frame
  bool integerData = true;   // 16-bit samples, else 32-bit floats
  float markerScale = 1.0f;  // scales integer coordinates and residuals

  // Set before Open by a caller that will only copy the channels' words into
  // another file. A reader whose file holds them as such a copy needs them
  // (frame after frame, channel 0 first, 16-bit little-endian words) may then
  // leave them there: its channels get no samples and no ranges, wordsInFile
  // is the byte where the words start (otherwise -1) and wordsFileStamp the
  // file as it was read, so that a file changed since is never copied.
  bool wordsMayStayInFile = false;
  std::int64_t wordsInFile = -1;
  CFileStamp wordsFileStamp;

  int FrameCount() const { return lastFrame - firstFrame + 1; }
  int AnalogCount() const { return static_cast<int>(analog.size()); }
  int PointCount() const { return static_cast<int>(points.size()); }
  // Samples of the longest analog channel: what series computed from the
  // channels can hold, whatever the header's ratio claims.
  std::size_t AnalogSamplesHeld() const;

  // Element 0 of ANALOG:GEN_SCALE; 1.0 when missing, CHAR or empty.
  float GetGenScale() const;
  // Element k of ANALOG:SCALE; 1.0 when missing, CHAR or k out of range.
  float GetScale(int k) const;
  // Element k of ANALOG:OFFSET; `missing` (the format's default: 2048 for
  // 12-bit converters) when absent, CHAR or k out of range. Where
  // ANALOG:FORMAT says "UNSIGNED", an INT offset is an unsigned word.
  float GetOffset(int k, float missing = 2048.0f) const;
  // The first string of ANALOG:FORMAT, trimmed, is "UNSIGNED" (any case).
  bool AnalogFormatUnsigned() const;

  // Residual of point j at frame index i (-1.0 for an invalid point).
  float GetResidual(int j, int i) const;
  // The residual and the seven-character camera text (camera 1 first).
  float GetResidualAndCameras(int j, int i, char cameras[8]) const;
  // Residual/camera word of point j at frame index i.
  std::int16_t ResidualWord(int j, int i) const;

  // Lowest / highest frame index at which point j holds data, or -1.
  int FirstValidFrame(int j) const;
  int LastValidFrame(int j) const;
  bool FrameHoldsData(int j, int i) const;

  // Releases every sample buffer, event and parameter.
  void ClearData();

  // Calls `f` with a null `const Sample*` of the type the analog channels
  // hold (std::int16_t, std::uint16_t or float), so that a templated loop
  // over them is chosen once.
  template <typename F>
  void WithAnalogSampleType(F&& f) const {
    if (!analog.empty()) {
      WithSampleType(analog.front().samples, f);
    } else if (integerData) {
      f(static_cast<const std::int16_t*>(nullptr));
    } else {
      f(static_cast<const float*>(nullptr));
    }
  }

 protected:
  CPlatform* m_platform = nullptr;
};
