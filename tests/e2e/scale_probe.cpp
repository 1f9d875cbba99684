// A message hook loaded into the launcher's window thread: on the probe message it measures
// every control with the control's own font and device context (text extent against the
// room the control gives its text), reads the window's icons, and writes the report into
// the test's shared memory.
#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "tests/e2e/ScaleProbe.h"

namespace {

void iconSize(HICON icon, int32_t& width, int32_t& height) {
  ICONINFO info{};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return;
  BITMAP bitmap{};
  HBITMAP image = info.hbmColor != nullptr ? info.hbmColor : info.hbmMask;
  GetObjectW(image, sizeof bitmap, &bitmap);
  width = bitmap.bmWidth;
  height = info.hbmColor != nullptr ? bitmap.bmHeight : bitmap.bmHeight / 2;
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
}

int32_t windowDpi(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  return getDpiForWindow != nullptr ? static_cast<int32_t>(getDpiForWindow(window)) : 0;
}

// How far the text's ink reaches: its extent less the blank that the last glyph leaves
// after itself (a full-width bracket is drawn in the left half of its cell).
int32_t extentOf(HDC dc, const wchar_t* text, int length) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text, length, &size);
  ABC last{};
  if (length > 0 && GetCharABCWidthsW(dc, text[length - 1], text[length - 1], &last) &&
      last.abcC > 0) {
    return size.cx - last.abcC;
  }
  return size.cx;
}

void measure(HWND control, int32_t dpi, ProbedControl& out) {
  out.id = GetDlgCtrlID(control);
  wchar_t className[64] = {};
  GetClassNameW(control, className, 64);
  auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  LOGFONTW logFont{};
  if (font != nullptr) GetObjectW(font, sizeof logFont, &logFont);
  out.fontHeight = logFont.lfHeight;
  wcsncpy(out.fontFace, logFont.lfFaceName, LF_FACESIZE - 1);

  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  out.scalable = (metrics.tmPitchAndFamily & (TMPF_TRUETYPE | TMPF_VECTOR)) != 0;
  out.textHeight = metrics.tmHeight;
  RECT client{};
  GetClientRect(control, &client);
  out.roomWidth = client.right - client.left;
  out.roomHeight = client.bottom - client.top;
  wchar_t text[256] = {};
  int length = GetWindowTextW(control, text, 256);
  if (_wcsicmp(className, L"ComboBox") == 0) {
    // The entries are drawn in the selection field, beside the arrow.
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(control, &info);
    out.roomWidth = info.rcItem.right - info.rcItem.left;
    out.roomHeight = info.rcItem.bottom - info.rcItem.top;
    auto count = static_cast<int>(SendMessageW(control, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      wchar_t entry[256] = {};
      if (SendMessageW(control, CB_GETLBTEXTLEN, i, 0) >= 255) continue;
      auto got =
          static_cast<int>(SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry)));
      out.textWidth = std::max(out.textWidth, extentOf(dc, entry, got > 0 ? got : 0));
    }
  } else {
    out.textWidth = extentOf(dc, text, length);
    LONG style = GetWindowLongW(control, GWL_STYLE);
    if (_wcsicmp(className, L"Button") == 0 && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
      // The box and the gap after it: the larger of the system's check mark size and the
      // box the button draws, and half the width of a digit.
      int box = std::max(GetSystemMetrics(SM_CXMENUCHECK), 12 * dpi / 96 + 1);
      int zero = 0;
      GetCharWidthW(dc, L'0', L'0', &zero);
      out.roomWidth -= box + zero / 2;
    }
  }
  SelectObject(dc, old);
  ReleaseDC(control, dc);
}

void probe(HWND window) {
  HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, kProbeReportName);
  if (mapping == nullptr) return;
  auto* report =
      static_cast<ProbeReport*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ProbeReport)));
  if (report != nullptr) {
    *report = ProbeReport{};
    report->windowDpi = windowDpi(window);
    iconSize(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0)),
             report->bigIconWidth, report->bigIconHeight);
    iconSize(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0)),
             report->smallIconWidth, report->smallIconHeight);
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr && report->controlCount < 16;
         child = GetWindow(child, GW_HWNDNEXT)) {
      measure(child, report->windowDpi, report->controls[report->controlCount++]);
    }
    UnmapViewOfFile(report);
  }
  CloseHandle(mapping);
  if (HANDLE done = OpenEventW(EVENT_MODIFY_STATE, FALSE, kProbeDoneName)) {
    SetEvent(done);
    CloseHandle(done);
  }
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    scaleProbeHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT probeMessage = RegisterWindowMessageW(kProbeMessageName);
  auto* message = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && message->message == probeMessage) {
    probe(message->hwnd);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
