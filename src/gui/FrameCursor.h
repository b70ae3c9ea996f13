#pragma once
// The time cursor of one document window: the playback clock of the
// documents layer driven by a timer. The 3-D view, the time bar and the
// plots all set and follow the frame through this one object.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "documents/Playback.h"

class CFrameCursor : public QObject {
  Q_OBJECT

 public:
  explicit CFrameCursor(QObject* parent = nullptr);

  CPlaybackClock& Clock() { return m_clock; }
  const CPlaybackClock& Clock() const { return m_clock; }
  int Frame() const { return m_clock.Frame(); }
  bool Playing() const { return m_clock.Playing(); }

  void SetRecording(int firstFrame, int lastFrame, double frameRate);
  void SetRange(int first, int last);
  void SetFrame(int frame);
  void Step(int frames);
  void SetPlaying(bool play);
  void TogglePlaying() { SetPlaying(!Playing()); }
  void SetSpeed(double speed) { m_clock.SetSpeed(speed); }
  void SetLoop(bool loop) { m_clock.SetLoop(loop); }

  // One timer tick of `seconds` (the timer passes the time since the last
  // one; tests call it directly).
  void Tick(double seconds);

 signals:
  void FrameChanged(int frame);
  void PlayingChanged(bool playing);
  void RangeChanged(int first, int last);

 private:
  CPlaybackClock m_clock;
  QTimer m_timer;
  QElapsedTimer m_elapsed;
};
