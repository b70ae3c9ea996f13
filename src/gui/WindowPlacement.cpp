#include "gui/WindowPlacement.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>

#include "platform/Text.h"

namespace {

long long OverlapArea(const QRect& a, const QRect& b) {
  const QRect common = a.intersected(b);
  return common.isEmpty() ? 0 : static_cast<long long>(common.width()) * common.height();
}

// The squared distance between the nearest points of two rectangles.
long long SquaredGap(const QRect& a, const QRect& b) {
  const long long dx = std::max({0, b.left() - a.right(), a.left() - b.right()});
  const long long dy = std::max({0, b.top() - a.bottom(), a.top() - b.bottom()});
  return dx * dx + dy * dy;
}

// `start` moved as little as possible so that `length` from it lies in
// [`low`, `low` + `room`); `length` is at most `room`.
int Pull(int start, int length, int low, int room) {
  return std::clamp(start, low, low + room - length);
}

}  // namespace

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

QRect FitOnScreen(const QRect& rect, const QMargins& frame, const QList<QRect>& screens) {
  if (screens.isEmpty()) return rect;
  const QRect outer = rect.marginsAdded(frame);
  const QRect* best = &screens.front();
  for (const QRect& s : screens) {
    const long long overlap = OverlapArea(outer, s);
    const long long bestOverlap = OverlapArea(outer, *best);
    if (overlap > bestOverlap ||
        (overlap == 0 && bestOverlap == 0 && SquaredGap(outer, s) < SquaredGap(outer, *best))) {
      best = &s;
    }
  }
  const QRect& area = *best;
  const int width = std::min(outer.width(), area.width());
  const int height = std::min(outer.height(), area.height());
  const QRect fitted(Pull(outer.left(), width, area.left(), area.width()),
                     Pull(outer.top(), height, area.top(), area.height()), width, height);
  return fitted.marginsRemoved(frame);
}
