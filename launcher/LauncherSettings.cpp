#include "launcher/LauncherSettings.h"

#include <optional>

#include "GbkTexts.h"

int32_t selectionFromProfileText(const Text& text) {
  const std::optional<int32_t> index = toIntegerWithin(text);
  // A damaged value, below 0 or outside 32 bits, selects as one past the end does: the last
  // entry, never none (which would make a weapon number that no choice gives).
  if (!index || *index < 0) return kPastTheEnd;
  return *index;
}

bool windowedFromProfileText(const Text& text) { return compareText(text, gbk::logicalFalse) != 0; }

Text profileTextOfWindowed(bool windowed) {
  return windowed ? Text(gbk::logicalTrue) : Text(gbk::logicalFalse);
}

LauncherSettings settingsFromControls(LauncherControls& controls) {
  LauncherSettings settings;
  settings.weaponIndex = controls.selection(LauncherList::weapon);
  settings.attributeIndex = controls.selection(LauncherList::attribute);
  settings.resolutionIndex = controls.selection(LauncherList::resolution);
  settings.windowed = controls.isTicked();
  return settings;
}
