#include "tests/support/BoxWatcher.h"

#include "tests/support/TopWindows.h"

namespace {

std::wstring windowText(HWND window) {
  wchar_t text[2048] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, sizeof text / sizeof text[0],
                      reinterpret_cast<LPARAM>(text), SMTO_NORMAL, kPatienceMs, nullptr);
  return text;
}

std::wstring classNameOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// The box's children in the order the system keeps them.
std::vector<HWND> childrenOf(HWND box) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

BOOL CALLBACK findIcon(HWND child, LPARAM parameter) {
  wchar_t className[32] = {};
  GetClassNameW(child, className, 32);
  LONG style = GetWindowLongW(child, GWL_STYLE);
  if (std::wstring(className) == L"Static" && (style & SS_TYPEMASK) == SS_ICON &&
      IsWindowVisible(child) && SendMessageW(child, STM_GETICON, 0, 0) != 0) {
    *reinterpret_cast<bool*>(parameter) = true;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

namespace {

HWND waitForBoxOf(DWORD processId, const std::wstring* caption, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  do {
    HWND box = firstVisibleTopWindow([&](HWND window) {
      return processOf(window) == processId && classOf(window) == L"#32770" &&
             (caption == nullptr || windowText(window) == *caption);
    });
    if (box != nullptr) return box;
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

}  // namespace

HWND waitForBox(DWORD processId, const std::wstring& caption, DWORD timeoutMs) {
  return waitForBoxOf(processId, &caption, timeoutMs);
}

HWND waitForMessageBox(DWORD processId, DWORD timeoutMs) {
  return waitForBoxOf(processId, nullptr, timeoutMs);
}

MessageBoxInfo readMessageBox(HWND box) {
  MessageBoxInfo info;
  info.window = box;
  info.caption = windowText(box);
  for (HWND child : childrenOf(box)) {
    const std::wstring className = classNameOf(child);
    if (_wcsicmp(className.c_str(), L"Button") == 0) {
      info.buttons.push_back(windowText(child));
    } else if (_wcsicmp(className.c_str(), L"Static") == 0) {
      std::wstring text = windowText(child);
      if (text.size() > info.text.size()) info.text = text;  // the icon's static has no text
    }
  }
  return info;
}

void dismissMessageBox(HWND box) {
  for (HWND child : childrenOf(box)) {
    if (_wcsicmp(classNameOf(child).c_str(), L"Button") == 0 && IsWindowVisible(child)) {
      PostMessageW(child, BM_CLICK, 0, 0);
      return;
    }
  }
  PostMessageW(box, WM_COMMAND, IDOK, 0);
}

std::wstring boxText(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  return text != nullptr ? windowText(text) : L"<no text>";
}

bool boxHasIcon(HWND box) {
  bool found = false;
  EnumChildWindows(box, findIcon, reinterpret_cast<LPARAM>(&found));
  return found;
}

bool pressBoxButton(HWND box, int buttonId) {
  HWND button = GetDlgItem(box, buttonId);
  if (button == nullptr) return false;
  return PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
}
