// The launcher's controls as plain fields, for tests without a window system: the three
// lists with the entries and item values of the launcher window, and the check box.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "launcher/LauncherControls.h"

class PlainLauncherControls final : public LauncherControls {
 public:
  PlainLauncherControls();

  int32_t selection(LauncherList list) override;
  void setSelection(LauncherList list, int32_t index) override;
  int32_t itemValue(LauncherList list, int32_t index) override;
  bool isTicked() override { return ticked_; }
  void setTicked(bool ticked) override { ticked_ = ticked; }
  void destroyWindow() override { destroyRequested_ = true; }

  int32_t entryCount(LauncherList list) const;
  bool destroyRequested() const { return destroyRequested_; }

 private:
  struct PlainList {
    std::vector<int32_t> itemValues;  // one per entry
    int32_t selection = 0;            // the first entry, as the window starts
  };
  PlainList& list(LauncherList which);
  const PlainList& list(LauncherList which) const;

  std::array<PlainList, 3> lists_;
  bool ticked_ = false;
  bool destroyRequested_ = false;
};
