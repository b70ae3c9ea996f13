#include "formats/adc/Adc.h"

#include <algorithm>

#include "formats/AnalogParameters.h"
#include "formats/ReaderSupport.h"
#include "platform/Files.h"

namespace {
constexpr std::int64_t kRecordHeader = 10;
constexpr int kMaxPadding = 8;

constexpr char kErrType[] = "Could not determine the type of ADC file";
constexpr char kErrRsxSize[] = "Could not determine RSX Record Size";
constexpr const char* kErrMemory = kNotEnoughMemory;
constexpr char kErrFrameCount[] =
    "Incompatibily between reported frames and actual frame count";

constexpr int kPointGroup = 2;
}  // namespace

bool CAdc::Open() {
  return ReadRecordingFile(*this, [this](CInputFile& file) { return ReadAll(file); }, kErrMemory);
}

void CAdc::Close() {
  ClearData();
  fileType = 0;
  channelCount = 0;
  samplesPerFrame = 0;
  recordSize = 0;
  analogRate = 0.0f;
  firstFrame = 1;
  lastFrame = 0;
}

// Visits every whole record in file order, in runs of records that lie one
// after another: visit(first record index, first record's samples, bytes
// from one record to the next, records). `headers` counts the record headers
// found, `whole` the records whose samples are all there.
template <typename Visit>
void CAdc::WalkRecords(CForwardReader& in, Visit visit, std::int64_t& headers,
                       std::int64_t& whole) const {
  const std::int64_t n = channelCount;
  const auto startsRecord = [&](std::int64_t at) {
    const std::uint8_t* h = in.At(at, kRecordHeader);
    return h == nullptr ? -1 : (LoadLeI16(h) == n ? 1 : 0);
  };
  headers = whole = 0;
  std::int64_t pos = 0;
  if (fileType == 0) {
    // VMS records follow each other without a gap: taken a block at a time,
    // a block small enough to stay in the cache.
    const std::int64_t kBlockRecords = std::max<std::int64_t>(1, (64 << 10) / recordSize);
    for (;;) {
      const std::int64_t left = std::min((in.FileSize() - pos) / recordSize, kBlockRecords);
      if (left <= 0) {
        if (startsRecord(pos) == 1) ++headers;  // its samples are cut short
        return;
      }
      const std::uint8_t* p = in.At(pos, static_cast<std::size_t>(left * recordSize));
      std::int64_t count = 0;
      while (count < left && LoadLeI16(p + count * recordSize) == n) ++count;
      if (count > 0) visit(whole, p + kRecordHeader, recordSize, count);
      headers += count;
      whole += count;
      pos += count * recordSize;
      if (count < left) return;
    }
  }
  while (startsRecord(pos) == 1) {
    ++headers;
    const std::uint8_t* samples = in.At(pos + kRecordHeader, static_cast<std::size_t>(2 * n));
    if (samples == nullptr) return;
    visit(whole, samples, recordSize, 1);
    ++whole;
    pos += recordSize;
    // RSX: unused bytes at the end of a disk block stand before the next
    // record.
    int found = 0;
    while ((found = startsRecord(pos)) == 0) ++pos;
    if (found < 0) return;
  }
}

