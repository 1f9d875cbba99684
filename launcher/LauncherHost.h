// What the launcher logic needs from the process around it besides files and profiles:
// the run directory, a message box, starting a program and ending after a failure. The
// program's host is in app/; tests use a recording host in a temporary folder.
#pragma once

#include <cstdint>

#include "services/Text.h"

class LauncherHost {
 public:
  virtual ~LauncherHost() = default;
  virtual Text runDirectory() = 0;
  virtual void showMessage(const Text& message, int32_t buttons) = 0;  // caption "信息："
  virtual bool startProgram(const Text& commandLine) = 0;              // no wait, shown normally
  // Ends the process with exit code 0xFFFFFFFF; a test host records the call and returns.
  virtual void endAfterFailure() = 0;
};
