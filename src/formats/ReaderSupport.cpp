#include "formats/ReaderSupport.h"

#include <algorithm>
#include <limits>
#include <new>
#include <type_traits>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "formats/WordColumns.h"
#include "model/Recording.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "platform/Text.h"

template <typename Sample>
void WidenRange(const Sample* s, std::size_t n, std::size_t step, Sample& mn, Sample& mx) {
  std::size_t i = 0;
#if defined(__SSE2__) || defined(_M_X64)
  // Whole-number channels of a large recording are 30 million samples and
  // more: eight at a time, the pass costs a few milliseconds instead of tens.
  if constexpr (std::is_same_v<Sample, std::int16_t>) {
    if (step == 1 && n >= 8) {
      __m128i lo = _mm_set1_epi16(mn);
      __m128i hi = _mm_set1_epi16(mx);
      for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        lo = _mm_min_epi16(lo, v);
        hi = _mm_max_epi16(hi, v);
      }
      alignas(16) std::int16_t l[8];
      alignas(16) std::int16_t h[8];
      _mm_store_si128(reinterpret_cast<__m128i*>(l), lo);
      _mm_store_si128(reinterpret_cast<__m128i*>(h), hi);
      for (int k = 0; k < 8; ++k) {
        mn = std::min(mn, l[k]);
        mx = std::max(mx, h[k]);
      }
    }
  } else if constexpr (std::is_same_v<Sample, float>) {
    // Lane by lane the vector min and max keep the earlier value on a tie
    // and pass over a NaN, as the sequential pass does; only a -0 next to a
    // +0 would make the lanes' order matter, so a block holding a -0 is left
    // to the sequential pass.
    if (step == 1 && n >= 8) {
      __m128 lo0 = _mm_set1_ps(mn), lo1 = lo0;
      __m128 hi0 = _mm_set1_ps(mx), hi1 = hi0;
      const __m128 zero = _mm_setzero_ps();
      __m128 negativeZero = zero;
      for (; i + 8 <= n; i += 8) {
        const __m128 a = _mm_loadu_ps(s + i);
        const __m128 b = _mm_loadu_ps(s + i + 4);
        lo0 = _mm_min_ps(a, lo0);
        lo1 = _mm_min_ps(b, lo1);
        hi0 = _mm_max_ps(a, hi0);
        hi1 = _mm_max_ps(b, hi1);
        negativeZero = _mm_or_ps(negativeZero, _mm_and_ps(_mm_cmpeq_ps(a, zero), a));
        negativeZero = _mm_or_ps(negativeZero, _mm_and_ps(_mm_cmpeq_ps(b, zero), b));
      }
      if (_mm_movemask_ps(negativeZero) != 0) {
        i = 0;
      } else {
        alignas(16) float l[8];
        alignas(16) float h[8];
        _mm_store_ps(l, lo0);
        _mm_store_ps(l + 4, lo1);
        _mm_store_ps(h, hi0);
        _mm_store_ps(h + 4, hi1);
        for (int k = 0; k < 8; ++k) {
          mn = std::min(mn, l[k]);
          mx = std::max(mx, h[k]);
        }
      }
    }
  }
#endif
  for (; i < n; i += step) {
    mn = std::min(mn, s[i]);
    mx = std::max(mx, s[i]);
  }
}
template void WidenRange(const std::int16_t*, std::size_t, std::size_t, std::int16_t&,
                         std::int16_t&);
template void WidenRange(const float*, std::size_t, std::size_t, float&, float&);
template void WidenRange(const std::uint16_t*, std::size_t, std::size_t, std::uint16_t&,
                         std::uint16_t&);

namespace {
std::uint64_t g_sampleMemoryLimit = 0;

// Smallest and largest of s[0], s[step], s[2 step], ... below n.
template <typename Sample>
void MinMax(const Sample* s, std::size_t n, std::size_t step, Sample& mn, Sample& mx) {
  mn = mx = s[0];
  WidenRange(s, n, step, mn, mx);
}

template <typename Sample>
void AnalogRanges(const Sample* s, std::size_t n, std::size_t r, CAnalog& a) {
  if (n == 0) return;
  Sample mn, mx;
  MinMax(s, n, 1, mn, mx);
  // With one sample per frame the frame range is the whole range.
  Sample fmn = mn, fmx = mx;
  if (r > 1) MinMax(s, n, r, fmn, fmx);
  a.minimum = static_cast<float>(mn);
  a.maximum = static_cast<float>(mx);
  a.frameMinimum = static_cast<float>(fmn);
  a.frameMaximum = static_cast<float>(fmx);
}
}  // namespace

