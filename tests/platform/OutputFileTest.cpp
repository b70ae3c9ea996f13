#include "platform/OutputFile.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <csignal>
#include <fstream>
#include <thread>

#include "support/TestSupport.h"

namespace {

using testsupport::ReadFileText;
using testsupport::RecordingPlatform;
using testsupport::TempDir;

void WriteText(const std::filesystem::path& p, const std::string& text) {
  std::ofstream(p, std::ios::binary) << text;
}

// Writes `text` through a COutputFile; the bytes reported, or 0.
std::uint64_t Export(RecordingPlatform& platform, const std::filesystem::path& target,
                     const std::string& text) {
  COutputFile file(platform, target);
  if (!file.Create(true)) return 0;
  file.Buffer() += text;
  return file.Commit();
}

int FilesIn(const std::filesystem::path& dir) {
  int n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

// Permission bits, owners, symbolic links, FIFOs, device names and POSIX
// signals: what Windows has none of, or no such thing in its file system.
#ifndef _WIN32
unsigned ModeOf(const std::filesystem::path& p) {
  struct stat st {};
  ::stat(p.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(OutputFileTest, ReplacingKeepsTheLinkAndTheModeAndLeavesNoTemporaryFile) {
  TempDir dir;
  RecordingPlatform platform;
  const auto real = dir / "real.dst";
  WriteText(real, "old");
  ::chmod(real.c_str(), 0640);
  const auto link = dir / "link.dst";
  std::filesystem::create_symlink(real, link);

  EXPECT_EQ(Export(platform, link, "new"), 3u);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFileText(real), "new");
  EXPECT_EQ(ModeOf(real), 0640u);
  EXPECT_EQ(FilesIn(dir.path()), 2);

  // A link made for a file still to come keeps pointing at it.
  std::filesystem::create_directory(dir / "later");
  const auto ahead = dir / "ahead.dst";
  std::filesystem::create_symlink("later/new.dst", ahead);
  EXPECT_EQ(Export(platform, ahead, "made"), 4u);
  EXPECT_TRUE(std::filesystem::is_symlink(ahead));
  EXPECT_EQ(ReadFileText(dir / "later" / "new.dst"), "made");

  // The superuser replacing another user's file gives it back to that user.
  if (::geteuid() != 0) return;
  ASSERT_EQ(::chown(real.c_str(), 65534, 65534), 0);
  EXPECT_EQ(Export(platform, real, "theirs"), 6u);
  struct stat st {};
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 65534u);
  EXPECT_EQ(st.st_gid, 65534u);
}
#endif

TEST(OutputFileTest, AReadOnlyTargetIsRefusedAndLeftAlone) {
  TempDir dir;
  RecordingPlatform platform;
  platform.answerYes = true;
  const auto target = dir / "locked.dst";
  WriteText(target, "old");
  std::filesystem::permissions(target, std::filesystem::perms::owner_read |
                                          std::filesystem::perms::group_read |
                                          std::filesystem::perms::others_read);
  COutputFile file(platform, target);
  EXPECT_FALSE(file.Create(false));
  EXPECT_TRUE(platform.questions.empty());
  ASSERT_EQ(platform.Texts().size(), 1u);
  EXPECT_EQ(platform.Texts()[0],
            "ERROR in " + target.string() + " : The file could not be accessed");
  EXPECT_EQ(ReadFileText(target), "old");
}

#ifdef _WIN32
// A target another program holds open without sharing (a spreadsheet showing
// last week's table) cannot be replaced: the export says so and the file is
// left as it was.
TEST(OutputFileTest, ALockedTargetIsReportedAndLeftAlone) {
  TempDir dir;
  RecordingPlatform platform;
  const auto target = dir / "shown.txt";
  WriteText(target, "old");
  const HANDLE held = ::CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Export(platform, target, "new"), 0u);
  ::CloseHandle(held);
  EXPECT_EQ(ReadFileText(target), "old");
  ASSERT_EQ(platform.Texts().size(), 1u);
  EXPECT_EQ(platform.Texts()[0].rfind("ERROR in " + target.string() + " : ", 0), 0u)
      << platform.Texts()[0];
  EXPECT_EQ(FilesIn(dir.path()), 1);
}
#endif

TEST(OutputFileTest, ALongTargetNameFitsItsTemporaryName) {
  TempDir dir;
  RecordingPlatform platform;
  const auto target = dir / (std::string(250, 'n') + ".dst");
  EXPECT_EQ(Export(platform, target, "x"), 1u) << platform.Texts().front();
}

#ifndef _WIN32
TEST(OutputFileTest, PipesAndDevicesAreWrittenInPlace) {
  TempDir dir;
  RecordingPlatform platform;
  const auto fifo = dir / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Nobody reads: the open fails at once instead of hanging.
  EXPECT_EQ(Export(platform, fifo, "x"), 0u);
  EXPECT_EQ(platform.Texts().size(), 1u);

  std::string received;
  std::thread reader([&] { received = ReadFileText(fifo); });
  // The reader's open blocks until a writer comes; retry until it is there.
  std::uint64_t bytes = 0;
  for (int i = 0; i < 500 && bytes == 0; ++i) {
    bytes = Export(platform, fifo, "through the pipe");
    if (bytes == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  reader.join();
  EXPECT_EQ(bytes, 16u);
  EXPECT_EQ(received, "through the pipe");
  EXPECT_EQ(std::filesystem::status(fifo).type(), std::filesystem::file_type::fifo);

  // On a terminal the export waits for its reader, as a shell would.
  struct CTerminal : RecordingPlatform {
    bool MayWaitForPipeReader() const override { return true; }
  } terminal;
  std::uint64_t waited = 0;
  std::thread writer([&] { waited = Export(terminal, fifo, "waited"); });
  EXPECT_EQ(ReadFileText(fifo), "waited");
  writer.join();
  EXPECT_EQ(waited, 6u);

  // A name of one of the program's descriptors (as /dev/stdout is) writes
  // through it: a file opened for appending keeps what it held.
  const auto log = dir / "appended.txt";
  WriteText(log, "kept ");
  const int fd = ::open(log.c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(Export(platform, "/dev/fd/" + std::to_string(fd), "added"), 5u);
  // So does a link to such a name, and never into the recording being read.
  std::filesystem::create_symlink("/dev/fd/" + std::to_string(fd), dir / "to-fd.txt");
  EXPECT_EQ(Export(platform, dir / "to-fd.txt", " more"), 5u);
  COutputFile intoInput(platform, dir / "to-fd.txt");
  EXPECT_FALSE(intoInput.Create(true, log));
  ::close(fd);
  EXPECT_EQ(ReadFileText(log), "kept added more");

  if (::geteuid() != 0) GTEST_SKIP() << "replacing a device node needs root to show";
  RecordingPlatform quiet;
  EXPECT_EQ(Export(quiet, "/dev/null", "nothing"), 7u);
  EXPECT_EQ(std::filesystem::status("/dev/null").type(), std::filesystem::file_type::character);
}

#endif

TEST(OutputFileTest, AFullDiskStopsTheWriterAtTheFirstFailedWrite) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  RecordingPlatform platform;
  COutputFile file(platform, "/dev/full");
  ASSERT_TRUE(file.Create(true));
  file.Buffer().assign(2u << 20, 'x');
  EXPECT_THROW(file.MaybeFlush(), COutputFile::CWriteFailed);
  EXPECT_EQ(file.Commit(), 0u);
  EXPECT_EQ(platform.Texts(), std::vector<std::string>{"ERROR in /dev/full : The disk is full"});
}

#ifndef _WIN32
// Writes 3 MB of an export to `target`, then raises `sig` before the commit.
void WriteThenRaise(const std::filesystem::path& target, int sig) {
  RecordingPlatform platform;
  COutputFile file(platform, target);
  if (!file.Create(true)) std::_Exit(1);
  file.Buffer().assign(3u << 20, 'x');
  file.MaybeFlush();
  std::raise(sig);
}

TEST(OutputFileTest, AnInterruptRemovesTheTemporaryFileAndKeepsTheOldTarget) {
  TempDir dir;
  const auto target = dir / "out.dst";
  WriteText(target, "old");
  EXPECT_EXIT(WriteThenRaise(target, SIGINT), testing::ExitedWithCode(128 + SIGINT), "");
  EXPECT_EQ(ReadFileText(target), "old");
  EXPECT_EQ(FilesIn(dir.path()), 1);
}
#endif

// Two conversions to one new name: the second to finish finds the first's
// file there and asks, as for any existing output; No keeps the first.
TEST(OutputFileTest, TwoWritersOfOneNewFileNeverReplaceEachOther) {
  TempDir dir;
  const auto target = dir / "new.dst";
  RecordingPlatform first;
  RecordingPlatform second;
  COutputFile a(first, target);
  COutputFile b(second, target);
  ASSERT_TRUE(a.Create(false));
  ASSERT_TRUE(b.Create(false));
  a.Buffer() += "first";
  b.Buffer() += "second";
  EXPECT_EQ(a.Commit(), 5u);
  EXPECT_EQ(b.Commit(), 0u);
  ASSERT_EQ(second.questions.size(), 1u);
  EXPECT_EQ(second.questions[0].rfind("The File " + target.string() + " already exists.", 0), 0u);
  EXPECT_TRUE(second.messages.empty());
  EXPECT_EQ(ReadFileText(target), "first");
  EXPECT_EQ(FilesIn(dir.path()), 1);
  // Yes replaces it, as an overwrite asked at the start would.
  COutputFile c(second, dir / "other.dst");
  ASSERT_TRUE(c.Create(false));
  WriteText(dir / "other.dst", "meanwhile");
  second.answerYes = true;
  c.Buffer() += "third";
  EXPECT_EQ(c.Commit(), 5u);
  EXPECT_EQ(ReadFileText(dir / "other.dst"), "third");
  EXPECT_EQ(FilesIn(dir.path()), 2);
}

#ifdef __linux__
// Killed outright, a conversion leaves nothing: its file has no name until
// it is committed.
TEST(OutputFileTest, AKilledWriterLeavesNoFile) {
  TempDir dir;
  const auto target = dir / "out.dst";
  EXPECT_EXIT(WriteThenRaise(target, SIGKILL), testing::KilledBySignal(SIGKILL), "");
  EXPECT_EQ(FilesIn(dir.path()), 0);
}
#endif

}  // namespace
