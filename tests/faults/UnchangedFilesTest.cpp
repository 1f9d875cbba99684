// Files that already hold what an apply would write are not written: a second press with
// the same choices writes nothing, and a read-only file that is already right is no
// failure. "Not written" is seen from outside: a written file is a new file (the
// replacement of the old) with a new identity and a new time of last write.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "tests/faults/FaultRun.h"
#include "tests/support/GameFolder.h"
#include "tests/support/LaunchRecord.h"
#include "tests/support/TempFolder.h"

namespace {

// A mission of more than 256 KB, so that finding its weapon line and comparing it take more
// than one piece of the reader.
std::string mission(int weaponNumber) {
  return toGbk(L"// 任务\r\n") +
         "int PlayerWeapon1 = 3;\r\nint PlayerWeapon2 = " + std::to_string(weaponNumber) +
         ";\r\nint EnemyCount = 12;\r\n" + std::string(256 * 1024, 'x');
}

// The identity, time of last write and size of a file; all zero when it cannot be opened.
struct FileStamp {
  DWORD volume = 0;
  DWORD indexHigh = 0;
  DWORD indexLow = 0;
  FILETIME written{};
  DWORD size = 0;
  bool operator==(const FileStamp& o) const {
    return volume == o.volume && indexHigh == o.indexHigh && indexLow == o.indexLow &&
           CompareFileTime(&written, &o.written) == 0 && size == o.size;
  }
};

FileStamp stampOf(const std::string& path) {
  FileStamp stamp;
  HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return stamp;
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(file, &info)) {
    stamp = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow,
             info.ftLastWriteTime, info.nFileSizeLow};
  }
  CloseHandle(file);
  return stamp;
}

// Every file an apply of the game below writes: the record of the missions' originals too.
const std::string kGameFiles[] = {"wdpz.ini", "config.ini", originalsRecordName(), missionPath(1),
                                  missionPath(2)};

std::map<std::string, FileStamp> stamps(const std::string& dir) {
  std::map<std::string, FileStamp> all;
  for (const std::string& name : kGameFiles) all[name] = stampOf(dir + "\\" + name);
  return all;
}

TEST(UnchangedFiles, SecondPressWithTheSameChoicesWritesNothing) {
  GameFolder game("unchanged", {{"wdpz.ini", profileText(0, 0, 0, false)},
                                {"config.ini", kSampleConfig},
                                {"Level", "<folder>"},
                                {missionPath(1), mission(1)},
                                {missionPath(2), mission(2)}});
  const ApplyOutcome first = applyOnce(game.path());
  ASSERT_EQ(first.exitCode, 0u);
  const FolderFiles afterFirst = readFolder(game.path());
  EXPECT_EQ(afterFirst.at(missionPath(1)), mission(58));
  EXPECT_EQ(afterFirst.at("config.ini"), patchedConfig(1024, 768));
  ASSERT_EQ(afterFirst.count(originalsRecordName()), 1u) << "the first press records the originals";
  const std::map<std::string, FileStamp> before = stamps(game.path());

  const ApplyOutcome second = applyOnce(game.path());
  EXPECT_EQ(second.exitCode, 0u);
  EXPECT_TRUE(second.boxes.empty());
  for (const std::string& name : kGameFiles)
    EXPECT_EQ(stampOf(game.path() + "\\" + name), before.at(name)) << name;
  FolderFiles afterSecond = readFolder(game.path());
  // The game was started once more, and nothing else changed.
  EXPECT_EQ(waitForLaunchRecord(game.path(), 2),
            launchRecord(game.path(), false) + launchRecord(game.path(), false));
  afterSecond.erase("launch-record.txt");
  FolderFiles expected = afterFirst;
  expected.erase("launch-record.txt");
  expectFolder(afterSecond, expected);
}

// Files already right are skipped before any write is tried, so read-only ones are no
// failure and are not listed; a file that does change is written as ever.
TEST(UnchangedFiles, ReadOnlyFilesAlreadyRightAreNoFailure) {
  struct Case {
    const char* name;
    std::vector<std::string> readOnly;
  } cases[] = {
      {"read-only profile", {"wdpz.ini"}},
      {"read-only display configuration", {"config.ini"}},
      {"read-only mission file", {missionPath(1)}},
      {"all three read-only", {"wdpz.ini", "config.ini", missionPath(1)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameFolder game("unchanged", {{"wdpz.ini", profileText(11, 3, 1, false)},
                                  {"config.ini", patchedConfig(1024, 768)},
                                  {"Level", "<folder>"},
                                  {missionPath(1), mission(58)},
                                  {missionPath(2), mission(2)}});
    for (const std::string& name : c.readOnly) {
      SetFileAttributesA((game.path() + "\\" + name).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    const std::map<std::string, FileStamp> before = stamps(game.path());
    const ApplyOutcome outcome = applyOnce(game.path());
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(outcome.boxes.empty()) << (outcome.boxes.empty() ? "" : toGbk(outcome.boxes[0]));
    for (const std::string& name :
         {std::string("wdpz.ini"), std::string("config.ini"), missionPath(1)}) {
      EXPECT_EQ(stampOf(game.path() + "\\" + name), before.at(name)) << name;
    }
    EXPECT_EQ(readBytes(game / missionPath(2)), mission(58));
    EXPECT_FALSE(stampOf(game / missionPath(2)) == before.at(missionPath(2)));
    EXPECT_EQ(waitForLaunchRecord(game.path()), launchRecord(game.path(), false));
    for (const std::string& name : c.readOnly) {
      SetFileAttributesA((game.path() + "\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
  }
}

}  // namespace
