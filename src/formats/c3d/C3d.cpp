// C3D file layout, as this reader understands it.
//
// The file is a sequence of 512-byte blocks numbered from 1; block n starts at
// byte (n - 1) * 512. Words are 16 bits and floats 32 bits, both in the number
// format of the processor that wrote the file:
//   Intel: little-endian words, little-endian IEEE floats
//   DEC:   little-endian words, VAX F floats (DecToIeee)
//   MIPS:  big-endian words, big-endian IEEE floats
//
// Header (block 1):
//   0  u8     first block of the parameter section
//   1  u8     0x50 ('P')
//   2  word   number of 3D points P
//   4  word   analog measurements per frame M
//   6  word   first frame number         8  word  last frame number
//   10 word   maximum interpolation gap  12 float marker scale (< 0: float data)
//   16 word   first block of the data section
//   18 word   analog samples per channel per frame R
//   20 float  frame rate
//   298 word  12345 when events follow    300 word  event count (<= 18)
//   304 18 floats event times   376 18 bytes display flags   396 72 bytes labels
//
// Recordings of more than 65535 frames keep only the count modulo 65536 in
// the header. Their true range is in TRIAL:ACTUAL_START_FIELD and
// ACTUAL_END_FIELD (two INT words each, low word first) or in
// POINT:LONG_FRAMES (a FLOAT count from the header's first frame).
//
// Parameter section: bytes 0..3 = ?, ?, number of blocks, processor (84 Intel,
// 85 DEC, 86 MIPS). Then records until a name length of 0:
//   i8 name length n (< 0: locked), i8 number (< 0 group, >= 0 parameter),
//   |n| bytes name, word offset of the next record counted from this word;
//   group:     u8 description length, description
//   parameter: i8 type (-1 CHAR, 1 BYTE, 2 INT, 4 FLOAT), i8 dimension count k,
//              k u8 dimensions, |type| * product(dimensions) bytes of data,
//              i8 description length (<= 0: none), description
//
// Data section: frames back to back from its first block, no padding. A frame
// holds 4 values (x, y, z, residual/camera) per point, then M analog values,
// sample s of channel k at s * N + k (N = M / R channels). Values are words
// when the marker scale is >= 0, floats otherwise.

#include "formats/c3d/C3d.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "formats/ReaderSupport.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "platform/Text.h"

namespace {

constexpr std::int64_t kBlock = 512;
constexpr int kMaxHeaderEvents = 18;
constexpr std::uint16_t kEventKey = 12345;
// Farthest a record starting inside the parameter section can reach: name,
// offset, type, count, 127 dimensions, 32767 data bytes and a description.
constexpr std::int64_t kMaxRecordBytes = 2 + 128 + 2 + 2 + 127 + 32767 + 1 + 127;
constexpr std::size_t kFrameChunkBytes = 256u << 10;

constexpr char kErrHeaderRead[] = "[CC3d::GetFileHeader()] Error reading data from file";
constexpr char kErrNotC3d[] = "This is not a C3D File";
constexpr char kErrPlatform[] = "Could not file the Platform on which file was collected";
constexpr char kErrGroupMemory[] = "Not Enough memory to read groups";
constexpr char kErrParamMemory[] = "Not Enough memory to read parameters";
constexpr char kErrDataMemory[] = "Not Enough Memory to Read Data";
constexpr char kErrTrial[] =
    "This file has extra frames defined in the TRIAL group.  \nPlease contact Orvane, Inc.";

// The conversions of one value, chosen once per file and inlined in the loops.
struct IntelWord {
  std::int16_t operator()(const std::uint8_t* b) const {
    return static_cast<std::int16_t>(LoadLe16(b));
  }
};
struct MipsWord {
  std::int16_t operator()(const std::uint8_t* b) const {
    return static_cast<std::int16_t>(SwapWord(LoadLe16(b)));
  }
};
struct IntelFloat {
  float operator()(const std::uint8_t* b) const { return LoadLeFloat(b); }
};
struct DecFloat {
  float operator()(const std::uint8_t* b) const { return DecToIeee(b); }
};
struct MipsFloat {
  float operator()(const std::uint8_t* b) const { return SwapFloat(b); }
};

// The first `n` bytes as text up to the first zero byte.
std::string TextUpToZero(const std::uint8_t* b, std::size_t n) {
  if (n == 0) return {};
  const auto* end = static_cast<const std::uint8_t*>(std::memchr(b, 0, n));
  return std::string(reinterpret_cast<const char*>(b), end != nullptr ? end - b : n);
}

// Event frame: the smallest integer not below rate * time + 1, kept in 16 bits.
std::int16_t EventFrame(float rate, float time) {
  const double f = std::ceil(static_cast<double>(rate * time) + 1.0);
  if (!(f > -2147483649.0 && f < 2147483648.0)) return 0;
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::int32_t>(f)));
}

}  // namespace

