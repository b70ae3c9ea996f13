#include "formats/mac/Mac.h"

#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "formats/AnalogParameters.h"
#include "formats/ReaderSupport.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace {
constexpr char kErrNotMac[] = "This is not a MAC analog file";
constexpr const char* kErrMemory = kNotEnoughMemory;
constexpr char kErrTooMany[] = "More frames found in file than expected";
constexpr char kErrFrameLength[] = "Incorrect amount of data at Frame %d";
constexpr char kErrFrameCount[] = "Incorrect number of frames found in file";
constexpr std::int64_t kMaxChannels = 32767;

// The file's lines without their line ends (LF or CR LF).
class CLines {
 public:
  explicit CLines(std::string_view text) : m_text(text) {}
  bool Next(std::string_view& line) {
    if (m_pos >= m_text.size()) return false;
    const std::size_t end = std::min(m_text.find('\n', m_pos), m_text.size());
    line = m_text.substr(m_pos, end - m_pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    m_pos = end + 1;
    return true;
  }
  std::size_t Position() const { return m_pos; }
  void Seek(std::size_t pos) { m_pos = pos; }

 private:
  std::string_view m_text;
  std::size_t m_pos = 0;
};

// The pieces between spaces, trimmed; empty pieces (runs of spaces, trailing
// blanks) are no tokens. At most `most` of them are kept: callers need a few
// and only ask whether there are more, so a line of millions of tokens costs
// no memory.
std::vector<std::string_view> Tokens(std::string_view line, std::size_t most) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  while (start <= line.size() && out.size() < most) {
    const std::size_t end = std::min(line.find(' ', start), line.size());
    const std::string_view piece = TrimView(line.substr(start, end - start));
    if (!piece.empty()) out.push_back(piece);
    start = end + 1;
  }
  return out;
}

bool NonEmptyLine(CLines& lines, std::string_view& line) {
  while (lines.Next(line)) {
    if (!line.empty()) return true;
  }
  return false;
}

// The expected frame count T2 x T3 / T4 worked out in double: durations such
// as 0.53 s are not exact in binary, and single precision lost a frame.
std::int64_t ExpectedFrames(double t2, double t3, long long t4) {
  const double x = t4 >= 1 ? t2 * t3 / static_cast<double>(t4) : t2 * t3;
  if (!(x > 0.0)) return 0;
  if (x >= 9.0e15) return static_cast<std::int64_t>(9.0e15);
  const double nearest = std::round(x);
  if (std::fabs(x - nearest) <= 1e-9 * std::max(1.0, x)) return static_cast<std::int64_t>(nearest);
  return static_cast<std::int64_t>(std::floor(x));
}

float ScaleOfGain(long long gain) {
  switch (gain) {
    case 2:
      return 0.5f;
    case 4:
      return 0.25f;
    case 8:
      return 0.125f;
    default:
      return 1.0f;
  }
}
}  // namespace

bool CMac::Open() {
  return ReadRecordingFile(
      *this, [this](CInputFile& file) { return ReadAll(file); }, kErrMemory);
}

void CMac::Close() {
  ClearData();
  channelCount = 0;
  frequency = 0.0f;
  expectedFrames = 0;
  firstFrame = 1;
  lastFrame = 0;
}

bool CMac::ReadAll(CInputFile& file) {
  std::string text(static_cast<std::size_t>(file.Size()), '\0');
  file.ReadAt(0, text.data(), text.size());
  CLines lines(text);
  std::string_view line;
  if (!NonEmptyLine(lines, line)) {
    ReportReadError(*this, kErrNotMac);
    return false;
  }
  const std::vector<std::string_view> header = Tokens(line, 7);
  const long long n = header.size() == 6 ? LeadingInteger(header[5]) : -1;
  if (n < 0 || n > kMaxChannels) {
    ReportReadError(*this, kErrNotMac);
    return false;
  }
  channelCount = static_cast<int>(n);
  const double t3 = LeadingDecimalDouble(header[3]);
  const long long t4 = LeadingInteger(header[4]);
  frequency = NarrowToFloat(t4 >= 1 ? t3 / static_cast<double>(t4) : t3);
  expectedFrames = ExpectedFrames(LeadingDecimalDouble(header[2]), t3, t4);

  CAnalogParameters spec;
  spec.channels = channelCount;
  spec.genScale = 0.0048828125f;
  spec.gainType = kParamInt;
  spec.gain = 1.0f;
  spec.offsetType = kParamInt;
  spec.offset = 2048.0f;
  spec.rate = frequency;
  AddAnalogParameters(paramSet, spec);
  const auto param = [&](const char* name) -> CParam& {
    return paramSet.params[static_cast<std::size_t>(paramSet.FindParameter("Analog", name))];
  };
  CParam& labels = param("Labels");
  CParam& gains = param("Gain");
  CParam& scales = param("Scale");

  // Channel lines. The section ends with the line after it (a frame line when
  // there are fewer channel lines than channels), which is not read again.
  int a = 0;
  do {
    if (!NonEmptyLine(lines, line)) {
      ReportReadError(*this, kErrNotMac);
      return false;
    }
    if (line.front() == '~') {
      const std::vector<std::string_view> t = Tokens(line, 4);
      if (t.size() <= 3 && a < channelCount) {
        if (t.size() >= 2) {
          const long long gain = LeadingInteger(t[1]);
          SetParamValue(gains, a, static_cast<float>(gain));
          SetParamValue(scales, a, ScaleOfGain(gain));
        }
        if (t.size() >= 3) labels.strings[static_cast<std::size_t>(a)] = std::string(t[2]);
      }
    }
    ++a;
  } while (line.front() == '~' && a < channelCount);

  // Frame lines: checked and counted before any sample memory is taken, so a
  // header claiming a billion frames costs nothing.
  const std::size_t framesStart = lines.Position();
  const std::size_t width = 2 * static_cast<std::size_t>(channelCount);
  std::int64_t f = 0;
  while (lines.Next(line)) {
    if (line.empty() || line.front() == '~') continue;
    if (f >= expectedFrames) {
      ReportReadError(*this, kErrTooMany);
      return false;
    }
    if (line.size() != width) {
      ReportReadError(*this, Format(kErrFrameLength, static_cast<int>(f + 1)));
      return false;
    }
    ++f;
  }
  if (f != expectedFrames) {
    ReportReadError(*this, kErrFrameCount);
    return false;
  }
  const auto channels = static_cast<std::size_t>(channelCount);
  if (!AllocateSamples(*this, 0, 0, channels, static_cast<std::size_t>(f), kErrMemory)) {
    return false;
  }
  std::vector<std::int16_t*> data(channels);
  for (std::size_t c = 0; c < channels; ++c) data[c] = analog[c].samples.Ints();
  lines.Seek(framesStart);
  std::int64_t i = 0;
  while (lines.Next(line)) {
    if (line.empty() || line.front() == '~') continue;
    for (std::size_t c = 0; c < channels; ++c) {
      const auto high = static_cast<std::uint8_t>(line[2 * c] - 48);
      const auto low = static_cast<std::uint8_t>(line[2 * c + 1] - 48);
      data[c][i] = static_cast<std::int16_t>(high * 64 + low);
    }
    ++i;
  }
  firstFrame = 1;
  lastFrame = static_cast<int>(f);
  analogRatio = 1;
  integerData = true;
  ComputeAnalogRanges(*this);
  return true;
}
