#pragma once
// Samples held in memory after a file was read: one contiguous buffer per 3D
// point and per analog channel, in the width the file stores (16-bit integers
// or 32-bit floats, never mixed within a recording), zero-filled when
// allocated. Frame index = frame number - first frame; analog sample s of
// frame index i is element i * R + s (R samples per frame).

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

// A float truncated to an integer the one way every part of the program does
// it: toward zero, with NaN and values outside the 32-bit range giving 0.
inline std::int32_t TruncateToInt32(float v) {
  const double d = v;
  if (!(d >= -2147483648.0 && d < 2147483648.0)) return 0;  // also NaN
  return static_cast<std::int32_t>(d);
}
// The low 16 bits of TruncateToInt32, read as a signed word.
inline std::int16_t TruncateToWord(float v) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(TruncateToInt32(v) & 0xFFFF));
}

// A zero-filled buffer of samples in one of the two stored widths. A buffer
// either owns its memory or is one slice of a block shared by all buffers of
// a recording (AllocateBlock); either way it frees nothing it does not own.
class CSampleBuffer {
 public:
  CSampleBuffer() = default;
  CSampleBuffer(CSampleBuffer&&) noexcept = default;
  CSampleBuffer& operator=(CSampleBuffer&&) noexcept = default;

  // Allocates `count` zeroed samples; false when the memory cannot be had.
  bool Allocate(std::size_t count, bool integer);
  // Gives buffers[i] counts[i] zeroed samples, all from one block of memory
  // whose pages are mapped only when first written (and, where the system
  // offers it, as large pages: a recording's samples fault in far fewer
  // pieces). False when the memory cannot be had.
  static bool AllocateBlock(CSampleBuffer* const* buffers, const std::size_t* counts, std::size_t n,
                            bool integer);
  void Free();

  bool IsInteger() const { return m_integer; }
  // 16-bit words that are unsigned (0 .. 65535): the analog samples of a C3D
  // file whose ANALOG:FORMAT says "UNSIGNED". Set after allocation.
  bool IsUnsigned() const { return m_integer && m_unsigned; }
  void SetUnsigned(bool words) { m_unsigned = words; }
  std::size_t Size() const { return m_count; }
  // Keeps only the first `count` samples (a reader that sized the buffer for
  // the most a file could hold and found fewer).
  void Truncate(std::size_t count) {
    if (count < m_count) m_count = count;
  }
  std::int16_t* Ints() { return static_cast<std::int16_t*>(m_data); }
  const std::int16_t* Ints() const { return static_cast<const std::int16_t*>(m_data); }
  float* Floats() { return static_cast<float*>(m_data); }
  const float* Floats() const { return static_cast<const float*>(m_data); }

  const std::uint16_t* Words() const { return static_cast<const std::uint16_t*>(m_data); }

  // Sample i as a float, whatever the width (callers pass i < Size()).
  float At(std::size_t i) const {
    if (!m_integer) return Floats()[i];
    return m_unsigned ? static_cast<float>(Words()[i]) : static_cast<float>(Ints()[i]);
  }

 private:
  std::shared_ptr<void> m_owner;  // keeps the memory alive
  void* m_data = nullptr;
  std::size_t m_count = 0;
  bool m_integer = true;
  bool m_unsigned = false;
};

// The samples of `b` as `Sample` (std::int16_t, std::uint16_t or float);
// nullptr when the buffer holds another kind. Hot loops are templated on the
// sample type.
template <typename Sample>
const Sample* SamplesAs(const CSampleBuffer& b) {
  if constexpr (std::is_same_v<Sample, std::int16_t>) {
    return b.IsInteger() && !b.IsUnsigned() ? b.Ints() : nullptr;
  } else if constexpr (std::is_same_v<Sample, std::uint16_t>) {
    return b.IsUnsigned() ? b.Words() : nullptr;
  } else {
    return b.IsInteger() ? nullptr : b.Floats();
  }
}

// Calls `f` with a null `const Sample*` of the type `b` holds, so that a
// templated loop can be chosen once: f(static_cast<const float*>(nullptr)).
template <typename F>
decltype(auto) WithSampleType(const CSampleBuffer& b, F&& f) {
  if (!b.IsInteger()) return f(static_cast<const float*>(nullptr));
  if (b.IsUnsigned()) return f(static_cast<const std::uint16_t*>(nullptr));
  return f(static_cast<const std::int16_t*>(nullptr));
}

// One 3D point: frame count records of x, y, z, residual/camera value.
class CVideo {
 public:
  CSampleBuffer samples;
  // Raw minimum and maximum of each coordinate over the valid frames, zeros
  // excluded.
  float minX = 0, minY = 0, minZ = 0;
  float maxX = 0, maxY = 0, maxZ = 0;
};

// One analog channel: frame count * R samples.
class CAnalog {
 public:
  CSampleBuffer samples;
  float minimum = 0;
  float maximum = 0;
  float frameMaximum = 0;  // over the first sample of every frame
  float frameMinimum = 0;
};

// One event of the C3D header.
class CEvent {
 public:
  std::string label;  // up to 4 characters
  float time = 0;     // seconds from the start of the recording
  std::int16_t frame = 0;
  int displayFlag = 0;
};

// The residual of a residual/camera word w: -1 when w < 0, else |b * scale|
// with b the low byte read as an unsigned number (0 .. 255).
float ResidualFromWord(std::int16_t w, float markerScale);
// The seven-character camera text of w ("0000000" for an invalid point).
void CamerasFromWord(std::int16_t w, char out[8]);
