#include "formats/c3d/C3dWriter.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "formats/AnalogParameters.h"
#include "formats/WordColumns.h"
#include "model/Recording.h"
#include "platform/Files.h"
#include "platform/OutputFile.h"
#include "platform/Platform.h"
#include "platform/Text.h"

const char kErrC3dLayout[] = "The recording cannot be laid out in C3D frames";
const char kErrC3dTooLarge[] = "The recording is too large for a C3D file";
const char kErrC3dSourceChanged[] = "The recording's file changed before it was written as C3D";

namespace {

constexpr std::size_t kBlock = 512;
constexpr std::uint8_t kParameterBlock = 2;
constexpr std::uint8_t kKey = 0x50;
constexpr std::uint8_t kIntel = 84;
// Counts and offsets the file keeps in signed words, bytes and the section's
// one block-count byte.
constexpr std::int64_t kMaxWord = 32767;
constexpr std::int64_t kMaxFrames = 65535;
constexpr std::size_t kMaxName = 127;
constexpr std::size_t kMaxDescription = 255;
constexpr int kMaxBlocks = 255;
constexpr int kPointGroup = 3;
constexpr char kDataStartName[] = "DATA_START";
constexpr char kDataStartDescription[] = "Starting Record of Data";
constexpr std::size_t kDataChunkBytes = 256u << 10;

void StoreLe16(std::uint8_t* b, std::uint16_t v) {
  b[0] = static_cast<std::uint8_t>(v & 0xFF);
  b[1] = static_cast<std::uint8_t>(v >> 8);
}

// Bytes appended in the file's order, little-endian.
class CBytes {
 public:
  explicit CBytes(std::vector<std::uint8_t>& b) : m_b(b) {}
  void U8(int v) { m_b.push_back(static_cast<std::uint8_t>(v)); }
  void Word(int v) {
    U8(v & 0xFF);
    U8((v >> 8) & 0xFF);
  }
  void Float(float v) {
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) U8(static_cast<int>((bits >> (8 * i)) & 0xFF));
  }
  void Text(std::string_view s) { m_b.insert(m_b.end(), s.begin(), s.end()); }
  void UpperText(std::string_view s) {
    for (char c : s) U8(static_cast<unsigned char>(AsciiUpper(c)));
  }

 private:
  std::vector<std::uint8_t>& m_b;
};

// Product of a parameter's dimensions (1 for a scalar), capped where no
// record could hold it anyway.
std::int64_t DimensionProduct(const std::vector<std::uint8_t>& dims, std::size_t from) {
  std::int64_t p = 1;
  for (std::size_t i = from; i < dims.size(); ++i) p = std::min<std::int64_t>(p * dims[i], 1 << 20);
  return p;
}

// The dimension bytes describe the elements the parameter holds; a count over
// 255 (more than 255 channels) kept only its low byte and does not.
bool DimensionsHoldElements(const CParam& p) {
  const std::int64_t n =
      p.type == kParamChar ? DimensionProduct(p.dimensions, 1) : DimensionProduct(p.dimensions, 0);
  return n == p.elementCount;
}

// Replaces a parameter's value by one number of `type`.
void SetScalar(CParam& p, std::int16_t type, float value) {
  p.type = type;
  p.dimensions.clear();
  p.strings.clear();
  p.elementCount = 1;
  p.values.assign(1, 0);
  SetParamValue(p, 0, value);
}

void WriteParamData(CBytes& out, const CParam& p, std::int64_t bytes) {
  const auto value = [&](std::int64_t i) {
    return static_cast<std::size_t>(i) < p.values.size() ? p.values[static_cast<std::size_t>(i)]
                                                         : 0u;
  };
  switch (p.type) {
    case kParamByte:
      for (std::int64_t i = 0; i < bytes; ++i) out.U8(static_cast<int>(value(i)));
      return;
    case kParamInt:
      for (std::int64_t i = 0; i < bytes / 2; ++i) out.Word(static_cast<int>(value(i)));
      return;
    case kParamFloat:
      for (std::int64_t i = 0; i < bytes / 4; ++i) out.Float(std::bit_cast<float>(value(i)));
      return;
    case kParamChar: {
      // Each string padded with spaces to the width and cut to it.
      const std::size_t width = p.dimensions.empty() ? 1 : p.dimensions[0];
      for (std::int64_t j = 0; width > 0 && j < bytes / static_cast<std::int64_t>(width); ++j) {
        std::string s = p.GetString(static_cast<int>(j));
        s.resize(width, ' ');
        out.Text(s);
      }
      return;
    }
    default:
      for (std::int64_t i = 0; i < bytes; ++i) out.U8(0);
      return;
  }
}

}  // namespace

