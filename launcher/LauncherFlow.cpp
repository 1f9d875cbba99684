#include "launcher/LauncherFlow.h"

#include "GbkTexts.h"
#include "launcher/DisplayConfigPatch.h"
#include "launcher/ElevatedApplyArgument.h"
#include "launcher/LauncherSettings.h"
#include "launcher/MissionWeaponPatch.h"
#include "launcher/SettingsStore.h"
#include "services/Files.h"
#include "services/Wide.h"

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

bool LauncherFlow::saveSettings(FileFault* fault) {
  const SettingsStore store(host_);
  const LauncherSettings settings = settingsFromControls(controls_);
  // One replacement of the file: a failure part-way leaves the old settings whole.
  return store.writeAll({{gbk::keyWeapon, toText(settings.weaponIndex)},
                         {gbk::keyAttribute, toText(settings.attributeIndex)},
                         {gbk::keyResolution, toText(settings.resolutionIndex)},
                         {gbk::keyWindowed, profileTextOfWindowed(settings.windowed)}},
                        fault);
}

std::wstring LauncherFlow::gameCommandLine(const Path& runDirectory, bool windowed) {
  return L"\"" + withName(runDirectory, gbk::gameProgramName).wide() + L"\"" +
         (windowed ? gbkToWide(gbk::windowedArgument) : std::wstring());
}

DisplayConfigOutcome LauncherFlow::writeGameFiles(std::vector<UnwrittenFile>& unwritten,
                                                  bool reportMissingLevel) {
  // What writers ended at the wrong instant left beside the files this apply writes.
  const Path runDirectory = host_.runDirectory();
  removeLeftoverTemporaries(runDirectory);
  removeLeftoverTemporaries(withName(runDirectory, gbk::levelFolderName));
  FileFault fault = FileFault::none;
  if (!saveSettings(&fault)) unwritten.push_back({SettingsStore(host_).fileName(), fault});
  if (patchMissionWeapon(controls_, host_, unwritten) == LevelFolder::missing &&
      reportMissingLevel) {
    host_.showMessage(gbkToWide(gbk::missionFolderMissing), 0);
  }
  const DisplayConfigOutcome display = patchDisplayConfig(controls_, host_, fault);
  if (display == DisplayConfigOutcome::writeFailed) {
    unwritten.push_back({displayConfigFileName(host_), fault});
  }
  return display;
}

void LauncherFlow::reportUnwritten(const std::vector<UnwrittenFile>& unwritten) {
  const bool ask = administratorMayHelp(unwritten);
  const int32_t answer =
      host_.showMessage(unwrittenFilesMessage(unwritten, ask), ask ? yesNoButtons : 0);
  if (!ask || answer != answerYes) return;
  // Refused: the apply goes on as after No. Not started: the user is told why, with the
  // list as after No. The program started with the rights reports what it still could not
  // write; should it end in any other way, the files are listed again.
  const AdministratorRun run =
      host_.runAsAdministrator(elevatedApplyArgument(settingsFromControls(controls_)));
  switch (run.outcome) {
    case AdministratorRun::Outcome::refused:
      return;
    case AdministratorRun::Outcome::notStarted:
      host_.showMessage(administratorStartFailedMessage(run.error, run.reason) + L"\r\n\r\n" +
                            unwrittenFilesMessage(unwritten, false),
                        0);
      return;
    case AdministratorRun::Outcome::ended:
      if (run.exitCode != administratorWroteAll && run.exitCode != administratorReportedUnwritten) {
        host_.showMessage(unwrittenFilesMessage(unwritten, false), 0);
      }
      return;
  }
}

void LauncherFlow::onStartGameClicked() {
  std::vector<UnwrittenFile> unwritten;
  const DisplayConfigOutcome display = writeGameFiles(unwritten, true);
  if (!unwritten.empty()) reportUnwritten(unwritten);
  const Path runDirectory = host_.runDirectory();
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

bool LauncherFlow::writeAsAdministrator() {
  std::vector<UnwrittenFile> unwritten;
  writeGameFiles(unwritten, false);
  if (unwritten.empty()) return true;
  host_.showMessage(unwrittenFilesMessage(unwritten, false), 0);
  return false;
}
