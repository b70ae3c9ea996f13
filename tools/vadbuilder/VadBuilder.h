#pragma once
// Builds VAD recordings in memory: the 22-byte header, one 48-byte
// description per channel and the frames of 16-bit samples. Tests damage the
// bytes it returns; the benchmark generator writes a large one to disk.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vadbuilder {

// A recording of `n` channels, channel c labelled "L<c>" and described
// "D<c>"; sample (f, c) is `sample(f, c)`, by default f * 7 + c in 16 bits.
struct VadFile {
  const char* signature = "!VAD";
  std::int16_t videoRate = 50;
  std::int32_t sync = 3;
  std::int32_t analogRate = 1000;
  std::int16_t n = 2;
  std::function<std::int16_t(std::int64_t frame, int channel)> sample;

  // `frames` frames; the header claims `claimed` samples when given, else
  // frames * n.
  std::vector<unsigned char> Bytes(std::int64_t frames, std::int64_t claimed = -1) const {
    std::vector<unsigned char> b(signature, signature + 4);
    if (n > 0 && frames > 0) b.reserve(static_cast<std::size_t>(22 + 48 * n + 2 * frames * n));
    const auto put = [&](std::int64_t v, int bytes) {
      for (int i = 0; i < bytes; ++i)
        b.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
    };
    b.push_back('1');
    b.push_back('0');
    put(videoRate, 2);
    put(sync, 4);
    put(analogRate, 4);
    put(claimed >= 0 ? claimed : frames * n, 4);
    put(n, 2);
    for (int c = 0; c < n; ++c) {
      put(c, 2);
      put(-c, 2);
      std::string label = "L" + std::to_string(c) + "  ";
      label.resize(12, '\0');
      std::string description = "D" + std::to_string(c);
      description.resize(32, '\0');
      b.insert(b.end(), label.begin(), label.end());
      b.insert(b.end(), description.begin(), description.end());
    }
    for (std::int64_t f = 0; f < frames; ++f) {
      for (int c = 0; c < n; ++c) put(sample ? sample(f, c) : f * 7 + c, 2);
    }
    return b;
  }
};

}  // namespace vadbuilder
