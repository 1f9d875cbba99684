#include "tests/support/BoxWatcher.h"

#include "tests/support/TopWindows.h"

namespace {

std::wstring windowText(HWND window) {
  wchar_t text[2048] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, sizeof text / sizeof text[0],
                      reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
  return text;
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

HWND waitForBox(DWORD processId, const std::wstring& caption, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  do {
    HWND box = firstVisibleTopWindow([&](HWND window) {
      return processOf(window) == processId && classOf(window) == L"#32770" &&
             windowText(window) == caption;
    });
    if (box != nullptr) return box;
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
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
