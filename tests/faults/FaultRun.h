// Support for the fault tests: a game folder of real files around a copy of the real
// program, one apply driven from outside (the button pressed, every message box read and
// dismissed), and the whole folder read back to compare with what it must hold.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/GameFolder.h"
#include "tests/support/SampleGame.h"

// Every file and folder under `folder`, at any depth, by its path relative to it.
struct FolderEntry {
  std::string path;  // "Level\\sn01_.pst"
  bool isFolder;
};
std::vector<FolderEntry> entriesUnder(const std::string& folder);

// Every file under `folder` by its path relative to it ("Level\\sn01_.pst"); folders map to
// "<folder>" so a folder where a file belongs, or one left behind, shows as itself.
using FolderFiles = std::map<std::string, std::string>;
FolderFiles readFolder(const std::string& folder);
void writeFolder(const std::string& folder, const FolderFiles& files);

// Compares two folder readings file by file, with short messages (contents can be large).
void expectFolder(const FolderFiles& actual, const FolderFiles& expected);

// Copies the program and the stand-in game (as Drovar.exe) from the test's own folder.
void placePrograms(const std::string& folder);

struct ApplyOutcome {
  bool windowShown = false;
  DWORD exitCode = 0xDEAD0001;      // 0xDEAD0001: still running after the time allowed
  std::vector<std::wstring> boxes;  // caption, a line break, text; in order shown
};

// Starts launcher.exe in `folder`, picks 忍刀 (or the sub-weapon entry `weapon`),
// 速度属性（风） and 1024*788 in the window, presses the start button and dismisses every
// message box until the program ends.
ApplyOutcome applyOnce(const std::string& folder, int weapon = 11);
// The same with the given choices, allowing `allowedMs` for the window to show and again
// for the program to end after the press (a program whose start is emulated takes long).
ApplyOutcome applyOnce(const std::string& folder, const LauncherChoice& choice, DWORD allowedMs);
// launcher.exe in `folder` started with `arguments` and no window waited for: every message
// box read and dismissed until it ends, within `allowedMs`.
ApplyOutcome runWithArguments(const std::string& folder, const std::wstring& arguments,
                              DWORD allowedMs);