std::uint16_t SwapWord(std::uint16_t w) {
  return static_cast<std::uint16_t>((w >> 8) | (w << 8));
}

float SwapFloat(const std::uint8_t b[4]) {
  const std::uint8_t r[4] = {b[3], b[2], b[1], b[0]};
  return LoadLeFloat(r);
}

float DecToIeee(const std::uint8_t b[4]) {
  if ((b[0] | b[1] | b[2] | b[3]) == 0) return 0.0f;
  const std::uint8_t r[4] = {b[2], b[3], b[0], static_cast<std::uint8_t>(b[1] - 1)};
  return LoadLeFloat(r);
}

// The 512 bytes of block 1 and how many of them the file really holds.
struct CC3d::Header {
  std::uint8_t b[kBlock] = {};
  std::size_t got = 0;
};

// Reads the parameter section from a copy of its bytes, tracking the file
// position the way the section's offsets count it. Bytes outside the copy
// read as zeros.
class CC3d::ParamCursor {
 public:
  ParamCursor(std::vector<std::uint8_t> bytes, std::int64_t base, std::int64_t pos)
      : m_bytes(std::move(bytes)), m_base(base), m_pos(pos) {}

  std::int64_t Pos() const { return m_pos; }
  void Seek(std::int64_t pos) { m_pos = pos; }

  void Read(std::uint8_t* dst, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) dst[i] = At(m_pos + static_cast<std::int64_t>(i));
    m_pos += static_cast<std::int64_t>(n);
  }
  std::int8_t Int8() {
    std::uint8_t b;
    Read(&b, 1);
    return static_cast<std::int8_t>(b);
  }
  std::uint8_t Uint8() {
    std::uint8_t b;
    Read(&b, 1);
    return b;
  }
  std::string Text(std::size_t n) {
    std::vector<std::uint8_t> t(n);
    Read(t.data(), n);
    return TextUpToZero(t.data(), n);
  }

 private:
  std::uint8_t At(std::int64_t pos) const {
    const std::int64_t i = pos - m_base;
    return (i >= 0 && i < static_cast<std::int64_t>(m_bytes.size())) ? m_bytes[i] : 0;
  }

  std::vector<std::uint8_t> m_bytes;
  std::int64_t m_base;
  std::int64_t m_pos;
};

void CC3d::Report(const char* reason) const {
  ReportReadError(*this, reason);
}

float CC3d::ConvertFloat(const std::uint8_t b[4]) const {
  switch (processorType) {
    case kProcessorDec:
      return DecToIeee(b);
    case kProcessorMips:
      return SwapFloat(b);
    default:
      return LoadLeFloat(b);
  }
}

std::uint16_t CC3d::ConvertWord(const std::uint8_t b[2]) const {
  const std::uint16_t w = LoadLe16(b);
  return processorType == kProcessorMips ? SwapWord(w) : w;
}

bool CC3d::Open() {
  // A pipe whose second byte is not the key is refused after its first block.
  const auto plausible = [](const unsigned char* head, std::size_t n) {
    return n >= 2 && head[1] == 0x50;
  };
  return ReadRecordingFile(
      *this, [this](CInputFile& file) { return ReadAll(file); }, kErrDataMemory, plausible);
}

