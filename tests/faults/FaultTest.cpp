// The real program under faults of the files it reads and writes: read-only files, files
// held by another program, folders where files belong, a file where the mission folder
// belongs, a 10 MB line, a lead byte at the very end, invalid GBK, zero bytes, and a run
// directory with blanks and with two-byte characters whose second byte is a backslash.
// After each apply: the exit code, the message boxes, and every file of the game folder
// either untouched or exactly as it must be, with nothing left beside them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "GbkTexts.h"
#include "tests/faults/FaultRun.h"
#include "tests/support/GameFolder.h"
#include "tests/support/HeldFile.h"
#include "tests/support/LaunchRecord.h"
#include "tests/support/TempFolder.h"

namespace {

const DWORD kFailed = 0xFFFFFFFF;

// The games of twoMissionGameFiles store the first entries; each apply picks 忍刀 (55) and
// 速度属性（风） (4), weapon number 58, and 1024*788 in the window before pressing the button.
// What an apply of the stored choices leaves: the profile saved, both missions' original
// weapon lines recorded, both missions and the display configuration patched, the game
// started.
FolderFiles appliedStored(FolderFiles files, const std::string& dir) {
  files["wdpz.ini"] = profileText(11, 3, 1, false);
  files[originalsRecordName()] = originalsRecord(firstApplyEntries({1, 2}, 58));
  files["Level\\sn01_.pst"] = patchedMission(1, 58);
  files["Level\\sn02_.pst"] = patchedMission(2, 58);
  files["config.ini"] = patchedConfig(1024, 768);
  files["launch-record.txt"] = launchRecord(dir, false);
  return files;
}

bool mentions(const std::vector<std::wstring>& boxes, const std::wstring& part) {
  for (const std::wstring& box : boxes) {
    if (box.find(part) != std::wstring::npos) return true;
  }
  return false;
}

// ---------------------------------------------------------------- file system faults

enum class Fault { readOnly, locked, folder };

struct FileFaultCase {
  const char* name;
  const char* file;  // the file the fault is put on
  Fault fault;
  DWORD exitCode;
  // The one message box, which names the file by its full path: the list of files that
  // could not be written, or the report that config.ini cannot be used.
  const char* box;
  // What the folder holds afterwards, from what an apply of the stored choices leaves.
  std::function<void(FolderFiles& expected, const FolderFiles& before)> afterwards;
};

void keep(FolderFiles& expected, const FolderFiles& before, const char* name) {
  expected[name] = before.at(name);
}

const FileFaultCase kFileFaults[] = {
    {"read-only wdpz.ini", "wdpz.ini", Fault::readOnly, 0, gbk::filesNotWritten,
     [](FolderFiles& e, const FolderFiles& b) { keep(e, b, "wdpz.ini"); }},
    {"read-only config.ini", "config.ini", Fault::readOnly, 0, gbk::filesNotWritten,
     [](FolderFiles& e, const FolderFiles& b) { keep(e, b, "config.ini"); }},
    // Refused before anything of it is recorded: only the other mission is.
    {"read-only mission file", "Level\\sn01_.pst", Fault::readOnly, 0, gbk::filesNotWritten,
     [](FolderFiles& e, const FolderFiles& b) {
       keep(e, b, "Level\\sn01_.pst");
       e[originalsRecordName()] = originalsRecord(firstApplyEntries({2}, 58));
     }},
    {"wdpz.ini held by another program", "wdpz.ini", Fault::locked, 0, gbk::filesNotWritten,
     [](FolderFiles& e, const FolderFiles& b) { keep(e, b, "wdpz.ini"); }},
    // Held config.ini reads as missing: the apply stops before the game.
    {"config.ini held by another program", "config.ini", Fault::locked, kFailed,
     gbk::configUnreadable,
     [](FolderFiles& e, const FolderFiles& b) {
       keep(e, b, "config.ini");
       e.erase("launch-record.txt");
     }},
    // A mission file that cannot be read keeps its old weapon, and the user is told.
    // It cannot even be read for its original, so only the other one is recorded.
    {"mission file held by another program", "Level\\sn01_.pst", Fault::locked, 0,
     gbk::filesNotWritten,
     [](FolderFiles& e, const FolderFiles& b) {
       keep(e, b, "Level\\sn01_.pst");
       e[originalsRecordName()] = originalsRecord(firstApplyEntries({2}, 58));
     }},
    {"folder named wdpz.ini", "wdpz.ini", Fault::folder, 0, gbk::filesNotWritten,
     [](FolderFiles& e, const FolderFiles&) { e["wdpz.ini"] = "<folder>"; }},
    {"folder named config.ini", "config.ini", Fault::folder, kFailed, gbk::configUnreadable,
     [](FolderFiles& e, const FolderFiles&) {
       e["config.ini"] = "<folder>";
       e.erase("launch-record.txt");
     }},
    {"folder named sn01_.pst", "Level\\sn01_.pst", Fault::folder, 0, gbk::filesNotWritten,
     [](FolderFiles& e, const FolderFiles&) {
       e["Level\\sn01_.pst"] = "<folder>";
       e[originalsRecordName()] = originalsRecord(firstApplyEntries({2}, 58));
     }},
};

TEST(FileFaults, EachEndsAsDesignedAndLeavesEveryFileWholeOrPatched) {
  for (const FileFaultCase& c : kFileFaults) {
    SCOPED_TRACE(c.name);
    FolderFiles files = twoMissionGameFiles();
    if (c.fault == Fault::folder) files[c.file] = "<folder>";
    GameFolder game("fault", files);
    FolderFiles before = readFolder(game.path());
    std::string target = game.path() + "\\" + c.file;
    if (c.fault == Fault::readOnly) SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
    std::optional<HeldFile> held;
    if (c.fault == Fault::locked) {
      held.emplace(target, HeldFile::nothing);
      ASSERT_TRUE(held->held());
    }

    ApplyOutcome outcome = applyOnce(game.path());
    held.reset();
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_TRUE(outcome.windowShown);
    EXPECT_EQ(outcome.exitCode, c.exitCode);
    ASSERT_EQ(outcome.boxes.size(), 1u) << testing::PrintToString(outcome.boxes);
    EXPECT_TRUE(mentions(outcome.boxes, fromGbk(c.box))) << testing::PrintToString(outcome.boxes);
    EXPECT_TRUE(mentions(outcome.boxes, fromGbk(game.path()) + L"\\" + fromGbk(c.file)))
        << testing::PrintToString(outcome.boxes);
    FolderFiles expected = appliedStored(before, game.path());
    c.afterwards(expected, before);
    if (expected.count("launch-record.txt")) waitForLaunchRecord(game.path());
    expectFolder(readFolder(game.path()), expected);
  }
}

// A wdpz.ini saved with a byte-order mark, as editors save UTF-8 and UTF-16 text, is read
// as missing and never rewritten: the window loads the first entries with the box clear
// (the file's own choices, windowed among them, are not taken), the rest of the apply goes
// on, and the file is listed with a cause of its own and what to do about it.
TEST(FileFaults, ProfileWithAByteOrderMarkIsKeptAndListed) {
  const struct {
    const char* name;
    std::string mark;
  } cases[] = {
      {"UTF-8", "\xEF\xBB\xBF"},
      {"UTF-16", "\xFF\xFE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FolderFiles files = twoMissionGameFiles();
    files["wdpz.ini"] = c.mark + profileText(9, 1, 0, true);
    GameFolder game("bom", files);
    const FolderFiles before = readFolder(game.path());

    const ApplyOutcome outcome = applyOnce(game.path());

    EXPECT_TRUE(outcome.windowShown);
    EXPECT_EQ(outcome.exitCode, 0u);
    const std::wstring list =
        fromGbk(std::string(gbk::filesNotWritten) + "\r\n" + game.path() + "\\wdpz.ini" +
                gbk::reasonByteOrderMark + gbk::hintStart + gbk::hintByteOrderMark + gbk::hintEnd);
    ASSERT_EQ(outcome.boxes.size(), 1u) << testing::PrintToString(outcome.boxes);
    EXPECT_EQ(outcome.boxes[0].substr(outcome.boxes[0].find(L'\n') + 1), list);
    FolderFiles expected = appliedStored(before, game.path());
    expected["wdpz.ini"] = before.at("wdpz.ini");
    EXPECT_EQ(waitForLaunchRecord(game.path()), launchRecord(game.path(), false));
    expectFolder(readFolder(game.path()), expected);
  }
}

// A file named "Level" passes the folder test; none of the twenty names exists under it,
// so nothing more happens to the missions and the apply goes on.
TEST(FileFaults, FileNamedLevel) {
  FolderFiles files = twoMissionGameFiles();
  files.erase(missionPath(1));
  files.erase(missionPath(2));
  files["Level"] = "not a folder\r\n";
  GameFolder game("fault", files);
  FolderFiles before = readFolder(game.path());

  ApplyOutcome outcome = applyOnce(game.path());

  EXPECT_EQ(outcome.exitCode, 0u);
  EXPECT_EQ(outcome.boxes.size(), 0u) << testing::PrintToString(outcome.boxes);
  FolderFiles expected = before;
  expected["wdpz.ini"] = profileText(11, 3, 1, false);
  expected["config.ini"] = patchedConfig(1024, 768);
  expected["launch-record.txt"] = launchRecord(game.path(), false);
  waitForLaunchRecord(game.path());
  expectFolder(readFolder(game.path()), expected);
}

// ---------------------------------------------------------------- awkward contents

const std::string kLong(10 * 1024 * 1024, 'x');  // a 10 MB run without a line break

struct ContentCase {
  const char* name;
  std::string config;
  std::optional<std::string> configAfter;  // none: untouched
  std::string mission;
  std::optional<std::string> missionAfter;  // none: untouched
  DWORD exitCode;                           // kFailed: config.ini unusable, no game
  std::optional<std::string> original;      // the mission's weapon line as recorded
};

using namespace std::string_literals;

const ContentCase kContents[] = {
    {"10 MB weapon line", kSampleConfig, patchedConfig(1024, 768), "int PlayerWeapon2 = 1;" + kLong,
     "int PlayerWeapon2 = 58;", 0, "int PlayerWeapon2 = 1;" + kLong},
    {"weapon line before 10 MB", kSampleConfig, patchedConfig(1024, 768),
     "int PlayerWeapon2 = 1;\r\n" + kLong, "int PlayerWeapon2 = 58;\r\n" + kLong, 0,
     "int PlayerWeapon2 = 1;"},
    {"10 MB line before the weapon line", kSampleConfig, patchedConfig(1024, 768),
     kLong + "\r\nint PlayerWeapon2 = 1;\r\n" + kLong,
     kLong + "\r\nint PlayerWeapon2 = 58;\r\n" + kLong, 0, "int PlayerWeapon2 = 1;"},
    {"10 MB mission without a weapon line", kSampleConfig, patchedConfig(1024, 768), kLong,
     std::nullopt, 0, std::nullopt},
    {"10 MB config.ini of one line", kLong, std::nullopt, sampleMission(1), patchedMission(1, 58),
     kFailed, sampleWeaponLine()},
    {"10 MB config.ini lines", "a\r\n" + kLong + "\r\nb\r\n" + kLong,
     "a\r\nWidth 1024\r\nHeight 768\r\n" + kLong + "\r\n", sampleMission(1), patchedMission(1, 58),
     0, sampleWeaponLine()},
    {"lead byte at the very end", "a\r\nb\r\nc\r\nd\xB0", "a\r\nWidth 1024\r\nHeight 768\r\nd\xB0",
     "int PlayerWeapon2 = 1;\r\nend\xB0", "int PlayerWeapon2 = 58;\r\nend\xB0", 0,
     "int PlayerWeapon2 = 1;"},
    {"lead byte at the end of the weapon line", kSampleConfig, patchedConfig(1024, 768),
     "int PlayerWeapon2 = 1;\xB0", "int PlayerWeapon2 = 58;", 0, "int PlayerWeapon2 = 1;\xB0"},
    {"lead byte at the end of line 3", "a\r\nb\r\nc\xB0", "a\r\nWidth 1024\r\nHeight 768\r\n",
     sampleMission(1), patchedMission(1, 58), 0, sampleWeaponLine()},
    // A CR LF is a line break whatever byte comes before it: the lead byte 81 does not take
    // it into a character.
    {"invalid GBK", "\xFF\xFF\r\n\x81\x7F\r\n\x80q\r\n\xFE",
     "\xFF\xFF\r\nWidth 1024\r\nHeight 768\r\n\xFE",
     "\x80\xFF\r\n\x81\r\nint PlayerWeapon2 = 9;\r\nint PlayerWeapon2 = 2;\r\n",
     "\x80\xFF\r\n\x81\r\nint PlayerWeapon2 = 58;\r\nint PlayerWeapon2 = 2;\r\n", 0,
     "int PlayerWeapon2 = 9;"},
    {"a lead byte before a CR LF leaves three lines", "a\r\n\xB0\r\nc\r\n",
     "a\r\nWidth 1024\r\nHeight 768\r\n", sampleMission(1), patchedMission(1, 58), 0,
     sampleWeaponLine()},
    {"zero bytes", "\0\r\n\0\r\n\0\r\nx\0y"s, "\0\r\nWidth 1024\r\nHeight 768\r\nx\0y\r\n"s,
     "a\0b\r\nint PlayerWeapon2 = 1;\0tail\r\n\0"s, "a\0b\r\nint PlayerWeapon2 = 58;\r\n\0"s, 0,
     "int PlayerWeapon2 = 1;\0tail"s},
    {"zero byte first", "\0"s + kSampleConfig,
     "\0[Screen]\r\nWidth 1024\r\nHeight 768\r\nBits 32\r\n"s, "\0\r\nint PlayerWeapon2 = 1;"s,
     "\0\r\nint PlayerWeapon2 = 58;"s, 0, "int PlayerWeapon2 = 1;"},
};

TEST(ContentFaults, EachEndsAsDesignedAndOnlyTheLinesChange) {
  for (const ContentCase& c : kContents) {
    SCOPED_TRACE(c.name);
    FolderFiles files = twoMissionGameFiles();
    files["config.ini"] = c.config;
    files[missionPath(1)] = c.mission;
    GameFolder game("content", files);
    FolderFiles before = readFolder(game.path());

    ApplyOutcome outcome = applyOnce(game.path());

    EXPECT_TRUE(outcome.windowShown);
    EXPECT_EQ(outcome.exitCode, c.exitCode);
    FolderFiles expected = appliedStored(before, game.path());
    expected["config.ini"] = c.configAfter.value_or(c.config);
    expected["Level\\sn01_.pst"] = c.missionAfter.value_or(c.mission);
    std::vector<RecordLine> entries;
    if (c.original) {
      entries.push_back({1, false, *c.original});
      entries.push_back({1, true, "int PlayerWeapon2 = 58;"});
    }
    for (const RecordLine& entry : firstApplyEntries({2}, 58)) entries.push_back(entry);
    expected[originalsRecordName()] = originalsRecord(entries);
    if (c.exitCode == kFailed) {
      EXPECT_EQ(outcome.boxes.size(), 1u) << testing::PrintToString(outcome.boxes);
      EXPECT_TRUE(mentions(outcome.boxes, L"config.ini")) << testing::PrintToString(outcome.boxes);
      expected.erase("launch-record.txt");
    } else {
      EXPECT_EQ(outcome.boxes.size(), 0u) << testing::PrintToString(outcome.boxes);
      waitForLaunchRecord(game.path());
    }
    expectFolder(readFolder(game.path()), expected);
  }
}

// ---------------------------------------------------------------- awkward run directories

struct RunDirectoryCase {
  const char* name;
  std::wstring tag;        // the temporary folder's name part
  std::wstring subfolder;  // the game folder inside it
};

const RunDirectoryCase kRunDirectories[] = {
    {"blanks", L"My Games", L"Drovar Gold"},
    // 乗 is 81 5C, 嘰 87 5C, 媆 8B 5C: second bytes that read as a backslash.
    {"second bytes 0x5C", L"游戏乗", L"嘰媆"},
    {"both", L"My 乗", L"嘰 Gold 媆"},
};

TEST(RunDirectoryFaults, GameFolderPathsWithBlanksAndBackslashSecondBytes) {
  for (const RunDirectoryCase& c : kRunDirectories) {
    SCOPED_TRACE(c.name);
    GameFolder game(toGbk(c.tag), twoMissionGameFiles(), toGbk(c.subfolder));
    // A decoy where an unquoted path would find a program first: the folder's name up to
    // its first blank, as a program beside it.
    std::string parent = game.parent();
    std::string decoy;
    size_t blank = game.path().find(' ');
    if (blank != std::string::npos) {
      decoy = game.path().substr(0, blank) + ".exe";
      CopyFileA((testProgramFolder() + "\\standin_game.exe").c_str(), decoy.c_str(), FALSE);
    }
    FolderFiles before = readFolder(game.path());

    ApplyOutcome outcome = applyOnce(game.path());

    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_EQ(outcome.boxes.size(), 0u) << testing::PrintToString(outcome.boxes);
    EXPECT_EQ(waitForLaunchRecord(game.path()), launchRecord(game.path(), false));
    expectFolder(readFolder(game.path()), appliedStored(before, game.path()));
    if (!decoy.empty()) {
      std::string decoyRecord = decoy.substr(0, decoy.rfind('\\')) + "\\launch-record.txt";
      EXPECT_FALSE(pathExists(decoyRecord)) << "the decoy program was started";
      DeleteFileA(decoyRecord.c_str());
      DeleteFileA(decoy.c_str());
    }
  }
}

// ---------------------------------------------------------------- a full disk

// Fills the drive of `folder` with a file of its own until nothing more fits, then gives
// back `room` bytes.
bool fillDrive(const std::string& folder, DWORD room) {
  HANDLE filler = CreateFileA((folder + "\\filler.bin").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (filler == INVALID_HANDLE_VALUE) return false;
  std::string chunk(65536, 'f');
  for (DWORD piece : {65536u, 4096u, 512u, 1u}) {
    DWORD written = 0;
    while (WriteFile(filler, chunk.data(), piece, &written, nullptr) && written == piece) {
    }
  }
  LARGE_INTEGER size;
  bool ok = GetFileSizeEx(filler, &size) != FALSE;
  if (ok && room > 0) {
    size.QuadPart = size.QuadPart > room ? size.QuadPart - room : 0;
    ok = SetFilePointerEx(filler, size, nullptr, FILE_BEGIN) && SetEndOfFile(filler);
  }
  CloseHandle(filler);
  return ok;
}

struct DiskFullCase {
  const char* name;
  bool withProfile;                    // false: the first run, no "wdpz.ini" yet
  size_t configLines;                  // extra lines of 64 bytes making config.ini large
  size_t missionLines;                 // the same for sn01_.pst
  DWORD room;                          // bytes left on the drive
  std::vector<std::string> unwritten;  // the files that cannot be written, in the box
  // Missions left as they were because the record of their originals could not be written.
  std::vector<std::string> unrecorded;
};

std::string withFiller(std::string text, size_t lines) {
  for (size_t i = 0; i < lines; ++i) text += std::string(62, 'p') + "\r\n";
  return text;
}

const DiskFullCase kDiskFull[] = {
    // The missions are written anew before the record takes their lines: with no room for
    // them, nothing is recorded and no record is made.
    {"no room for the first wdpz.ini, nor for anything else",
     false,
     0,
     0,
     0,
     {"wdpz.ini", "Level\\sn01_.pst", "Level\\sn02_.pst", "config.ini"},
     {}},
    {"no room for the new config.ini", true, 4096, 0, 64 * 1024, {"config.ini"}, {}},
    // The mission without room is not recorded; the other one is.
    {"no room for the new mission file", true, 0, 4096, 64 * 1024, {"Level\\sn01_.pst"}, {}},
};

// Runs only on a small drive of its own (FAULTS_FULL_FOLDER, set up by disk_full_test.sh,
// ctest's fault_disk_full_test); the ordinary run of this program leaves it out by its
// filter, and a run of it without that drive fails.
TEST(DiskFull, FailedWritesLeaveTheOldFilesAndNoTemporaryFiles) {
  const char* drive = std::getenv("FAULTS_FULL_FOLDER");
  ASSERT_NE(drive, nullptr) << "needs FAULTS_FULL_FOLDER on a small file system "
                               "(tests/faults/disk_full_test.sh)";
  int round = 0;
  for (const DiskFullCase& c : kDiskFull) {
    SCOPED_TRACE(c.name);
    std::string dir = std::string(drive) + "\\game" + std::to_string(++round);
    ASSERT_TRUE(makeFolder(dir));
    placePrograms(dir);
    FolderFiles files = twoMissionGameFiles();
    if (!c.withProfile) files.erase("wdpz.ini");
    files["config.ini"] = withFiller(kSampleConfig, c.configLines);
    files["Level\\sn01_.pst"] = withFiller(sampleMission(1), c.missionLines);
    writeFolder(dir, files);
    FolderFiles before = readFolder(dir);
    ASSERT_TRUE(fillDrive(dir, c.room));
    before["filler.bin"] = readBytes(dir + "\\filler.bin");

    ApplyOutcome outcome = applyOnce(dir);

    EXPECT_EQ(outcome.exitCode, 0u);
    ASSERT_EQ(outcome.boxes.size(), 1u) << testing::PrintToString(outcome.boxes);
    // Each file with its cause, and below them what to do.
    for (const std::string& name : c.unwritten) {
      EXPECT_NE(outcome.boxes[0].find(fromGbk(dir) + L"\\" + fromGbk(name) + L"（磁盘空间已满）"),
                std::wstring::npos)
          << name << " is not listed: " << testing::PrintToString(outcome.boxes);
    }
    for (const std::string& name : c.unrecorded) {
      EXPECT_NE(
          outcome.boxes[0].find(fromGbk(dir) + L"\\" + fromGbk(name) + L"（原版记录无法读写）"),
          std::wstring::npos)
          << name << " is not listed: " << testing::PrintToString(outcome.boxes);
    }
    const std::wstring hint = L"\r\n\r\n请释放磁盘空间，然后重新运行本程序。";
    EXPECT_EQ(outcome.boxes[0].substr(outcome.boxes[0].size() -
                                      std::min(outcome.boxes[0].size(), hint.size())),
              hint);
    FolderFiles expected = before;
    expected["wdpz.ini"] = profileText(11, 3, 1, false);
    expected["Level\\sn01_.pst"] = withFiller(patchedMission(1, 58), c.missionLines);
    expected["Level\\sn02_.pst"] = patchedMission(2, 58);
    expected["config.ini"] =
        withFiller("[Screen]\r\nWidth 1024\r\nHeight 768\r\nBits 32\r\n", c.configLines);
    // Only the missions written anew are recorded.
    std::vector<int> recorded;
    for (const int n : {1, 2}) {
      if (std::find(c.unwritten.begin(), c.unwritten.end(), missionPath(n)) == c.unwritten.end()) {
        recorded.push_back(n);
      }
    }
    expected[originalsRecordName()] = originalsRecord(firstApplyEntries(recorded, 58));
    if (recorded.empty()) expected.erase(originalsRecordName());
    for (const std::string& name : c.unrecorded) expected[name] = before.at(name);
    for (const std::string& name : c.unwritten) {
      if (before.count(name)) {
        expected[name] = before.at(name);
      } else {
        expected.erase(name);
      }
    }
    // The game's record needs room of its own; where there is none it may be missing or
    // empty, which is the stand-in's affair.
    std::string record = waitForLaunchRecord(dir);
    FolderFiles actual = readFolder(dir);
    if (c.room == 0 && record != launchRecord(dir, false)) {
      actual.erase("launch-record.txt");
    } else {
      expected["launch-record.txt"] = launchRecord(dir, false);
    }
    expectFolder(actual, expected);
    removeTree(dir);
  }
}

// ---------------------------------------------------------------- ended in the middle

// True when the game folder holds a file under `under` that was not there before the apply
// (other than the game's record): a temporary file of a write.
bool newFileIn(const std::string& folder, const FolderFiles& before,
               const std::string& under = "") {
  for (const FolderEntry& entry : entriesUnder(folder)) {
    const std::string& name = entry.path;
    if (name.rfind(under, 0) == 0 && before.count(name) == 0 && name != "launch-record.txt") {
      return true;
    }
  }
  return false;
}

uint64_t sizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// A moment of the apply that the program's own writes show in the game folder; the
// program is ended as soon as the test sees it.
struct KillPoint {
  const char* name;
  std::function<bool(const std::string& dir, const FolderFiles& before)> reached;
  bool missionsAllPatched;  // the display configuration is written after the missions
};

// The apply writes the profile, the twenty missions in order, then config.ini, then starts
// the game. A patched mission is one byte longer ("= 58" for "= 1").
const std::string kBulk(8 * 1024 * 1024, 'b');
const uint64_t kPatchedMissionSize = 25 + kBulk.size();

const KillPoint kKillPoints[] = {
    {"the profile is saved",
     [](const std::string& dir, const FolderFiles&) {
       return readBytes(dir + "\\wdpz.ini") == profileText(11, 3, 1, false);
     },
     false},
    {"the first mission's write has begun",
     [](const std::string& dir, const FolderFiles& before) {
       return newFileIn(dir, before, "Level\\") ||
              sizeOf(dir + "\\" + missionPath(1)) == kPatchedMissionSize;
     },
     false},
    {"the tenth mission is patched",
     [](const std::string& dir, const FolderFiles&) {
       return sizeOf(dir + "\\" + missionPath(10)) == kPatchedMissionSize;
     },
     false},
    {"config.ini is patched",
     [](const std::string& dir, const FolderFiles&) {
       return readBytes(dir + "\\config.ini") == patchedConfig(1024, 768);
     },
     true},
    {"the game is started",
     [](const std::string& dir, const FolderFiles&) {
       return pathExists(dir + "\\launch-record.txt");
     },
     true},
};

// The program ended by force at moments of an apply over twenty 8 MB mission files that
// its own writes show: every file is either as it was or exactly as patched, and no
// temporary file stays beyond the next apply.
TEST(KilledMidWrite, EveryFileOldOrNewAndNoTemporaryFiles) {
  for (const KillPoint& point : kKillPoints) {
    SCOPED_TRACE(std::string("ended once ") + point.name);
    FolderFiles files = twoMissionGameFiles();
    for (int n = 1; n <= 20; ++n) files[missionPath(n)] = "int PlayerWeapon2 = 1;\r\n" + kBulk;
    GameFolder game("killed", files);
    FolderFiles before = readFolder(game.path());

    RunningProgram program;
    ASSERT_TRUE(program.start(game.path() + "\\launcher.exe", game.path()));
    HWND window = waitForWindow(program.processId(), L"WTWindow", kPatienceMs);
    ASSERT_NE(window, nullptr);
    chooseInLauncher(window);
    pressStart(window);
    // Every moment is one that stays once reached, so it is seen even after the program
    // has gone past it or ended.
    // What the folder and the program show when the moment never came.
    auto state = [&] {
      std::string text = program.running() ? "the program runs" : "the program has ended";
      for (HWND box : topWindows(program.processId(), L"#32770")) {
        text += "; a box: " + toGbk(readMessageBox(box).text);
      }
      int patchedMissions = 0;
      for (int n = 1; n <= 20; ++n) {
        if (sizeOf(game.path() + "\\" + missionPath(n)) == kPatchedMissionSize) ++patchedMissions;
      }
      text += "; missions patched: " + std::to_string(patchedMissions);
      text += "; config.ini: " + readBytes(game.path() + "\\config.ini");
      for (const FolderEntry& entry : entriesUnder(game.path())) {
        if (before.count(entry.path) == 0) text += "; new: " + entry.path;
      }
      return text;
    };
    ASSERT_TRUE(waitUntil([&] { return point.reached(game.path(), before); }, kPatienceMs))
        << state();
    program.kill();

    FolderFiles patched = appliedStored(before, game.path());
    patched.erase("launch-record.txt");
    std::vector<RecordLine> originals;
    for (int n = 1; n <= 20; ++n) {
      patched[missionPath(n)] = "int PlayerWeapon2 = 58;\r\n" + kBulk;
      originals.push_back({n, false, "int PlayerWeapon2 = 1;"});
      originals.push_back({n, true, "int PlayerWeapon2 = 58;"});
    }
    // The record of the originals is whole, and there before any mission is patched.
    const std::string record = originalsRecord(originals);
    patched[originalsRecordName()] = record;
    // The system removes an ended writer's temporary file, delete-pending while it is
    // written, once the process is gone. Two can stay, for the next apply to remove: an
    // empty one, left by an end between its creation and making it delete-pending, and one
    // that holds the whole new content of its file, left by an end between clearing that and
    // the rename. Right before the rename the file takes the target's attributes in place of
    // the hidden and system ones of its signature; one left by an end in that instant cannot
    // be told from a user's file and stays.
    auto leftNonEmpty = [&] {
      for (const FolderEntry& entry : entriesUnder(game.path())) {
        const std::string& name = entry.path;
        if (before.count(name) == 0 && name != "launch-record.txt" &&
            name != originalsRecordName() && sizeOf(game.path() + "\\" + name) > 0) {
          return true;
        }
      }
      return false;
    };
    waitUntil([&] { return !leftNonEmpty(); }, kPatienceMs);
    FolderFiles actual = readFolder(game.path());
    actual.erase("launch-record.txt");  // the game may or may not have been started
    auto wholeNewContent = [&](const std::string& content) {
      for (const auto& [target, bytes] : patched) {
        if (content == bytes && (before.count(target) == 0 || before.at(target) != bytes)) {
          return true;
        }
      }
      return false;
    };
    std::vector<std::string> leftBehind;
    std::vector<std::string> withoutSignature;  // of those left behind, without the signature
    bool anyPatched = false;
    for (const auto& [name, content] : actual) {
      if (name == originalsRecordName()) {
        EXPECT_EQ(content, record);
      } else if (before.count(name) == 0) {
        if (content.empty() || wholeNewContent(content)) {
          leftBehind.push_back(name);
          if (!hasSignatureAttributes(game.path() + "\\" + name)) withoutSignature.push_back(name);
        } else {
          ADD_FAILURE() << name << " was left behind (" << content.size() << " bytes)";
        }
      } else if (content != patched.at(name) && content != before.at(name)) {
        ADD_FAILURE() << name << " is neither as it was nor as patched (" << content.size()
                      << " bytes)";
      } else if (point.missionsAllPatched && name.rfind("Level\\", 0) == 0) {
        EXPECT_EQ(content, patched.at(name)) << name;
      }
      if (name.rfind("Level\\sn", 0) == 0 && content == patched.at(name)) anyPatched = true;
    }
    const bool recorded = actual.count(originalsRecordName()) != 0;
    EXPECT_TRUE(recorded || !anyPatched)
        << "a mission was patched before its original was recorded";
    EXPECT_EQ(actual.size(), before.size() + leftBehind.size() + (recorded ? 1 : 0));
    if (!leftBehind.empty()) {
      applyOnce(game.path());
      for (const std::string& name : leftBehind) {
        const bool bearsSignature = std::find(withoutSignature.begin(), withoutSignature.end(),
                                              name) == withoutSignature.end();
        EXPECT_EQ(pathExists(game.path() + "\\" + name), !bearsSignature)
            << name
            << (bearsSignature ? " stays after the next apply"
                               : " was removed without the signature");
      }
    }
  }
}

}  // namespace
