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

// The attributes of a whole-file writer's own temporary file, its signature with the name's
// form, hidden and system, are on `path` (the clean-up of leftovers removes no file without
// them).
bool hasSignatureAttributes(const std::string& path);

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

// Two applies of one game folder at once, in the order that lost originals before an apply
// waited for its turn: the first (tests/faults/apply_step_probe.cpp, the program's writes
// with the elevated-apply argument `firstArgument`) is held where it has read the record of
// the originals and the missions and is about to write the record; the second (the same
// with `secondArgument`) is started then, and once it has either ended or begun to wait for
// the folder's turn, the first goes on. Both are waited for to their ends.
struct TwoApplies {
  bool firstHeld = false;        // the first reached the record's write (it had one to write)
  bool secondWaited = false;     // the second waited for the first's turn
  DWORD firstExit = 0xDEAD0001;  // 0: all written, 1: not, 0xDEAD0001: did not end
  DWORD secondExit = 0xDEAD0001;
};
TwoApplies applyTwoAtOnce(const std::string& folder, const std::wstring& firstArgument,
                          const std::wstring& secondArgument);

// The program's writes in a game folder as tests/faults/apply_step_probe.cpp makes them,
// within the folder's turn, with the choices of an elevated-apply argument (empty: its own)
// and held at a write step: `step` counted from 1 over the apply's writes, "record" for the
// creation of the record's temporary file, "0" for none. Ended when it goes, if still there.
class ProbeApply {
 public:
  ProbeApply(const std::string& folder, const std::string& step, const std::wstring& argument);
  ~ProbeApply();
  ProbeApply(const ProbeApply&) = delete;
  ProbeApply& operator=(const ProbeApply&) = delete;

  // Waits until it is held at its step (true) or has ended (false).
  bool waitHeld();
  // Waits until it has begun to wait for the folder's turn (true) or has ended (false).
  bool waitWaitingForTurn();
  // Lets it go on from its step and waits for its end: its exit code (0 all written, 1 not),
  // 0xDEAD0001 when it did not start or end.
  DWORD finish();

 private:
  bool waitFor(HANDLE event);

  PROCESS_INFORMATION process_{};
  HANDLE reached_ = nullptr;
  HANDLE go_ = nullptr;
  HANDLE waiting_ = nullptr;
};
