// Links in and to the game folder, with the real program. A mission file that is a symbolic
// or a hard link is replaced by a plain file holding the new content, and the file the link
// leads to keeps its old content. The folder's turn is the folder's whichever path leads to
// it: an apply started through a link to the folder finds the turn that another apply holds
// through the folder's own path.
//
// Wine makes no symbolic link of its own (CreateSymbolicLinkW creates nothing), so the
// system's `ln` makes them: Wine runs a Unix program started by its path on drive Z:. A
// symbolic link is seen from here by its identity, which is that of what it leads to.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/faults/FaultRun.h"
#include "tests/support/GameFolder.h"
#include "tests/support/LaunchRecord.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TempFolder.h"

namespace {

// The identity of the file or folder at `path` (its volume's serial number and its file
// index), which a symbolic link shares with what it leads to; "" when it cannot be opened.
std::string identityOf(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  BY_HANDLE_FILE_INFORMATION info{};
  std::string identity;
  if (GetFileInformationByHandle(file, &info)) {
    identity = std::to_string(info.dwVolumeSerialNumber) + ":" +
               std::to_string(info.nFileIndexHigh) + ":" + std::to_string(info.nFileIndexLow);
  }
  CloseHandle(file);
  return identity;
}

// Makes `name` in `folder` a symbolic link to `target` (relative to the folder, with forward
// slashes) with the system's ln, and waits until the name leads to `leadsTo`: true then.
// Wine hands out no handle of a Unix program it starts, so the link itself is waited for.
bool symbolicLink(const std::string& folder, const std::string& target, const std::string& name,
                  const std::string& leadsTo) {
  const std::wstring ln = L"Z:\\usr\\bin\\ln";
  PROCESS_INFORMATION process{};
  if (!startProcess(ln.c_str(), ln + L" -s " + widePath(target) + L" " + widePath(name),
                    widePath(folder).c_str(), 0, nullptr, process)) {
    return false;
  }
  for (HANDLE handle : {process.hThread, process.hProcess}) {
    if (handle != nullptr) CloseHandle(handle);
  }
  const std::string wanted = identityOf(leadsTo);
  return !wanted.empty() &&
         waitUntil([&] { return identityOf(folder + "\\" + name) == wanted; }, kPatienceMs);
}

// The number of names the file has in the file system (1 for a file without hard links);
// 0 when it cannot be opened.
DWORD namesOf(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  BY_HANDLE_FILE_INFORMATION info{};
  const DWORD names = GetFileInformationByHandle(file, &info) ? info.nNumberOfLinks : 0;
  CloseHandle(file);
  return names;
}

const wchar_t kTurnUnavailable[] =
    L"另一个功能设置程序正在修改游戏文件，等待后仍未完成。这次的设置没有保存，游戏文件都没有更改。";

// Mission 1 a symbolic link and mission 2 a hard link, each to a file outside the game
// folder: after the apply both names hold the new content as plain files of their own,
// and the files outside are as they were.
TEST(Links, LinkedMissionsAreReplacedAndWhatTheyLeadToIsKept) {
  FolderFiles files = twoMissionGameFiles();
  files.erase(missionPath(1));
  files.erase(missionPath(2));
  GameFolder game("links", files, "game");
  const std::string elsewhere = game.parent() + "\\elsewhere";
  ASSERT_TRUE(makeFolder(elsewhere));
  writeBytes(elsewhere + "\\sn01_.pst", sampleMission(1));
  writeBytes(elsewhere + "\\sn02_.pst", sampleMission(2));
  const std::string level = game / "Level";
  ASSERT_TRUE(
      symbolicLink(level, "../../elsewhere/sn01_.pst", "sn01_.pst", elsewhere + "\\sn01_.pst"));
  ASSERT_EQ(game.read(missionPath(1)), sampleMission(1)) << "read through the link";
  ASSERT_TRUE(CreateHardLinkA((game / missionPath(2)).c_str(), (elsewhere + "\\sn02_.pst").c_str(),
                              nullptr));
  ASSERT_EQ(namesOf(game / missionPath(2)), 2u);

  const ApplyOutcome outcome = applyOnce(game.path());

  EXPECT_EQ(outcome.exitCode, 0u);
  EXPECT_TRUE(outcome.boxes.empty()) << testing::PrintToString(outcome.boxes);
  EXPECT_EQ(game.read(missionPath(1)), patchedMission(1, 58));
  EXPECT_NE(identityOf(game / missionPath(1)), identityOf(elsewhere + "\\sn01_.pst"))
      << "still a link";
  EXPECT_EQ(readBytes(elsewhere + "\\sn01_.pst"), sampleMission(1));
  EXPECT_EQ(game.read(missionPath(2)), patchedMission(2, 58));
  EXPECT_EQ(namesOf(game / missionPath(2)), 1u);
  EXPECT_EQ(readBytes(elsewhere + "\\sn02_.pst"), sampleMission(2));
  EXPECT_EQ(namesOf(elsewhere + "\\sn02_.pst"), 1u);
  EXPECT_EQ(game.read(originalsRecordName()), originalsRecord(firstApplyEntries({1, 2}, 58)));
  EXPECT_EQ(waitForLaunchRecord(game.path()), launchRecord(game.path(), false));
}

// Another apply holds the folder's turn through the folder's own path, held at its first
// write for longer than the program waits; the program started through a symbolic link to
// the folder waits for that same turn, says that it was kept and changes no file.
TEST(Links, TheTurnReachedThroughALinkIsTheFoldersOwn) {
  GameFolder game("linkturn", twoMissionGameFiles(), "game");
  const std::string alias = game.parent() + "\\alias";
  ASSERT_TRUE(symbolicLink(game.parent(), "game", "alias", game.path()));
  ASSERT_EQ(readBytes(alias + "\\config.ini"), kSampleConfig) << "the folder through the link";
  ProbeApply holder(game.path(), "1", L"--apply-settings=1,2,0,0");
  ASSERT_TRUE(holder.waitHeld());
  // The folder as the holder keeps it at its first write, its temporary file among it.
  const FolderFiles before = readFolder(game.path());
  const ApplyOutcome outcome = runWithArguments(alias, L"--apply-settings=11,3,1,0", kPatienceMs);

  EXPECT_EQ(outcome.exitCode, 1u);
  ASSERT_EQ(outcome.boxes.size(), 1u) << testing::PrintToString(outcome.boxes);
  EXPECT_EQ(outcome.boxes[0].substr(outcome.boxes[0].find(L'\n') + 1), kTurnUnavailable);
  expectFolder(readFolder(game.path()), before);
  // The holder then writes its own choices: the turn was never taken from it.
  EXPECT_EQ(holder.finish(), 0u);
  EXPECT_EQ(game.read(missionPath(1)), patchedMission(1, 20));
}

}  // namespace
