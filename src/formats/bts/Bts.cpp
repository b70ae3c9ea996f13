#include "formats/bts/Bts.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "formats/ReaderSupport.h"
#include "platform/Files.h"

namespace {
constexpr std::int64_t kSamplesAt = 2 * CBts::kHeaderSize;
constexpr std::size_t kLabelsAt = 12;
constexpr std::size_t kLabelWidth = 8;
constexpr std::size_t kUnitsAt = 268;
constexpr std::size_t kUnitsWidth = 4;
constexpr std::size_t kSetupAt = 398;
constexpr std::size_t kSetupWidth = 12;
constexpr std::size_t kTableSize = 2 * CBts::kSlots;

constexpr char kErrFirstHeader[] = "Could not access the first Header of the file";
constexpr char kErrSecondHeader[] = "Could not access the second Header of the file";
constexpr char kErrTimes[] = "Start Time is Greater than End Time";
constexpr char kErrChannels[] = "Incorrect number of channels";
constexpr char kErrRate[] = "Incorrect sampling rate";
constexpr const char* kErrMemory = kNotEnoughMemory;
constexpr char kErrFrames[] = "Not all frames could be read";

constexpr int kAnalogGroup = 1;

// A character slot: its text ends at the first NUL, after which recorders
// leave whatever their buffer held (0xCD filler in real files, which would
// otherwise land in every channel name); padded back to the slot's width.
std::string SlotText(const std::uint8_t* b, std::size_t width) {
  std::string s;
  for (std::size_t i = 0; i < width && b[i] != 0; ++i) s += static_cast<char>(b[i]);
  s.resize(width, ' ');
  return s;
}
}  // namespace

bool CBts::Open() {
  return ReadRecordingFile(
      *this, [this](CInputFile& file) { return ReadAll(file); }, kErrMemory);
}

void CBts::Close() {
  ClearData();
  m_first.fill(0);
  m_second.fill(0);
  firstFrame = 1;
  lastFrame = 0;
}

int CBts::Word(const std::array<std::uint8_t, kHeaderSize>& h, std::size_t at) {
  return LoadLeI16(h.data() + at);
}

std::string CBts::Label(int slot) const {
  return SlotText(m_first.data() + kLabelsAt + kLabelWidth * static_cast<std::size_t>(slot),
                  kLabelWidth);
}

std::string CBts::Units(int slot) const {
  return SlotText(m_first.data() + kUnitsAt + kUnitsWidth * static_cast<std::size_t>(slot),
                  kUnitsWidth);
}

std::string CBts::SetupFile() const {
  return SlotText(m_first.data() + kSetupAt, kSetupWidth);
}

int CBts::TableValue(Table table, int slot) const {
  return Word(m_second,
              kTableSize * static_cast<std::size_t>(table) + 2 * static_cast<std::size_t>(slot));
}

float CBts::StartTime() const {
  return static_cast<float>(StartSeconds()) + static_cast<float>(StartMilliseconds()) * 0.001f;
}

float CBts::EndTime() const {
  return static_cast<float>(EndSeconds()) + static_cast<float>(EndMilliseconds()) * 0.001f;
}

bool CBts::ReadAll(CInputFile& file) {
  if (file.ReadAt(0, m_first.data(), kHeaderSize) != kHeaderSize) {
    ReportReadError(*this, kErrFirstHeader);
    return false;
  }
  if (file.ReadAt(kHeaderSize, m_second.data(), kHeaderSize) != kHeaderSize) {
    ReportReadError(*this, kErrSecondHeader);
    return false;
  }
  // The length in whole milliseconds, in integers: worked out in single
  // precision as seconds, 0.014 s to 1.026 s at 1000 Hz came to 1011 frames
  // of the 1012 recorded.
  const std::int64_t ms = (static_cast<std::int64_t>(EndSeconds()) - StartSeconds()) * 1000 +
                          (static_cast<std::int64_t>(EndMilliseconds()) - StartMilliseconds());
  if (ms < 0) {
    ReportReadError(*this, kErrTimes);
    return false;
  }
  const int n = ChannelCount();
  if (n < 0 || n > kSlots) {
    ReportReadError(*this, kErrChannels);
    return false;
  }
  if (Rate() < 0) {
    ReportReadError(*this, kErrRate);
    return false;
  }
  const std::int64_t frames = static_cast<std::int64_t>(Rate()) * ms / 1000;
  // The header's claim is held against the file before any memory is taken
  // for it.
  const auto channels = static_cast<std::size_t>(n);
  const std::int64_t frameBytes = 2 * static_cast<std::int64_t>(n);
  if (frames > INT_MAX || file.Size() - kSamplesAt < frames * frameBytes) {
    ReportReadError(*this, kErrFrames);
    return false;
  }
  if (!AllocateSamples(*this, 0, 0, channels, static_cast<std::size_t>(frames), kErrMemory)) {
    return false;
  }
  ReadFrameWords(*this, file, kSamplesAt, frames);
  firstFrame = 1;
  lastFrame = static_cast<int>(frames);
  analogRatio = 1;
  integerData = true;
  BuildParameters();
  ComputeAnalogRanges(*this);
  return true;
}

void CBts::BuildParameters() {
  paramSet.AddGroup("ANALOG", "Analog Parameters", -kAnalogGroup);
  CParam& setup = paramSet.AddStringParam(kAnalogGroup, "SetupFile", "Name of setup file", 1);
  setup.strings[0] = SetupFile();
  setup.dimensions = {static_cast<std::uint8_t>(kSetupWidth), 1};
  paramSet.AddScalarParam(kAnalogGroup, "Used", "Number of analog channels used", kParamInt,
                          static_cast<float>(ChannelCount()));
  const auto table = [&](const char* name, const char* description, Table t) {
    CParam& p = paramSet.AddArrayParam(kAnalogGroup, name, description, kParamInt, kSlots);
    for (int c = 0; c < kSlots; ++c) p.SetInt(c, static_cast<std::int16_t>(TableValue(t, c)));
  };
  table("Scale", "Analog scale factors", kScale);
  table("Gain", "Channel Gain Factors", kGain);
  table("Hpfreq", "High Pass Cut Off freq", kHighPass);
  table("Lpfreq", "Low Pass Cut Off freq", kLowPass);
  table("Rectification", "Rectified:1, Raw:0", kRectification);
  table("Integral", "Integral value for signal", kIntegral);
  paramSet.AddScalarParam(kAnalogGroup, "Rate", "Analog Sampling Rate", kParamInt,
                          static_cast<float>(Rate()));
  // Slot texts keep their padding: the widths are those of the file.
  const auto slots = [&](const char* name, const char* description, std::size_t width,
                         std::string (CBts::*text)(int) const) {
    CParam& p = paramSet.AddStringParam(kAnalogGroup, name, description, kSlots);
    for (int c = 0; c < kSlots; ++c) p.strings[static_cast<std::size_t>(c)] = (this->*text)(c);
    p.dimensions = {static_cast<std::uint8_t>(width), kSlots};
  };
  slots("Labels", "Analog labels", kLabelWidth, &CBts::Label);
  slots("Units", "Analog units", kUnitsWidth, &CBts::Units);
  paramSet.AddScalarParam(kAnalogGroup, "Execution", "Execution method", kParamInt,
                          static_cast<float>(Execution()));
  paramSet.AddScalarParam(kAnalogGroup, "FSWPresent", "Footswitch Present 1:ON , 0:OFF", kParamInt,
                          static_cast<float>(Footswitch()));
}
