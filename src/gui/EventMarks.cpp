#include "gui/EventMarks.h"

#include "gui/GuiText.h"

std::vector<CEventMark> EventMarks(const std::vector<CRecordingEvent>& events) {
  std::vector<CEventMark> marks;
  marks.reserve(events.size());
  for (const CRecordingEvent& e : events) {
    marks.push_back({e.frame, ToQ(e.label), SideOfContext(e.context)});
  }
  return marks;
}

QColor EventColour(EventSide side) {
  switch (side) {
    case EventSide::Left:
      return QColor(206, 40, 40);
    case EventSide::Right:
      return QColor(30, 150, 60);
    default:
      return QColor(40, 90, 200);
  }
}