bool CAdc::ReadAll(CInputFile& file) {
  CForwardReader in(file);
  const std::uint8_t* h = in.At(0, kRecordHeader);
  if (h == nullptr) {
    ReportReadError(*this, kErrType);
    return false;
  }
  channelCount = LoadLeI16(h);
  samplesPerFrame = LoadLeI16(h + 4);
  fileType = LoadLeI16(h + 6);
  // Without samples per frame there is no rate to time the frames by.
  if ((fileType != 0 && fileType != 1) || channelCount < 0 || samplesPerFrame <= 0) {
    ReportReadError(*this, kErrType);
    return false;
  }
  const std::int64_t sampleBytes = 2 * static_cast<std::int64_t>(channelCount);
  recordSize = kRecordHeader + sampleBytes;
  if (fileType == 1) {
    bool found = false;
    for (int padding = 0; padding <= kMaxPadding && !found; padding += 2) {
      const std::uint8_t* next = in.At(recordSize + padding, kRecordHeader);
      if (next != nullptr && LoadLeI16(next) == channelCount) {
        recordSize += padding;
        found = true;
      }
    }
    if (!found) {
      ReportReadError(*this, kErrRsxSize);
      return false;
    }
  }

  // Records never overlap, so the file's size bounds their count: the
  // samples are stored in the one walk over the file, and memory is taken
  // only for records the file can hold.
  const auto channels = static_cast<std::size_t>(channelCount);
  const std::int64_t most = file.Size() / recordSize + 1;
  if (!AllocateSamples(*this, 0, 0, channels, static_cast<std::size_t>(most), kErrMemory)) {
    return false;
  }
  std::vector<std::int16_t*> data(channels);
  for (std::size_t c = 0; c < channels; ++c) data[c] = analog[c].samples.Ints();
  std::int64_t headers = 0;
  std::int64_t frames = 0;
  WalkRecords(
      in,
      [&](std::int64_t first, const std::uint8_t* s, std::int64_t stride, std::int64_t count) {
        // One channel at a time: each channel's samples are written in order.
        for (std::size_t c = 0; c < channels; ++c) {
          std::int16_t* d = data[c] + first;
          const std::uint8_t* q = s + 2 * c;
          for (std::int64_t r = 0; r < count; ++r) d[r] = LoadLeI16(q + r * stride);
        }
      },
      headers, frames);
  // A record cut short at the end of the file is said, and dropped rather
  // than read as a frame of zeros.
  if (frames != headers) ReportReadError(*this, kErrFrameCount);
  for (CAnalog& a : analog) a.samples.Truncate(static_cast<std::size_t>(frames));

  firstFrame = 1;
  lastFrame = static_cast<int>(frames);
  analogRatio = 1;
  integerData = true;
  BuildParameters(frames);
  ComputeAnalogRanges(*this);
  return true;
}

void CAdc::BuildParameters(std::int64_t frames) {
  CAnalogParameters spec;
  spec.channels = channelCount;
  spec.genScale = 0.0048828125f;
  spec.gainType = kParamFloat;
  spec.gain = 1.0f;
  spec.offsetType = kParamInt;
  spec.offset = 2048.0f;
  spec.rate = static_cast<float>(samplesPerFrame) * videoRate;
  AddAnalogParameters(paramSet, spec);
  paramSet.AddGroup("POINT", "Point Parameters", -kPointGroup);
  paramSet.AddScalarParam(kPointGroup, "Rate", "Video sampling rate", kParamFloat, videoRate);
  // The stored count keeps its 16 bits; the recording itself has every frame.
  CParam& count =
      paramSet.AddScalarParam(kPointGroup, "Frames", "Number of Video Frames", kParamInt, 0.0f);
  count.SetInt(0, static_cast<std::int16_t>(static_cast<std::uint16_t>(frames / samplesPerFrame)));
  SetGenScale(genScaleSetting);
  UpdateRates();
}

void CAdc::SetGenScale(float scale) {
  const int i = paramSet.FindParameter("Analog", "Gen_Scale");
  if (i >= 0) SetParamValue(paramSet.params[static_cast<std::size_t>(i)], 0, scale);
}

void CAdc::UpdateRates() {
  analogRate = static_cast<float>(samplesPerFrame) * videoRate;
  const int point = paramSet.FindParameter("Point", "Rate");
  if (point >= 0) SetParamValue(paramSet.params[static_cast<std::size_t>(point)], 0, videoRate);
  const int rate = paramSet.FindParameter("Analog", "Rate");
  if (rate >= 0) SetParamValue(paramSet.params[static_cast<std::size_t>(rate)], 0, analogRate);
}
