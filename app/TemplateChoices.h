// The launcher's choices without a window: the three lists with the entries and item values
// that the window template gives them, and the windowed flag, as plain fields. For the
// program started with administrator rights, which writes the files of an apply for the
// choices its argument carries.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "launcher/ElevatedApplyArgument.h"
#include "launcher/LauncherControls.h"

class TemplateChoices final : public LauncherControls {
 public:
  // Reads the lists of the launcher window from the window registry, which start-up filled.
  TemplateChoices();

  ListSizes sizes() const;
  // Sets all four choices; the indexes are those of a parsed argument, within the lists.
  void choose(const LauncherSettings& settings);

  int32_t selection(LauncherList list) override;
  void setSelection(LauncherList list, int32_t index) override;
  int32_t itemValue(LauncherList list, int32_t index) override;
  bool isTicked() override { return ticked_; }
  void setTicked(bool ticked) override { ticked_ = ticked; }
  void destroyWindow() override {}

 private:
  struct List {
    std::vector<int32_t> itemValues;
    int32_t selection = -1;
  };
  std::array<List, 3> lists_;
  bool ticked_ = false;
};
