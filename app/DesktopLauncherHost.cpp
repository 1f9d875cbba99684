#include "app/DesktopLauncherHost.h"

#include "frame/FatalReport.h"
#include "services/Launch.h"
#include "services/MessageBox.h"
#include "services/RunDirectory.h"

Path DesktopLauncherHost::runDirectory() { return ::runDirectory(); }

void DesktopLauncherHost::showMessage(const std::wstring& message, int32_t buttons) {
  messageBox(message, buttons);
}

bool DesktopLauncherHost::startProgram(const std::wstring& commandLine, const Path& directory) {
  return runProgram(commandLine, false, std::nullopt, directory);
}

void DesktopLauncherHost::endAfterFailure() { ::endAfterFailure(); }
