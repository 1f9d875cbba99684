#include "frame/Startup.h"

#include <ole2.h>

#include <cstdlib>

#include "GbkTexts.h"
#include "frame/FatalReport.h"
#include "frame/FrameState.h"
#include "frame/MessageLoop.h"
#include "frame/Unit.h"
#include "frame/UnitKinds.h"
#include "frame/UnitNumbers.h"
#include "frame/WindowUnit.h"
#include "services/MessageBox.h"
#include "services/RunDirectory.h"

namespace {

constexpr wchar_t ownerClassName[] = L"WTOwner";
constexpr wchar_t templateResourceName[] = L"WINDOW_TEMPLATE";

HWND ownerWindow = nullptr;
bool releaseRegistered = false;

// What the frame holds until stopFrame: the windows and their records, the owner window.
void releaseFrame() {
  clearWindowRegistry();
  if (ownerWindow != nullptr) {
    if (IsWindow(ownerWindow)) DestroyWindow(ownerWindow);
    ownerWindow = nullptr;
  }
}

void createOwnerWindow() {
  if (ownerWindow != nullptr) return;
  WNDCLASSW owner{};
  owner.lpfnWndProc = DefWindowProcW;
  owner.hInstance = GetModuleHandleW(nullptr);
  owner.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  owner.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  owner.lpszClassName = ownerClassName;
  RegisterClassW(&owner);
  ownerWindow = CreateWindowExW(WS_EX_TOOLWINDOW, ownerClassName, L"", 0, 0, 0, 0, 0, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
}

std::string_view templateResource() {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, templateResourceName, MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return {};
  return std::string_view(static_cast<const char*>(bytes), SizeofResource(module, found));
}

void showWindowByStartPosition(HWND hwnd, const WindowAttributes& a) {
  if (a.startPosition == 2) {
    ShowWindow(hwnd, SW_SHOWMINIMIZED);
  } else if (a.startPosition == 3) {
    if (GetWindowLongW(hwnd, GWL_STYLE) & WS_MAXIMIZEBOX) {
      ShowWindow(hwnd, SW_SHOWMAXIMIZED);
      return;
    }
    if (IsIconic(hwnd) || IsZoomed(hwnd)) ShowWindow(hwnd, SW_RESTORE);
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    RECT r;
    GetWindowRect(hwnd, &r);
    if (r.left != 0 || r.top != 0 || r.right != width || r.bottom != height) {
      MoveWindow(hwnd, 0, 0, width, height, TRUE);
    }
    ShowWindow(hwnd, SW_SHOW);
  } else {
    ShowWindow(hwnd, SW_SHOW);
  }
}

// The unit of the window holding the keyboard focus (the window's own when it holds it).
Unit* focusedUnit(WindowEntry& window) {
  HWND hwnd = windowHandle(window);
  HWND focus = GetFocus();
  if (focus == nullptr || (focus != hwnd && !IsChild(hwnd, focus))) return nullptr;
  for (HWND h = focus; h != nullptr; h = GetParent(h)) {
    Unit* unit = unitFromHandle(h);
    if (unit != nullptr && &unit->window() == &window) return unit;
    if (h == hwnd) break;
  }
  return nullptr;
}

// Creates the window, then its controls from the last template position to the first,
// stacks them in template order and shows the visible ones. False when a unit cannot be
// made or built.
bool buildWindow(WindowEntry& window) {
  if (window.description.defect != WindowDefect::none || window.units.empty() ||
      !std::holds_alternative<WindowAttributes>(window.units[0].description->attributes)) {
    return false;
  }
  for (size_t i = 0; i < window.units.size(); ++i) {
    window.units[i].live = makeUnit(window, i);
    if (!window.units[i].live) return false;
  }
  if (!window.units[0].live->create(ownerWindow, 0)) {
    window.units[0].live.reset();
    return false;
  }
  HWND hwnd = windowHandle(window);
  for (size_t i = window.units.size(); i-- > 1;) {
    if (!window.units[i].live->create(hwnd, childIdOfUnit(i, window.units.size()))) {
      DestroyWindow(hwnd);  // takes the controls and the unit objects with it
      return false;
    }
  }
  HWND previous = HWND_TOP;
  for (size_t i = 1; i < window.units.size(); ++i) {
    HWND control = window.units[i].live->hwnd();
    SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = control;
  }
  for (size_t i = 1; i < window.units.size(); ++i) {
    bool visible = window.units[i].description->flags & unitVisible;
    ShowWindow(window.units[i].live->hwnd(), visible ? SW_SHOWNA : SW_HIDE);
  }
  return true;
}

}  // namespace

HWND frameOwnerWindow() { return ownerWindow; }

void startFrameWithTemplate(std::string_view templateBytes,
                            std::span<const EventHandler> handlers) {
  installFatalReport();
  FrameState& state = frameState();
  // The process heap serves every allocation already (the memory service).
  if (!state.oleStarted) {
    OleInitialize(nullptr);
    state.oleStarted = true;
  }
  // The launcher works on its own folder only: when the platform cannot give the program's
  // path whole, it says so and ends before anything is touched, never working on a
  // shortened path.
  if (!initRunDirectory()) {
    messageBox(Text(gbk::runDirectoryUnavailable), 0);
    endAfterFailure();
  }
  SetCurrentDirectoryW(runDirectory().c_str());
  if (!releaseRegistered) {
    releaseRegistered = true;
    setFrameReleaseHook(&releaseFrame);
    state.handlersEnded = &releaseHeldCloseRequests;
    std::atexit(&stopFrame);  // the program's end runs it once more; it then finds nothing
  }
  createOwnerWindow();
  TemplateContents contents;
  if (templateBytes.empty() || !readWindowTemplate(templateBytes, contents) ||
      !fillWindowRegistry(std::move(contents), handlers)) {
    reportFatalError(gbk::templateLoadFailed, 0);
  }
}

void startFrame(std::span<const EventHandler> handlers) {
  startFrameWithTemplate(templateResource(), handlers);
}

void loadStartupWindow(uint32_t windowId) {
  WindowEntry* window = findWindow(windowId);
  if (window == nullptr || !loadWindow(*window)) reportFatalError(gbk::startupWindowFailed, 0);
}

bool loadWindow(WindowEntry& window) {
  if (isWindowAlive(window)) return true;
  if (!registerUnitClasses()) return false;
  suspendEvents();
  bool built = buildWindow(window);
  if (!built) {
    for (UnitRecord& unit : window.units) unit.live.reset();
  }
  resumeEvents();
  if (!built) return false;

  uint32_t id = window.id();
  raiseUnitEvent(id, 0, unit_event::created);  // every unit exists, the window is invisible
  if (!isWindowAlive(window)) return true;
  raiseUnitEvent(id, 0, unit_event::moved);
  if (!isWindowAlive(window)) return true;
  raiseUnitEvent(id, 0, unit_event::resized);
  if (!isWindowAlive(window)) return true;

  if (window.units[0].description->flags & unitVisible) {
    const auto& attributes = std::get<WindowAttributes>(window.units[0].description->attributes);
    showWindowByStartPosition(windowHandle(window), attributes);
    if (!isWindowAlive(window)) return true;
    if (Unit* focused = focusedUnit(window)) focused->raise(unit_event::gotFocus);
    if (!isWindowAlive(window)) return true;
  }

  HWND focusBefore = GetFocus();
  for (size_t i = window.units.size(); i-- > 0;) {
    if (!isWindowAlive(window)) return true;
    if (Unit* unit = window.units[i].live.get(); unit != nullptr && unit->hwnd() != nullptr) {
      SendMessageW(unit->hwnd(), frame_message::windowShown, 0, 0);
    }
  }
  if (isWindowAlive(window) && GetFocus() != focusBefore) SetFocus(focusBefore);
  return true;
}
