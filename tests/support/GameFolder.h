// A game folder for one run of the real program: a temporary folder holding a copy of
// launcher.exe, the stand-in game as Drovar.exe, "config.ini" and mission files in
// "Level", with helpers to start the program there and to read what it left behind.
#pragma once

#include <windows.h>

#include <string>

#include "LauncherTemplate.h"
#include "tests/support/SampleGame.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UiProbe.h"

// Child-window ids of the launcher's controls, as the window template gives them.
enum ControlId : int {
  kWeaponList = launcher_child::weaponList,            // 组合框1
  kWeaponLabel = launcher_child::weaponLabel,          // 标签1
  kResolutionLabel = launcher_child::resolutionLabel,  // 标签2
  kResolutionList = launcher_child::resolutionList,    // 组合框2
  kAttributeList = launcher_child::attributeList,      // 组合框3
  kAttributeLabel = launcher_child::attributeLabel,    // 标签3
  kStartButton = launcher_child::startButton,          // 按钮1
  kWindowedBox = launcher_child::windowedBox,          // 选择框1
};

// What an outside test chooses in the launcher window before it presses the start button:
// list indexes and the box (0 clear, 1 ticked); kLeave keeps what the window loaded. The
// default is 忍刀, 速度属性（风） and 1024*788, the box as loaded.
inline constexpr int kLeave = -2;
struct LauncherChoice {
  int weapon = 11;
  int attribute = 3;
  int resolution = 1;
  int windowed = kLeave;
};

// Makes the choices in the launcher window's controls, as a user's selections do.
void chooseInLauncher(HWND window, const LauncherChoice& choice = {});
// Presses the start button. The click is posted, so the apply runs while the caller waits on
// what it is to see (a message box, the program's end).
void pressStart(HWND window);

class GameFolder {
 public:
  // With `withLevel` false there is no "Level" folder at all.
  explicit GameFolder(const std::string& tag = "game", bool withLevel = true);

  const std::string& path() const { return folder_.path(); }
  std::string operator/(const std::string& name) const { return folder_ / name; }
  std::string launcherPath() const { return folder_ / "launcher.exe"; }
  // The content of a file of the folder; "<missing>" when absent.
  std::string read(const std::string& name) const { return readBytes(folder_ / name); }
  void write(const std::string& name, const std::string& bytes) const {
    writeBytes(folder_ / name, bytes);
  }

 private:
  TempFolder folder_;
};

// The launcher started in a game folder, its window found.
struct LauncherRun {
  RunningProgram program;
  HWND window = nullptr;

  // Starts `exe` in `folder` and waits for its window; false when none appeared.
  bool start(const std::string& exe, const std::string& folder);
  HWND control(int id) const { return childById(window, id); }
  // Waits for the program to end; the exit code, or 0xDEAD0001 when it did not end.
  DWORD exitCode(DWORD ms = 10000);
};
