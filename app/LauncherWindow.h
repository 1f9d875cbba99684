// The launcher window of the window template: its id and the ids of its units.
#pragma once

#include <cstdint>

inline constexpr uint32_t launcherWindowId = 0x52010001;
inline constexpr uint32_t windowUnitId = 0x06010000;  // the window's own unit

// Unit ids of the launcher window's controls.
namespace launcher_unit {
inline constexpr uint32_t weaponList = 0x16010002;      // 组合框1
inline constexpr uint32_t resolutionList = 0x1601000B;  // 组合框2
inline constexpr uint32_t attributeList = 0x16010026;   // 组合框3
inline constexpr uint32_t windowedBox = 0x16010049;     // 选择框1
inline constexpr uint32_t startButton = 0x16010029;     // 按钮1
}  // namespace launcher_unit
