#include "platform/BlockWriter.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#elif defined(__linux__)
#include <sched.h>
#endif

#include "platform/OutputFile.h"

namespace {

// At most about a quarter of a megabyte of text per block: small enough
// that a few blocks in flight stay far below the memory a recording takes.
constexpr std::size_t kBlockBytes = 256u << 10;
// Blocks never get smaller than this, so the hand-over costs nothing.
constexpr std::size_t kSmallestBlockBytes = 32u << 10;
// Below this much text the threads would cost more than they save. A DST
// section of one marker over a minute of frames is about a megabyte: long
// recordings are many such runs, and each must use the cores.
constexpr std::size_t kParallelBytes = 256u << 10;
// A run is cut into at least this many blocks per thread: the last blocks
// of a run are formatted while fewer threads have work, so the more blocks,
// the less that costs.
constexpr std::size_t kBlocksPerThread = 4;

struct CBlockSizes {
  std::size_t block = kBlockBytes;
  std::size_t parallel = kParallelBytes;
  bool fixed = false;  // the block size was given
};

// KINEX2_BLOCK_BYTES=N cuts every run into blocks of about N bytes and puts
// even the smallest on the threads: the checks of the small real recordings
// go through the same hand-over as the long ones.
CBlockSizes BlockSizes() {
  static const CBlockSizes sizes = [] {
    CBlockSizes s;
    if (const char* v = std::getenv("KINEX2_BLOCK_BYTES")) {
      const long long n = std::atoll(v);
      if (n > 0) {
        s.block = static_cast<std::size_t>(n);
        s.parallel = 0;
        s.fixed = true;
      }
    }
    return s;
  }();
  return sizes;
}

// The block texts of one exporting thread's runs, kept from run to run: a
// recording of many channels is many runs, and strings grown afresh for
// each would cost the system's page faults again every time.
thread_local std::vector<std::string> t_spareTexts;
constexpr std::size_t kMostSpareTexts = 16;

std::string TakeSpareText() {
  if (t_spareTexts.empty()) return {};
  std::string text = std::move(t_spareTexts.back());
  t_spareTexts.pop_back();
  return text;
}

void KeepSpareText(std::string& text) {
  if (t_spareTexts.size() >= kMostSpareTexts) return;
  text.clear();
  t_spareTexts.push_back(std::move(text));
}

// Workers format blocks ahead of the writer into a ring of slots; a worker
// waits when it would run further ahead than the ring holds.
class CBlockPipeline {
 public:
  CBlockPipeline(const CBlockRun& run, std::int64_t itemsPerBlock, int threads,
                 const std::function<void(std::int64_t, std::int64_t, std::string&)>& format)
      : m_run(run),
        m_itemsPerBlock(itemsPerBlock),
        m_blocks((run.end - run.begin + itemsPerBlock - 1) / itemsPerBlock),
        m_slots(static_cast<std::size_t>(threads) * 2 + 2),
        m_format(format) {
    for (Slot& slot : m_slots) slot.text = TakeSpareText();
    m_workerTexts.resize(static_cast<std::size_t>(threads));
    for (std::string& text : m_workerTexts) text = TakeSpareText();
    m_workers.reserve(static_cast<std::size_t>(threads));
    for (std::size_t t = 0; t < m_workerTexts.size(); ++t) {
      m_workers.emplace_back([this, t] { Work(t); });
    }
  }
  ~CBlockPipeline() {
    {
      std::lock_guard lock(m_mutex);
      m_stop = true;
    }
    m_changed.notify_all();
    for (std::thread& w : m_workers) w.join();
    for (Slot& slot : m_slots) KeepSpareText(slot.text);
    for (std::string& text : m_workerTexts) KeepSpareText(text);
  }
  CBlockPipeline(const CBlockPipeline&) = delete;
  CBlockPipeline& operator=(const CBlockPipeline&) = delete;

  std::int64_t Blocks() const { return m_blocks; }
  std::int64_t BlockBegin(std::int64_t b) const { return m_run.begin + b * m_itemsPerBlock; }
  std::int64_t BlockEnd(std::int64_t b) const {
    return std::min(BlockBegin(b) + m_itemsPerBlock, m_run.end);
  }

  // Waits for block `b` (the next in order) and hands its text over; a
  // worker's exception comes out here.
  std::string& Take(std::int64_t b) {
    std::unique_lock lock(m_mutex);
    Slot& slot = SlotOf(b);
    m_changed.wait(lock, [&] { return slot.ready || m_error; });
    if (m_error) std::rethrow_exception(m_error);
    return slot.text;
  }
  // Block `b` is in the file: its slot may take a later block.
  void Release(std::int64_t b) {
    {
      std::lock_guard lock(m_mutex);
      SlotOf(b).ready = false;
      SlotOf(b).text.clear();
      m_written = b + 1;
    }
    m_changed.notify_all();
  }

