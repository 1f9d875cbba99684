// What the launcher logic needs from the process around it besides files and profiles:
// the run directory, a message box, starting a program and ending after a failure. The
// program's host is in app/; tests use a recording host in a temporary folder.
#pragma once

#include <cstdint>
#include <string>

#include "services/Path.h"
#include "services/Text.h"

class LauncherHost {
 public:
  virtual ~LauncherHost() = default;
  virtual Path runDirectory() = 0;
  // Caption "信息："; the message is UTF-16 so that the paths in it are shown as they are.
  virtual void showMessage(const std::wstring& message, int32_t buttons) = 0;
  // No wait, shown normally, started in `directory`.
  virtual bool startProgram(const std::wstring& commandLine, const Path& directory) = 0;
  // Ends the process with exit code 0xFFFFFFFF; a test host records the call and returns.
  virtual void endAfterFailure() = 0;
};
