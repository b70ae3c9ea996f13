#pragma once
// Shared by the benchmarks: running a command in a fresh process, and
// median timings.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace bench {

// A folder in memory (/dev/shm) where the system has one, else the
// temporary folder: benchmarks of the cores then measure the cores, not the
// disk's writing back of what earlier runs wrote.
inline std::string ScratchFolder() {
  struct stat st {};
  if (::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && ::access("/dev/shm", W_OK) == 0)
    return "/dev/shm";
  const char* tmp = std::getenv("TMPDIR");
  return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

// The middle value of `v` (not empty).
inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The median wall time in seconds of `runs` timed calls of `run`, after
// `warmups` untimed ones (to warm the cache and the allocator).
template <typename F>
double MedianTime(int runs, int warmups, F&& run) {
  for (int i = 0; i < warmups; ++i) run();
  std::vector<double> t;
  for (int i = 0; i < runs; ++i) {
    const auto a = std::chrono::steady_clock::now();
    run();
    t.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - a).count());
  }
  return Median(t);
}

// Runs `args` (the program's path first) with standard output and error sent
// to /dev/null, the cheapest way to start a process; true when it exited 0.
inline bool Spawn(const std::vector<std::string>& args) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs `args` (the program first, looked up on PATH when it has no slash) with
// its standard error sent to /dev/null; returns its wall time in seconds and
// sets its peak resident memory in MB (-1 when it failed, unless `anyExit`:
// a run meant to be refused).
inline double RunChild(const std::vector<std::string>& args, double& peakMb, bool anyExit = false) {
  const auto a = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const auto& s : args) argv.push_back(const_cast<char*>(s.c_str()));
    argv.push_back(nullptr);
    std::freopen("/dev/null", "w", stderr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  struct rusage ru {};
  ::wait4(pid, &status, 0, &ru);
  peakMb = static_cast<double>(ru.ru_maxrss) / 1024.0;
  if (!WIFEXITED(status) || (WEXITSTATUS(status) != 0 && !anyExit)) peakMb = -1;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - a).count();
}

}  // namespace bench
