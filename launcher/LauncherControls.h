// The control-state interface through which the launcher logic reads and sets the window's
// controls. The program implements it over the window units; tests over plain fields.
#pragma once

#include <cstdint>

// The three lists, in the order of the settings they hold (the controls are numbered
// otherwise: the attribute is 组合框3, the resolution 组合框2).
enum class LauncherList {
  weapon,      // 组合框1: sub-weapon
  attribute,   // 组合框3: sub-weapon attribute
  resolution,  // 组合框2: screen resolution
};

class LauncherControls {
 public:
  virtual ~LauncherControls() = default;
  // The selected entry index from 0, or -1 when nothing is selected.
  virtual int32_t selection(LauncherList list) = 0;
  // Past the last entry selects the last entry; any negative index clears the selection.
  virtual void setSelection(LauncherList list, int32_t index) = 0;
  // The item value stored with an entry; -1 for an index outside the list.
  virtual int32_t itemValue(LauncherList list, int32_t index) = 0;
  virtual bool isTicked() = 0;  // 选择框1, "窗口化"
  virtual void setTicked(bool ticked) = 0;
  // Asks for the window to be destroyed once the running handler has returned.
  virtual void destroyWindow() = 0;
};
