#include "launcher/LauncherFlow.h"

#include "GbkTexts.h"
#include "launcher/DisplayConfigPatch.h"
#include "launcher/ElevatedApplyArgument.h"
#include "launcher/LauncherSettings.h"
#include "launcher/MissionContent.h"
#include "launcher/MissionWeaponPatch.h"
#include "launcher/OriginalWeapons.h"
#include "launcher/SettingsStore.h"
#include "services/FileReplacement.h"
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

namespace {

// Every file an apply writes, each where it is written: the profile, the record of the
// originals, the twenty missions and "config.ini".
std::vector<Path> filesOfTheApply(LauncherHost& host) {
  const Path runDirectory = host.runDirectory();
  std::vector<Path> files = {SettingsStore(host).fileName(),
                             withName(runDirectory, gbk::originalWeaponsFileName),
                             displayConfigFileName(host)};
  for (int32_t n = 1; n <= kMissionCount; ++n) {
    files.push_back(withName(runDirectory, missionFileName(n)));
  }
  return files;
}

// The game folder's turn for the writes of one apply, given back when it goes.
class WritingTurn {
 public:
  explicit WritingTurn(LauncherHost& host) : host_(host), held_(host.takeApplyTurn()) {}
  ~WritingTurn() { host_.releaseApplyTurn(); }
  WritingTurn(const WritingTurn&) = delete;
  WritingTurn& operator=(const WritingTurn&) = delete;
  bool held() const { return held_; }

 private:
  LauncherHost& host_;
  bool held_;
};

}  // namespace

LauncherFlow::GameFileWrites LauncherFlow::writeGameFiles(std::vector<UnwrittenFile>& unwritten,
                                                          bool tellMissingLevel) {
  GameFileWrites writes;
  {
    // Everything is read and written inside the turn: the record of the originals and the
    // missions are read only once no other apply can change them.
    const WritingTurn turn(host_);
    if (!turn.held()) return writes;
    writes.turnHeld = true;
    // What writers ended at the wrong instant left beside the files this apply writes.
    removeLeftoverTemporaries(filesOfTheApply(host_));
    FileFault fault = FileFault::none;
    if (!saveSettings(&fault)) unwritten.push_back({SettingsStore(host_).fileName(), fault});
    const bool missionFolderFound =
        patchMissionWeapon(controls_, host_, unwritten) == LevelFolder::present;
    if (missionFolderFound || !tellMissingLevel) {
      writeDisplayConfig(writes, unwritten);
      return writes;
    }
  }
  // The missing mission folder is told between the missions and "config.ini", with the turn
  // given back while the box is up, so that no other apply waits on it.
  host_.showMessage(gbkToWide(gbk::missionFolderMissing), 0);
  const WritingTurn turn(host_);
  if (!turn.held()) {
    writes.displayTurnLost = true;
    return writes;
  }
  writeDisplayConfig(writes, unwritten);
  return writes;
}

void LauncherFlow::writeDisplayConfig(GameFileWrites& writes,
                                      std::vector<UnwrittenFile>& unwritten) {
  FileFault fault = FileFault::none;
  writes.display = patchDisplayConfig(controls_, host_, fault);
  if (writes.display == DisplayConfigOutcome::writeFailed) {
    unwritten.push_back({displayConfigFileName(host_), fault});
  }
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
  const GameFileWrites writes = writeGameFiles(unwritten, true);
  // Without the turn nothing was written, and the game is started as after a list of files
  // that could not be written.
  if (!writes.turnHeld) host_.showMessage(gbkToWide(gbk::applyTurnUnavailable), 0);
  if (writes.displayTurnLost) {
    host_.showMessage(
        gbkToWide(gbk::applyTurnLostBeforeConfig) + displayConfigFileName(host_).wide(), 0);
  }
  if (!unwritten.empty()) reportUnwritten(unwritten);
  const Path runDirectory = host_.runDirectory();
  if (writes.display == DisplayConfigOutcome::unreadable ||
      writes.display == DisplayConfigOutcome::tooFewLines) {
    const char* problem = writes.display == DisplayConfigOutcome::unreadable
                              ? gbk::configUnreadable
                              : gbk::configTooFewLines;
    host_.showMessage(gbkToWide(problem) + displayConfigFileName(host_).wide(), 0);
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
  if (!writeGameFiles(unwritten, false).turnHeld) {
    host_.showMessage(gbkToWide(gbk::applyTurnUnavailable), 0);
    return false;
  }
  if (unwritten.empty()) return true;
  host_.showMessage(unwrittenFilesMessage(unwritten, false), 0);
  return false;
}
