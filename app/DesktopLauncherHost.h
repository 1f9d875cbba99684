// The launcher's host in the program: the real services and the frame's end after a failure.
#pragma once

#include <optional>

#include "launcher/LauncherHost.h"
#include "services/ApplyTurn.h"

// runDirectory(), the folder's ApplyTurn, messageBox(), runProgram(),
// runSelfAsAdministrator() and the fatal report's endAfterFailure().
class DesktopLauncherHost final : public LauncherHost {
 public:
  Path runDirectory() override;
  bool takeApplyTurn() override;
  void releaseApplyTurn() override;
  int32_t showMessage(const std::wstring& message, int32_t buttons) override;
  bool startProgram(const std::wstring& commandLine, const Path& directory) override;
  AdministratorRun runAsAdministrator(const std::wstring& arguments) override;
  void endAfterFailure() override;

 private:
  std::optional<ApplyTurn> turn_;
};
