#pragma once
// The one time cursor of a document and the clock that moves it while it
// plays, as plain data: the 3-D view, the time bar and every plot of the
// document show the same frame. Playing stays within the document's frame
// range, and starts at its first frame when the cursor lies outside it; at
// the range's last frame it goes round again (looping) or stops.

#include <string>
#include <vector>

class CPlaybackClock {
 public:
  // The recording's frame numbers and its frames per second (0 or less: an
  // unknown rate, played at 100 frames per second).
  void SetRecording(int firstFrame, int lastFrame, double frameRate);
  // The document's frame range; the cursor stays where it is.
  void SetRange(int first, int last);

  int Frame() const { return m_frame; }
  // Clamped to the recording; false when it was there already.
  bool SetFrame(int frame);
  bool Step(int frames) { return SetFrame(m_frame + frames); }

  bool Playing() const { return m_playing; }
  void Play();
  void Pause() { m_playing = false; }
  void Toggle() { m_playing ? Pause() : Play(); }

  double Speed() const { return m_speed; }
  // Held to 0.25 .. 4 times the recording's own pace.
  void SetSpeed(double speed);
  bool Loop() const { return m_loop; }
  void SetLoop(bool loop) { m_loop = loop; }

  // Moves on by `seconds` of wall-clock time while playing; true when the
  // frame changed. Fractions of a frame are kept for the next call, so that
  // any tick rate gives the recording's pace.
  bool Advance(double seconds);

  int FirstFrame() const { return m_first; }
  int LastFrame() const { return m_last; }
  int RangeFirst() const { return m_rangeFirst; }
  int RangeLast() const { return m_rangeLast; }
  double FrameRate() const { return m_rate; }

 private:
  int m_first = 1;
  int m_last = 0;
  double m_rate = 100.0;
  int m_rangeFirst = 1;
  int m_rangeLast = 0;
  int m_frame = 1;
  double m_carry = 0.0;  // frames not yet shown
  double m_speed = 1.0;
  bool m_playing = false;
  bool m_loop = true;
};

// Which side an event belongs to, from its context ("Left", "Right",
// "General", or none for a header event).
enum class EventSide { General, Left, Right };
EventSide SideOfContext(const std::string& context);
