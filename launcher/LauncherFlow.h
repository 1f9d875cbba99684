// The launcher's two event handlers: loading the settings into the controls when the
// window is created, and the apply of the start button (save, patch the game's files,
// start the game, close the window).
#pragma once

#include <string>
#include <vector>

#include "launcher/LauncherControls.h"
#include "launcher/LauncherHost.h"
#include "services/Path.h"
#include "services/Text.h"

class LauncherFlow {
 public:
  LauncherFlow(LauncherControls& controls, LauncherHost& host) : controls_(controls), host_(host) {}

  // Fills the three lists and the check box from "wdpz.ini" (defaults when missing).
  void onWindowCreated();
  // Writes the four settings from the controls to "wdpz.ini"; true when all were stored.
  bool saveSettings();
  // The apply: save, mission files, "config.ini", report files that could not be
  // written, start the game, close the window. With an unusable "config.ini" it reports
  // that the game was not started and ends the process instead.
  void onStartGameClicked();

  // The game's command line: the quoted path of the game, then " w" when windowed.
  static std::wstring gameCommandLine(const Path& runDirectory, bool windowed);

 private:
  LauncherControls& controls_;
  LauncherHost& host_;
};
