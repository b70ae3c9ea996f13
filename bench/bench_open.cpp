// Opening large C3D files: time against reading the same bytes, and peak
// memory against the file size.
//   bench_open [--kinex2 PROGRAM SMALL.c3d] FILE...
// For each file, with the cache warm, prints the median of several opens, the
// median of reading the file whole into a buffer, the median of `cat FILE >
// /dev/null`, and the peak resident size of a fresh process that opens the
// file once. Targets: open within 5 x cat; peak at most 1.15 x the file size
// + 20 MB. With --kinex2, also the whole process as users run it: `PROGRAM
// info FILE` less `PROGRAM info SMALL.c3d` (the start-up), against cat in the
// same run. Exits with 1 when a file cannot be opened, 0 otherwise (missing a
// target is reported, not an error).

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BenchProcess.h"
#include "documents/FormatRegistry.h"
#include "model/Recording.h"

namespace {

constexpr int kRuns = 7;
constexpr double kTimeTarget = 5.0;            // open / cat
constexpr double kMemoryFactor = 1.15;         // peak <= factor * size + slack
constexpr double kMemorySlack = 20.0 * 1e6;    // bytes
constexpr char kChildOpen[] = "--child-open";  // internal: open once and exit
constexpr char kChildIdle[] = "--child-idle";  // internal: baseline process

// Opens with the reader the file's extension chooses.
bool OpenOnce(const std::string& path) {
  const std::unique_ptr<CRecording> reader = FormatFor(path).createReader();
  reader->fileName = path;
  return reader->Open();
}

// The file read whole into a fresh buffer of its size, then discarded.
bool ReadWhole(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  struct stat st {};
  ::fstat(fd, &st);
  const auto size = static_cast<std::size_t>(st.st_size);
  std::unique_ptr<char[]> buffer(new char[size]);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t r = ::read(fd, buffer.get() + done, size - done);
    if (r <= 0) break;
    done += static_cast<std::size_t>(r);
  }
  ::close(fd);
  return done == size;
}

std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Peak resident size in bytes of a fresh process running this program with
// `mode`, or -1.
double ChildPeak(const char* self, const char* mode, const std::string& path) {
  const pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    ::execl(self, self, mode, path.c_str(), static_cast<char*>(nullptr));
    std::_Exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (::wait4(pid, &status, 0, &usage) != pid) return -1;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return static_cast<double>(usage.ru_maxrss) * 1024.0;  // kilobytes on Linux
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], kChildOpen) == 0) return OpenOnce(argv[2]) ? 0 : 1;
  if (argc == 3 && std::strcmp(argv[1], kChildIdle) == 0) return 0;
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_open [--kinex2 PROGRAM SMALL.c3d] FILE...\n");
    return 2;
  }
  int first = 1;
  std::string program;
  std::string small;
  if (argc >= 4 && std::strcmp(argv[1], "--kinex2") == 0) {
    program = argv[2];
    small = argv[3];
    first = 4;
  }
  int failures = 0;
  for (int i = first; i < argc; ++i) {
    const std::string path = argv[i];
    std::error_code ec;
    const double size = static_cast<double>(std::filesystem::file_size(path, ec));
    if (ec || !OpenOnce(path)) {
      std::fprintf(stderr, "bench_open: cannot open %s\n", path.c_str());
      ++failures;
      continue;
    }
    const double open = bench::MedianTime(kRuns, 1, [&] { OpenOnce(path); });
    const double whole = bench::MedianTime(kRuns, 1, [&] { ReadWhole(path); });
    const std::string cat = "cat " + ShellQuote(path) + " > /dev/null";
    const double catTime = bench::MedianTime(kRuns, 1, [&] {
      if (std::system(cat.c_str()) != 0) std::fprintf(stderr, "bench_open: cat failed\n");
    });
    const double peak = ChildPeak(argv[0], kChildOpen, path);
    const double idle = ChildPeak(argv[0], kChildIdle, path);
    const double memoryLimit = kMemoryFactor * size + kMemorySlack;
    const double timeRatio = open / catTime;
    const bool timeOk = timeRatio <= kTimeTarget;
    const bool memoryOk = peak >= 0 && peak <= memoryLimit;

    std::printf(
        "%s %.1f MB: open %.1f ms = %.2f x cat (cat %.1f ms, read whole %.1f ms = %.2f x) "
        "[target %.0f x: %s]; peak %.1f MB = %.3f x file (idle process %.1f MB) "
        "[target %.1f MB: %s]\n",
        std::filesystem::path(path).filename().c_str(), size / 1e6, open * 1e3, timeRatio,
        catTime * 1e3, whole * 1e3, open / whole, kTimeTarget, timeOk ? "ok" : "OVER", peak / 1e6,
        peak / size, idle / 1e6, memoryLimit / 1e6, memoryOk ? "ok" : "OVER");
    if (!program.empty()) {
      const auto info = [&](const std::string& file) {
        const std::string command =
            ShellQuote(program) + " info " + ShellQuote(file) + " > /dev/null 2>&1";
        return bench::MedianTime(kRuns, 1, [&] {
          if (std::system(command.c_str()) != 0) std::fprintf(stderr, "bench_open: info failed\n");
        });
      };
      const double whole = info(path);
      const double startup = info(small);
      const double ratio = (whole - startup) / catTime;
      std::printf(
          "%s whole process: kinex2 info %.1f ms - start-up %.1f ms = %.1f ms = %.2f x cat "
          "[target %.0f x: %s]\n",
          std::filesystem::path(path).filename().c_str(), whole * 1e3, startup * 1e3,
          (whole - startup) * 1e3, ratio, kTimeTarget, ratio <= kTimeTarget ? "ok" : "OVER");
    }
    std::fflush(stdout);
  }
  return failures == 0 ? 0 : 1;
}