bool CC3d::ReadAll(CInputFile& file) {
  Header h;
  if (!GetFileHeader(file, h)) return false;
  ReadHeaderEvents(h);
  ReadParameters(file);
  TakeUsedChannels(file.Size());
  if (!CheckTrialRange() && !TakeTrialRange()) {
    Platform().LogMessage(kErrTrial, true, false);
    return false;
  }
  if (!longRecording) TakeLongFrames();
  if (!LimitFramesToFile(file.Size())) return false;
  if (!AllocateData()) return false;
  if (integerData) {
    ReadIntegerFrames(file);
    if (AnalogFormatUnsigned()) {
      // Unsigned converters: the same words, read 0 .. 65535.
      for (CAnalog& a : analog) a.samples.SetUnsigned(true);
      ComputeAnalogRanges(*this);
    }
  } else {
    ReadFloatFrames(file);
  }
  return true;
}

void CC3d::Close() {
  ClearData();
  processorType = kProcessorIntel;
  firstParameterRecord = 0;
  numPoints = analogPerFrame = firstVideoFrame = lastVideoFrame = 0;
  maxInterpolationGap = dataStartRecord = analogToVideoRatio = numAnalogChannels = 0;
  markerScaleFactor = videoFrameRate = 0.0f;
  parameterBlocks = 0;
  dataAllocated = false;
  longRecording = false;
  firstFrame = 1;
  lastFrame = 0;
  analogRatio = 1;
  integerData = true;
  markerScale = 1.0f;
}

bool CC3d::GetFileHeader(CInputFile& file, Header& h) {
  h.got = file.ReadAt(0, h.b, sizeof h.b);
  if (h.got < 30) {
    Report(kErrHeaderRead);
    return false;
  }
  if (h.b[1] != 0x50) {
    Report(kErrNotC3d);
    return false;
  }
  firstParameterRecord = h.b[0];
  // Without a parameter section there is no processor byte; such files are
  // taken as Intel rather than seeking before the start of the file.
  int code = kProcessorIntel;
  if (firstParameterRecord > 1) {
    std::uint8_t start[4];
    file.ReadAt((firstParameterRecord - 1) * kBlock, start, sizeof start);
    code = start[3] - 83;
  }
  if (code >= kProcessorIntel && code <= kProcessorMips) {
    processorType = static_cast<std::uint8_t>(code);
  } else {
    const std::uint8_t* rate = h.b + 20;
    auto plausible = [](float v) { return v >= 1.0f && v < 1000.0f; };
    if (plausible(LoadLeFloat(rate))) {
      processorType = kProcessorIntel;
    } else if (plausible(DecToIeee(rate))) {
      processorType = kProcessorDec;
    } else if (plausible(SwapFloat(rate))) {
      processorType = kProcessorMips;
    } else {
      Report(kErrPlatform);
      return false;
    }
  }
  numPoints = ConvertWord(h.b + 2);
  analogPerFrame = ConvertWord(h.b + 4);
  firstVideoFrame = ConvertWord(h.b + 6);
  lastVideoFrame = ConvertWord(h.b + 8);
  maxInterpolationGap = ConvertWord(h.b + 10);
  markerScaleFactor = ConvertFloat(h.b + 12);
  dataStartRecord = ConvertWord(h.b + 16);
  analogToVideoRatio = ConvertWord(h.b + 18);
  videoFrameRate = ConvertFloat(h.b + 20);

  integerData = !(markerScaleFactor < 0.0f);
  numAnalogChannels =
      analogToVideoRatio == 0 ? 0 : static_cast<std::uint16_t>(analogPerFrame / analogToVideoRatio);
  firstFrame = firstVideoFrame;
  lastFrame = lastVideoFrame;
  analogRatio = analogToVideoRatio;
  markerScale = markerScaleFactor;
  return true;
}

void CC3d::ReadHeaderEvents(const Header& h) {
  const std::uint16_t key = ConvertWord(h.b + 298);
  const std::uint16_t count = ConvertWord(h.b + 300);
  if (key != kEventKey || count > kMaxHeaderEvents) return;
  const std::string labels = TextUpToZero(h.b + 396, 72);
  for (int i = 0; i < count; ++i) {
    CEvent e;
    const std::size_t at = static_cast<std::size_t>(4 * i);
    if (at < labels.size()) e.label = labels.substr(at, 4);
    e.time = ConvertFloat(h.b + 304 + 4 * i);
    e.displayFlag = h.b[376 + i];
    e.frame = EventFrame(videoFrameRate, e.time);
    events.push_back(std::move(e));
  }
}