float NarrowToFloat(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (value > kMax) return std::numeric_limits<float>::infinity();
  if (value < -kMax) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

const char kNotEnoughMemory[] = "Not Enough Memory";
const char kNotEnoughMemoryToReadData[] = "Not Enough memory to read data";

std::int64_t FramesTheFileHolds(const CRecording& recording, std::int64_t claimed,
                                std::int64_t held) {
  if (held >= claimed) return claimed;
  ReportReadError(recording, Format("The file holds %d of the %u frames its header gives",
                                    static_cast<int>(held), static_cast<unsigned>(claimed)));
  return held;
}

void ReportReadError(const CRecording& recording, std::string_view reason) {
  recording.Platform().LogMessage(ErrorInFile(recording.fileName, reason), true, true);
}

bool ReadRecordingFile(CRecording& recording, const std::function<bool(CInputFile&)>& read,
                       std::string_view outOfMemory,
                       bool (*plausible)(const unsigned char*, std::size_t)) {
  recording.Close();
  CInputFile file;
  int cause = kFileGeneric;
  const CPipeReading pipe{recording.Platform().MayWaitForPipeReader(), plausible};
  if (!file.Open(recording.fileName, cause, pipe)) {
    ReportReadError(recording, FileErrorText(cause));
    return false;
  }
  bool ok = false;
  try {
    ok = read(file);
  } catch (const std::bad_alloc&) {
    ReportReadError(recording, outOfMemory);
    ok = false;
  }
  file.Close();
  if (!ok) {
    recording.Close();
    return false;
  }
  return true;
}

void SetSampleMemoryLimit(std::uint64_t bytes) {
  g_sampleMemoryLimit = bytes;
}

std::uint64_t SampleMemoryLimit() {
  return g_sampleMemoryLimit != 0 ? g_sampleMemoryLimit : PhysicalMemoryBytes();
}

bool AllocateSamples(CRecording& recording, std::size_t points, std::size_t pointSamples,
                     std::size_t channels, std::size_t channelSamples,
                     std::string_view outOfMemory) {
  if (points == 0 && channels == 0) return true;
  const std::uint64_t width = recording.integerData ? 2 : 4;
  // Each product is checked before it is formed so that no count can wrap.
  const std::uint64_t limit = SampleMemoryLimit() / width;
  const auto over = [&](std::uint64_t n, std::uint64_t each) {
    return each != 0 && n > limit / each;
  };
  if (over(points, pointSamples) || over(channels, channelSamples) ||
      points * pointSamples > limit - std::min<std::uint64_t>(limit, channels * channelSamples)) {
    ReportReadError(recording, outOfMemory);
    return false;
  }
  recording.points.resize(points);
  recording.analog.resize(channels);
  std::vector<CSampleBuffer*> buffers;
  std::vector<std::size_t> counts;
  for (CVideo& v : recording.points) {
    buffers.push_back(&v.samples);
    counts.push_back(pointSamples);
  }
  for (CAnalog& a : recording.analog) {
    buffers.push_back(&a.samples);
    counts.push_back(channelSamples);
  }
  if (!CSampleBuffer::AllocateBlock(buffers.data(), counts.data(), buffers.size(),
                                    recording.integerData)) {
    ReportReadError(recording, outOfMemory);
    return false;
  }
  return true;
}

void ReadFrameWords(CRecording& recording, CInputFile& file, std::int64_t at, std::int64_t frames,
                    int flagBits) {
  // Small enough to stay in the cache while it is taken apart one channel at
  // a time, each channel's samples then written in order.
  constexpr std::int64_t kBlockBytes = 64 << 10;
  const std::size_t channels = recording.analog.size();
  if (channels == 0) return;
  std::vector<std::int16_t*> data(channels);
  for (std::size_t c = 0; c < channels; ++c) data[c] = recording.analog[c].samples.Ints();
  const std::int64_t frameBytes = 2 * static_cast<std::int64_t>(channels);
  const std::int64_t blockFrames = std::max<std::int64_t>(1, kBlockBytes / frameBytes);
  std::vector<std::uint8_t> block(
      static_cast<std::size_t>(std::min(blockFrames, frames) * frameBytes));
  std::vector<std::int16_t*> to(channels);
  for (std::int64_t first = 0; first < frames; first += blockFrames) {
    const std::int64_t count = std::min(blockFrames, frames - first);
    file.ReadAt(at + first * frameBytes, block.data(),
                static_cast<std::size_t>(count * frameBytes));
    for (std::size_t c = 0; c < channels; ++c) to[c] = data[c] + first;
    SplitWordColumns(block.data(), static_cast<std::size_t>(frameBytes),
                     static_cast<std::size_t>(count), channels, to.data(), flagBits);
  }
}

void ComputeAnalogRanges(CRecording& recording) {
  const std::size_t r = static_cast<std::size_t>(std::max(recording.analogRatio, 1));
  for (CAnalog& a : recording.analog) {
    WithSampleType(a.samples, [&](auto type) {
      using Sample = std::remove_cv_t<std::remove_pointer_t<decltype(type)>>;
      AnalogRanges(SamplesAs<Sample>(a.samples), a.samples.Size(), r, a);
    });
  }
}

std::int64_t CForwardReader::FileSize() const {
  return m_file.Size();
}

const std::uint8_t* CForwardReader::At(std::int64_t offset, std::size_t n) {
  if (offset < 0 || offset + static_cast<std::int64_t>(n) > m_file.Size()) return nullptr;
  if (offset < m_start ||
      offset + static_cast<std::int64_t>(n) > m_start + static_cast<std::int64_t>(m_size)) {
    m_window.resize(std::max(kWindow, n));
    m_start = offset;
    const std::int64_t left = m_file.Size() - offset;
    m_size = static_cast<std::size_t>(
        std::min<std::int64_t>(left, static_cast<std::int64_t>(m_window.size())));
    m_file.ReadAt(offset, m_window.data(), m_size);
  }
  return m_window.data() + (offset - m_start);
}
