// How long a test waits for an event it expects: a window, a message box, a program's end,
// a start of the stand-in game, a step reached. One bound for the whole suite, generous,
// since three Windows tests run side by side on a machine that may be building at the same
// time, where a start under Wine can take many times as long as alone. A wait ends as soon
// as its event comes, so the bound costs nothing when the program is right; it only decides
// how long a broken one takes to be reported. A check that something did not happen never
// waits on the clock: it waits for the event that would have come first.
#pragma once

#include <windows.h>

inline constexpr DWORD kPatienceMs = 120000;
