#include "formats/codas/Cod.h"

#include <cmath>

#include "formats/AnalogParameters.h"
#include "formats/ReaderSupport.h"
#include "formats/codas/CodDescription.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace {
constexpr std::uint16_t kTerminator = 0x8001;
constexpr std::int64_t kShortTerminatorAt = 1154;
constexpr std::int64_t kLongTerminatorAt = 5294;
constexpr std::int64_t kIntervalAt = 28;
constexpr std::int64_t kDataBytesAt = 8;
constexpr std::int64_t kChannelInfoAt = 110;
constexpr std::int64_t kChannelInfoSize = 36;

constexpr char kErrNotCodas[] = "This is not a CODAS File";
constexpr char kErrRate[] = "Error in sampling rate";
constexpr char kErrChannels[] = "Did not find channels in file";
constexpr const char* kErrMemory = kNotEnoughMemoryToReadData;

std::uint16_t WordAt(CInputFile& file, std::int64_t at) {
  std::uint8_t b[2];
  file.ReadAt(at, b, 2);
  return LoadLe16(b);
}

double DoubleAt(CInputFile& file, std::int64_t at) {
  std::uint8_t b[8];
  file.ReadAt(at, b, 8);
  return LoadLeDouble(b);
}
}  // namespace

bool CCod::Open() {
  return ReadRecordingFile(*this, [this](CInputFile& file) { return ReadAll(file); }, kErrMemory);
}

float CCod::GetOffset(int k) const {
  return CRecording::GetOffset(k, CodFormatDescription().defaultOffset);
}

void CCod::Close() {
  ClearData();
  headerKind = 0;
  channelCount = 0;
  rate = 0.0f;
  firstFrame = 1;
  lastFrame = 0;
}

bool CCod::ReadAll(CInputFile& file) {
  std::int64_t dataStart = 0;
  if (WordAt(file, kShortTerminatorAt) == kTerminator) {
    headerKind = 0;
    dataStart = kShortTerminatorAt + 2;
  } else if (WordAt(file, kLongTerminatorAt) == kTerminator) {
    headerKind = 1;
    dataStart = kLongTerminatorAt + 2;
  } else {
    ReportReadError(*this, kErrNotCodas);
    return false;
  }
  const std::uint16_t a = WordAt(file, 0);
  const std::uint16_t b = WordAt(file, 2);
  int numerator = 0;
  if (headerKind == 0) {
    channelCount = a & 0x1F;
    numerator = ((a >> 5) & 0x3FF) + b;
  } else {
    channelCount = a & 0xFF;
    numerator = (a >> 8) + b;
  }
  // Recorders store the seconds between two samples of a channel; the rate
  // the header words give is wrong on every recent file, so it only stands in
  // when that interval is unusable.
  const double interval = DoubleAt(file, kIntervalAt);
  const double fromInterval = std::isfinite(interval) && interval > 0.0 ? 1.0 / interval : 0.0;
  if (fromInterval >= 0.001 && fromInterval <= 1.0e6) {
    rate = static_cast<float>(fromInterval);
  } else if (channelCount > 0) {
    rate = static_cast<float>(numerator) / static_cast<float>(channelCount);
  }
  if (!(rate > 0.0f)) {
    ReportReadError(*this, kErrRate);
    return false;
  }
  if (channelCount <= 0) {
    ReportReadError(*this, kErrChannels);
    return false;
  }
  std::uint8_t d[4];
  file.ReadAt(kDataBytesAt, d, 4);
  const std::uint32_t claimed = LoadLe32(d) / static_cast<std::uint32_t>(channelCount) / 2;
  const std::int64_t frameBytes = 2 * static_cast<std::int64_t>(channelCount);
  const std::int64_t held = std::max<std::int64_t>(file.Size() - dataStart, 0) / frameBytes;
  const std::int64_t frames = FramesTheFileHolds(*this, claimed, held);

  CAnalogParameters spec;
  spec.channels = channelCount;
  spec.genScale = 1.0f;
  spec.gainType = kParamInt;
  spec.gain = 1.0f;
  spec.offsetType = kParamFloat;
  spec.offset = 0.0f;
  spec.rate = rate;
  AddAnalogParameters(paramSet, spec);

  const auto channels = static_cast<std::size_t>(channelCount);
  if (!AllocateSamples(*this, 0, 0, channels, static_cast<std::size_t>(frames), kErrMemory)) {
    return false;
  }
  // 14-bit samples: the two low bits are flags.
  ReadFrameWords(*this, file, dataStart, frames, 2);

  CParam& scale = paramSet.params[static_cast<std::size_t>(paramSet.FindParameter("Analog", "Scale"))];
  CParam& offset =
      paramSet.params[static_cast<std::size_t>(paramSet.FindParameter("Analog", "Offset"))];
  for (int c = 0; c < channelCount; ++c) {
    const std::int64_t at = kChannelInfoAt + kChannelInfoSize * c + 8;
    SetParamValue(scale, c, NarrowToFloat(DoubleAt(file, at)));
    SetParamValue(offset, c, NarrowToFloat(DoubleAt(file, at + 8)));
  }
  firstFrame = 1;
  lastFrame = static_cast<int>(frames);
  analogRatio = 1;
  integerData = true;
  ComputeAnalogRanges(*this);
  return true;
}
