// A support program run from outside to its end, as a user would see it: its error box,
// when one is expected, found, read and dismissed; then its exit code.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "tests/support/Patience.h"

// CreateProcessW as the tests start every program: tried again a few times when the start
// fails for a moment on a loaded machine, while an earlier program is still being torn
// down (what the tests check begins once the program runs). False when every try failed;
// the last error is then written to stderr, so that a failed start says why.
bool startProcess(const wchar_t* application, std::wstring commandLine, const wchar_t* folder,
                  DWORD flags, void* environment, PROCESS_INFORMATION& process);

struct ProgramEnd {
  bool started = false;
  bool boxShown = false;  // the box with the expected caption appeared
  std::wstring boxText;
  bool boxIcon = false;
  bool runningWithBox = false;  // the process was there while its box was up
  DWORD exitCode = 0xDEAD0001;  // 0xDEAD0001: still running after the time allowed
};

// Starts `commandLine` (program and arguments, quoted as needed) in `folder` (the current
// folder when empty).
// With a `boxCaption`, waits for the process's box of that caption, reads it, runs `atBox`
// with the process id while the box is up, and presses its OK button. Then waits for the
// end; a program still running after that is ended.
ProgramEnd runProgramToEnd(std::string commandLine, const std::wstring& boxCaption = L"",
                           const std::function<void(DWORD processId)>& atBox = {},
                           const std::string& folder = "");

// A probe program of the tests (beside the test program) run to its end with a mode and a
// marker file, in which its end handler and release hook write what ran: its end as
// runProgramToEnd gives it, and what the marker holds afterwards.
struct ProbeEnd {
  ProgramEnd end;
  std::string marker;
};
ProbeEnd runProbeToEnd(const std::string& program, const std::string& mode,
                       const std::wstring& boxCaption,
                       const std::function<void(DWORD processId)>& atBox = {});
