#include "tests/support/GameFolder.h"

#include <iterator>

std::vector<FolderEntry> entriesUnder(const std::string& folder) {
  std::vector<FolderEntry> entries;
  std::vector<std::string> pending{""};  // folders still to be listed, relative to `folder`
  while (!pending.empty()) {
    const std::string relative = pending.back();
    pending.pop_back();
    const std::string base = relative.empty() ? folder : folder + "\\" + relative;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((base + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) continue;
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = relative.empty() ? name : relative + "\\" + name;
      const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      entries.push_back({path, isFolder});
      if (isFolder) pending.push_back(path);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  return entries;
}

FolderFiles readFolder(const std::string& folder) {
  FolderFiles files;
  for (const FolderEntry& entry : entriesUnder(folder)) {
    files[entry.path] = entry.isFolder ? "<folder>" : readBytes(folder + "\\" + entry.path);
  }
  return files;
}

void writeFolder(const std::string& folder, const FolderFiles& files) {
  for (const auto& [name, content] : files) {
    if (content == "<folder>") {
      makeFolder(folder + "\\" + name);
    } else {
      writeBytes(folder + "\\" + name, content);
    }
  }
}

FolderFiles sampleGameFiles() {
  FolderFiles files = {{"config.ini", kSampleConfig}, {"Level", "<folder>"}};
  for (int number : {1, 2, 7, 20}) files[missionPath(number)] = sampleMission(number);
  files["Level\\sn1_.pst"] = sampleMission(1);
  files["Level\\sn21_.pst"] = sampleMission(21);
  return files;
}

FolderFiles twoMissionGameFiles() {
  return {{"wdpz.ini", profileText(0, 0, 0, false)},
          {"config.ini", kSampleConfig},
          {"Level", "<folder>"},
          {missionPath(1), sampleMission(1)},
          {missionPath(2), sampleMission(2)}};
}

void placePrograms(const std::string& folder) {
  std::string bin = testProgramFolder();
  CopyFileA((bin + "\\launcher.exe").c_str(), (folder + "\\launcher.exe").c_str(), FALSE);
  CopyFileA((bin + "\\standin_game.exe").c_str(), (folder + "\\Drovar.exe").c_str(), FALSE);
}

namespace {

FolderFiles withoutLevel(FolderFiles files) {
  for (auto file = files.begin(); file != files.end();) {
    file = file->first.rfind("Level", 0) == 0 ? files.erase(file) : std::next(file);
  }
  return files;
}

}  // namespace

GameFolder::GameFolder(const std::string& tag, bool withLevel)
    : GameFolder(tag, withLevel ? sampleGameFiles() : withoutLevel(sampleGameFiles())) {}

GameFolder::GameFolder(const std::string& tag, const FolderFiles& files,
                       const std::string& subfolder)
    : folder_(tag), path_(subfolder.empty() ? folder_.path() : folder_ / subfolder) {
  if (!subfolder.empty()) makeFolder(path_);
  placePrograms(path_);
  writeFolder(path_, files);
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
  window = waitForWindow(program.processId(), L"WTWindow", kPatienceMs);
  return window != nullptr;
}

DWORD LauncherRun::exitCode(DWORD ms) {
  DWORD code = 0;
  return program.waitExit(ms, &code) ? code : 0xDEAD0001;
}
