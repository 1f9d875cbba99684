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

const char kConfig[] = "[Screen]\r\nWidth 640\r\nHeight 480\r\nBits 32\r\n";
const char kConfigApplied[] = "[Screen]\r\nWidth 1024\r\nHeight 768\r\nBits 32\r\n";

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

const char* const kGameFiles[] = {"wdpz.ini", "config.ini", "Level\\sn01_.pst", "Level\\sn02_.pst"};

std::map<std::string, FileStamp> stamps(const std::string& dir) {
  std::map<std::string, FileStamp> all;
  for (const char* name : kGameFiles) all[name] = stampOf(dir + "\\" + name);
  return all;
}

struct Game {
  TempFolder temp{"unchanged"};
  std::string dir = temp.path();
  explicit Game(const FolderFiles& files) {
    placePrograms(dir);
    writeFolder(dir, files);
  }
};

TEST(UnchangedFiles, SecondPressWithTheSameChoicesWritesNothing) {
  Game game({{"wdpz.ini", profileText(0, 0, 0, false)},
             {"config.ini", kConfig},
             {"Level", "<folder>"},
             {"Level\\sn01_.pst", mission(1)},
             {"Level\\sn02_.pst", mission(2)}});
  const ApplyOutcome first = applyOnce(game.dir);
  ASSERT_EQ(first.exitCode, 0u);
  const FolderFiles afterFirst = readFolder(game.dir);
  EXPECT_EQ(afterFirst.at("Level\\sn01_.pst"), mission(58));
  EXPECT_EQ(afterFirst.at("config.ini"), kConfigApplied);
  const std::map<std::string, FileStamp> before = stamps(game.dir);

  const ApplyOutcome second = applyOnce(game.dir);
  EXPECT_EQ(second.exitCode, 0u);
  EXPECT_TRUE(second.boxes.empty());
  for (const char* name : kGameFiles)
    EXPECT_EQ(stampOf(game.dir + "\\" + name), before.at(name)) << name;
  FolderFiles afterSecond = readFolder(game.dir);
  // The game was started once more, and nothing else changed.
  EXPECT_EQ(waitForLaunchRecord(game.dir, 30000),
            launchRecord(game.dir, false) + launchRecord(game.dir, false));
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
      {"read-only mission file", {"Level\\sn01_.pst"}},
      {"all three read-only", {"wdpz.ini", "config.ini", "Level\\sn01_.pst"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Game game({{"wdpz.ini", profileText(11, 3, 1, false)},
               {"config.ini", kConfigApplied},
               {"Level", "<folder>"},
               {"Level\\sn01_.pst", mission(58)},
               {"Level\\sn02_.pst", mission(2)}});
    for (const std::string& name : c.readOnly) {
      SetFileAttributesA((game.dir + "\\" + name).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    const std::map<std::string, FileStamp> before = stamps(game.dir);
    const ApplyOutcome outcome = applyOnce(game.dir);
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(outcome.boxes.empty()) << (outcome.boxes.empty() ? "" : toGbk(outcome.boxes[0]));
    for (const char* name : {"wdpz.ini", "config.ini", "Level\\sn01_.pst"}) {
      EXPECT_EQ(stampOf(game.dir + "\\" + name), before.at(name)) << name;
    }
    EXPECT_EQ(readBytes(game.dir + "\\Level\\sn02_.pst"), mission(58));
    EXPECT_FALSE(stampOf(game.dir + "\\Level\\sn02_.pst") == before.at("Level\\sn02_.pst"));
    EXPECT_EQ(waitForLaunchRecord(game.dir, 30000), launchRecord(game.dir, false));
    for (const std::string& name : c.readOnly) {
      SetFileAttributesA((game.dir + "\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
  }
}

}  // namespace
