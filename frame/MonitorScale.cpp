#include "frame/MonitorScale.h"

#include "frame/DisplayScale.h"

int32_t systemDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : templateDpi;
}

int32_t monitorDpi(const RECT& area) {
  using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const GetDpiForMonitorFunction getDpiForMonitor = []() -> GetDpiForMonitorFunction {
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 12 >= MAX_PATH) return nullptr;
    lstrcatW(path, L"\\shcore.dll");
    HMODULE shcore = LoadLibraryW(path);  // by its full path: never a planted copy
    if (shcore == nullptr) return nullptr;
    return reinterpret_cast<GetDpiForMonitorFunction>(
        reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
  }();
  constexpr int effectiveDpi = 0;  // MDT_EFFECTIVE_DPI
  UINT x = 0, y = 0;
  if (getDpiForMonitor != nullptr &&
      SUCCEEDED(getDpiForMonitor(MonitorFromRect(&area, MONITOR_DEFAULTTOPRIMARY), effectiveDpi, &x,
                                 &y)) &&
      y > 0) {
    return static_cast<int32_t>(y);
  }
  return systemDpi();
}

int metricAtDpi(int index, int32_t dpi) {
  using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
  static const auto getSystemMetricsForDpi =
      reinterpret_cast<GetSystemMetricsForDpiFunction>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi")));
  if (getSystemMetricsForDpi != nullptr) {
    return getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
  }
  return GetSystemMetrics(index);
}
