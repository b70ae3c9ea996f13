#pragma once
// Reader of VAD recordings (.vad) and their calibration files.
//
// Layout (little-endian):
//   0  4 chars   "!VAD", in any case
//   4  2 chars   version (with the signature, up to six characters of text)
//   6  int16     video frame rate       8  int32   video sync
//   12 int32     analog rate in Hz      16 uint32  samples of all channels together
//   20 int16     N channels
//   22 + 48c     channel c: int16, int16, 12-char label, 32-char description
//   22 + 48N     samples: frame after frame, N int16 values, channel 0 first
// Frames = samples / N.
//
// Scales, offsets, units, labels, descriptions, force plates and the video
// frequency are not in the file but in an initialisation file beside it,
// named after the recording without the last two characters of its name
// (walk01.vad and walk02.vad share walk.car). Without it every channel reads
// with scale 1 and offset 2048.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/Recording.h"

class CIniFile;
class CInputFile;

struct CVadChan {
  std::int16_t first = 0;
  std::int16_t second = 0;
  std::string label;
  std::string description;
};

class CVad : public CRecording {
 public:
  CVad() = default;
  ~CVad() override { Close(); }

  bool Open() override;
  void Close() override;

  // The calibration file a recording names: "walk.car" for ".../walk01.vad".
  static std::filesystem::path CalibrationName(const std::filesystem::path& recording);
  // That file as it is found: the exact name, else the first file of the
  // recording's folder whose name matches it ignoring case; the exact name
  // when neither exists.
  static std::filesystem::path FindCalibration(const std::filesystem::path& recording);

  std::string version;
  std::int16_t videoFrameRate = 0;
  std::int32_t videoSync = 0;
  float analogRate = 0.0f;
  std::uint32_t totalSamples = 0;
  std::int16_t channelCount = 0;
  std::vector<CVadChan> channels;
  std::filesystem::path calibrationPath;  // as found at the last Open

 private:
  bool ReadAll(CInputFile& file);
  bool BuildParameters(const CIniFile& calibration, std::int64_t frames);
  void BuildAnalog(const CIniFile& calibration);
  void BuildForcePlates(const CIniFile& calibration, int plates);
};
