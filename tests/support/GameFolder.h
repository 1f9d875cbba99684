// A game folder for one run of the real program: a temporary folder holding a copy of
// launcher.exe, the stand-in game as Drovar.exe, "config.ini" and mission files in
// "Level", with helpers to start the program there and to read what it left behind.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

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

// Every file and folder under `folder`, at any depth, by its path relative to it.
struct FolderEntry {
  std::string path;  // "Level\\sn01_.pst"
  bool isFolder;
};
std::vector<FolderEntry> entriesUnder(const std::string& folder);

// Every file under `folder` by its path relative to it ("Level\\sn01_.pst"); folders map to
// "<folder>" so a folder where a file belongs, or one left behind, shows as itself.
using FolderFiles = std::map<std::string, std::string>;
FolderFiles readFolder(const std::string& folder);
void writeFolder(const std::string& folder, const FolderFiles& files);

// The sample game's files: "config.ini", and in "Level" missions 1, 2, 7 and 20 and two
// names outside sn01_.pst .. sn20_.pst that must never be touched (sn1_.pst, sn21_.pst).
FolderFiles sampleGameFiles();
// A game whose profile stores the first entries, with the sample "config.ini" and
// missions 1 and 2.
FolderFiles twoMissionGameFiles();

// Copies the program and the stand-in game (as Drovar.exe) from the test's own folder.
void placePrograms(const std::string& folder);

// A temporary game folder with the program, the stand-in game and the game's files.
class GameFolder {
 public:
  // The sample game's files; with `withLevel` false there is no "Level" folder at all.
  explicit GameFolder(const std::string& tag = "game", bool withLevel = true);
  // Exactly `files`, in the temporary folder or in a `subfolder` of it.
  GameFolder(const std::string& tag, const FolderFiles& files, const std::string& subfolder = "");

  // The game folder, and the temporary folder that holds it (the same without a subfolder).
  const std::string& path() const { return path_; }
  const std::string& parent() const { return folder_.path(); }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }
  std::string launcherPath() const { return *this / "launcher.exe"; }
  // The content of a file of the folder; "<missing>" when absent.
  std::string read(const std::string& name) const { return readBytes(*this / name); }
  void write(const std::string& name, const std::string& bytes) const {
    writeBytes(*this / name, bytes);
  }

 private:
  TempFolder folder_;
  std::string path_;
};

// The launcher started in a game folder, its window found.
struct LauncherRun {
  RunningProgram program;
  HWND window = nullptr;

  // Starts `exe` in `folder` and waits for its window; false when none appeared.
  bool start(const std::string& exe, const std::string& folder);
  HWND control(int id) const { return childById(window, id); }
  // Waits for the program to end; the exit code, or 0xDEAD0001 when it did not end.
  DWORD exitCode(DWORD ms = kPatienceMs);
};
