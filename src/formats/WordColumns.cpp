#include "formats/WordColumns.h"

#include <bit>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define KX_WORD_TILES 1
#endif

namespace {
std::int16_t LoadWord(const std::uint8_t* b) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(b[0] | (b[1] << 8)));
}
void StoreWord(std::uint8_t* b, std::int16_t v) {
  const auto u = static_cast<std::uint16_t>(v);
  b[0] = static_cast<std::uint8_t>(u & 0xFF);
  b[1] = static_cast<std::uint8_t>(u >> 8);
}

#if defined(KX_WORD_TILES)
constexpr bool kTiles = std::endian::native == std::endian::little;

// Turns eight rows of eight words into eight columns (its own inverse).
void Turn(__m128i v[8]) {
  const __m128i b0 = _mm_unpacklo_epi16(v[0], v[1]), b1 = _mm_unpackhi_epi16(v[0], v[1]);
  const __m128i b2 = _mm_unpacklo_epi16(v[2], v[3]), b3 = _mm_unpackhi_epi16(v[2], v[3]);
  const __m128i b4 = _mm_unpacklo_epi16(v[4], v[5]), b5 = _mm_unpackhi_epi16(v[4], v[5]);
  const __m128i b6 = _mm_unpacklo_epi16(v[6], v[7]), b7 = _mm_unpackhi_epi16(v[6], v[7]);
  const __m128i c0 = _mm_unpacklo_epi32(b0, b2), c1 = _mm_unpackhi_epi32(b0, b2);
  const __m128i c2 = _mm_unpacklo_epi32(b1, b3), c3 = _mm_unpackhi_epi32(b1, b3);
  const __m128i c4 = _mm_unpacklo_epi32(b4, b6), c5 = _mm_unpackhi_epi32(b4, b6);
  const __m128i c6 = _mm_unpacklo_epi32(b5, b7), c7 = _mm_unpackhi_epi32(b5, b7);
  v[0] = _mm_unpacklo_epi64(c0, c4);
  v[1] = _mm_unpackhi_epi64(c0, c4);
  v[2] = _mm_unpacklo_epi64(c1, c5);
  v[3] = _mm_unpackhi_epi64(c1, c5);
  v[4] = _mm_unpacklo_epi64(c2, c6);
  v[5] = _mm_unpackhi_epi64(c2, c6);
  v[6] = _mm_unpacklo_epi64(c3, c7);
  v[7] = _mm_unpackhi_epi64(c3, c7);
}
#endif
}  // namespace

void SplitWordColumns(const std::uint8_t* in, std::size_t rowBytes, std::size_t rows,
                      std::size_t columns, std::int16_t* const* out, int shift) {
  std::size_t tiledRows = 0, tiledColumns = 0;
#if defined(KX_WORD_TILES)
  if constexpr (kTiles) {
    tiledRows = rows / 8 * 8;
    tiledColumns = columns / 8 * 8;
    const __m128i count = _mm_cvtsi32_si128(shift);
    for (std::size_t c = 0; c < tiledColumns; c += 8) {
      for (std::size_t i = 0; i < tiledRows; i += 8) {
        __m128i v[8];
        for (int r = 0; r < 8; ++r) {
          const std::uint8_t* row = in + (i + r) * rowBytes + 2 * c;
          v[r] = _mm_sra_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row)), count);
        }
        Turn(v);
        for (int k = 0; k < 8; ++k) {
          _mm_storeu_si128(reinterpret_cast<__m128i*>(out[c + k] + i), v[k]);
        }
      }
    }
  }
#endif
  for (std::size_t c = 0; c < columns; ++c) {
    // What the tiles left: every row of the last columns, the last rows of
    // the others.
    const std::size_t from = c < tiledColumns ? tiledRows : 0;
    const std::uint8_t* w = in + from * rowBytes + 2 * c;
    std::int16_t* d = out[c];
    for (std::size_t i = from; i < rows; ++i, w += rowBytes) {
      d[i] = static_cast<std::int16_t>(LoadWord(w) >> shift);
    }
  }
}

void JoinWordColumns(const std::int16_t* const* in, std::size_t rows, std::size_t columns,
                     std::uint8_t* out, std::size_t rowBytes) {
  std::size_t tiledRows = 0, tiledColumns = 0;
#if defined(KX_WORD_TILES)
  if constexpr (kTiles) {
    tiledRows = rows / 8 * 8;
    tiledColumns = columns / 8 * 8;
    for (std::size_t c = 0; c < tiledColumns; c += 8) {
      for (std::size_t i = 0; i < tiledRows; i += 8) {
        __m128i v[8];
        for (int k = 0; k < 8; ++k) {
          v[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in[c + k] + i));
        }
        Turn(v);
        for (int r = 0; r < 8; ++r) {
          _mm_storeu_si128(reinterpret_cast<__m128i*>(out + (i + r) * rowBytes + 2 * c), v[r]);
        }
      }
    }
  }
#endif
  for (std::size_t c = 0; c < columns; ++c) {
    const std::size_t from = c < tiledColumns ? tiledRows : 0;
    std::uint8_t* w = out + from * rowBytes + 2 * c;
    const std::int16_t* s = in[c];
    for (std::size_t i = from; i < rows; ++i, w += rowBytes) StoreWord(w, s[i]);
  }
}
