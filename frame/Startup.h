// Start-up of the frame and the loading of windows from the template.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "frame/WindowRegistry.h"

// Installs the fatal report, takes the process heap, OleInitialize, makes the run directory
// current, creates the hidden owner window and reads the window template resource into the
// registry, binding handler reference n to handlers[n]. A template that cannot be read ends
// the process.
void startFrame(std::span<const EventHandler> handlers);
// The same over template bytes given by the caller.
void startFrameWithTemplate(std::string_view templateBytes, std::span<const EventHandler> handlers);

// Loads the window or ends the process with "载入启动窗口失败".
void loadStartupWindow(uint32_t windowId);
// Builds the window with events suppressed, raises its created event while it is still
// invisible, then shows it. False when it cannot be built.
bool loadWindow(WindowEntry& window);

// The hidden owner of windows that do not appear in the taskbar.
HWND frameOwnerWindow();
