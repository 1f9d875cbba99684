// What the measuring hook (scale_probe.dll) reports of the launcher window from inside the
// launcher's process, where the controls' fonts and icons can be read: the test loads the
// hook into the window's thread and posts it the probe message.
#pragma once

#include <windows.h>

#include <cstdint>

inline constexpr wchar_t kProbeMessageName[] = L"LauncherScaleProbe";
inline constexpr wchar_t kProbeReportName[] = L"Local\\LauncherScaleProbeReport";
inline constexpr wchar_t kProbeDoneName[] = L"Local\\LauncherScaleProbeDone";
inline constexpr char kProbeHookName[] = "scaleProbeHook";

struct ProbedControl {
  int32_t id = 0;
  int32_t fontHeight = 0;  // lfHeight of the control's own font (WM_GETFONT)
  wchar_t fontFace[LF_FACESIZE] = {};
  int32_t scalable = 0;    // the font is drawn from outlines (TrueType or vector)
  int32_t textHeight = 0;  // tmHeight of the font
  int32_t textWidth = 0;   // how far the text's ink reaches; a list: its widest entry's
  int32_t roomWidth = 0;   // client width less the list's arrow or the check box's box
  int32_t roomHeight = 0;  // client height; a list: its selection field's
};

struct ProbeReport {
  int32_t windowDpi = 0;  // GetDpiForWindow
  int32_t bigIconWidth = 0, bigIconHeight = 0, smallIconWidth = 0, smallIconHeight = 0;
  int32_t controlCount = 0;
  ProbedControl controls[16];
};
