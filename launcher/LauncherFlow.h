// The launcher's two event handlers: loading the settings into the controls when the
// window is created, and the apply of the start button (save, patch the game's files,
// start the game, close the window). Also the work of the program started with
// administrator rights: the same writes without a window or a game.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "launcher/DisplayConfigPatch.h"
#include "launcher/LauncherControls.h"
#include "launcher/LauncherHost.h"
#include "launcher/UnwrittenFiles.h"
#include "services/FileFault.h"
#include "services/Path.h"
#include "services/Text.h"

// The exit codes of the program started with administrator rights: everything written, or
// not, in which case it has told the user which files and why.
inline constexpr uint32_t administratorWroteAll = 0;
inline constexpr uint32_t administratorReportedUnwritten = 1;

class LauncherFlow {
 public:
  LauncherFlow(LauncherControls& controls, LauncherHost& host) : controls_(controls), host_(host) {}

  // Fills the three lists and the check box from "wdpz.ini" (defaults when missing).
  void onWindowCreated();
  // Writes the four settings from the controls to "wdpz.ini"; true when all were stored,
  // else fault (when given) receives why not.
  bool saveSettings(FileFault* fault = nullptr);
  // The apply: save, mission files, "config.ini", all within the game folder's turn (when
  // another apply keeps it past the wait, nothing is written and the user is told); report
  // files that could not be written (offering to write them with administrator rights where
  // that may help), start the game, close the window. With an unusable "config.ini" it reports that
  // the game was not started and ends the process instead.
  void onStartGameClicked();
  // The writes of the apply for the choices the controls hold, by the program started with
  // administrator rights: no game, no report of a missing mission folder or an unusable
  // "config.ini" (the user's own instance reports those); files that still cannot be
  // written are reported with their causes, and a game folder whose turn another apply
  // kept is reported with nothing written. True when nothing was left unwritten.
  bool writeAsAdministrator();

  // The game's command line: the quoted path of the game, then " w" when windowed.
  static std::wstring gameCommandLine(const Path& runDirectory, bool windowed);

 private:
  // What the writes of an apply came to.
  struct GameFileWrites {
    bool turnHeld = false;  // false: another apply kept the folder; nothing was written
    // The turn given back for the box of the missing mission folder was kept by another
    // apply past the wait: "config.ini" was not written.
    bool displayTurnLost = false;
    DisplayConfigOutcome display = DisplayConfigOutcome::written;
  };
  // With the game folder's turn: removes the leftovers of ended writers, saves the settings
  // and patches the missions and "config.ini", adding what could not be written to
  // unwritten. With tellMissingLevel, a missing mission folder is told once the missions are
  // done and before "config.ini" is written, the turn given back while the box is up and
  // taken again after it. The turn is given back before it returns, so that no other apply
  // waits on a message of this one.
  GameFileWrites writeGameFiles(std::vector<UnwrittenFile>& unwritten, bool tellMissingLevel);
  void writeDisplayConfig(GameFileWrites& writes, std::vector<UnwrittenFile>& unwritten);
  // The message listing the unwritten files; where administrator rights may help it asks,
  // and Yes starts the program itself with them to write the files again.
  void reportUnwritten(const std::vector<UnwrittenFile>& unwritten);

  LauncherControls& controls_;
  LauncherHost& host_;
};
