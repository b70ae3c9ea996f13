#include "platform/Files.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <csignal>
#include <thread>
#include <vector>

#include "platform/Text.h"
#include "support/TestSupport.h"

namespace {

TEST(FilesTest, FullPathIsAbsoluteAndLexicallyNormal) {
  const auto cwd = std::filesystem::current_path();
  EXPECT_EQ(FullPath("a/./b/../c.c3d"), cwd / "a" / "c.c3d");
#ifdef _WIN32
  // Drive letters and UNC shares keep their root; either slash separates.
  EXPECT_EQ(FullPath("C:\\x\\y\\..\\z.c3d"), std::filesystem::path("C:\\x\\z.c3d"));
  EXPECT_EQ(FullPath("C:/x/./z.c3d"), std::filesystem::path("C:\\x\\z.c3d"));
  // A UNC name's root is its server and share.
  EXPECT_EQ(FullPath("\\\\lab\\gait\\day1\\..\\trials\\a.c3d"),
            std::filesystem::path("\\\\lab\\gait\\trials\\a.c3d"));
  EXPECT_EQ(FullPath("//lab/gait/../x.c3d"), std::filesystem::path("\\\\lab\\gait\\x.c3d"));
  // A name from the root of the current drive takes that drive.
  EXPECT_EQ(FullPath("/x/y/../z.c3d"), cwd.root_name() / "\\x\\z.c3d");
#else
  EXPECT_EQ(FullPath("/x/y/../z.c3d"), std::filesystem::path("/x/z.c3d"));
#endif
}

TEST(FilesTest, CausesAndTextsOfFileErrors) {
  EXPECT_EQ(FileErrorCauseFromErrno(ENOENT), 2);
  EXPECT_EQ(FileErrorCauseFromErrno(ENOTDIR), 3);
  EXPECT_EQ(FileErrorCauseFromErrno(ENAMETOOLONG), 3);
  EXPECT_EQ(FileErrorCauseFromErrno(EMFILE), 4);
  EXPECT_EQ(FileErrorCauseFromErrno(EACCES), 5);
  EXPECT_EQ(FileErrorCauseFromErrno(EISDIR), 5);
  EXPECT_EQ(FileErrorCauseFromErrno(EBADF), 6);
  EXPECT_EQ(FileErrorCauseFromErrno(EIO), 10);
  EXPECT_EQ(FileErrorCauseFromErrno(ENOSPC), 13);
  EXPECT_EQ(FileErrorCauseFromErrno(EINVAL), 1);
  EXPECT_STREQ(FileErrorText(2), "The file could not be located");
  EXPECT_STREQ(FileErrorText(11), "SHARE.EXE was not loaded, or a shared region was locked");
  EXPECT_STREQ(FileErrorText(7), "");
}

TEST(FilesTest, ReadsOutsideTheFileAreZeroFilled) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir / "f.bin", {1, 2, 3, 4});
  CInputFile f;
  int cause = 0;
  ASSERT_TRUE(f.Open(dir / "f.bin", cause));
  EXPECT_EQ(f.Size(), 4);
  unsigned char b[6] = {9, 9, 9, 9, 9, 9};
  EXPECT_EQ(f.ReadAt(-2, b, 6), 4u);
  EXPECT_EQ(std::vector<unsigned char>(b, b + 6), (std::vector<unsigned char>{0, 0, 1, 2, 3, 4}));
  EXPECT_EQ(f.ReadAt(2, b, 6), 2u);
  EXPECT_EQ(std::vector<unsigned char>(b, b + 6), (std::vector<unsigned char>{3, 4, 0, 0, 0, 0}));
  EXPECT_EQ(f.ReadAt(100, b, 2), 0u);
  EXPECT_EQ(b[0], 0);
}

TEST(FilesTest, OpenFailuresGiveTheirCause) {
  testsupport::TempDir dir;
  CInputFile f;
  int cause = 0;
  EXPECT_FALSE(f.Open(dir / "missing.c3d", cause));
  EXPECT_EQ(cause, kFileNotFound);
  EXPECT_FALSE(f.Open(dir.path(), cause));
  EXPECT_EQ(cause, kFileAccessDenied);
  testsupport::WriteFile(dir / "plain", {1});
  EXPECT_FALSE(f.Open(dir / "plain" / "below.c3d", cause));
#ifdef _WIN32
  // Windows says a name below a file is not there.
  EXPECT_EQ(cause, kFileNotFound);
#else
  EXPECT_EQ(cause, kFileBadPath);
  // A device would be read without end.
  EXPECT_FALSE(f.Open("/dev/zero", cause));
  EXPECT_EQ(cause, kFileAccessDenied);
#endif
}

// Settings files are checked with it: a FIFO nobody writes to must be refused
// at once, not hang the program.
TEST(FilesTest, OnlyReadableRegularFilesAreReadableRegularFiles) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir / "s.ini", {'[', ']'});
  EXPECT_TRUE(IsReadableRegularFile(dir / "s.ini"));
  EXPECT_FALSE(IsReadableRegularFile(dir / "missing.ini"));
  EXPECT_FALSE(IsReadableRegularFile(dir.path()));
