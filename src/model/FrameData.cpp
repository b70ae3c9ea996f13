#include "model/FrameData.h"

#include <cstdlib>

void CSampleBuffer::FreeDeleter::operator()(void* p) const {
  std::free(p);
}

bool CSampleBuffer::Allocate(std::size_t count, bool integer) {
  Free();
  m_integer = integer;
  if (count == 0) return true;
  void* p = std::calloc(count, integer ? sizeof(std::int16_t) : sizeof(float));
  if (p == nullptr) return false;
  m_data.reset(p);
  m_count = count;
  return true;
}

void CSampleBuffer::Free() {
  m_data.reset();
  m_count = 0;
}

float ResidualFromWord(std::int16_t w, float markerScale) {
  if (w < 0) return -1.0f;
  const auto b = static_cast<std::int8_t>(static_cast<std::uint16_t>(w) & 0xFF);
  return std::fabs(static_cast<float>(b) * markerScale);
}

void CamerasFromWord(std::int16_t w, char out[8]) {
  const unsigned high = (static_cast<std::uint16_t>(w) >> 8) & 0xFF;
  for (int n = 0; n < 7; ++n) out[n] = (w >= 0 && (high & (1u << n)) != 0) ? '1' : '0';
  out[7] = '\0';
}
