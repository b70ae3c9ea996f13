#pragma once
// Moving 16-bit samples between frames stored channel after channel (as files
// hold them) and one buffer per channel (as recordings hold them). Large
// recordings spend most of their reading and writing time here, so eight
// frames of eight channels are turned at a time where the processor allows.

#include <cstddef>
#include <cstdint>

// Fills out[c][i] (c below `columns`, i below `rows`) from row i of `in`: row
// i starts at in + i * rowBytes and holds `columns` little-endian words, each
// shifted right by `shift` with its sign kept.
void SplitWordColumns(const std::uint8_t* in, std::size_t rowBytes, std::size_t rows,
                      std::size_t columns, std::int16_t* const* out, int shift = 0);

// The reverse without a shift: row i of `out` (at out + i * rowBytes) gets the
// little-endian words in[0][i], in[1][i], ... in[columns - 1][i].
void JoinWordColumns(const std::int16_t* const* in, std::size_t rows, std::size_t columns,
                     std::uint8_t* out, std::size_t rowBytes);