void CC3d::ReadParameters(CInputFile& file) {
  if (firstParameterRecord <= 1) return;
  const std::int64_t start = (firstParameterRecord - 1) * kBlock;
  std::uint8_t head[4];
  file.ReadAt(start, head, sizeof head);
  parameterBlocks = head[2];
  // Writers that miscount the section's blocks still place it before the
  // data: without a terminator the records go on up to the data section.
  const std::int64_t end = std::max<std::int64_t>(
      (firstParameterRecord - 1 + parameterBlocks) * kBlock, DataStartByte());

  // Every record read starts before `end`, so a copy reaching one largest
  // record beyond it holds all the bytes the section can use.
  const std::int64_t stop = std::min(file.Size(), end + kMaxRecordBytes);
  std::vector<std::uint8_t> bytes(stop > start ? static_cast<std::size_t>(stop - start) : 0);
  file.ReadAt(start, bytes.data(), bytes.size());
  ParamCursor in(std::move(bytes), start, start + 4);

  int n = in.Int8();
  while (n != 0) {
    const int g = in.Int8();
    const bool ok = g < 0 ? ReadGroup(in, n, g) : ReadParameter(in, n, g);
    if (!ok || in.Pos() >= end) break;
    n = in.Int8();
  }
}

bool CC3d::ReadGroup(ParamCursor& in, int n, int g) {
  CGroup group;
  group.locked = n < 0 ? 1 : 0;
  group.name = in.Text(static_cast<std::size_t>(std::abs(n)));
  const std::int64_t p = in.Pos();
  std::uint8_t w[2];
  in.Read(w, 2);
  const auto offset = static_cast<std::int16_t>(ConvertWord(w));
  if (offset < 0) return false;
  const std::uint8_t d = in.Uint8();
  if (d != 0) group.description = in.Text(d);
  in.Seek(p + offset);
  group.number = g;
  try {
    paramSet.groups.push_back(std::move(group));
  } catch (const std::bad_alloc&) {
    Report(kErrGroupMemory);
    return false;
  }
  return true;
}

bool CC3d::ReadParameter(ParamCursor& in, int n, int g) {
  CParam param;
  param.locked = n < 0 ? 1 : 0;
  param.name = in.Text(static_cast<std::size_t>(std::abs(n)));
  param.groupNumber = g;
  const std::int64_t p = in.Pos();
  std::uint8_t w[2];
  in.Read(w, 2);
  const auto offset = static_cast<std::int16_t>(ConvertWord(w));
  if (offset < 0) return false;
  param.type = in.Int8();
  const int k = in.Int8();
  if (k < 0) return false;
  param.dimensions.resize(static_cast<std::size_t>(k));
  in.Read(param.dimensions.data(), param.dimensions.size());

  // Capped so that 127 dimensions of 255 cannot overflow; anything above the
  // cap is refused below anyway.
  constexpr std::int64_t kCap = std::int64_t{1} << 20;
  std::int64_t product = 1;
  for (std::uint8_t d : param.dimensions) product = std::min(product * d, kCap);
  const std::int64_t byteSize = std::abs(static_cast<int>(param.type)) * product;
  // A signed 16-bit byte count cannot describe more; such a record ends the
  // section rather than being read with a wrapped size.
  if (byteSize > 32767) return false;

  std::vector<std::uint8_t> data(static_cast<std::size_t>(byteSize));
  in.Read(data.data(), data.size());
  const int count = static_cast<int>(product);
  try {
    switch (param.type) {
      case kParamChar: {
        // No dimensions: one byte of data, one string of that one character.
        const std::size_t width = k == 0 ? 1 : param.dimensions[0];
        std::int64_t strings = 1;
        for (int i = 1; i < k; ++i) strings = std::min(strings * param.dimensions[i], kCap);
        // The string count is a signed 16-bit quantity like the byte size: a
        // zero width with huge further dimensions ends the section too.
        if (strings > 32767) return false;
        param.elementCount = static_cast<int>(strings);
        param.strings.reserve(static_cast<std::size_t>(strings));
        // Each string is a field of its own, padded with blanks or ended by
        // a zero byte: one zero-ended label must not empty all that follow.
        for (int j = 0; j < param.elementCount; ++j) {
          const std::size_t at = static_cast<std::size_t>(j) * width;
          const std::size_t n = at < data.size() ? std::min(width, data.size() - at) : 0;
          param.strings.push_back(Trim(TextUpToZero(data.data() + at, n)));
        }
        break;
      }
      case kParamByte:
        param.elementCount = count;
        param.values.assign(data.begin(), data.end());
        break;
      case kParamInt:
        param.elementCount = count;
        param.values.resize(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) param.values[i] = ConvertWord(&data[2 * i]);
        break;
      case kParamFloat:
        param.elementCount = count;
        param.values.resize(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) param.SetFloat(i, ConvertFloat(&data[4 * i]));
        break;
      default:
        param.elementCount = count;  // an unknown type keeps its size but no values
        break;
    }
    const int d = in.Int8();
    if (d > 0) param.description = in.Text(static_cast<std::size_t>(d));
    in.Seek(p + offset);
    paramSet.params.push_back(std::move(param));
  } catch (const std::bad_alloc&) {
    Report(kErrParamMemory);
    return false;
  }
  return true;
}

