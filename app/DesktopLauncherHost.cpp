#include "app/DesktopLauncherHost.h"

#include "frame/FatalReport.h"
#include "services/Launch.h"
#include "services/MessageBox.h"
#include "services/RunDirectory.h"

Path DesktopLauncherHost::runDirectory() { return ::runDirectory(); }

bool DesktopLauncherHost::takeApplyTurn() {
  turn_.reset();
  turn_.emplace(::runDirectory(), kApplyTurnWaitMs);
  return turn_->held();
}

void DesktopLauncherHost::releaseApplyTurn() { turn_.reset(); }

int32_t DesktopLauncherHost::showMessage(const std::wstring& message, int32_t buttons) {
  return messageBox(message, buttons);
}

bool DesktopLauncherHost::startProgram(const std::wstring& commandLine, const Path& directory) {
  return runProgram(commandLine, false, std::nullopt, directory);
}

AdministratorRun DesktopLauncherHost::runAsAdministrator(const std::wstring& arguments) {
  return runSelfAsAdministrator(arguments);
}

void DesktopLauncherHost::endAfterFailure() { ::endAfterFailure(); }
