// The process-wide state of the frame, alive from start-up to the end of the process.
// Windows only.
#pragma once

#include <windows.h>

#include <cstdint>

struct FrameState {
  int32_t eventSuppression = 0;    // no event is raised while 1 or more
  int32_t handlersRunning = 0;     // launcher routines running now (nested ones counted)
  bool loopEntered = false;        // the quit request is posted only once set
  bool oleStarted = false;         // stopFrame owes OleUninitialize
  void (*endHandler)() = nullptr;  // run at most once, by stopFrame; never after a fatal error
  // Run by the dispatch each time the last running launcher routine has returned: the
  // window layer's release of the close requests held back meanwhile (set at start-up).
  void (*handlersEnded)() = nullptr;
  MSG currentMessage{};  // after the quit message its wParam is the exit code
};

FrameState& frameState();

// Hooks that the window layer registers so that stopFrame can release what it holds
// (window records, icons, the hidden owner window). Each runs once.
void setFrameReleaseHook(void (*release)());

void setEndHandler(void (*handler)());
// Suppresses events for good, frees what the frame holds, runs the end handler once,
// OleUninitialize when owed. A second call has no effect.
void stopFrame();
// stopFrame, then ExitProcess(code) at once.
[[noreturn]] void endProgram(uint32_t code);
