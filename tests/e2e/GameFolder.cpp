#include "tests/e2e/GameFolder.h"

#include <cstdio>

std::string gbk(const std::wstring& wide) {
  int length = WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                   nullptr, nullptr);
  std::string bytes(static_cast<size_t>(length > 0 ? length : 0), '\0');
  WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), length,
                      nullptr, nullptr);
  return bytes;
}

std::wstring fromGbk(const std::string& bytes) {
  int length =
      MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), length);
  return wide;
}

const char kSampleConfig[] = "[Screen]\r\nWidth 640\r\nHeight 480\r\nBits 32\r\n";

std::string sampleMission(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "%02d", number);
  return gbk(L"// 任务 ") + name + gbk(L"：山谷伏击\r\n") +
         "int PlayerWeapon1 = 3;\r\n"
         "int PlayerWeapon2 = 1; // " +
         gbk(L"初始副武器") + "\r\nint EnemyCount = 12;\r\n";
}

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
