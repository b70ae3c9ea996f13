#include "documents/Playback.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

constexpr double kUnknownRate = 100.0;
constexpr double kSlowest = 0.25;
constexpr double kFastest = 4.0;

}  // namespace

void CPlaybackClock::SetRecording(int firstFrame, int lastFrame, double frameRate) {
  m_first = firstFrame;
  m_last = std::max(lastFrame, firstFrame);
  m_rate = frameRate > 0.0 && std::isfinite(frameRate) ? frameRate : kUnknownRate;
  m_rangeFirst = m_first;
  m_rangeLast = m_last;
  m_frame = m_first;
  m_carry = 0.0;
  m_playing = false;
}

void CPlaybackClock::SetRange(int first, int last) {
  m_rangeFirst = std::clamp(std::min(first, last), m_first, m_last);
  m_rangeLast = std::clamp(std::max(first, last), m_first, m_last);
}

bool CPlaybackClock::SetFrame(int frame) {
  const int f = std::clamp(frame, m_first, m_last);
  m_carry = 0.0;
  if (f == m_frame) return false;
  m_frame = f;
  return true;
}

void CPlaybackClock::Play() {
  if (m_frame < m_rangeFirst || m_frame >= m_rangeLast) m_frame = m_rangeFirst;
  m_carry = 0.0;
  m_playing = m_rangeLast > m_rangeFirst;
}

void CPlaybackClock::SetSpeed(double speed) {
  m_speed = std::isfinite(speed) ? std::clamp(speed, kSlowest, kFastest) : 1.0;
}

bool CPlaybackClock::Advance(double seconds) {
  if (!m_playing || !(seconds > 0.0)) return false;
  m_carry += seconds * m_rate * m_speed;
  const double whole = std::floor(m_carry);
  if (whole < 1.0) return false;
  m_carry -= whole;
  const int before = m_frame;
  const long long span = static_cast<long long>(m_rangeLast) - m_rangeFirst + 1;
  long long next = static_cast<long long>(m_frame) + static_cast<long long>(std::min(whole, 1e9));
  if (next > m_rangeLast) {
    if (m_loop) {
      next = m_rangeFirst + (next - m_rangeFirst) % span;
    } else {
      next = m_rangeLast;
      m_playing = false;
    }
  }
  m_frame = static_cast<int>(next);
  return m_frame != before;
}

EventSide SideOfContext(const std::string& context) {
  std::string lower;
  for (const char c : context) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower.rfind("left", 0) == 0) return EventSide::Left;
  if (lower.rfind("right", 0) == 0) return EventSide::Right;
  return EventSide::General;
}
