#pragma once
// Where the program's own files live. kinex2.ini and the default log file
// Kinex2.log sit beside the executable; when that folder cannot be written (an
// installed program), they go to the per-user configuration folder instead,
// and the kinex2.ini installed beside the program is read until the user has
// saved a copy there (CKinex2App::IniReadPath).

#include <filesystem>
#include <string>
#include <string_view>

// The running executable; empty when the system cannot tell.
std::filesystem::path ExecutablePath();

// True when a file can be created in `folder` (read-only mounts and access
// lists included).
bool IsWritableFolder(const std::filesystem::path& folder);

// `executableFolder` when it can be written, otherwise `userConfigFolder`.
std::filesystem::path ChooseDataFolder(const std::filesystem::path& executableFolder,
                                       const std::filesystem::path& userConfigFolder);

// The per-user configuration folder of the program (its files go there when the
// executable's folder cannot be written). Not created here.
std::filesystem::path UserConfigFolder();

// The folder this process uses for kinex2.ini and Kinex2.log (for the help text).
std::filesystem::path Kinex2DataFolder();

// Paths travel as UTF-8 text in settings and messages.
std::filesystem::path PathFromUtf8(std::string_view text);
std::string PathToUtf8(const std::filesystem::path& path);