namespace {

// The TRIAL group's start and end frame, or false when it gives none (a field
// missing, CHAR or shorter than two words).
bool TrialRange(const CParamSet& set, std::int64_t& first, std::int64_t& last) {
  const CParam* start = set.Find("TRIAL", "ACTUAL_START_FIELD");
  const CParam* end = set.Find("TRIAL", "ACTUAL_END_FIELD");
  if (start == nullptr || end == nullptr) return false;
  if (start->type == kParamChar || end->type == kParamChar) return false;
  if (start->elementCount < 2 || end->elementCount < 2) return false;
  // Two 16-bit halves stored as signed INTs; the low one is a frame number
  // up to 65535, so it is taken unsigned (sign-extending it refused every
  // trial of 32768 frames or more).
  auto field = [](const CParam& p) {
    const std::int64_t high = TruncateToWord(p.GetValue(1));
    const std::int64_t low = static_cast<std::uint16_t>(TruncateToWord(p.GetValue(0)));
    return high * 65536 + low;
  };
  first = field(*start);
  last = field(*end);
  return true;
}

}  // namespace

bool CC3d::CheckTrialRange() const {
  std::int64_t first = 0;
  std::int64_t last = 0;
  if (!TrialRange(paramSet, first, last)) return true;
  return first == firstVideoFrame && last == lastVideoFrame;
}

std::int64_t CC3d::DataStartByte() const {
  return (static_cast<std::int64_t>(dataStartRecord) - 1) * kBlock;
}

std::int64_t CC3d::FrameSize() const {
  const std::int64_t width = integerData ? 2 : 4;
  return (4 * static_cast<std::int64_t>(numPoints) + analogPerFrame) * width;
}

bool CC3d::TakeLongRange(std::int64_t first, std::int64_t last) {
  const std::int64_t count = last - first + 1;
  if (count <= 65535 || first < 0 || last > std::numeric_limits<int>::max()) return false;
  // The header keeps the count modulo 65536; anything else is another range.
  const std::int64_t header =
      ((static_cast<std::int64_t>(lastVideoFrame) - firstVideoFrame + 1) % 65536 + 65536) % 65536;
  if (count % 65536 != header) return false;
  // A cut file keeps what it holds (LimitFramesToFile), as a short one does.
  firstFrame = static_cast<int>(first);
  lastFrame = static_cast<int>(last);
  longRecording = true;
  return true;
}

bool CC3d::TakeTrialRange() {
  std::int64_t first = 0;
  std::int64_t last = 0;
  return TrialRange(paramSet, first, last) && TakeLongRange(first, last);
}

void CC3d::TakeLongFrames() {
  const CParam* longFrames = paramSet.Find("POINT", "LONG_FRAMES");
  if (longFrames == nullptr || !longFrames->IsNumeric() || longFrames->elementCount < 1) return;
  const double count = longFrames->GetValue(0);
  if (!(count > 65535.0 && count < 2147483647.0) || count != std::floor(count)) return;
  TakeLongRange(firstVideoFrame, firstVideoFrame + static_cast<std::int64_t>(count) - 1);
}

