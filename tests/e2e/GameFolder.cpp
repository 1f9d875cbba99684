#include "tests/e2e/GameFolder.h"

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

bool LauncherRun::start(const std::string& exe, const std::string& folder) {
  if (!program.start(exe, folder)) return false;
  window = waitForWindow(program.processId(), L"WTWindow", 20000);
  return window != nullptr;
}

DWORD LauncherRun::exitCode(DWORD ms) {
  DWORD code = 0;
  return program.waitExit(ms, &code) ? code : 0xDEAD0001;
}
