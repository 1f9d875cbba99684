// The display scales the system reports: its own (the system DPI) and each monitor's, and
// system metrics at a scale. The calls for per-monitor scales are looked up at run time:
// the older systems the program also runs on lack them and have only the system DPI.
#pragma once

#include <windows.h>

#include <cstdint>

// The scale the system's own fonts and metrics are made for.
int32_t systemDpi();
// The scale of the monitor that holds most of `area` (the primary one when none does).
int32_t monitorDpi(const RECT& area);
// GetSystemMetrics at a scale.
int metricAtDpi(int index, int32_t dpi);