void CC3d::TakeUsedChannels(std::int64_t fileSize) {
  const std::int64_t r = analogToVideoRatio;
  if (r < 1 || analogPerFrame % r == 0) return;
  const CParam* used = paramSet.Find("ANALOG", "USED");
  if (used == nullptr || !used->IsNumeric()) return;
  const float u = used->GetSignedValue(0, 0.0f);
  if (!(u >= 1.0f && u * r <= 65535.0f) || u != std::floor(u)) return;
  const auto channels = static_cast<std::int64_t>(u);
  // Only a layout the data section holds exactly (to within its padding to a
  // whole block) overrides the header.
  const std::int64_t width = integerData ? 2 : 4;
  const std::int64_t frames = static_cast<std::int64_t>(lastVideoFrame) - firstVideoFrame + 1;
  const std::int64_t need =
      frames * (4 * static_cast<std::int64_t>(numPoints) + channels * r) * width;
  const std::int64_t dataStart = DataStartByte();
  const std::int64_t spare = fileSize - dataStart - need;
  if (frames < 1 || dataStart < 0 || spare < 0 || spare >= kBlock) return;
  numAnalogChannels = static_cast<std::uint16_t>(channels);
  analogPerFrame = static_cast<std::uint16_t>(channels * r);
}

bool CC3d::LimitFramesToFile(std::int64_t fileSize) {
  const std::int64_t frameSize = FrameSize();
  const int count = FrameCount();
  if (frameSize == 0 || count <= 0) return true;
  // A header range 0 .. 65535 is 65536 frames, not none.
  const std::int64_t claimed = count;
  const std::int64_t dataStart = DataStartByte();
  const std::int64_t held = fileSize > dataStart ? (fileSize - dataStart) / frameSize : 0;
  if (held >= claimed) return true;
  // Inventing the missing frames as zeros would cost memory for nothing and
  // pass them off as data.
  const std::int64_t frames = FramesTheFileHolds(*this, claimed, held);
  if (frames == 0) return false;
  lastFrame = firstFrame + static_cast<int>(frames) - 1;
  return true;
}

bool CC3d::AllocateData() {
  const int frames = FrameCount();
  const std::size_t channels = numAnalogChannels;
  const std::size_t pointCount = numPoints;
  if (channels == 0 && pointCount == 0) return true;
  if (frames <= 0) {
    Report(kErrDataMemory);
    return false;
  }
  const auto n = static_cast<std::size_t>(frames);
  if (!AllocateSamples(*this, pointCount, n * 4, channels, n * analogToVideoRatio,
                       kErrDataMemory)) {
    return false;
  }
  dataAllocated = true;
  return true;
}

namespace {

// The value ranges of one point: each coordinate's smallest and largest
// non-zero value met so far, a block of frames at a time while the frames are
// read. Only frames that hold data count, but a frame that holds none has
// every coordinate 0 (an integer one also a residual word of -1), and zeros
// never count: taking every frame gives the same ranges.
template <typename Sample>
struct CNonZeroRange {
  Sample lo[3] = {}, hi[3] = {};
  bool has[3] = {};

  // 0 for a coordinate without a non-zero value.
  void Store(CVideo& v) const {
    float* mins[3] = {&v.minX, &v.minY, &v.minZ};
    float* maxs[3] = {&v.maxX, &v.maxY, &v.maxZ};
    for (int c = 0; c < 3; ++c) {
      *mins[c] = has[c] ? static_cast<float>(lo[c]) : 0.0f;
      *maxs[c] = has[c] ? static_cast<float>(hi[c]) : 0.0f;
    }
  }

  // Widens the range by the coordinates of frames [from, to) of a point's
  // x, y, z, residual records, in order.
  void Widen(const Sample* d, std::size_t from, std::size_t to) {
#if defined(__SSE2__) || defined(_M_X64)
    from = WidenQuickly(d, from, to);
#endif
    for (std::size_t f = from; f < to; ++f) {
      for (int c = 0; c < 3; ++c) {
        const Sample v = d[4 * f + c];
        if (v == 0) continue;
        if (!has[c]) {
          lo[c] = hi[c] = v;
          has[c] = true;
        }
        if (v < lo[c]) lo[c] = v;
        if (v > hi[c]) hi[c] = v;
      }
    }
  }

