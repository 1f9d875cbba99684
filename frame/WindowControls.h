// The launcher's control-state interface over the units of the launcher window: the lists'
// current selection (property 19) and item values (method 0x1000E), the check box's tick
// state (property 18) and the window's deferred destroy (method 0x10001).
#pragma once

#include <cstdint>

#include "launcher/LauncherControls.h"

// Unit ids of the launcher window's controls.
namespace launcher_unit {
inline constexpr uint32_t weaponList = 0x16010002;      // 组合框1
inline constexpr uint32_t resolutionList = 0x1601000B;  // 组合框2
inline constexpr uint32_t attributeList = 0x16010026;   // 组合框3
inline constexpr uint32_t windowedBox = 0x16010049;     // 选择框1
inline constexpr uint32_t startButton = 0x16010029;     // 按钮1
}  // namespace launcher_unit

class WindowControls final : public LauncherControls {
 public:
  int32_t selection(LauncherList list) override;
  void setSelection(LauncherList list, int32_t index) override;
  int32_t itemValue(LauncherList list, int32_t index) override;
  bool isTicked() override;
  void setTicked(bool ticked) override;
  void destroyWindow() override;
};
