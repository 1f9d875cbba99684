// The four choices that persist between runs, and how they read from and write to the
// profile texts of "wdpz.ini".
#pragma once

#include <cstdint>

#include "launcher/LauncherControls.h"
#include "services/Text.h"

struct LauncherSettings {
  int32_t weaponIndex = 0;      // 组合框1, key "副武器选择"
  int32_t attributeIndex = 0;   // 组合框3, key "副武器属性"
  int32_t resolutionIndex = 0;  // 组合框2, key "分辨率选择"
  bool windowed = false;        // 选择框1, key "是否窗口化"
};

// A selection index one past the end of any list: setting it selects the last entry.
inline constexpr int32_t kPastTheEnd = INT32_MAX;

// A stored selection index: as toInteger reads it (text that is no number gives 0); a
// negative one, or one outside 32 bits, gives kPastTheEnd.
int32_t selectionFromProfileText(const Text& text);
// Only "假" means not windowed; any other text, the empty one included, means windowed.
bool windowedFromProfileText(const Text& text);
// "真" or "假".
Text profileTextOfWindowed(bool windowed);

// The settings as the controls show them now.
LauncherSettings settingsFromControls(LauncherControls& controls);
