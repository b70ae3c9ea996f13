#pragma once
// The main window's remembered placement, stored as the text "WindowPos":
// ten numbers "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d" (flags, show command, minimised
// position x and y, maximised position x and y, normal rectangle left, top,
// right, bottom). Flags 2 mean "restore to maximised".

#include <QList>
#include <QMargins>
#include <QRect>
#include <optional>
#include <string>
#include <string_view>

struct CWindowPlacement {
  unsigned flags = 0;
  unsigned showCmd = 1;
  int minX = -1, minY = -1;
  int maxX = -1, maxY = -1;
  int left = 0, top = 0, right = 0, bottom = 0;
};

// Show commands that matter here.
inline constexpr unsigned kShowNormal = 1;
inline constexpr unsigned kShowMaximized = 3;
inline constexpr unsigned kRestoreToMaximized = 2;

// Exactly ten comma-separated whole numbers (blanks around them allowed), the
// first two not negative; anything else (nine numbers, a trailing extra, a
// word) gives nothing, and so does a normal rectangle with no area.
std::optional<CWindowPlacement> ParseWindowPos(std::string_view text);
std::string FormatWindowPos(const CWindowPlacement& placement);

// Where a window goes whose normal rectangle is `rect` and whose frame (title
// bar, borders) adds `frame` around it, so that the whole frame lies on one of
// `screens` (their available areas): the screen it overlaps most, or the
// nearest when it overlaps none. The frame moves inside that area and, when
// larger, shrinks to it. A rectangle stored on a screen at one scale can be
// far too large or far out at another. With no screen, `rect` is kept.
QRect FitOnScreen(const QRect& rect, const QMargins& frame, const QList<QRect>& screens);
