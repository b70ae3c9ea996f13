#pragma once
// `kinex2 info FILE`: prints what a recording holds, for people and scripts.

#include <cstdio>
#include <filesystem>

// Exit status 0 when the file opened, 1 when it did not.
int RunInfoCommand(const std::filesystem::path& file, std::FILE* out);
