#include "model/FrameData.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <system_error>
#include <thread>

#if defined(__linux__)
#include <sys/mman.h>
#endif

bool CSampleBuffer::Allocate(std::size_t count, bool integer) {
  return AllocateBlock(std::array<CSampleBuffer*, 1>{this}.data(), &count, 1, integer);
}

namespace {
constexpr std::size_t kAlign = 64;               // each slice starts on a cache line
constexpr std::size_t kMapThreshold = 4u << 20;  // below this, plain calloc

#if defined(__linux__)
// A mapped block whose pages a second thread may be faulting in: it is
// unmapped only after that thread has finished.
struct CMappedBlock {
  void* data = nullptr;
  std::size_t bytes = 0;
  std::thread populate;
  ~CMappedBlock() {
    if (populate.joinable()) populate.join();
    ::munmap(data, bytes);
  }
};
#endif

std::shared_ptr<void> ZeroedBlock(std::size_t bytes) {
#if defined(__linux__)
  if (bytes >= kMapThreshold) {
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    auto block = std::make_shared<CMappedBlock>();
    block->data = p;
    block->bytes = bytes;
#if defined(MADV_HUGEPAGE)
    ::madvise(p, bytes, MADV_HUGEPAGE);  // a hint; failure changes nothing
#endif
#if defined(MADV_POPULATE_WRITE)
    // The system zeroes every fresh page on its first write, which costs as
    // much as reading the recording; a second thread has the pages made while
    // the reader fills them. A hint: where the system cannot, the reader's
    // own writes make them.
    try {
      block->populate = std::thread([p, bytes] { ::madvise(p, bytes, MADV_POPULATE_WRITE); });
    } catch (const std::system_error&) {
    }
#endif
    return std::shared_ptr<void>(block, p);
  }
#endif
  void* p = std::calloc(bytes, 1);
  if (p == nullptr) return nullptr;
  return std::shared_ptr<void>(p, [](void* q) { std::free(q); });
}
}  // namespace

bool CSampleBuffer::AllocateBlock(CSampleBuffer* const* buffers, const std::size_t* counts,
                                  std::size_t n, bool integer) {
  const std::size_t width = integer ? sizeof(std::int16_t) : sizeof(float);
  std::size_t total = 0;
  for (std::size_t i = 0; i < n; ++i) {
    buffers[i]->Free();
    buffers[i]->m_integer = integer;
    buffers[i]->m_unsigned = false;
    if (counts[i] > (SIZE_MAX - total - kAlign) / width) return false;
    total += (counts[i] * width + kAlign - 1) / kAlign * kAlign;
  }
  if (total == 0) return true;
  std::shared_ptr<void> block;
  try {
    block = ZeroedBlock(total);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (block == nullptr) return false;
  auto* at = static_cast<unsigned char*>(block.get());
  for (std::size_t i = 0; i < n; ++i) {
    CSampleBuffer& b = *buffers[i];
    if (counts[i] == 0) continue;
    b.m_owner = block;
    b.m_data = at;
    b.m_count = counts[i];
    at += (counts[i] * width + kAlign - 1) / kAlign * kAlign;
  }
  return true;
}

void CSampleBuffer::Free() {
  m_owner.reset();
  m_data = nullptr;
  m_count = 0;
}

float ResidualFromWord(std::int16_t w, float markerScale) {
  if (w < 0) return -1.0f;
  const auto b = static_cast<std::uint8_t>(static_cast<std::uint16_t>(w) & 0xFF);
  return std::fabs(static_cast<float>(b) * markerScale);
}

void CamerasFromWord(std::int16_t w, char out[8]) {
  const unsigned high = (static_cast<std::uint16_t>(w) >> 8) & 0xFF;
  for (int n = 0; n < 7; ++n) out[n] = (w >= 0 && (high & (1u << n)) != 0) ? '1' : '0';
  out[7] = '\0';
}