 private:
  struct Slot {
    std::string text;
    bool ready = false;
  };
  Slot& SlotOf(std::int64_t b) { return m_slots[static_cast<std::size_t>(b) % m_slots.size()]; }

  void Work(std::size_t worker) {
    // Formatted into a string on the worker's own stack: two workers
    // appending to strings side by side in one vector would share the
    // cache line of their lengths and slow each other down.
    std::string text = std::move(m_workerTexts[worker]);
    FormatBlocks(text);
    m_workerTexts[worker] = std::move(text);
  }

  void FormatBlocks(std::string& text) {
    for (;;) {
      std::int64_t b = 0;
      {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] {
          return m_stop || m_next >= m_blocks ||
                 m_next < m_written + static_cast<std::int64_t>(m_slots.size());
        });
        if (m_stop || m_next >= m_blocks) return;
        b = m_next++;
      }
      text.clear();
      try {
        m_format(BlockBegin(b), BlockEnd(b), text);
      } catch (...) {
        std::lock_guard lock(m_mutex);
        if (!m_error) m_error = std::current_exception();
        m_stop = true;
        m_changed.notify_all();
        return;
      }
      {
        std::lock_guard lock(m_mutex);
        // The slot's old string goes back to the worker, so both keep
        // their capacity from block to block.
        Slot& slot = SlotOf(b);
        slot.text.swap(text);
        slot.ready = true;
      }
      m_changed.notify_all();
    }
  }

  const CBlockRun& m_run;
  const std::int64_t m_itemsPerBlock;
  const std::int64_t m_blocks;
  std::vector<Slot> m_slots;
  std::vector<std::string> m_workerTexts;  // one per worker, swapped with the slots
  const std::function<void(std::int64_t, std::int64_t, std::string&)>& m_format;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::int64_t m_next = 0;     // the next block a worker takes
  std::int64_t m_written = 0;  // blocks already in the file
  bool m_stop = false;
  std::exception_ptr m_error;
  std::vector<std::thread> m_workers;
};

}  // namespace

int AvailableCores() {
#ifdef _WIN32
  DWORD_PTR process = 0;
  DWORD_PTR system = 0;
  if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system) && process != 0) {
    int n = 0;
    for (; process != 0; process &= process - 1) ++n;
    return n;
  }
#elif defined(__linux__)
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(CPU_COUNT(&set), 1);
#endif
  return static_cast<int>(std::max(std::thread::hardware_concurrency(), 1u));
}

int ExportThreads(int requested) {
  return requested > 0 ? requested : AvailableCores();
}

void WriteInBlocks(COutputFile& file, const CBlockRun& run,
                   const std::function<void(std::int64_t, std::int64_t, std::string&)>& format,
                   const std::function<void(std::int64_t, std::int64_t)>& written) {
  if (run.end <= run.begin) return;
  const CBlockSizes sizes = BlockSizes();
  const std::size_t bytesPerItem = std::max<std::size_t>(run.bytesPerItem, 1);
  const auto items = static_cast<std::size_t>(run.end - run.begin);
  const bool parallel = run.threads >= 2 && items * bytesPerItem >= sizes.parallel;
  std::size_t blockBytes = sizes.block;
  if (parallel && !sizes.fixed) {
    const std::size_t share =
        items * bytesPerItem / (kBlocksPerThread * static_cast<std::size_t>(run.threads));
    blockBytes = std::clamp(share, kSmallestBlockBytes, kBlockBytes);
  }
  const auto itemsPerBlock =
      static_cast<std::int64_t>(std::max<std::size_t>(blockBytes / bytesPerItem, 1));
  if (!parallel) {
    for (std::int64_t b = run.begin; b < run.end; b += itemsPerBlock) {
      const std::int64_t e = std::min(b + itemsPerBlock, run.end);
      format(b, e, file.Buffer());
      file.MaybeFlush();
      if (written) written(b, e);
    }
    return;
  }
  CBlockPipeline pipeline(run, itemsPerBlock, run.threads, format);
  for (std::int64_t b = 0; b < pipeline.Blocks(); ++b) {
    file.Write(pipeline.Take(b));
    if (written) written(pipeline.BlockBegin(b), pipeline.BlockEnd(b));
    pipeline.Release(b);
  }
}
