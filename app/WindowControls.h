// The launcher's control-state interface over the units of the launcher window: the lists'
// current selection and item values, the check box's tick state and the window's deferred
// destroy.
#pragma once

#include <cstdint>

#include "launcher/LauncherControls.h"

class WindowControls final : public LauncherControls {
 public:
  int32_t selection(LauncherList list) override;
  void setSelection(LauncherList list, int32_t index) override;
  int32_t itemValue(LauncherList list, int32_t index) override;
  bool isTicked() override;
  void setTicked(bool ticked) override;
  void destroyWindow() override;
};
