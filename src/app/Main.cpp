#include "app/Main.h"

#include <cstdio>
#include <cstring>

#include "app/InfoCommand.h"

namespace {
void PrintUsage(std::FILE* f) {
  std::fputs(
      "Usage:\n"
      "  kinex2 info FILE        print the header, events, parameters, channels and points\n"
      "  kinex2 --help           this text\n",
      f);
}
}  // namespace

int Kinex2Main(int argc, char** argv) {
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    PrintUsage(stdout);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "info") == 0) return RunInfoCommand(argv[2], stdout);
  PrintUsage(stderr);
  return 2;
}
