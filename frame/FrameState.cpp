#include "frame/FrameState.h"

#include <ole2.h>

namespace {

FrameState state;

// Release hooks of the window layer, run in the order they were registered.
constexpr int maxReleaseHooks = 8;
void (*releaseHooks[maxReleaseHooks])() = {};
int releaseHookCount = 0;

}  // namespace

FrameState& frameState() { return state; }

void setFrameReleaseHook(void (*release)()) {
  if (release != nullptr && releaseHookCount < maxReleaseHooks) {
    releaseHooks[releaseHookCount++] = release;
  }
}

void setEndHandler(void (*handler)()) { state.endHandler = handler; }

void stopFrame() {
  state.eventSuppression += 1;

  // What the window layer holds: window records, icons, the hidden owner window.
  while (releaseHookCount > 0) {
    void (*release)() = releaseHooks[0];
    for (int i = 1; i < releaseHookCount; ++i) releaseHooks[i - 1] = releaseHooks[i];
    releaseHooks[--releaseHookCount] = nullptr;
    release();
  }

  // Forgotten before it runs, so that it runs at most once even if it ends the frame itself.
  if (void (*handler)() = state.endHandler) {
    state.endHandler = nullptr;
    handler();
  }

  if (state.oleStarted) {
    state.oleStarted = false;
    OleUninitialize();
  }
}

void endProgram(uint32_t code) {
  stopFrame();
  ExitProcess(code);
}
