// The launcher's host in the program: the real services and the frame's end after a failure.
#pragma once

#include "launcher/LauncherHost.h"

// runDirectory(), messageBox(), runProgram() and the fatal report's endAfterFailure().
class DesktopLauncherHost final : public LauncherHost {
 public:
  Text runDirectory() override;
  void showMessage(const Text& message, int32_t buttons) override;
  bool startProgram(const Text& commandLine) override;
  void endAfterFailure() override;
};
