#pragma once
// A plot of one or more curves (analog channels, point coordinates) against
// time, drawn with QPainter from the min/max envelope of each curve per pixel
// column, so that a redraw costs the width of the plot, not the length of the
// recording. The document's frame range is a shaded band behind the curves.
//
// Mouse: the wheel zooms the time axis about the cursor (Ctrl+wheel the value
// axis); a left drag zooms to the dragged rectangle; a right or middle drag
// pans; a double-click shows everything again; a left drag with Shift chooses
// a frame range (FrameRangeChosen). The value of every curve under the mouse
// is shown in the top-left corner. The document's time cursor is a vertical
// line: a click moves it there, a drag near it carries it along, and a click
// on an event's tick jumps to the event (CursorMoved). A right click without
// a drag offers the picture exports.
//
// The series borrow the recording's samples: SetSeries again (or Clear)
// before the recording goes.

#include <QWidget>
#include <vector>

#include "documents/PlotSeries.h"
#include "gui/EventMarks.h"

class CSignalPlot : public QWidget {
  Q_OBJECT

 public:
  explicit CSignalPlot(QWidget* parent = nullptr);

  // The curves, the frames per second of the time axis (0: the axis counts
  // frames), the number of the recording's first frame and its frame count.
  // Shows everything.
  void SetSeries(std::vector<CPlotSeries> series, double frameRate, int firstFrame, int frameCount);
  void Clear() { SetSeries({}, 0.0, 1, 0); }
  // The document's frame range (frame numbers), shaded.
  void SetFrameRange(int first, int last);
  // The time cursor (a frame number; below the first frame: none) and the
  // events drawn as ticks.
  void SetCursorFrame(int frame);
  int CursorFrame() const { return m_cursorFrame; }
  void SetEvents(std::vector<CEventMark> marks);
  const std::vector<CEventMark>& Events() const { return m_marks; }
  // The name pictures are proposed under.
  void SetPictureName(const QString& name) { m_pictureName = name; }
  // The text each value axis is titled with: the unit its series share, or
  // every unit they use, ", " between them.
  QString AxisUnit(int axis) const;

  const std::vector<CPlotSeries>& Series() const { return m_series; }
  // The visible part of the frame axis (frame indices) and of a value axis:
  // 0 on the left; 1 on the right, for points drawn together with channels,
  // whose units differ (millimetres beside volts).
  double ViewX0() const { return m_x0; }
  double ViewX1() const { return m_x1; }
  double ViewY0(int axis = 0) const { return m_lo[axis]; }
  double ViewY1(int axis = 0) const { return m_hi[axis]; }
  bool HasRightAxis() const { return m_twoAxes; }
  void SetViewX(double x0, double x1);
  void ShowAll();

  // The rectangle the curves are drawn in, in widget coordinates.
  QRect PlotArea() const;
  // Widget x of frame-axis position x, and back.
  double PixelOf(double x) const;
  double PositionAt(double px) const;
  // The text shown for the cursor at widget x `px`: time, frame and the value
  // of every curve there.
  QString ValuesAt(double px) const;

 signals:
  // A Shift-drag chose the frames first .. last (frame numbers, within the
  // recording).
  void FrameRangeChosen(long long first, long long last);
  // A click, a drag of the cursor line or a click on an event's tick moved
  // the time cursor to `frame` (a frame number within the recording).
  void CursorMoved(int frame);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  enum class Drag { None, Zoom, Range, Pan, Cursor };

  int AxisOf(std::size_t n) const { return m_twoAxes && m_series[n].point ? 1 : 0; }
  // The frame number at widget x, within the recording.
  int FrameAtPixel(double px) const;
  // The envelopes of the view, computed again only when the view, the size
  // or the series changed: moving the cursor costs no pass over the samples.
  const std::vector<std::vector<CEnvelopeColumn>>& Envelopes(int columns);
  void DrawEvents(QPainter& p, const QRect& area) const;
  double ValuePixel(double v, int axis = 0) const;
  double ValueAt(double py, int axis = 0) const;
  // Both value axes to the values now at widget heights `bottom` and `top`.
  void ShowValuesBetween(double bottom, double top);
  QString TimeText(double x) const;
  void DrawAxes(QPainter& p, const QRect& area) const;
  void DrawCurve(QPainter& p, const CPlotSeries& s, int axis) const;
  void DrawLegend(QPainter& p, const QRect& area) const;

  std::vector<CPlotSeries> m_series;
  double m_frameRate = 0.0;
  int m_firstFrame = 1;
  int m_frameCount = 0;
  int m_rangeFirst = 1;
  int m_rangeLast = 0;
  double m_x0 = 0.0, m_x1 = 1.0;
  double m_lo[2] = {0.0, 0.0}, m_hi[2] = {1.0, 1.0};
  bool m_twoAxes = false;      // channels and points together
  bool m_valuesFixed = false;  // the value axis was zoomed: no refit on time zoom

  Drag m_drag = Drag::None;
  QPointF m_dragStart;
  QPointF m_dragNow;
  double m_panX0 = 0.0, m_panX1 = 0.0;
  double m_panLo[2] = {0.0, 0.0}, m_panHi[2] = {0.0, 0.0};
  double m_cursorX = -1.0;  // widget x of the mouse, < 0 when outside
  int m_cursorFrame = 0;    // the time cursor; below m_firstFrame: none
  std::vector<CEventMark> m_marks;
  QString m_pictureName;

  std::vector<std::vector<CEnvelopeColumn>> m_envelopes;
  bool m_envelopesValid = false;
  double m_envX0 = 0.0, m_envX1 = 0.0;
  int m_envColumns = 0;
};
