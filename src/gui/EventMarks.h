#pragma once
// How events are drawn wherever a time axis is: on the time bar and on every
// plot, a tick in the colour of the event's side with its label.

#include <QColor>
#include <QString>
#include <vector>

#include "documents/Playback.h"
#include "documents/RecordingEvents.h"

struct CEventMark {
  int frame = 0;  // frame number
  QString label;
  EventSide side = EventSide::General;
};

std::vector<CEventMark> EventMarks(const std::vector<CRecordingEvent>& events);
QColor EventColour(EventSide side);
// The mark whose tick lies within a few pixels of widget x `px` (nearest
// first), or -1; `pixelOf` gives a frame number's widget x.
template <typename PixelOf>
int EventNear(const std::vector<CEventMark>& marks, double px, PixelOf pixelOf) {
  constexpr double kReach = 4.0;
  int best = -1;
  double bestDistance = kReach + 1.0;
  for (std::size_t i = 0; i < marks.size(); ++i) {
    const double d = std::abs(pixelOf(marks[i].frame) - px);
    if (d <= kReach && d < bestDistance) {
      best = static_cast<int>(i);
      bestDistance = d;
    }
  }
  return best;
}
