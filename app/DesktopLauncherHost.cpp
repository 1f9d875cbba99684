#include "app/DesktopLauncherHost.h"

#include "frame/FatalReport.h"
#include "services/Launch.h"
#include "services/MessageBox.h"
#include "services/RunDirectory.h"

Text DesktopLauncherHost::runDirectory() { return ::runDirectory(); }

void DesktopLauncherHost::showMessage(const Text& message, int32_t buttons) {
  messageBox(message, buttons);
}

bool DesktopLauncherHost::startProgram(const Text& commandLine) { return runProgram(commandLine); }

void DesktopLauncherHost::endAfterFailure() { ::endAfterFailure(); }
