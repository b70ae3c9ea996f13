#include "gui/FrameCursor.h"

namespace {

// About 60 redraws a second; the clock keeps the recording's pace whatever
// the timer's real period.
constexpr int kTickMs = 16;

}  // namespace

CFrameCursor::CFrameCursor(QObject* parent) : QObject(parent) {
  m_timer.setInterval(kTickMs);
  m_timer.setTimerType(Qt::PreciseTimer);
  connect(&m_timer, &QTimer::timeout, this, [this] {
    const double seconds = static_cast<double>(m_elapsed.nsecsElapsed()) / 1e9;
    m_elapsed.restart();
    Tick(seconds);
  });
}

void CFrameCursor::SetRecording(int firstFrame, int lastFrame, double frameRate) {
  m_clock.SetRecording(firstFrame, lastFrame, frameRate);
  m_timer.stop();
  emit RangeChanged(m_clock.RangeFirst(), m_clock.RangeLast());
  emit FrameChanged(m_clock.Frame());
}

void CFrameCursor::SetRange(int first, int last) {
  m_clock.SetRange(first, last);
  emit RangeChanged(m_clock.RangeFirst(), m_clock.RangeLast());
}

void CFrameCursor::SetFrame(int frame) {
  if (m_clock.SetFrame(frame)) emit FrameChanged(m_clock.Frame());
}

void CFrameCursor::Step(int frames) {
  SetPlaying(false);
  if (m_clock.Step(frames)) emit FrameChanged(m_clock.Frame());
}

void CFrameCursor::SetPlaying(bool play) {
  if (play == m_clock.Playing()) return;
  const int before = m_clock.Frame();
  if (play) {
    m_clock.Play();
    if (!m_clock.Playing()) return;
    m_elapsed.start();
    m_timer.start();
  } else {
    m_clock.Pause();
    m_timer.stop();
  }
  emit PlayingChanged(m_clock.Playing());
  if (m_clock.Frame() != before) emit FrameChanged(m_clock.Frame());
}

void CFrameCursor::Tick(double seconds) {
  const bool changed = m_clock.Advance(seconds);
  if (changed) emit FrameChanged(m_clock.Frame());
  if (!m_clock.Playing() && m_timer.isActive()) {
    m_timer.stop();
    emit PlayingChanged(false);
  }
}
