// The one message loop of the process, with its idle step and the pre-translation that
// lets the frame's windows handle their keys before a message is dispatched.
#pragma once

#include <windows.h>

// Runs until the quit message arrives (its wParam stays in frameState().currentMessage);
// returns at once when no window of the registry is alive.
void runMessageLoop();

// Dispatches the messages already waiting, one at a time as the loop does, until the queue
// is empty or the next one is the quit message.
void pumpWaitingMessages();

// Offers a message to the frame's windows on the way from its target up through its
// parents; true when one of them consumed it.
bool preTranslateMessage(MSG& message);

// One idle step with counter n; true when more idle calls are wanted.
bool runIdleStep(int n);

// Events are dropped from suspendEvents to the matching resumeEvents (they nest). Each first
// dispatches the messages already waiting: suspendEvents while their events still count,
// resumeEvents while they are still dropped, so that building a window raises nothing.
void suspendEvents();
void resumeEvents();
