// What the launcher logic needs from the process around it besides files and profiles:
// the run directory, the game folder's turn to write, a message box, starting a program,
// starting itself with administrator rights and ending after a failure. The program's host is in
// app/; tests use a recording host in a temporary folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "services/Launch.h"
#include "services/Path.h"
#include "services/Text.h"

// The buttons of a Yes/No message, and the answer Yes as showMessage returns it.
inline constexpr int32_t yesNoButtons = 4;
inline constexpr int32_t answerYes = 5;

class LauncherHost {
 public:
  virtual ~LauncherHost() = default;
  virtual Path runDirectory() = 0;
  // Waits a bounded time for the game folder's turn to write its files, which one apply at
  // a time holds (this or another window, the program with administrator rights): true
  // when this program holds it now, until releaseApplyTurn.
  virtual bool takeApplyTurn() = 0;
  // Gives the turn back; nothing when it is not held.
  virtual void releaseApplyTurn() = 0;
  // Caption "信息："; the message is UTF-16 so that the paths in it are shown as they are.
  // The pressed button as messageBox gives it (0 OK, 5 Yes, 6 No).
  virtual int32_t showMessage(const std::wstring& message, int32_t buttons) = 0;
  // No wait, shown normally, started in `directory`.
  virtual bool startProgram(const std::wstring& commandLine, const Path& directory) = 0;
  // Starts the program itself with administrator rights and the arguments, and waits for
  // it to end: its exit code, or that the user refused, or why it could not be started.
  virtual AdministratorRun runAsAdministrator(const std::wstring& arguments) = 0;
  // Ends the process with exit code 0xFFFFFFFF; a test host records the call and returns.
  virtual void endAfterFailure() = 0;
};
