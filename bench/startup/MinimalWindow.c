/* The smallest window program: one top-level window of the launcher's size, centred, and
 * a message loop. It is the baseline that the launcher's start-up time is measured
 * against. */
#include <windows.h>

static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  WNDCLASSW windowClass = {0};
  HWND window;
  MSG message;
  (void)previous;
  (void)commandLine;
  (void)show;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
  windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"MinimalWindow";
  RegisterClassW(&windowClass);
  window = CreateWindowExW(0, L"MinimalWindow", L"Minimal", WS_CAPTION | WS_SYSMENU,
                           (GetSystemMetrics(SM_CXSCREEN) - 231) / 2,
                           (GetSystemMetrics(SM_CYSCREEN) - 205) / 2, 231, 205, NULL, NULL,
                           instance, NULL);
  ShowWindow(window, SW_SHOW);
  while (GetMessageW(&message, NULL, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return (int)message.wParam;
}