 private:
#if defined(__SSE2__) || defined(_M_X64)
  // The bulk of Widen a frame or two per vector; returns the first frame
  // left for the scalar loop. Floats go this way only while neither the
  // range nor the frames hold a NaN, whose place in the order matters.
  std::size_t WidenQuickly(const Sample* d, std::size_t from, std::size_t to) {
    if constexpr (std::is_same_v<Sample, std::int16_t>) {
      if (to - from < 2) return from;
      const __m128i zero = _mm_setzero_si128();
      const __m128i top = _mm_set1_epi16(std::numeric_limits<std::int16_t>::max());
      const __m128i bottom = _mm_set1_epi16(std::numeric_limits<std::int16_t>::min());
      __m128i l = top, h = bottom, any = zero;
      std::size_t f = from;
      for (; f + 2 <= to; f += 2) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + 4 * f));
        const __m128i z = _mm_cmpeq_epi16(v, zero);
        const __m128i kept = _mm_andnot_si128(z, v);
        l = _mm_min_epi16(l, _mm_or_si128(kept, _mm_and_si128(z, top)));
        h = _mm_max_epi16(h, _mm_or_si128(kept, _mm_and_si128(z, bottom)));
        any = _mm_or_si128(any, v);
      }
      alignas(16) std::int16_t ls[8], hs[8], as[8];
      _mm_store_si128(reinterpret_cast<__m128i*>(ls), l);
      _mm_store_si128(reinterpret_cast<__m128i*>(hs), h);
      _mm_store_si128(reinterpret_cast<__m128i*>(as), any);
      for (int c = 0; c < 3; ++c) {
        for (int lane = c; lane < 8; lane += 4) {
          if (as[lane] == 0) continue;
          Take(c, ls[lane], hs[lane]);
        }
      }
      return f;
    } else {
      for (int c = 0; c < 3; ++c) {
        if (has[c] && (lo[c] != lo[c] || hi[c] != hi[c])) return from;
      }
      const __m128 zero = _mm_setzero_ps();
      const __m128 up = _mm_set1_ps(std::numeric_limits<float>::infinity());
      const __m128 down = _mm_set1_ps(-std::numeric_limits<float>::infinity());
      __m128 l = up, h = down, nonzero = zero, nan = zero;
      for (std::size_t f = from; f < to; ++f) {
        const __m128 v = _mm_loadu_ps(d + 4 * f);
        const __m128 z = _mm_cmpeq_ps(v, zero);
        const __m128 kept = _mm_andnot_ps(z, v);
        l = _mm_min_ps(l, _mm_or_ps(kept, _mm_and_ps(z, up)));
        h = _mm_max_ps(h, _mm_or_ps(kept, _mm_and_ps(z, down)));
        nonzero = _mm_or_ps(nonzero, _mm_cmpneq_ps(v, zero));
        nan = _mm_or_ps(nan, _mm_cmpunord_ps(v, v));
      }
      // Lane 3 is the residual, which may be anything.
      if ((_mm_movemask_ps(nan) & 7) != 0) return from;
      alignas(16) float ls[4], hs[4];
      _mm_store_ps(ls, l);
      _mm_store_ps(hs, h);
      const int met = _mm_movemask_ps(nonzero);
      for (int c = 0; c < 3; ++c) {
        if ((met & (1 << c)) != 0) Take(c, ls[c], hs[c]);
      }
      return to;
    }
  }

  void Take(int c, Sample l, Sample h) {
    if (!has[c]) {
      lo[c] = l;
      hi[c] = h;
      has[c] = true;
      return;
    }
    if (l < lo[c]) lo[c] = l;
    if (h > hi[c]) hi[c] = h;
  }
#endif
};

// A channel's extremes over all samples and over the first sample of each
// frame.
template <typename Sample>
struct CChannelRange {
  Sample mn{}, mx{}, fmn{}, fmx{};
  bool any = false;

  void Store(CAnalog& a) const {
    if (!any) return;
    a.minimum = static_cast<float>(mn);
    a.maximum = static_cast<float>(mx);
    a.frameMinimum = static_cast<float>(fmn);
    a.frameMaximum = static_cast<float>(fmx);
  }
};

}  // namespace