#ifndef _WIN32
  // Windows has neither named FIFOs in the file system nor a read
  // permission bit to take away.
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_FALSE(IsReadableRegularFile(dir / "fifo"));
  if (::geteuid() != 0) {
    std::filesystem::permissions(dir / "s.ini", std::filesystem::perms::owner_write);
    EXPECT_FALSE(IsReadableRegularFile(dir / "s.ini"));
  }
#endif
}

// Batch rows read their recordings at once, and each reader sizes its
// samples against the machine's memory: under Wine a thread asking while
// another's first question was under way was told 0 bytes.
TEST(FilesTest, TheMachinesMemoryIsKnownToThreadsAskingAtOnce) {
  std::vector<std::uint64_t> answers(8);
  std::vector<std::thread> threads;
  for (std::uint64_t& a : answers) threads.emplace_back([&a] { a = PhysicalMemoryBytes(); });
  for (std::thread& t : threads) t.join();
  for (const std::uint64_t a : answers) {
    EXPECT_GT(a, std::uint64_t{64} << 20);
    EXPECT_EQ(a, answers.front());
  }
}

TEST(TextTest, CaseFoldingAndTrimmingAreLocaleFree) {
  EXPECT_TRUE(EqualsNoCase("Gen_Scale", "GEN_SCALE"));
  EXPECT_FALSE(EqualsNoCase("\xE9", "\xC9"));  // only ASCII letters fold
  EXPECT_EQ(Trim(" \t\v\f\r\nLASI \n"), "LASI");
  EXPECT_EQ(Trim("\xA0X"), "\xA0X");
  EXPECT_EQ(ReplaceAll("EMG 1-L", ' ', '_'), "EMG_1-L");
}

}  // namespace

namespace {
// FIFOs in the file system are POSIX: Windows names its pipes elsewhere.
#ifndef _WIN32
TEST(FilesTest, AFifoInputIsReadToItsEndAndNeverHangs) {
  testsupport::TempDir dir;
  const auto fifo = dir / "in.c3d";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  CInputFile file;
  int cause = 0;
  // Nobody writes: an empty input at once.
  ASSERT_TRUE(file.Open(fifo, cause));
  EXPECT_EQ(file.Size(), 0);
  file.Close();

  // A writer that is there before the reader: the input is read to its end.
  bool opened = false;
  ASSERT_TRUE(testsupport::FeedFifo(fifo, std::string(100000, 'c'),
                                    [&] { opened = file.Open(fifo, cause); }));
  ASSERT_TRUE(opened);
  const std::int64_t size = file.Size();
  ASSERT_EQ(size, 100000);
  char tail[4] = {};
  EXPECT_EQ(file.ReadAt(99998, tail, 4), 2u);
  EXPECT_EQ(std::string(tail, 4), std::string("cc\0\0", 4));
}

// A writer that opens the FIFO only after the reader: waited for, as a
// shell's redirection waits, where the caller may wait.
TEST(FilesTest, AFifoInputWaitsForALateWriter) {
  testsupport::TempDir dir;
  const auto fifo = dir / "late.c3d";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const int w = ::open(fifo.c_str(), O_WRONLY);
    if (w >= 0) {
      [[maybe_unused]] const ssize_t n = ::write(w, "late", 4);
      ::close(w);
    }
  });
  CInputFile file;
  int cause = 0;
  CPipeReading wait;
  wait.waitForWriter = true;
  ASSERT_TRUE(file.Open(fifo, cause, wait));
  writer.join();
  EXPECT_EQ(file.Size(), 4);
}

// A pipe whose first block no reader would take is not read on: a stream of
// zeros costs a block, not the machine's memory.
TEST(FilesTest, AnImplausiblePipeIsReadNoFurtherThanItsFirstBlocks) {
  testsupport::TempDir dir;
  const auto fifo = dir / "zeros.c3d";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  CInputFile file;
  int cause = 0;
  CPipeReading check;
  check.waitForWriter = true;
  check.plausible = [](const unsigned char* head, std::size_t n) {
    return n >= 2 && head[1] == 'P';
  };
  std::signal(SIGPIPE, SIG_IGN);  // the writer is left with a closed pipe
  std::thread writer([&] {
    const int w = ::open(fifo.c_str(), O_WRONLY);
    const std::string zeros(1 << 20, '\0');
    for (int i = 0; w >= 0 && i < 32; ++i) {
      if (::write(w, zeros.data(), zeros.size()) < 0) break;  // EPIPE once the reader stopped
    }
    if (w >= 0) ::close(w);
  });
  const bool opened = file.Open(fifo, cause, check);
  const std::int64_t size = file.Size();
  file.Close();
  writer.join();
  ASSERT_TRUE(opened);
  EXPECT_LT(size, 4 << 20);
  EXPECT_GE(size, static_cast<std::int64_t>(CInputFile::kProbeBytes));
}
#endif
}  // namespace
