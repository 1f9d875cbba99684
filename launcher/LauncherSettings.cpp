#include "launcher/LauncherSettings.h"

#include "GbkTexts.h"

int32_t selectionFromProfileText(const Text& text) { return toInteger(text); }

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
