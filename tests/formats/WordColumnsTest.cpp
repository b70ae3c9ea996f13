#include "formats/WordColumns.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Sizes around the eight-by-eight tiles: whole tiles, columns and rows left
// over, fewer columns than a tile. Each word is turned back to where it was.
TEST(WordColumns, EveryWordLandsInItsColumnAndBack) {
  for (std::size_t columns : {3u, 8u, 11u, 16u, 19u}) {
    for (std::size_t rows : {5u, 8u, 21u}) {
      SCOPED_TRACE(testing::Message() << columns << " columns, " << rows << " rows");
      const std::size_t rowBytes = 2 * columns + 6;  // rows may carry other bytes
      std::vector<std::uint8_t> in(rows * rowBytes, 0xEE);
      for (std::size_t i = 0; i < rows; ++i) {
        for (std::size_t c = 0; c < columns; ++c) {
          const auto w = static_cast<std::uint16_t>(0x8000 + 0x111 * i + 7 * c);
          in[i * rowBytes + 2 * c] = static_cast<std::uint8_t>(w & 0xFF);
          in[i * rowBytes + 2 * c + 1] = static_cast<std::uint8_t>(w >> 8);
        }
      }
      std::vector<std::vector<std::int16_t>> split(columns, std::vector<std::int16_t>(rows));
      std::vector<std::int16_t*> to;
      for (auto& c : split) to.push_back(c.data());
      SplitWordColumns(in.data(), rowBytes, rows, columns, to.data(), 2);
      for (std::size_t i = 0; i < rows; ++i) {
        for (std::size_t c = 0; c < columns; ++c) {
          const auto w = static_cast<std::int16_t>(0x8000 + 0x111 * i + 7 * c);
          ASSERT_EQ(split[c][i], w >> 2) << "row " << i << " column " << c;
        }
      }

      SplitWordColumns(in.data(), rowBytes, rows, columns, to.data());
      std::vector<std::uint8_t> out(rows * rowBytes, 0xEE);
      std::vector<const std::int16_t*> from(to.begin(), to.end());
      JoinWordColumns(from.data(), rows, columns, out.data(), rowBytes);
      EXPECT_EQ(out, in);
    }
  }
}

}  // namespace
