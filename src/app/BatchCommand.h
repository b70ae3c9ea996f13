#pragma once
// `kinex2 batch LIST ...`: the batch export without a window. Every row's
// "Exporting from %s To %s" line and every error go to `err`; a progress line
// over the rows is drawn there when it is a terminal. The settings are read,
// never written back.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/SettingsList.h"

// `args` after "batch"; `settingsFile`/`iniFile` from before the verb unless
// the verb names its own. Exit status 0 every row written, 1 any row not (or
// the list unreadable), 2 a malformed command line or an unreadable settings
// or kinex2.ini file.
int RunBatchCommand(const std::vector<std::string>& args, std::FILE* err,
                    const std::filesystem::path& settingsFile = {},
                    const std::filesystem::path& iniFile = {},
                    const std::vector<CSettingOverride>& sets = {});