std::int64_t AnalogSamplesPerVideoFrame(float analogRate, int videoFrameRate) {
  if (videoFrameRate <= 0) return 0;
  const float ratio = analogRate / static_cast<float>(videoFrameRate);
  return ratio >= 1.0f && ratio < 9.0e18f ? static_cast<std::int64_t>(ratio) : 0;
}

CC3dWriter::CC3dWriter(const CC3dSource& source) : m_source(source) {
  m_refusal = Lay();
}

int CC3dWriter::LastFrameWritten() const {
  return m_source.firstFrame + static_cast<int>(m_videoFrames * m_ratio) - 1;
}

const char* CC3dWriter::Lay() {
  const CRecording& r = m_source.recording;
  m_ratio = AnalogSamplesPerVideoFrame(m_source.analogRate, m_source.videoFrameRate);
  if (m_ratio == 0) return kErrC3dLayout;
  const std::int64_t first = m_source.firstFrame;
  const std::int64_t last = m_source.lastFrame;
  if (first < r.firstFrame || last > r.lastFrame) return kErrC3dLayout;
  m_videoFrames = last >= first ? (last - first + 1) / m_ratio : 0;
  if (m_videoFrames == 0) return kErrC3dLayout;  // fewer than R frames
  const std::int64_t values = m_ratio > kMaxWord ? kMaxWord + 1 : r.AnalogCount() * m_ratio;
  if (values > kMaxWord || m_videoFrames > kMaxFrames) return kErrC3dTooLarge;
  for (const CAnalog& a : r.analog) {
    if (!a.samples.IsInteger() ||
        (r.wordsInFile < 0 &&
         a.samples.Size() < static_cast<std::size_t>(last - r.firstFrame + 1))) {
      return kErrC3dLayout;
    }
  }
  // When R frames at the video rate do not make up the analog rate (1000 Hz
  // and 60 Hz give R = 16), the frames are timed by the analog rate, so that
  // R x frame rate = ANALOG:RATE.
  const double whole = static_cast<double>(m_ratio) * m_source.videoFrameRate;
  m_frameRate = whole == static_cast<double>(m_source.analogRate)
                    ? static_cast<float>(m_source.videoFrameRate)
                    : m_source.analogRate / static_cast<float>(m_ratio);
  return AssembleParameters();
}

const char* CC3dWriter::AssembleParameters() {
  // A copy: the recording keeps its own names and values.
  CParamSet set = m_source.recording.paramSet;
  int pointGroup = kPointGroup;
  for (const CGroup& g : set.groups) {
    if (EqualsNoCase(g.name, "POINT")) {
      pointGroup = std::abs(g.number);
      break;
    }
  }
  if (const int i = set.FindParameter("POINT", "RATE"); i >= 0) {
    SetScalar(set.params[static_cast<std::size_t>(i)], kParamFloat, m_frameRate);
  }
  if (const int i = set.FindParameter("POINT", "FRAMES"); i >= 0) {
    SetScalar(set.params[static_cast<std::size_t>(i)], kParamInt,
              static_cast<float>(m_videoFrames));
  }
  set.AddScalarParam(pointGroup, kDataStartName, kDataStartDescription, kParamInt, 0.0f);

  m_head.assign(kBlock, 0);
  CBytes out(m_head);
  out.U8(kParameterBlock);
  out.U8(kKey);
  out.U8(0);  // the block count, once known
  out.U8(kIntel);
  for (const CGroup& g : set.groups) {
    if (g.name.size() > kMaxName || g.description.size() > kMaxDescription) return kErrC3dTooLarge;
    const int n = static_cast<int>(g.name.size());
    out.U8(g.locked != 0 ? -n : n);
    out.U8(-std::abs(g.number));
    out.UpperText(g.name);
    out.Word(static_cast<int>(g.description.size()) + 3);
    out.U8(static_cast<int>(g.description.size()));
    out.Text(g.description);
  }
  std::size_t dataStartAt = 0;
  for (const CParam& p : set.params) {
    const std::int64_t data =
        std::abs(static_cast<int>(p.type)) * DimensionProduct(p.dimensions, 0);
    const std::int64_t next =
        static_cast<std::int64_t>(p.dimensions.size() + p.description.size()) + data + 5;
    if (!DimensionsHoldElements(p) || p.dimensions.size() > 255 || data > kMaxWord ||
        next > kMaxWord || p.name.size() > kMaxName || p.description.size() > kMaxDescription) {
      return kErrC3dTooLarge;
    }
    const int n = static_cast<int>(p.name.size());
    out.U8(p.locked != 0 ? -n : n);
    out.U8(p.groupNumber);
    out.UpperText(p.name);
    out.Word(static_cast<int>(next));
    out.U8(p.type);
    out.U8(static_cast<int>(p.dimensions.size()));
    for (std::uint8_t d : p.dimensions) out.U8(d);
    dataStartAt = m_head.size();  // the last record's value is DATA_START's
    WriteParamData(out, p, data);
    out.U8(static_cast<int>(p.description.size()));
    out.Text(p.description);
  }
  out.U8(0);

  // The section runs from block 2 to block k, the first whose end reaches
  // the last byte; the data start right after it.
  m_parameterEnd = static_cast<int>(m_head.size());
  const std::size_t k = (m_head.size() + kBlock - 1) / kBlock;
  m_blocks = static_cast<int>(k) - 1;
  if (m_blocks > kMaxBlocks) return kErrC3dTooLarge;
  m_head.resize(k * kBlock, 0);
  m_head[kBlock + 2] = static_cast<std::uint8_t>(m_blocks);
  const auto dataStart = static_cast<std::uint16_t>(DataStart());
  StoreLe16(&m_head[dataStartAt], dataStart);

  std::uint8_t* h = m_head.data();
  h[0] = kParameterBlock;
  h[1] = kKey;
  StoreLe16(h + 2, 0);
  StoreLe16(h + 4, static_cast<std::uint16_t>(m_source.recording.AnalogCount() * m_ratio));
  StoreLe16(h + 6, 1);
  StoreLe16(h + 8, static_cast<std::uint16_t>(m_videoFrames));
  StoreLe16(h + 10, 0);
  const std::uint32_t one = std::bit_cast<std::uint32_t>(1.0f);
  const std::uint32_t rate = std::bit_cast<std::uint32_t>(m_frameRate);
  for (int i = 0; i < 4; ++i) {
    h[12 + i] = static_cast<std::uint8_t>(one >> (8 * i));
    h[20 + i] = static_cast<std::uint8_t>(rate >> (8 * i));
  }
  StoreLe16(h + 16, dataStart);
  StoreLe16(h + 18, static_cast<std::uint16_t>(m_ratio));
  return nullptr;
}

