#include "platform/BlockWriter.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/OutputFile.h"
#include "support/TestSupport.h"

namespace {

// Items whose text differs in length from item to item, so that a block put
// in the wrong place or twice shows in the bytes. The estimate per item is
// far above the text made, so a few thousand items already count as a long
// run and go to the threads.
constexpr std::size_t kClaimedBytes = 1000;

void FormatItems(std::int64_t b, std::int64_t e, std::string& out) {
  for (std::int64_t i = b; i < e; ++i) {
    out += std::to_string(i * 7919 % 100003);
    out += i % 3 == 0 ? ",\n" : " ";
  }
}

std::string Written(const std::filesystem::path& path, const CBlockRun& run,
                    std::int64_t* stepsInOrder = nullptr) {
  testsupport::RecordingPlatform platform;
  COutputFile file(platform, path);
  EXPECT_TRUE(file.Create(true));
  std::int64_t next = run.begin;
  WriteInBlocks(file, run, FormatItems, [&](std::int64_t b, std::int64_t e) {
    // Called on this thread, block after block, every item once.
    EXPECT_EQ(b, next);
    next = e;
  });
  EXPECT_EQ(next, run.end > run.begin ? run.end : run.begin);
  if (stepsInOrder != nullptr) *stepsInOrder = next - run.begin;
  EXPECT_GT(file.Commit(), 0u);
  return testsupport::ReadFileText(path);
}

TEST(BlockWriter, AnyNumberOfThreadsWritesTheBytesOfOneLoop) {
  testsupport::TempDir dir;
  for (const auto& [begin, end] : {std::pair<std::int64_t, std::int64_t>{0, 5000},
                                   {17, 40001},
                                   {3, 4}}) {
    std::string expected;
    FormatItems(begin, end, expected);
    for (int threads : {1, 2, 3, 8}) {
      std::int64_t steps = 0;
      EXPECT_EQ(Written(dir / "out.txt", {begin, end, kClaimedBytes, threads}, &steps), expected)
          << begin << ".." << end << " on " << threads;
      EXPECT_EQ(steps, end - begin);
    }
  }
}

// A failure in a worker's block, or in the writing thread, ends the run with
// that failure and leaves no thread behind.
TEST(BlockWriter, AFailureOnEitherSideStopsTheRun) {
  testsupport::TempDir dir;
  testsupport::RecordingPlatform platform;
  const CBlockRun run{0, 100000, kClaimedBytes, 3};
  {
    COutputFile file(platform, dir / "a.txt");
    ASSERT_TRUE(file.Create(true));
    EXPECT_THROW(WriteInBlocks(file, run,
                               [](std::int64_t b, std::int64_t e, std::string& out) {
                                 if (b <= 50000 && 50000 < e) throw std::runtime_error("block");
                                 FormatItems(b, e, out);
                               }),
                 std::runtime_error);
  }
  {
    COutputFile file(platform, dir / "b.txt");
    ASSERT_TRUE(file.Create(true));
    struct Stop {};
    EXPECT_THROW(WriteInBlocks(file, run, FormatItems,
                               [](std::int64_t b, std::int64_t) {
                                 if (b > 20000) throw Stop{};
                               }),
                 Stop);
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "a.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir / "b.txt"));
}

}  // namespace
