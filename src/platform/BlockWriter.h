#pragma once
// Writing a long run of formatted items (samples, frames, rows) on every core
// while the file keeps its exact bytes: the run is cut into blocks, worker
// threads format the blocks into their own strings, and the calling thread
// appends them to the file strictly in order. Each item's text depends only
// on the item, so the bytes are those of a loop over the items on one thread.
// Runs too small to pay for the threads, and processes that may use a single
// core, are formatted on the calling thread as they always were.

#include <cstdint>
#include <functional>
#include <string>

class COutputFile;

// The cores this process may run on (its CPU affinity: `taskset -c 0` gives
// 1), at least 1.
int AvailableCores();

// How many threads an export uses: `requested` when positive, else every
// core available.
int ExportThreads(int requested);

struct CBlockRun {
  std::int64_t begin = 0;
  std::int64_t end = 0;  // one past the last item
  // A guess at the text one item makes, to size the blocks and to leave
  // small runs on one thread.
  std::size_t bytesPerItem = 16;
  int threads = 1;
};

// Appends the text of items run.begin .. run.end - 1 to `file`:
// `format(b, e, out)` appends the text of items b .. e - 1 to `out`, and may
// run on any thread at once with other blocks (it must only read shared
// data). `written(b, e)`, when given, runs on the calling thread after the
// block's text went to the file, blocks in order: for progress steps and for
// anything that must add up over the items in their order (means and
// deviations). A failed write of the file, or an exception of either
// function, stops the workers and leaves this function with that exception.
void WriteInBlocks(COutputFile& file, const CBlockRun& run,
                   const std::function<void(std::int64_t, std::int64_t, std::string&)>& format,
                   const std::function<void(std::int64_t, std::int64_t)>& written = {});
