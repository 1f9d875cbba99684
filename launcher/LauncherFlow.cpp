#include "launcher/LauncherFlow.h"

#include "GbkTexts.h"
#include "launcher/DisplayConfigPatch.h"
#include "launcher/LauncherSettings.h"
#include "launcher/MissionWeaponPatch.h"
#include "launcher/SettingsStore.h"
#include "services/Files.h"

namespace {

// One line per file under the heading; the texts are joined once at the end.
Text unwrittenFilesMessage(const std::vector<Text>& unwritten) {
  std::string message = gbk::filesNotWritten;
  for (const Text& name : unwritten) {
    message += "\r\n";
    message += name.view();
  }
  return Text(std::move(message));
}

}  // namespace

void LauncherFlow::onWindowCreated() {
  const SettingsStore store(host_);
  controls_.setSelection(LauncherList::weapon,
                         selectionFromProfileText(store.read(gbk::keyWeapon, "0")));
  controls_.setSelection(LauncherList::attribute,
                         selectionFromProfileText(store.read(gbk::keyAttribute, "0")));
  controls_.setSelection(LauncherList::resolution,
                         selectionFromProfileText(store.read(gbk::keyResolution, "0")));
  controls_.setTicked(windowedFromProfileText(store.read(gbk::keyWindowed, gbk::logicalFalse)));
}

bool LauncherFlow::saveSettings() {
  const SettingsStore store(host_);
  const LauncherSettings settings = settingsFromControls(controls_);
  // One replacement of the file: a failure part-way leaves the old settings whole.
  return store.writeAll({{gbk::keyWeapon, toText(settings.weaponIndex)},
                         {gbk::keyAttribute, toText(settings.attributeIndex)},
                         {gbk::keyResolution, toText(settings.resolutionIndex)},
                         {gbk::keyWindowed, profileTextOfWindowed(settings.windowed)}});
}

Text LauncherFlow::gameCommandLine(const Text& runDirectory, bool windowed) {
  return concat("\"", runDirectory, gbk::gameProgramName, "\"",
                windowed ? gbk::windowedArgument : "");
}

void LauncherFlow::onStartGameClicked() {
  // What writers ended at the wrong instant left beside the files this apply writes.
  const Text runDirectory = host_.runDirectory();
  removeLeftoverTemporaries(runDirectory);
  removeLeftoverTemporaries(concat(runDirectory, gbk::levelFolderName));
  std::vector<Text> unwritten;
  if (!saveSettings()) unwritten.push_back(SettingsStore(host_).fileName());
  MissionWeaponPatch(controls_, host_, unwritten);
  const DisplayConfigOutcome display = DisplayConfigPatch(controls_, host_);
  if (display == DisplayConfigOutcome::writeFailed) {
    unwritten.push_back(displayConfigFileName(host_));
  }
  if (!unwritten.empty()) host_.showMessage(unwrittenFilesMessage(unwritten), 0);
  if (display == DisplayConfigOutcome::unusable) {
    host_.showMessage(concat(gbk::configUnusable, displayConfigFileName(host_)), 0);
    host_.endAfterFailure();
    return;
  }
  if (!host_.startProgram(gameCommandLine(runDirectory, controls_.isTicked()))) {
    host_.showMessage(concat(gbk::gameStartFailed, runDirectory, gbk::gameProgramName), 0);
  }
  controls_.destroyWindow();
}