template <typename Sample, typename Convert>
void CC3d::ReadFrames(CInputFile& file, Convert convert) {
  if (!dataAllocated) return;
  constexpr std::size_t W = sizeof(Sample);
  const std::size_t P = numPoints;
  const std::size_t N = numAnalogChannels;
  const std::size_t R = analogToVideoRatio;
  const std::size_t frameSize = (4 * P + analogPerFrame) * W;
  const std::size_t frames = static_cast<std::size_t>(FrameCount());
  if (frameSize == 0 || frames == 0) return;

  std::vector<Sample*> pointData(P);
  std::vector<Sample*> channelData(N);
  for (std::size_t j = 0; j < P; ++j) {
    pointData[j] =
        reinterpret_cast<Sample*>(integerData ? static_cast<void*>(points[j].samples.Ints())
                                              : static_cast<void*>(points[j].samples.Floats()));
  }
  for (std::size_t k = 0; k < N; ++k) {
    channelData[k] =
        reinterpret_cast<Sample*>(integerData ? static_cast<void*>(analog[k].samples.Ints())
                                              : static_cast<void*>(analog[k].samples.Floats()));
  }

  std::vector<CNonZeroRange<Sample>> pointRanges(P);
  std::vector<CChannelRange<Sample>> channelRanges(N);
  const std::int64_t dataStart = DataStartByte();
  const std::size_t chunkFrames = std::max<std::size_t>(1, kFrameChunkBytes / frameSize);
  std::vector<std::uint8_t> chunk(std::min(chunkFrames, frames) * frameSize);
  for (std::size_t first = 0; first < frames; first += chunkFrames) {
    const std::size_t count = std::min(chunkFrames, frames - first);
    const std::int64_t offset = dataStart + static_cast<std::int64_t>(first * frameSize);
    file.ReadAt(offset, chunk.data(), count * frameSize);
    // One pass per destination buffer over a chunk small enough to stay in
    // the cache: each buffer is written sequentially, and its ranges are
    // taken from what was just written while it is at hand.
    for (std::size_t j = 0; j < P; ++j) {
      Sample* dst = pointData[j] + first * 4;
      const std::uint8_t* src = chunk.data() + j * 4 * W;
      for (std::size_t f = 0; f < count; ++f, src += frameSize) {
        dst[4 * f] = convert(src);
        dst[4 * f + 1] = convert(src + W);
        dst[4 * f + 2] = convert(src + 2 * W);
        dst[4 * f + 3] = convert(src + 3 * W);
      }
      pointRanges[j].Widen(dst, 0, count);
    }
    if (N == 0 || R == 0) continue;
    for (std::size_t k = 0; k < N; ++k) {
      Sample* dst = channelData[k] + first * R;
      const std::uint8_t* src = chunk.data() + 4 * P * W + k * W;
      for (std::size_t f = 0; f < count; ++f, src += frameSize) {
        for (std::size_t s = 0; s < R; ++s) dst[f * R + s] = convert(src + s * N * W);
      }
      CChannelRange<Sample>& range = channelRanges[k];
      if (!range.any) {
        range.mn = range.mx = range.fmn = range.fmx = dst[0];
        range.any = true;
      }
      WidenRange(dst, count * R, 1, range.mn, range.mx);
      WidenRange(dst, count * R, R, range.fmn, range.fmx);
    }
  }
  for (std::size_t j = 0; j < P; ++j) pointRanges[j].Store(points[j]);
  for (std::size_t k = 0; k < N; ++k) channelRanges[k].Store(analog[k]);
}

void CC3d::ReadIntegerFrames(CInputFile& file) {
  if (processorType == kProcessorMips) {
    ReadFrames<std::int16_t>(file, MipsWord{});
  } else {
    ReadFrames<std::int16_t>(file, IntelWord{});
  }
}

void CC3d::ReadFloatFrames(CInputFile& file) {
  switch (processorType) {
    case kProcessorDec:
      ReadFrames<float>(file, DecFloat{});
      break;
    case kProcessorMips:
      ReadFrames<float>(file, MipsFloat{});
      break;
    default:
      ReadFrames<float>(file, IntelFloat{});
      break;
  }
}
