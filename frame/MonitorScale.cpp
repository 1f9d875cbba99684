#include "frame/MonitorScale.h"

#include "frame/DisplayScale.h"
#include "services/SystemLibrary.h"

int32_t systemDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : templateDpi;
}

int32_t monitorDpi(const RECT& area) {
  using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const auto getDpiForMonitor =
      systemFunction<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor");
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
      systemFunction<GetSystemMetricsForDpiFunction>(L"user32.dll", "GetSystemMetricsForDpi");
  if (getSystemMetricsForDpi != nullptr) {
    return getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
  }
  return GetSystemMetrics(index);
}
