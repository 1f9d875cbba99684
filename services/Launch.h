// Starting another program from a command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "services/Path.h"

// The wShowWindow value for a show mode 1..6 (absent counts as 2; clamped to 1..6).
int32_t showWindowForMode(std::optional<int32_t> showMode);

// CreateProcessW with the command line unchanged. The started program's current directory
// is `directory`, or the launcher's own when that is empty. wait: until it ends; otherwise
// up to one second for it to become ready for input. Both handles are closed before
// returning. True when the program was started.
bool runProgram(const std::wstring& commandLine, bool wait = false,
                std::optional<int32_t> showMode = std::nullopt, const Path& directory = Path());

// Starts this program again with administrator rights (the "runas" verb, which asks the
// user) and the arguments, and waits for it to end; meanwhile the thread's windows take no
// input, as under a task-modal message box, but keep painting. Its exit code, or none when
// it was not started: the user refused, or the platform could not start it.
std::optional<uint32_t> runSelfAsAdministrator(const std::wstring& arguments);
