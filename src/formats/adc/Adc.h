#pragma once
// Reader of ADC files: raw 16-bit analog samples, one record per sampling
// instant, from two families of acquisition computers (VMS and RSX). The file
// names no rates, scales or labels; the video rate and general scale come
// from the ADC settings.
//
// Layout (little-endian int16 words). No file header: records from offset 0.
// A record is a 5-word header (N channels, unused, R samples per video frame,
// file type 0 VMS / 1 RSX, unused), then N samples, channel 1 first. VMS
// records follow each other; RSX records carry 0-8 bytes of padding and are
// packed into 512-byte blocks without crossing a block boundary, so the next
// record is found by searching for a header that starts with N.

#include <cstdint>

#include "model/Recording.h"

class CForwardReader;
class CInputFile;

class CAdc : public CRecording {
 public:
  CAdc() = default;
  ~CAdc() override { Close(); }

  bool Open() override;
  void Close() override;

  // The ADC settings, set before Open: the video rate "RateIndex" chooses
  // and the "Gen_Scale" value.
  float videoRate = 50.0f;
  float genScaleSetting = 0.00488f;

  // "Analog:Gen_Scale" in the parameter's own type.
  void SetGenScale(float scale);
  // "Point:Rate" to the video rate and "Analog:Rate" to R x the video rate.
  void UpdateRates();

  int fileType = 0;  // 0 VMS, 1 RSX
  int channelCount = 0;
  int samplesPerFrame = 0;  // R
  std::int64_t recordSize = 0;
  float analogRate = 0.0f;  // R x video rate: the rate of the exports' time column

 private:
  bool ReadAll(CInputFile& file);
  template <typename Visit>
  void WalkRecords(CForwardReader& in, Visit visit, std::int64_t& headers,
                   std::int64_t& whole) const;
  void BuildParameters(std::int64_t frames);
};
