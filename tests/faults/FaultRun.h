// Support for the fault tests: one apply of the real program in a game folder
// (tests/support/GameFolder.h) driven from outside (the button pressed, every message box
// read and dismissed), and the folder's files compared with what it must hold.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/GameFolder.h"
#include "tests/support/SampleGame.h"

// Compares two folder readings file by file, with short messages (contents can be large).
void expectFolder(const FolderFiles& actual, const FolderFiles& expected);

// The attributes that mark a whole-file writer's own temporary file, hidden and system,
// are on `path` (the clean-up of leftovers removes no file without them).
bool carriesTheMark(const std::string& path);

struct ApplyOutcome {
  bool windowShown = false;
  DWORD exitCode = 0xDEAD0001;      // 0xDEAD0001: still running after the time allowed
  std::vector<std::wstring> boxes;  // caption, a line break, text; in order shown
};

// Starts launcher.exe in `folder`, picks 忍刀 (or the sub-weapon entry `weapon`),
// 速度属性（风） and 1024*788 in the window, presses the start button and dismisses every
// message box until the program ends. `shown`, when given, is called with the program's
// process id once its window is there, before the choices are made.
ApplyOutcome applyOnce(const std::string& folder, int weapon = 11,
                       const std::function<void(DWORD processId)>& shown = nullptr);
// The same with the given choices, allowing `allowedMs` for the window to show and again
// for the program to end after the press (a program whose start is emulated takes long).
ApplyOutcome applyOnce(const std::string& folder, const LauncherChoice& choice, DWORD allowedMs,
                       const std::function<void(DWORD processId)>& shown = nullptr);
// launcher.exe in `folder` started with `arguments` and no window waited for: every message
// box read and dismissed until it ends, within `allowedMs`.
ApplyOutcome runWithArguments(const std::string& folder, const std::wstring& arguments,
                              DWORD allowedMs);
