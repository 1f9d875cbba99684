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

// How a start of this program with administrator rights went.
struct AdministratorRun {
  enum class Outcome {
    ended,       // it was started and has ended
    refused,     // the user refused the system's prompt
    notStarted,  // the system could not start it
  };
  Outcome outcome = Outcome::notStarted;
  uint32_t exitCode = 0;  // ended: its exit code
  uint32_t error = 0;     // notStarted: the system's error code
  std::wstring reason;    // notStarted: the system's wording of that code; may be empty
};

// Starts this program again with administrator rights (the "runas" verb, which asks the
// user) and the arguments, and waits for it to end; meanwhile the thread's windows take no
// input, as under a task-modal message box, but keep painting. The program is named to the
// system by its file name alone, in its own folder, so that no folder name (one holding
// "%PATH%", say) can change what is started.
AdministratorRun runSelfAsAdministrator(const std::wstring& arguments);

// The system's own wording of an error code, without the line break it ends with; empty
// when the system has none.
std::wstring systemErrorText(uint32_t error);
