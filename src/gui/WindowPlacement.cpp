#include "gui/WindowPlacement.h"

#include <charconv>
#include <cstdint>
#include <vector>

#include "platform/Text.h"

std::optional<CWindowPlacement> ParseWindowPos(std::string_view text) {
  std::vector<std::int64_t> numbers;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    const std::string_view field =
        TrimView(text.substr(start, comma == std::string_view::npos ? text.npos : comma - start));
    std::int64_t v = 0;
    const auto r = std::from_chars(field.data(), field.data() + field.size(), v);
    if (field.empty() || r.ec != std::errc() || r.ptr != field.data() + field.size()) {
      return std::nullopt;
    }
    if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
    numbers.push_back(v);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (numbers.size() != 10 || numbers[0] < 0 || numbers[1] < 0) return std::nullopt;
  CWindowPlacement p;
  p.flags = static_cast<unsigned>(numbers[0]);
  p.showCmd = static_cast<unsigned>(numbers[1]);
  p.minX = static_cast<int>(numbers[2]);
  p.minY = static_cast<int>(numbers[3]);
  p.maxX = static_cast<int>(numbers[4]);
  p.maxY = static_cast<int>(numbers[5]);
  p.left = static_cast<int>(numbers[6]);
  p.top = static_cast<int>(numbers[7]);
  p.right = static_cast<int>(numbers[8]);
  p.bottom = static_cast<int>(numbers[9]);
  if (p.right <= p.left || p.bottom <= p.top) return std::nullopt;
  return p;
}

std::string FormatWindowPos(const CWindowPlacement& p) {
  return Format("%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", p.flags, p.showCmd, p.minX, p.minY, p.maxX, p.maxY,
                p.left, p.top, p.right, p.bottom);
}