void CC3dWriter::Write(COutputFile& out, CProgressScope& progress) const {
  const auto* head = reinterpret_cast<const char*>(m_head.data());
  out.Buffer().append(head, kBlock);
  progress.Step();
  out.Buffer().append(head + kBlock, m_head.size() - kBlock);
  out.MaybeFlush();
  progress.Step();
  WriteData(out);
  progress.Step();
}

void CC3dWriter::WriteData(COutputFile& out) const {
  const CRecording& r = m_source.recording;
  const std::size_t n = r.analog.size();
  const auto ratio = static_cast<std::size_t>(m_ratio);
  const auto frames = static_cast<std::size_t>(m_videoFrames);
  const auto start = static_cast<std::size_t>(m_source.firstFrame - r.firstFrame);
  const std::size_t frameBytes = 2 * n * ratio;
  if (frameBytes == 0) return;
  // Chunks of whole frames, each made in the output buffer and handed on:
  // the data section is never held whole. A chunk is small enough to stay in
  // the cache while the channels are woven into it.
  const std::size_t chunkFrames = std::max<std::size_t>(1, kDataChunkBytes / frameBytes);
  std::string& buffer = out.Buffer();
  // Words the reader left in the recording's file are copied as they lie:
  // its frames are the rows of a C3D frame.
  CInputFile in;
  int cause = 0;
  const std::string changed = ErrorInFile(r.fileName, kErrC3dSourceChanged);
  if (r.wordsInFile >= 0 && (!in.Open(r.fileName, cause) || in.Stamp() != r.wordsFileStamp)) {
    out.Abort(changed);
  }
  std::vector<const std::int16_t*> from(n);
  for (std::size_t i = 0; i < frames; i += chunkFrames) {
    const std::size_t count = std::min(chunkFrames, frames - i);
    const std::size_t samples = count * ratio;
    const std::size_t at = buffer.size();
    buffer.resize(at + count * frameBytes);
    auto* chunk = reinterpret_cast<std::uint8_t*>(buffer.data() + at);
    if (r.wordsInFile >= 0) {
      const auto row = static_cast<std::int64_t>(start + i * ratio);
      const std::size_t bytes = count * frameBytes;
      // A file cut while it is copied fails the export, never pads it.
      if (in.ReadAt(r.wordsInFile + row * static_cast<std::int64_t>(2 * n), chunk, bytes) !=
          bytes) {
        out.Abort(changed);
      }
    } else {
      for (std::size_t k = 0; k < n; ++k) from[k] = r.analog[k].samples.Ints() + start + i * ratio;
      JoinWordColumns(from.data(), samples, n, chunk, 2 * n);
    }
    out.MaybeFlush();
  }
}
