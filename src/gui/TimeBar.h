#pragma once
// The bar under a document's views: play/pause, a frame back and on, the
// speed, looping over the frame range, and a track of the whole recording
// with the frame range shaded, the events as labelled ticks and the cursor.
// A click or drag on the track moves the cursor; a click on an event's tick
// jumps to its frame. Space plays and pauses, the arrow keys step.

#include <QWidget>
#include <vector>

#include "gui/EventMarks.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QToolButton;
class CFrameCursor;

class CTimeTrack : public QWidget {
  Q_OBJECT

 public:
  explicit CTimeTrack(CFrameCursor* cursor, QWidget* parent = nullptr);
  void SetEvents(std::vector<CEventMark> marks);
  const std::vector<CEventMark>& Events() const { return m_marks; }
  // Widget x of a frame number, and the frame number at widget x.
  double PixelOf(int frame) const;
  int FrameAt(double px) const;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  CFrameCursor* m_cursor;
  std::vector<CEventMark> m_marks;
  bool m_dragging = false;
};

class CTimeBar : public QWidget {
  Q_OBJECT

 public:
  explicit CTimeBar(CFrameCursor* cursor, QWidget* parent = nullptr);
  void SetEvents(std::vector<CEventMark> marks) { m_track->SetEvents(std::move(marks)); }

  CTimeTrack* Track() const { return m_track; }
  QToolButton* PlayButton() const { return m_play; }
  QComboBox* SpeedBox() const { return m_speed; }
  QCheckBox* LoopBox() const { return m_loop; }
  QLabel* FrameLabel() const { return m_frameText; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ShowFrame(int frame);

  CFrameCursor* m_cursor;
  QToolButton* m_play;
  QToolButton* m_back;
  QToolButton* m_on;
  QComboBox* m_speed;
  QCheckBox* m_loop;
  QLabel* m_frameText;
  CTimeTrack* m_track;
};

// Space and the arrow keys on any view of the document: true when `key` was
// one of them.
bool HandlePlaybackKey(CFrameCursor& cursor, int key, Qt::KeyboardModifiers modifiers);
