#include "tests/support/PlainLauncherControls.h"

#include "LauncherTemplate.h"
#include "launcher/OriginalWeapons.h"

PlainLauncherControls::PlainLauncherControls() {
  list(LauncherList::weapon).itemValues = {
      1, 2, 3, 4, 5, 6, 7, 8, 9, 47, 51, 55, originalWeaponsItem};
  list(LauncherList::attribute).itemValues = {1, 2, 3, 4};
  // The resolutions as the window's description gives them (an entry may be added there).
  for (const TemplateEntry& entry : launcher_entries::resolutionList) {
    list(LauncherList::resolution).itemValues.push_back(entry.itemValue);
  }
}

PlainLauncherControls::PlainList& PlainLauncherControls::list(LauncherList which) {
  return lists_[static_cast<std::size_t>(which)];
}

const PlainLauncherControls::PlainList& PlainLauncherControls::list(LauncherList which) const {
  return lists_[static_cast<std::size_t>(which)];
}

int32_t PlainLauncherControls::entryCount(LauncherList which) const {
  return static_cast<int32_t>(list(which).itemValues.size());
}

int32_t PlainLauncherControls::selection(LauncherList which) { return list(which).selection; }

void PlainLauncherControls::setSelection(LauncherList which, int32_t index) {
  const int32_t count = entryCount(which);
  if (index < 0) {
    index = -1;
  } else if (index >= count) {
    index = count - 1;
  }
  list(which).selection = index;
}

int32_t PlainLauncherControls::itemValue(LauncherList which, int32_t index) {
  if (index < 0 || index >= entryCount(which)) return -1;
  return list(which).itemValues[static_cast<std::size_t>(index)];
}
