#include "frame/MessageLoop.h"

#include <vector>

#include "frame/FrameState.h"
#include "frame/Unit.h"
#include "frame/UnitNumbers.h"
#include "frame/WindowRegistry.h"

namespace {

// Windows that have finished idling since the queue last ran empty.
std::vector<uint32_t> finishedIdling;
DWORD idleStart = 0;

// The last mouse move, to tell a repeated one (same message, same place) from a real one.
UINT lastMouseMessage = 0;
LPARAM lastMousePosition = 0;

void dispatchOne(MSG& message) {
  if (message.message == frame_message::skippedByLoop) return;
  if (!preTranslateMessage(message)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// False after messages that do not count as activity for the idle step.
bool restartsIdling(const MSG& message) {
  if (message.message == WM_PAINT || message.message == frame_message::systemTimer) return false;
  if (message.message == WM_MOUSEMOVE || message.message == WM_NCMOUSEMOVE) {
    bool repeated = message.message == lastMouseMessage && message.lParam == lastMousePosition;
    lastMouseMessage = message.message;
    lastMousePosition = message.lParam;
    return !repeated;
  }
  return true;
}

bool hasFinishedIdling(uint32_t windowId) {
  for (uint32_t id : finishedIdling) {
    if (id == windowId) return true;
  }
  return false;
}

}  // namespace

bool preTranslateMessage(MSG& message) {
  for (HWND hwnd = message.hwnd; hwnd != nullptr; hwnd = GetParent(hwnd)) {
    Unit* unit = unitFromHandle(hwnd);
    if (unit != nullptr && unit->preTranslate(message)) return true;
  }
  return false;
}

bool runIdleStep(int n) {
  if (n == 0) {
    idleStart = GetTickCount();
    finishedIdling.clear();
  }
  if (n < 2) return true;  // the frame's own housekeeping: nothing is held between messages
  bool more = false;
  for (WindowEntry& window : windowRegistry().windows) {
    if (!isWindowAlive(window) || hasFinishedIdling(window.id())) continue;
    EventRecord event;
    event.windowId = window.id();
    event.number = unit_event::idle;
    event.argumentCount = 1;
    event.arguments[0] = static_cast<int32_t>(GetTickCount() - idleStart);
    raiseEvent(event);
    if (event.hasResult && event.result != 0) {
      more = true;
    } else {
      finishedIdling.push_back(window.id());
    }
  }
  return more;
}

void pumpWaitingMessages() {
  MSG waiting;
  while (PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE) && waiting.message != WM_QUIT) {
    MSG& message = frameState().currentMessage;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) break;
    dispatchOne(message);
  }
}

void runMessageLoop() {
  FrameState& state = frameState();
  state.loopEntered = true;
  if (!anyWindowAlive()) return;
  int n = 0;
  bool idling = true;
  MSG waiting;
  for (;;) {
    while (idling && !PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!runIdleStep(n++)) idling = false;
    }
    do {
      BOOL got = GetMessageW(&state.currentMessage, nullptr, 0, 0);
      if (got == 0 || got == -1) return;
      dispatchOne(state.currentMessage);
      if (restartsIdling(state.currentMessage)) {
        idling = true;
        n = 0;
      }
    } while (PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE));
  }
}

void suspendEvents() {
  pumpWaitingMessages();
  frameState().eventSuppression += 1;
}

void resumeEvents() {
  pumpWaitingMessages();
  if (frameState().eventSuppression > 0) frameState().eventSuppression -= 1;
}
