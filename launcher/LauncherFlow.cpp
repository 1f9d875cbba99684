#include "launcher/LauncherFlow.h"

#include "GbkTexts.h"
#include "launcher/DisplayConfigPatch.h"
#include "launcher/LauncherSettings.h"
#include "launcher/MissionWeaponPatch.h"
#include "launcher/SettingsStore.h"
#include "services/Files.h"
#include "services/Wide.h"

namespace {

// One line per file under the heading, each path as it is.
std::wstring unwrittenFilesMessage(const std::vector<Path>& unwritten) {
  std::wstring message = gbkToWide(gbk::filesNotWritten);
  for (const Path& name : unwritten) {
    message += L"\r\n";
    message += name.wide();
  }
  return message;
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

std::wstring LauncherFlow::gameCommandLine(const Path& runDirectory, bool windowed) {
  return L"\"" + withName(runDirectory, gbk::gameProgramName).wide() + L"\"" +
         (windowed ? gbkToWide(gbk::windowedArgument) : std::wstring());
}

void LauncherFlow::onStartGameClicked() {
  // What writers ended at the wrong instant left beside the files this apply writes.
  const Path runDirectory = host_.runDirectory();
  removeLeftoverTemporaries(runDirectory);
  removeLeftoverTemporaries(withName(runDirectory, gbk::levelFolderName));
  std::vector<Path> unwritten;
  if (!saveSettings()) unwritten.push_back(SettingsStore(host_).fileName());
  MissionWeaponPatch(controls_, host_, unwritten);
  const DisplayConfigOutcome display = DisplayConfigPatch(controls_, host_);
  if (display == DisplayConfigOutcome::writeFailed) {
    unwritten.push_back(displayConfigFileName(host_));
  }
  if (!unwritten.empty()) host_.showMessage(unwrittenFilesMessage(unwritten), 0);
  if (display == DisplayConfigOutcome::unusable) {
    host_.showMessage(gbkToWide(gbk::configUnusable) + displayConfigFileName(host_).wide(), 0);
    host_.endAfterFailure();
    return;
  }
  if (!host_.startProgram(gameCommandLine(runDirectory, controls_.isTicked()), runDirectory)) {
    host_.showMessage(
        gbkToWide(gbk::gameStartFailed) + withName(runDirectory, gbk::gameProgramName).wide(), 0);
  }
  controls_.destroyWindow();
}
