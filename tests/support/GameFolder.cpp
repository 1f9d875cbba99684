#include "tests/support/GameFolder.h"

#include <cstdio>

GameFolder::GameFolder(const std::string& tag, bool withLevel) : folder_(tag) {
  std::string bin = testProgramFolder();
  CopyFileA((bin + "\\launcher.exe").c_str(), launcherPath().c_str(), FALSE);
  CopyFileA((bin + "\\standin_game.exe").c_str(), (folder_ / "Drovar.exe").c_str(), FALSE);
  write("config.ini", kSampleConfig);
  if (withLevel) {
    makeFolder(folder_ / "Level");
    for (int number : {1, 2, 7, 20}) {
      char name[32];
      std::snprintf(name, sizeof name, "Level\\sn%02d_.pst", number);
      write(name, sampleMission(number));
    }
    // Names outside sn01_.pst .. sn20_.pst, which must never be touched.
    write("Level\\sn1_.pst", sampleMission(1));
    write("Level\\sn21_.pst", sampleMission(21));
  }
}

void chooseInLauncher(HWND window, const LauncherChoice& choice) {
  const struct {
    int control;
    int index;
  } lists[] = {{kWeaponList, choice.weapon},
               {kAttributeList, choice.attribute},
               {kResolutionList, choice.resolution}};
  for (const auto& list : lists) {
    if (list.index == kLeave) continue;
    SendMessageW(childById(window, list.control), CB_SETCURSEL, static_cast<WPARAM>(list.index), 0);
  }
  HWND box = childById(window, kWindowedBox);
  if (choice.windowed != kLeave && isTicked(box) != (choice.windowed != 0)) {
    SendMessageW(box, BM_CLICK, 0, 0);
  }
}

void pressStart(HWND window) { PostMessageW(childById(window, kStartButton), BM_CLICK, 0, 0); }

bool LauncherRun::start(const std::string& exe, const std::string& folder) {
  if (!program.start(exe, folder)) return false;
  window = waitForWindow(program.processId(), L"WTWindow", 20000);
  return window != nullptr;
}

DWORD LauncherRun::exitCode(DWORD ms) {
  DWORD code = 0;
  return program.waitExit(ms, &code) ? code : 0xDEAD0001;
}
